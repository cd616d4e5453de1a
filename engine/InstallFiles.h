// The file-system steps of an installation that must leave every entry whole
// at its place whatever the moment of a stop: moving, moving aside, removing.
// Existence, folders, renaming to a copy name and standard folder names are
// the support library's (LibFile.h, LibStdDir.h).
#pragma once

// Moves `source` to `destination`, or into it when it is a folder.
bool InstallMove(const char* source, const char* destination);
// Moves `source` into `folder` under its own leaf, or under the first free
// name of its series when that is taken; false when nothing was moved.
bool InstallMoveAside(const char* source, const char* folder);
// Removes the entry and, for a folder, everything in it; links are not
// followed. The entry leaves its place whole (see SafeRemoveEntry).
void InstallRemove(const char* path);
