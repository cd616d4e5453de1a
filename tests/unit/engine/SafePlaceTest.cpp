// Entries renamed into place whole: onto nothing, over a file, a folder or a
// link, across file systems, and links made the same way.
#include "SafePlace.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "EngineTestSupport.h"
#include "InstallFiles.h"

namespace {

namespace fs = std::filesystem;

class SafePlaceTest : public testing::Test {
protected:
	std::string Folder(const std::string& name)
	{
		const std::string path = world.Temp() + "/" + name;
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

	EngineWorld world;
};

TEST_F(SafePlaceTest, PlacesOverWhateverIsInTheWay)
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
		ASSERT_TRUE(SafePlaceEntry(source, to + "/item", replaced)) << test.name;
		EXPECT_EQ(replaced, test.replaced) << test.name;
		EXPECT_FALSE(SafeEntryExists(source)) << test.name;
		EXPECT_EQ(ReadText(to + (test.sourceIsFolder ? "/item/new" : "/item")), "new") << test.name;
		EXPECT_FALSE(fs::exists(to + "/item/old")) << test.name;
		ExpectNoLeftovers(to);
	}
}

TEST_F(SafePlaceTest, FailedPlacementPutsTheOldEntryBack)
{
	const std::string to = Folder("to");
	WriteText(to + "/item", "old");
	bool replaced = false;
	EXPECT_FALSE(SafePlaceEntry(world.Temp() + "/missing", to + "/item", replaced));
	EXPECT_EQ(ReadText(to + "/item"), "old");
	ExpectNoLeftovers(to);

	// A folder cannot be moved into itself: the entry set aside comes back.
	const std::string folder = to + "/folder";
	fs::create_directories(folder);
	WriteText(folder + "/inner", "old inner");
	EXPECT_FALSE(SafePlaceEntry(folder, folder + "/inner", replaced));
	EXPECT_TRUE(replaced);
	EXPECT_EQ(ReadText(folder + "/inner"), "old inner");
	ExpectNoLeftovers(folder);
}

TEST_F(SafePlaceTest, CopiesAcrossFileSystemsBeforeTheSourceGoes)
{
	struct stat shared;
	struct stat temp;
	if (stat("/dev/shm", &shared) != 0 || stat(world.Temp().c_str(), &temp) != 0 ||
	    shared.st_dev == temp.st_dev || access("/dev/shm", W_OK) != 0)
		GTEST_SKIP() << "no second file system at /dev/shm";
	std::string other = "/dev/shm/vantry-place-XXXXXX";
	ASSERT_NE(mkdtemp(other.data()), nullptr);
	fs::create_directories(other + "/item/sub");
	WriteText(other + "/item/sub/file", "across");
	fs::create_symlink("sub/file", other + "/item/link");
	const std::string to = Folder("to");
	WriteText(to + "/item", "old");
	bool replaced = false;
	ASSERT_TRUE(SafePlaceEntry(other + "/item", to + "/item", replaced));
	EXPECT_TRUE(replaced);
	EXPECT_EQ(ReadText(to + "/item/sub/file"), "across");
	EXPECT_EQ(fs::read_symlink(to + "/item/link"), "sub/file") << "links stay links";
	EXPECT_FALSE(SafeEntryExists(other + "/item"));
	ExpectNoLeftovers(to);
	fs::remove_all(other);
}

TEST_F(SafePlaceTest, LinksReplaceFilesAndFoldersWhole)
{
	const std::string to = Folder("links");
	const std::string target = world.Temp() + "/target";
	WriteText(target, "target");
	for (const char* leaf : {"fresh", "file", "folder"}) {
		const std::string link = to + "/" + leaf;
		if (std::string(leaf) == "file")
			WriteText(link, "old");
		if (std::string(leaf) == "folder")
			fs::create_directories(link + "/inside");
		bool replaced = false;
		ASSERT_TRUE(SafePlaceLink(target, link, replaced)) << leaf;
		EXPECT_EQ(replaced, std::string(leaf) != "fresh") << leaf;
		EXPECT_EQ(fs::read_symlink(link), target) << leaf;
	}
	ExpectNoLeftovers(to);
}

TEST_F(SafePlaceTest, RemovesFilesFoldersAndLinksWithoutLeftovers)
{
	const std::string folder = Folder("remove");
	const std::string target = world.Temp() + "/target";
	WriteText(target, "target");
	WriteText(folder + "/file", "x");
	fs::create_directories(folder + "/tree/sub");
	WriteText(folder + "/tree/sub/file", "x");
	fs::create_symlink(target, folder + "/link");
	for (const char* leaf : {"file", "tree", "link", "missing"}) {
		EXPECT_TRUE(SafeRemoveEntry(folder + "/" + leaf)) << leaf;
		EXPECT_FALSE(SafeEntryExists(folder + "/" + leaf)) << leaf;
	}
	EXPECT_EQ(ReadText(target), "target") << "a link goes, not what it points to";
	ExpectNoLeftovers(folder);
	EXPECT_TRUE(fs::is_empty(folder));
}

// A removal killed at any moment leaves the entry whole at its place or not
// there at all, never a part of it.
TEST_F(SafePlaceTest, KilledRemovalLeavesTheEntryWholeOrGone)
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
			InstallRemove(tree.c_str());
			_exit(0);
		}
		usleep(useconds_t(round * 150));
		kill(child, SIGKILL);
		int status = 0;
		waitpid(child, &status, 0);
		if (!SafeEntryExists(tree))
			continue;
		size_t left = 0;
		for (auto it = fs::recursive_directory_iterator(tree); it != fs::end(it); ++it)
			left++;
		EXPECT_EQ(left, size_t(kFiles)) << "round " << round << ": part of the entry is left";
	}
}

TEST(SafePathTest, SplitsAndComparesPaths)
{
	EXPECT_EQ(SafeLeaf("/a/b/c"), "c");
	EXPECT_EQ(SafeLeaf("c"), "c");
	EXPECT_EQ(SafeLeaf("files/folder/"), "") << "names are compared as recorded";
	EXPECT_TRUE(SafeSameFolder("/tmp", "/tmp/../tmp"));
	EXPECT_FALSE(SafeSameFolder("/tmp", "/"));
	EXPECT_FALSE(SafeSameFolder("/nonexistent", "/nonexistent"));
}

} // namespace
