// Temporary folders, environment overrides, installer copies and the raw ZIP
// writer for the payload store tests.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "RawZip.h"
#include "Resources.h"
#include "ScopedEnv.h"
#include "TempFolder.h"
#include "TestFiles.h"
#include "TypeConstants.h"

namespace payload_test {

using ::RawZip;
using ::ReadText;
using ::ScopedEnv;
using ::TempFolder;
using ::WriteText;

// A copy of a small ELF executable, standing for an installer stub.
inline std::string CopyElf(const std::string& path)
{
	std::filesystem::copy_file("/bin/true", path);
	return path;
}

// Stores `bytes` as 'RAWT' `id` named `name` in the file at `path`.
inline void AddRaw(const std::string& path, int32 id, const std::string& name,
                   const std::string& bytes)
{
	BResources resources(path.c_str(), true);
	ASSERT_EQ(resources.InitCheck(), B_OK) << resources.ErrorText();
	ASSERT_EQ(resources.AddResource(B_RAW_TYPE, id, bytes.data(), bytes.size(), name.c_str()),
	          B_OK);
	ASSERT_EQ(resources.Sync(), B_OK) << resources.ErrorText();
}

// Every path below `root`, relative, sorted.
inline std::vector<std::string> ListTree(const std::string& root)
{
	std::vector<std::string> paths;
	std::error_code error;
	for (auto it = std::filesystem::recursive_directory_iterator(root, error);
	     it != std::filesystem::recursive_directory_iterator(); it.increment(error))
		paths.push_back(it->path().lexically_relative(root).string());
	std::sort(paths.begin(), paths.end());
	return paths;
}

} // namespace payload_test
