// File utilities of the support library: existence, folders, copy, move,
// remove, link, typing, trash, sizes, path search and unique names.
#pragma once

#include <functional>
#include <string>

#include "LibString.h"
#include "Path.h"
#include "SupportDefs.h"

// The path can be reached (links followed).
bool LibExists(const char* path);
// The whole content of the file at `path` (links followed); false when it
// cannot be read.
bool LibReadText(const std::string& path, std::string& text);
// Makes the path and its missing parents (mode 0777 less the umask) when it
// does not exist; false when it existed or could not be made.
bool Libmkdir(const char* path);
// Writes to disk everything waiting for the volume that holds `path` (a link
// counts as its folder): one call for all the files of an item.
bool LibSyncVolume(const char* path);
// Makes the path the current folder when it exists.
bool LibChangeDirectory(const char* path);

// Copies recursively, links copied as links, attributes, type, permissions
// and times kept. An existing folder as destination receives the source under
// its own name; existing files are replaced whole or not at all. A failed
// copy leaves no partial entry behind.
bool LibCopy(const char* source, const char* destination);
// Moves like a rename on one volume; across volumes copies, types the copy
// where it has no type and removes the source only after a complete copy.
// An existing folder as destination receives the source under its own name.
bool LibMove(const char* source, const char* destination);
// Removes the entry and, for a folder, everything below it (links are not
// followed); true when nothing is left, also when nothing was there. The
// entry first leaves its place whole by a rename to a hidden folder beside
// it, so a stop meanwhile leaves nothing of it there; what cannot be removed
// is put back where it was.
bool LibUnlink(const char* path);
// Moves `source` to the path `final`. On one volume this is a rename; across
// volumes the copy is made under a hidden name in the final folder and
// renamed into place before the source goes. An entry already at `final` is
// first renamed aside and removed only once the new one is in place; it is
// put back when the move fails. `replaced` tells whether one was there. On
// failure errno holds the system's reason.
bool LibMoveReplacing(const std::string& source, const std::string& final, bool& replaced);
// Moves `source` into `folder` under its own leaf, or under the first free
// name of "leaf copy", "leaf copy 1"... when that is taken.
bool LibMoveAside(const char* source, const char* folder);
// The path in `folder` of the first free name of "leaf" (when `leafItself`),
// "leaf copy", "leaf copy 1"..., shortened to a legal leaf, that nothing is
// at and that `taken`, when given, does not claim.
std::string LibFreeSibling(const std::string& folder, const std::string& leaf,
                           const bool& leafItself,
                           const std::function<bool(const std::string&)>& taken = nullptr);
// Makes `final` a symbolic link to `target` the way LibMoveReplacing places
// an entry.
bool LibSymLinkReplacing(const std::string& target, const std::string& final, bool& replaced);
// Sniffs and sets the entry's type, replacing one it had.
bool Libmimeset(const char* path);
// Makes `linkPath` a symbolic link to `target`, replacing a file or link of
// that name; an existing folder receives the link under the target's leaf.
bool LibSymLink(const char* target, const char* linkPath);

// The bytes of the entry (links not followed), with its attributes when
// asked, folders summed to any depth; 0 when it cannot be opened, and
// INT32_MAX for more than that.
int32 LibEntrySize(const char* path, const bool& attributes);
// Looks for `file` in each folder of the ':'-separated list in variable
// `variable` (an empty element is the current folder); the first found is
// stored in `path`.
bool LibFindEnvFile(const char* variable, const char* file, BPath& path);
// Appends "<prefix><counter><pid><seconds>" to `path` (the "Common Temporary"
// folder when `path` is empty). False, `path` unchanged, when the leaf would
// be too long or no folder is known.
bool LibUniqueName(BPath& path, const char* prefix);
