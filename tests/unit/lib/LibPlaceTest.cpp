// Entries renamed into place whole: onto nothing, over a file, a folder or a
// link, across file systems, and links made the same way.
#include "LibPathParts.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "LibFile.h"
#include "TempFolder.h"
#include "TestFiles.h"

namespace {

namespace fs = std::filesystem;

class LibPlaceTest : public testing::Test {
protected:
	std::string Folder(const std::string& name)
	{
		const std::string path = temp.Path() + "/" + name;
		fs::create_directories(path);
		return path;
	}

	// Nothing temporary stays beside a placed entry.
	void ExpectNoLeftovers(const std::string& folder)
	{
		for (const auto& entry : fs::directory_iterator(folder))
			EXPECT_EQ(entry.path().filename().string().find(".vantry-"), std::string::npos)
			        << entry.path();
	}

	TempFolder temp;
};

TEST_F(LibPlaceTest, PlacesOverWhateverIsInTheWay)
{
	struct Case {
		const char* name;
		std::function<void(const std::string&)> existing; // makes the entry in the way
		bool sourceIsFolder;
		bool replaced;
	};
	const Case cases[] = {
	        {"nothing", [](const std::string&) {}, false, false},
	        {"a file", [](const std::string& p) { WriteText(p, "old"); }, false, true},
	        {"a folder over a file",
	         [](const std::string& p) {
		         fs::create_directories(p + "/inner");
		         WriteText(p + "/inner/old", "old");
	         },
	         false, true},
	        {"a folder over a folder",
	         [](const std::string& p) {
		         fs::create_directories(p);
		         WriteText(p + "/old", "old");
	         },
	         true, true},
	        {"a dangling link", [](const std::string& p) { fs::create_symlink("/nonexistent", p); },
	         false, true},
	};
	for (const Case& test : cases) {
		const std::string from = Folder(std::string("from-") + test.name);
		const std::string to = Folder(std::string("to-") + test.name);
		const std::string source = from + "/item";
		if (test.sourceIsFolder) {
			fs::create_directories(source);
			WriteText(source + "/new", "new");
		} else {
			WriteText(source, "new");
		}
		test.existing(to + "/item");
		bool replaced = !test.replaced;
		ASSERT_TRUE(LibMoveReplacing(source, to + "/item", replaced)) << test.name;
		EXPECT_EQ(replaced, test.replaced) << test.name;
		EXPECT_FALSE(LibEntryExists(source)) << test.name;
		EXPECT_EQ(ReadText(to + (test.sourceIsFolder ? "/item/new" : "/item")), "new") << test.name;
		EXPECT_FALSE(fs::exists(to + "/item/old")) << test.name;
		ExpectNoLeftovers(to);
	}
}

TEST_F(LibPlaceTest, FailedPlacementPutsTheOldEntryBack)
{
	const std::string to = Folder("to");
	WriteText(to + "/item", "old");
	bool replaced = false;
	EXPECT_FALSE(LibMoveReplacing(temp.Path() + "/missing", to + "/item", replaced));
	EXPECT_EQ(ReadText(to + "/item"), "old");
	ExpectNoLeftovers(to);

	// A folder cannot be moved into itself: the entry set aside comes back.
	const std::string folder = to + "/folder";
	fs::create_directories(folder);
	WriteText(folder + "/inner", "old inner");
	EXPECT_FALSE(LibMoveReplacing(folder, folder + "/inner", replaced));
	EXPECT_TRUE(replaced);
	EXPECT_EQ(ReadText(folder + "/inner"), "old inner");
	ExpectNoLeftovers(folder);
}

TEST_F(LibPlaceTest, CopiesAcrossFileSystemsBeforeTheSourceGoes)
{
	struct stat shared;
	struct stat local;
	if (stat("/dev/shm", &shared) != 0 || stat(temp.Path().c_str(), &local) != 0 ||
	    shared.st_dev == local.st_dev || access("/dev/shm", W_OK) != 0)
		GTEST_SKIP() << "no second file system at /dev/shm";
	std::string other = "/dev/shm/vantry-place-XXXXXX";
	ASSERT_NE(mkdtemp(other.data()), nullptr);
	fs::create_directories(other + "/item/sub");
	WriteText(other + "/item/sub/file", "across");
	fs::create_symlink("sub/file", other + "/item/link");
	const std::string to = Folder("to");
	WriteText(to + "/item", "old");
	bool replaced = false;
	ASSERT_TRUE(LibMoveReplacing(other + "/item", to + "/item", replaced));
	EXPECT_TRUE(replaced);
	EXPECT_EQ(ReadText(to + "/item/sub/file"), "across");
	EXPECT_EQ(fs::read_symlink(to + "/item/link"), "sub/file") << "links stay links";
	EXPECT_FALSE(LibEntryExists(other + "/item"));
	ExpectNoLeftovers(to);
	fs::remove_all(other);
}

TEST_F(LibPlaceTest, LinksReplaceFilesAndFoldersWhole)
{
	const std::string to = Folder("links");
	const std::string target = temp.Path() + "/target";
	WriteText(target, "target");
	for (const char* leaf : {"fresh", "file", "folder"}) {
		const std::string link = to + "/" + leaf;
		if (std::string(leaf) == "file")
			WriteText(link, "old");
		if (std::string(leaf) == "folder")
			fs::create_directories(link + "/inside");
		bool replaced = false;
		ASSERT_TRUE(LibSymLinkReplacing(target, link, replaced)) << leaf;
		EXPECT_EQ(replaced, std::string(leaf) != "fresh") << leaf;
		EXPECT_EQ(fs::read_symlink(link), target) << leaf;
	}
	ExpectNoLeftovers(to);
}

TEST_F(LibPlaceTest, RemovesFilesFoldersAndLinksWithoutLeftovers)
{
	const std::string folder = Folder("remove");
	const std::string target = temp.Path() + "/target";
	WriteText(target, "target");
	WriteText(folder + "/file", "x");
	fs::create_directories(folder + "/tree/sub");
	WriteText(folder + "/tree/sub/file", "x");
	fs::create_symlink(target, folder + "/link");
	for (const char* leaf : {"file", "tree", "link", "missing"}) {
		EXPECT_TRUE(LibUnlink((folder + "/" + leaf).c_str())) << leaf;
		EXPECT_FALSE(LibEntryExists(folder + "/" + leaf)) << leaf;
	}
	EXPECT_EQ(ReadText(target), "target") << "a link goes, not what it points to";
	ExpectNoLeftovers(folder);
	EXPECT_TRUE(fs::is_empty(folder));
}

// A removal killed at any moment leaves the entry whole at its place or not
// there at all, never a part of it.
TEST_F(LibPlaceTest, KilledRemovalLeavesTheEntryWholeOrGone)
{
	const int kFiles = 600;
	const std::string folder = Folder("killed");
	const std::string tree = folder + "/tree";
	for (int round = 0; round < 24; round++) {
		fs::remove_all(tree);
		fs::create_directories(tree);
		for (int i = 0; i < kFiles; i++)
			WriteText(tree + "/" + std::to_string(i), "x");
		const pid_t child = fork();
		ASSERT_GE(child, 0);
		if (child == 0) {
			LibUnlink(tree.c_str());
			_exit(0);
		}
		usleep(useconds_t(round * 150));
		kill(child, SIGKILL);
		int status = 0;
		waitpid(child, &status, 0);
		if (!LibEntryExists(tree))
			continue;
		size_t left = 0;
		for (auto it = fs::recursive_directory_iterator(tree); it != fs::end(it); ++it)
			left++;
		EXPECT_EQ(left, size_t(kFiles)) << "round " << round << ": part of the entry is left";
	}
}

TEST(LibPlacePathTest, SplitsAndComparesPaths)
{
	EXPECT_EQ(LibLastComponent("/a/b/c"), "c");
	EXPECT_EQ(LibLastComponent("c"), "c");
	EXPECT_EQ(LibLastComponent("files/folder/"), "") << "names are compared as recorded";
	EXPECT_TRUE(LibSameFolder("/tmp", "/tmp/../tmp"));
	EXPECT_FALSE(LibSameFolder("/tmp", "/"));
	EXPECT_FALSE(LibSameFolder("/nonexistent", "/nonexistent"));
}

} // namespace
