// Temporary folders, environment overrides and file helpers for the file
// utility tests.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace libfile_test {

// A fresh folder below `base` (the test temporary folder by default), removed afterwards.
class TempFolder {
public:
	explicit TempFolder(const std::string& base = testing::TempDir())
	{
		std::string pattern = base + (base.back() == '/' ? "" : "/") + "vantry-lib-XXXXXX";
		char* made = mkdtemp(pattern.data());
		EXPECT_NE(made, nullptr);
		char resolved[PATH_MAX];
		fPath = realpath(pattern.c_str(), resolved) ? resolved : pattern;
	}
	~TempFolder() { std::filesystem::remove_all(fPath); }

	const std::string& Path() const { return fPath; }
	std::string operator/(const std::string& leaf) const { return fPath + "/" + leaf; }

private:
	std::string fPath;
};

// Sets (or, with nullopt, removes) one variable and restores it afterwards.
class ScopedEnv {
public:
	ScopedEnv(const char* name, std::optional<std::string> value) : fName(name)
	{
		if (const char* old = getenv(name))
			fOld = old;
		if (value)
			setenv(name, value->c_str(), 1);
		else
			unsetenv(name);
	}
	~ScopedEnv()
	{
		if (fOld)
			setenv(fName.c_str(), fOld->c_str(), 1);
		else
			unsetenv(fName.c_str());
	}

private:
	std::string fName;
	std::optional<std::string> fOld;
};

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

// The raw bytes of an xattr (links not followed), or nullopt.
inline std::optional<std::string> RawXattr(const std::string& path, const std::string& name)
{
	char buffer[65536];
	ssize_t size = lgetxattr(path.c_str(), name.c_str(), buffer, sizeof(buffer));
	if (size < 0)
		return std::nullopt;
	return std::string(buffer, (size_t)size);
}

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

// Names that shells and naive quoting get wrong, and the longest legal leaf.
inline std::vector<std::string> AwkwardNames()
{
	return {"with space",     "double\"quote",      "single'quote", "dollar$HOME",
	        "back`tick`",     "new\nline",          "back\\slash",  "-leading-dash",
	        "semi;colon&amp", std::string(255, 'n')};
}

} // namespace libfile_test
