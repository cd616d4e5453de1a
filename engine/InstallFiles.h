// The file-system steps of an installation, done in-process: existence,
// folders, moving, removing, renaming aside, and standard folders by name.
#pragma once

#include <string>

#include "FindDirectory.h"

// An entry at `path`; with `follow`, a link counts only when its target exists.
bool InstallEntryExists(const char* path, const bool& follow = false);
// Creates the folder and every missing parent (0775); false when it exists.
bool InstallMakeFolders(const char* path);
// Moves `source` to `destination`, or into it when it is a folder.
bool InstallMove(const char* source, const char* destination);
// Moves `source` into `folder` under its own leaf, or under the first free
// name of its series when that is taken; false when nothing was moved.
bool InstallMoveAside(const char* source, const char* folder);
// Removes the entry and, for a folder, everything in it; links are not
// followed. The entry leaves its place whole (see SafeRemoveEntry).
void InstallRemove(const char* path);
// Renames the entry in its own folder to the first free name of the series
// "<leaf> copy", "<leaf> copy 1", ...; answers the new path, empty on failure.
std::string InstallDuplicate(const char* path);
// The standard folder with this name ("User Boot", "Applications"...).
bool InstallStdDirFromName(const char* name, directory_which& which);
// The leaf of a path: what follows its last '/'.
std::string InstallLeaf(const char* path);
