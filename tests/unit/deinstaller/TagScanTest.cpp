// The tag scan: which entries it finds, what it does not enter, and how it
// counts what it cannot read.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "Node.h"
#include "TagScan.h"
#include "TempFolder.h"
#include "TestFiles.h"
#include "TypeConstants.h"

namespace {

const std::string kRecord = "Hello;1.0;2024-01-01;Test Company;test@example.org;";

void Tag(const std::string& path, const std::string& value)
{
	BNode node(path.c_str());
	ASSERT_EQ(node.InitCheck(), B_OK) << path;
	ASSERT_EQ(node.WriteAttr("InstallBy", B_STRING_TYPE, 0, value.data(), value.size()),
	          (ssize_t)value.size())
	        << path;
}

std::vector<std::string> Relative(const std::vector<std::string>& paths, const std::string& root)
{
	std::vector<std::string> relative;
	for (const std::string& path : paths)
		relative.push_back(path.substr(root.size() + 1));
	return relative;
}

} // namespace

TEST(TagScanTest, FindsExactlyTheEntriesTaggedWithTheRecord)
{
	TempFolder folder;
	const std::string root = folder.Path();
	struct Case {
		const char* path;
		bool isFolder;
		std::string tag;
		bool found;
	} cases[] = {
	        {"app", true, kRecord, true},
	        {"app/bin", false, kRecord, true},
	        {"app/data", true, kRecord, true},
	        {"app/data/deep", false, kRecord, true},
	        {"app/user-notes", false, "", false},
	        {"moved elsewhere", false, kRecord, true},
	        {"other product", false, "Other;1.0;2024-01-01;Test Company;test@example.org;", false},
	        {"other version", false, "Hello;2.0;2024-01-01;Test Company;test@example.org;", false},
	        {"case differs", false, "hello;1.0;2024-01-01;Test Company;test@example.org;", false},
	        {"longer value", false, kRecord + "x", false},
	        {"prefix only", false, kRecord.substr(0, 10), false},
	        {"empty tag", false, "", false},
	        {".Trash-0", true, "", false},
	        {".Trash-0/files", true, "", false},
	        {".Trash-0/files/trashed", false, kRecord, false},
	        {"home trash", true, "", false},
	        {"home trash/old", false, kRecord, false},
	        {"sub", true, "", false},
	        {"sub/.Trash-0", true, "", false},
	        {"sub/.Trash-0/not top", false, kRecord, true},
	};
	for (const Case& item : cases) {
		const std::string path = root + "/" + item.path;
		if (item.isFolder)
			ASSERT_EQ(mkdir(path.c_str(), 0755), 0) << path;
		else
			WriteText(path, "x");
		if (!item.tag.empty())
			Tag(path, item.tag);
	}
	// A tagged link is found from the attributes its folder keeps; the
	// tagged folder it points to is not walked through it.
	ASSERT_EQ(symlink((root + "/app").c_str(), (root + "/app link").c_str()), 0);
	Tag(root + "/app link", kRecord);
	ASSERT_EQ(symlink((root + "/app").c_str(), (root + "/sub/plain link").c_str()), 0);

	TagScan scan(root, kRecord);
	scan.SkipFolder(root + "/home trash");
	scan.SetThreads(2);
	ASSERT_EQ(scan.Run(), B_OK);
	std::vector<std::string> expected;
	for (const Case& item : cases) {
		if (item.found)
			expected.push_back(item.path);
	}
	expected.push_back("app link");
	std::sort(expected.begin(), expected.end());
	EXPECT_EQ(Relative(scan.Found(), root), expected);
	EXPECT_TRUE(scan.Unreadable().empty());
}

TEST(TagScanTest, FoldersComeBeforeTheirContents)
{
	TempFolder folder;
	const std::string root = folder.Path();
	for (const char* path : {"a", "a/b", "a/b/c", "a b", "a-b"}) {
		mkdir((root + "/" + path).c_str(), 0755);
		Tag(root + "/" + path, kRecord);
	}
	TagScan scan(root, kRecord);
	scan.SetThreads(2);
	ASSERT_EQ(scan.Run(), B_OK);
	const std::vector<std::string> found = Relative(scan.Found(), root);
	ASSERT_EQ(found.size(), 5u);
	auto position = [&](const char* path) {
		return std::find(found.begin(), found.end(), path) - found.begin();
	};
	EXPECT_LT(position("a"), position("a/b"));
	EXPECT_LT(position("a/b"), position("a/b/c"));
}

TEST(TagScanTest, AFailedReadCountsAsNoTag)
{
	TempFolder folder;
	const std::string root = folder.Path();
	for (const char* leaf : {"readable", "unreadable"}) {
		WriteText(root + "/" + leaf, "x");
		Tag(root + "/" + leaf, kRecord);
	}
	TagScan scan(root, kRecord);
	scan.SetTagReader([](const std::string& path, bool link, char* buffer, size_t size) {
		if (path.ends_with("/unreadable")) {
			// What a read gives before failing must not count either.
			memcpy(buffer, kRecord.data(), std::min(size, kRecord.size()));
			errno = EIO;
			return ssize_t(-1);
		}
		return TagScan::ReadHostTag(path, link, buffer, size);
	});
	ASSERT_EQ(scan.Run(), B_OK);
	EXPECT_EQ(Relative(scan.Found(), root), std::vector<std::string>{"readable"});
}

TEST(TagScanTest, AFolderThatCannotBeOpenedIsCountedAndTheRestScanned)
{
	TempFolder folder;
	const std::string root = folder.Path();
	WriteText(root + "/found", "x");
	Tag(root + "/found", kRecord);
	// A chain of folders whose path passes PATH_MAX cannot be opened by path.
	int fd = open(root.c_str(), O_RDONLY | O_DIRECTORY);
	const std::string leaf(200, 'd');
	std::string deepest = root;
	for (int i = 0; i < 24; i++) {
		ASSERT_EQ(mkdirat(fd, leaf.c_str(), 0755), 0);
		const int next = openat(fd, leaf.c_str(), O_RDONLY | O_DIRECTORY);
		close(fd);
		fd = next;
		deepest += "/" + leaf;
	}
	close(fd);

	TagScan scan(root, kRecord);
	scan.SetThreads(2);
	ASSERT_EQ(scan.Run(), B_OK);
	EXPECT_EQ(Relative(scan.Found(), root), std::vector<std::string>{"found"});
	ASSERT_EQ(scan.Unreadable().size(), 1u);
	EXPECT_GT(scan.Unreadable()[0].first.size(), size_t(PATH_MAX - 1));
	EXPECT_EQ(scan.Unreadable()[0].second, strerror(ENAMETOOLONG));
	std::filesystem::remove_all(root + "/" + leaf);
}

TEST(TagScanTest, AStopEndsTheScanAsCanceled)
{
	TempFolder folder;
	const std::string root = folder.Path();
	std::string chain = root;
	for (int i = 0; i < 50; i++) {
		chain += "/f";
		mkdir(chain.c_str(), 0755);
	}
	TagScan scan(root, kRecord);
	int32 asked = 0;
	scan.SetStopCheck([&] { return ++asked > 3; });
	EXPECT_EQ(scan.Run(), B_CANCELED);
	EXPECT_LT(scan.EntriesSeen(), 50);
}
