// Putting entries at their final place so that a crash or a stop at any
// moment never leaves a half-written entry there: every entry arrives whole,
// by one rename, and an entry it replaces leaves by a rename too.
#pragma once

#include <string>

// Moves `source` to the path `final`. On one volume this is a rename; across
// volumes the copy is made under a hidden temporary name in the final folder
// and renamed into place before the source goes. An entry already at `final`
// is first renamed aside and removed only once the new one is in place (it is
// put back when the move fails). `replaced` tells whether one was there.
bool SafePlaceEntry(const std::string& source, const std::string& final, bool& replaced);
// Makes `final` a symbolic link to `target` the same way.
bool SafePlaceLink(const std::string& target, const std::string& final, bool& replaced);
// Removes the entry whole: it is first renamed to a hidden name beside it,
// so a stop during the removal leaves nothing of it at its place. False when
// it could not be set aside (nothing is removed then).
bool SafeRemoveEntry(const std::string& path);
// The entry itself is a folder (a link to one is not).
bool SafeIsFolder(const std::string& path);
// Something, even a dangling link, is at `path`.
bool SafeEntryExists(const std::string& path);
// The leaf of a path: all after its last '/'. Unlike LibLeafOf, a trailing
// '/' is kept meaningful: item names are compared exactly as recorded.
std::string SafeLeaf(const std::string& path);
// The same folder: both exist and resolve to one path.
bool SafeSameFolder(const std::string& first, const std::string& second);
