// Temporary folders and files for the tests of vantry-build.
#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

// A fresh folder below the test's temporary folder, removed at the end.
class TempFolder {
public:
	TempFolder()
	{
		std::string pattern = testing::TempDir() + "vantry-build-XXXXXX";
		char* made = mkdtemp(pattern.data());
		fPath = made != nullptr ? made : "";
	}
	~TempFolder()
	{
		std::error_code ignored;
		std::filesystem::remove_all(fPath, ignored);
	}
	const std::string& Path() const { return fPath; }
	std::string operator/(const std::string& leaf) const { return fPath + "/" + leaf; }

	// Writes `text` to the file at `relative`, making its folders.
	std::string Write(const std::string& relative, const std::string& text) const
	{
		std::string path = fPath + "/" + relative;
		std::filesystem::create_directories(std::filesystem::path(path).parent_path());
		std::ofstream(path, std::ios::binary) << text;
		return path;
	}

private:
	std::string fPath;
};

inline std::string read_file(const std::string& path)
{
	std::ifstream stream(path, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}
