// Splitting paths into folder and leaf without touching the file system.
#include "LibPathParts.h"

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
	const size_t slash = clean.find_last_of('/');
	return slash == std::string::npos ? clean : clean.substr(slash + 1);
}

bool LibIsFolder(const std::string& path)
{
	struct stat st;
	return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
