// The folder part and the leaf of a path as plain text, and whether a path is
// a folder: the small path steps the file utilities share.
#pragma once

#include <string>

// The path without its last component: "." for a bare leaf, "/" for "/a".
std::string LibParentOf(const std::string& path);
// The last component; trailing slashes are not components ("a/b/" gives "b").
std::string LibLeafOf(const std::string& path);
// The path is a folder or a link to one.
bool LibIsFolder(const std::string& path);
