// The type databases a type's description and a name's type are read from:
// the platform's own (a file per type in the user's "beos_mime" settings
// folder) and the desktop's shared MIME database ("mime/" in each XDG data
// folder).
#pragma once

#include <string>

// The description of `type` in `language` (a two-letter code, or empty for
// the database's own text): the type database's "META:S:DESC", else the
// shared MIME database's comment; empty when neither knows the type.
std::string mime_type_description(const std::string& type, const std::string& language);

// The type the shared MIME database's globs give the file name `leaf`: the
// heaviest matching pattern, the longest among equals; empty when none does.
std::string mime_type_for_name(const std::string& leaf);
