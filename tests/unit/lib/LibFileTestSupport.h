// Temporary folders, environment overrides and file helpers for the file
// utility tests.
#pragma once

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "ScopedEnv.h"
#include "TempFolder.h"
#include "TestFiles.h"

namespace libfile_test {

using ::AwkwardNames;
using ::RawXattr;
using ::ReadText;
using ::ScopedEnv;
using ::TempFolder;
using ::WriteText;

// A Linux-layout home: HOME, XDG_DATA_HOME and XDG_CONFIG_HOME in a temporary
// folder, VANTRY_ROOT unset.
class LinuxHome {
public:
	LinuxHome()
	    : fRoot("VANTRY_ROOT", std::nullopt), fHome("HOME", fFolder.Path()),
	      fData("XDG_DATA_HOME", fFolder / "data"), fConfig("XDG_CONFIG_HOME", fFolder / "config")
	{
	}
	const TempFolder& Folder() const { return fFolder; }

private:
	TempFolder fFolder;
	ScopedEnv fRoot;
	ScopedEnv fHome;
	ScopedEnv fData;
	ScopedEnv fConfig;
};

inline bool Occupied(const std::string& path)
{
	struct stat st;
	return lstat(path.c_str(), &st) == 0;
}

inline ino_t InodeOf(const std::string& path)
{
	struct stat st;
	return lstat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// The sorted leaves of a folder.
inline std::vector<std::string> Listing(const std::string& folder)
{
	std::vector<std::string> names;
	for (const auto& item : std::filesystem::directory_iterator(folder))
		names.push_back(item.path().filename().string());
	std::sort(names.begin(), names.end());
	return names;
}

} // namespace libfile_test
