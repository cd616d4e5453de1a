// Splitting paths into folder and leaf, and the few questions about what
// lies at a path that every file step asks.
#include "LibPathParts.h"

#include <dirent.h>

#include <cstring>

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

std::string LibParentOf(const std::string& path)
{
	const size_t slash = path.find_last_of('/');
	if (slash == std::string::npos)
		return ".";
	return slash == 0 ? "/" : path.substr(0, slash);
}

std::string LibLeafOf(const std::string& path)
{
	std::string clean = path;
	while (clean.size() > 1 && clean.back() == '/')
		clean.pop_back();
	return LibLastComponent(clean);
}

std::string LibLastComponent(const std::string& path)
{
	const size_t slash = path.find_last_of('/');
	return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string LibShortenedLeaf(const std::string& leaf, const size_t& limit)
{
	if (leaf.size() <= limit)
		return leaf;
	size_t end = limit;
	while (end > 0 && ((unsigned char)leaf[end] & 0xC0) == 0x80)
		end--;
	return leaf.substr(0, end);
}

std::string LibCopyName(const std::string& leaf, const int32_t& n, const size_t& limit)
{
	const std::string suffix = n == 0 ? "" : n == 1 ? " copy" : " copy " + std::to_string(n - 1);
	return LibShortenedLeaf(leaf, limit - suffix.size()) + suffix;
}

bool LibIsFolder(const std::string& path)
{
	struct stat st;
	return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool LibIsFolderEntry(const std::string& path)
{
	struct stat st;
	return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool LibEntryExists(const std::string& path)
{
	struct stat st;
	return !path.empty() && lstat(path.c_str(), &st) == 0;
}

bool LibSameFolder(const std::string& first, const std::string& second)
{
	char firstReal[PATH_MAX];
	char secondReal[PATH_MAX];
	if (realpath(first.c_str(), firstReal) == nullptr ||
	    realpath(second.c_str(), secondReal) == nullptr)
		return false;
	return std::string(firstReal) == secondReal;
}

std::string LibFirstEntryOf(const std::string& folder)
{
	DIR* listing = opendir(folder.c_str());
	if (listing == nullptr)
		return std::string();
	std::string name;
	for (struct dirent* entry; name.empty() && (entry = readdir(listing)) != nullptr;) {
		if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
			name = entry->d_name;
	}
	closedir(listing);
	return name;
}

bool LibFolderIsEmpty(const std::string& folder)
{
	DIR* listing = opendir(folder.c_str());
	if (listing == nullptr)
		return false;
	closedir(listing);
	return LibFirstEntryOf(folder).empty();
}

std::vector<std::string> LibSplitAt(const std::string& text, const char& separator)
{
	std::vector<std::string> parts;
	size_t start = 0;
	while (start <= text.size()) {
		size_t end = text.find(separator, start);
		if (end == std::string::npos)
			end = text.size();
		parts.push_back(text.substr(start, end - start));
		start = end + 1;
	}
	return parts;
}
