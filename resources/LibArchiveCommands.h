// The archive commands: the zip, unzip and tar tools, run with argument
// vectors (never through a shell) in a working directory of their own.
#pragma once

#include <string>
#include <vector>

#include "LibString.h"
#include "SupportDefs.h"

class BPath;

// Archives `source` recursively and quietly at `level` under its leaf name,
// running "zip" (found along PATH) in the parent folder of `source`. False,
// and nothing run, when the tool is missing or cannot be started; the tool's
// own exit status is not looked at.
bool LibZip(const char* archive, const BPath& source, int level);
// Unpacks `archive` quietly into its own folder, overwriting existing files,
// with "unzip" found along PATH.
bool LibUnzip(const char* archive);
// Writes an uncompressed tape archive of `source` with the "tar" of the BeOS
// Bin folder, in the folder that holds `archive`.
bool LibTar(const char* source, const char* archive);

// Host helpers of the commands.
// The first executable `name` in the folders of PATH; false when none.
bool LibFindInPath(const char* name, LibString& found);
// Runs `tool` with `arguments` (the first is the program's name) in
// `workingDirectory` (null: the current one), changing the directory in the
// child only, and waits for it. `exitStatus` gets the tool's exit status, or
// -1 when a signal ended it.
status_t LibRunTool(const char* tool, const std::vector<std::string>& arguments,
                    const char* workingDirectory, int* exitStatus = nullptr);
