// A fresh temporary folder for one test, removed with everything in it at the end.
#pragma once

#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

class TempFolder {
public:
	// Made below `base` (the test temporary folder by default); its path is
	// resolved, so tests can compare it with paths the code under test answers.
	explicit TempFolder(const std::string& base = testing::TempDir())
	{
		std::string pattern = base + (base.back() == '/' ? "" : "/") + "vantry-XXXXXX";
		EXPECT_NE(mkdtemp(pattern.data()), nullptr) << pattern;
		char resolved[PATH_MAX];
		fPath = realpath(pattern.c_str(), resolved) != nullptr ? resolved : pattern;
	}
	~TempFolder()
	{
		std::error_code ignored;
		std::filesystem::remove_all(fPath, ignored);
	}
	TempFolder(const TempFolder&) = delete;
	TempFolder& operator=(const TempFolder&) = delete;

	const std::string& Path() const { return fPath; }
	std::string operator/(const std::string& leaf) const { return fPath + "/" + leaf; }

	// Writes `text` to the file at `relative`, making its folders; answers its path.
	std::string Write(const std::string& relative, const std::string& text) const
	{
		const std::string path = fPath + "/" + relative;
		std::filesystem::create_directories(std::filesystem::path(path).parent_path());
		std::ofstream(path, std::ios::binary) << text;
		return path;
	}

private:
	std::string fPath;
};
