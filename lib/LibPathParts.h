// The folder part and the leaf of a path as plain text, and what lies at a
// path: the small path steps the file utilities share.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The parts of `text` between each `separator`: "a//b" gives "a", "", "b".
std::vector<std::string> LibSplitAt(const std::string& text, const char& separator);
// The path without its last component: "." for a bare leaf, "/" for "/a".
std::string LibParentOf(const std::string& path);
// The last component; trailing slashes are not components ("a/b/" gives "b").
std::string LibLeafOf(const std::string& path);
// All after the last '/', exactly: "a/b/" gives "", so names recorded with a
// trailing slash are compared as recorded.
std::string LibLastComponent(const std::string& path);
// `leaf` cut to at most `limit` bytes without splitting a UTF-8 character.
std::string LibShortenedLeaf(const std::string& leaf, const size_t& limit);
// The n-th name of the series "leaf" (0), "leaf copy" (1), "leaf copy 1" (2)...,
// its leaf shortened so that the whole takes at most `limit` bytes.
std::string LibCopyName(const std::string& leaf, const int32_t& n, const size_t& limit);
// The path is a folder or a link to one.
bool LibIsFolder(const std::string& path);
// The entry itself is a folder (a link to one is not).
bool LibIsFolderEntry(const std::string& path);
// Something, even a dangling link, is at `path`.
bool LibEntryExists(const std::string& path);
// The folder could be read and holds no entry.
bool LibFolderIsEmpty(const std::string& folder);
// The name of one entry of the folder; empty when it holds none or cannot be read.
std::string LibFirstEntryOf(const std::string& folder);
// Both folders exist and resolve to one path.
bool LibSameFolder(const std::string& first, const std::string& second);
