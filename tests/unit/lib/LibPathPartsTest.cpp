// Paths split into folder and leaf as text, and folders told from the rest.
#include "LibPathParts.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "LibFileTestSupport.h"

using namespace libfile_test;

TEST(LibPathPartsTest, SplitsPathsIntoFolderAndLeaf)
{
	struct Case {
		const char* path;
		const char* parent;
		const char* leaf;
	};
	const Case cases[] = {
	        {"/a/b/c", "/a/b", "c"}, {"/a", "/", "a"},         {"a", ".", "a"},
	        {"a/b/", "a/b", "b"},    {"/a/b//", "/a/b/", "b"}, {"/", "/", ""},
	};
	for (const Case& test : cases) {
		EXPECT_EQ(LibParentOf(test.path), test.parent) << test.path;
		EXPECT_EQ(LibLeafOf(test.path), test.leaf) << test.path;
	}
}

TEST(LibPathPartsTest, FoldersAndLinksToThemAreFolders)
{
	TempFolder temp;
	std::filesystem::create_directories(temp / "folder");
	WriteText(temp / "file", "x");
	std::filesystem::create_directory_symlink(temp / "folder", temp / "link");
	EXPECT_TRUE(LibIsFolder(temp / "folder"));
	EXPECT_TRUE(LibIsFolder(temp / "link"));
	EXPECT_FALSE(LibIsFolder(temp / "file"));
	EXPECT_FALSE(LibIsFolder(temp / "missing"));
}

TEST(LibPathPartsTest, ShortenedLeavesKeepWholeCharacters)
{
	struct Case {
		const char* leaf;
		size_t limit;
		const char* shortened;
	};
	// "é" is two bytes, "€" three: a cut inside one drops it whole.
	const Case cases[] = {
	        {"abc", 3, "abc"},
	        {"abcd", 3, "abc"},
	        {"ab\xc3\xa9", 3, "ab"},
	        {"a\xc3\xa9", 3, "a\xc3\xa9"},
	        {"\xe2\x82\xac"
	         "x",
	         2, ""},
	        {"", 0, ""},
	};
	for (const Case& test : cases)
		EXPECT_EQ(LibShortenedLeaf(test.leaf, test.limit), test.shortened) << test.leaf;
}

TEST(LibPathPartsTest, CopyNamesCountOnAndShortenTheLeafNotTheSuffix)
{
	struct Case {
		const char* leaf;
		int32_t n;
		size_t limit;
		const char* name;
	};
	const Case cases[] = {
	        {"notes", 0, 255, "notes"},        {"notes", 1, 255, "notes copy"},
	        {"notes", 2, 255, "notes copy 1"}, {"notes", 12, 255, "notes copy 11"},
	        {"notes", 1, 8, "not copy"},       {"ab\xc3\xa9", 2, 10, "ab copy 1"},
	};
	for (const Case& test : cases)
		EXPECT_EQ(LibCopyName(test.leaf, test.n, test.limit), test.name)
		        << test.leaf << " " << test.n;
}
