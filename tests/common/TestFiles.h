// Whole-file reading and writing, raw attribute bytes and lines of text, for
// tests that check what the code under test left on disk or wrote.
#pragma once

#include <sys/xattr.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

inline void WriteText(const std::string& path, const std::string& text)
{
	std::ofstream out(path, std::ios::binary);
	out << text;
}

inline std::string ReadText(const std::string& path)
{
	std::ifstream in(path, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The raw bytes of an extended attribute (links not followed), or nullopt.
inline std::optional<std::string> RawXattr(const std::string& path, const std::string& name)
{
	char buffer[65536];
	const ssize_t size = lgetxattr(path.c_str(), name.c_str(), buffer, sizeof(buffer));
	if (size < 0)
		return std::nullopt;
	return std::string(buffer, size_t(size));
}

// Names that shells and naive quoting get wrong, and the longest legal leaf.
inline std::vector<std::string> AwkwardNames()
{
	return {"with space",     "double\"quote",      "single'quote", "dollar$HOME",
	        "back`tick`",     "new\nline",          "back\\slash",  "-leading-dash",
	        "semi;colon&amp", std::string(255, 'n')};
}

// The lines of a text; a text ending in a newline ends in an empty line.
inline std::vector<std::string> SplitLines(const std::string& text)
{
	std::vector<std::string> lines;
	size_t start = 0;
	for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
		lines.push_back(text.substr(start, end - start));
	lines.push_back(text.substr(start));
	return lines;
}

// The "Path=" of a trash record.
inline std::string TrashRecordPath(const std::string& record)
{
	size_t start = record.find("\nPath=");
	if (start == std::string::npos)
		return "";
	start += 6;
	return record.substr(start, record.find('\n', start) - start);
}
