// Tagged sections in the user's shell scripts: a section is the line
// "#BEGIN_<tag>", its text, and the line "#END_<tag>".
#pragma once

#include <sys/types.h>

#include <string>

#include "FindDirectory.h"
#include "SupportDefs.h"

// Replaces the section `tag` of the file `file_name` in the standard folder
// `folder` of the boot volume by one holding `text`, at the end of the file;
// a null `text` only removes the section. An edit that adds a section keeps the
// file as it stood before in "<file>.orig"; a removal takes the section out of
// that copy too. A missing folder is made first.
status_t EditScriptFile(const directory_which& folder, const char* file_name, const char* tag,
                        const char* text);
// The same for the script at `path`.
status_t EditScriptPath(const char* path, const char* tag, const char* text);
// Writes `content` beside `path` and renames it over `path` with `mode`: a
// crash leaves the old file or the new one, never a part of it.
status_t ReplaceWholeFile(const std::string& path, const std::string& content, const mode_t& mode);
// `content` without the sections `tag`. Markers are whole lines, so a tag that
// begins another tag never touches that one's section; a begin marker without
// its end marker is left in place with what follows it.
std::string ScriptWithoutSection(const std::string& content, const char* tag);
