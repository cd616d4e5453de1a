// The host's cheap typing rules: a few magic numbers, the interpreter of a
// script and, for text, the name's extension. They decide most files for the
// cost of a glance at their first bytes, before any content database is asked.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

// The type of a regular file named `leaf` (may be null) of permissions
// `mode` whose first bytes are `data`, or an empty text when these rules
// cannot tell.
std::string rule_mime_type(const char* leaf, const void* data, size_t length, mode_t mode);
