// BDirectory iteration and creation, BFile modes and I/O, BSymLink.
#include "Directory.h"

#include <gtest/gtest.h>

#include <set>

#include "Entry.h"
#include "File.h"
#include "Path.h"
#include "StorageTestSupport.h"
#include "SymLink.h"

TEST(DirectoryTest, IterationListsEveryEntryWithoutFollowingLinks)
{
	TempFolder temp;
	std::set<std::string> expected;
	for (const std::string& name : AwkwardNames()) {
		WriteText(temp / name, "x");
		expected.insert(name);
	}
	mkdir((temp / "sub").c_str(), 0755);
	symlink("sub", (temp / "link").c_str());
	expected.insert("sub");
	expected.insert("link");

	BDirectory dir(temp.Path().c_str());
	ASSERT_EQ(dir.InitCheck(), B_OK);
	EXPECT_EQ(dir.CountEntries(), (int32)expected.size());
	std::set<std::string> seen;
	BEntry entry;
	while (dir.GetNextEntry(&entry) == B_OK) {
		char name[B_FILE_NAME_LENGTH];
		ASSERT_EQ(entry.GetName(name), B_OK);
		seen.insert(name);
		if (std::string(name) == "link") {
			EXPECT_TRUE(entry.IsSymLink());
		}
	}
	EXPECT_EQ(seen, expected);
	EXPECT_EQ(dir.GetNextEntry(&entry), B_ENTRY_NOT_FOUND);

	ASSERT_EQ(dir.Rewind(), B_OK);
	std::set<std::string> refs;
	entry_ref ref;
	while (dir.GetNextRef(&ref) == B_OK) {
		EXPECT_EQ(ref.directory_path, temp.Path());
		refs.insert(ref.name);
	}
	EXPECT_EQ(refs, expected);

	ASSERT_EQ(dir.Rewind(), B_OK);
	ASSERT_EQ(dir.FindEntry("link", &entry, true), B_OK);
	EXPECT_TRUE(entry.IsDirectory());
	EXPECT_EQ(dir.FindEntry("missing", &entry), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(entry.InitCheck(), B_NO_INIT);
}

TEST(DirectoryTest, OpeningFollowsALinkToAFolder)
{
	TempFolder temp;
	mkdir((temp / "real").c_str(), 0755);
	symlink("real", (temp / "link").c_str());
	WriteText(temp / "file", "");
	BDirectory viaLink((temp / "link").c_str());
	ASSERT_EQ(viaLink.InitCheck(), B_OK);
	EXPECT_EQ(std::string(viaLink.HostPath()), temp / "real");
	BDirectory notFolder((temp / "file").c_str());
	EXPECT_EQ(notFolder.InitCheck(), B_NOT_A_DIRECTORY);
	BDirectory missing((temp / "missing").c_str());
	EXPECT_EQ(missing.InitCheck(), B_ENTRY_NOT_FOUND);
}

TEST(DirectoryTest, CreatesFilesFoldersAndLinks)
{
	TempFolder temp;
	BDirectory dir(temp.Path().c_str());
	BFile file;
	ASSERT_EQ(dir.CreateFile("new file", &file), B_OK);
	EXPECT_EQ(file.Write("abc", 3), 3);
	EXPECT_EQ(dir.CreateFile("new file", &file, true), B_FILE_EXISTS);
	ASSERT_EQ(dir.CreateFile("new file", &file, false), B_OK);
	off_t size = -1;
	EXPECT_EQ(file.GetSize(&size), B_OK);
	EXPECT_EQ(size, 0); // recreated empty

	BDirectory sub;
	ASSERT_EQ(dir.CreateDirectory("sub $dir", &sub), B_OK);
	EXPECT_EQ(std::string(sub.HostPath()), temp / "sub $dir");
	EXPECT_EQ(dir.CreateDirectory("sub $dir", nullptr), B_FILE_EXISTS);

	BSymLink link;
	ASSERT_EQ(dir.CreateSymLink("link", "sub $dir", &link), B_OK);
	char text[64];
	EXPECT_EQ(link.ReadLink(text, sizeof(text)), 8);
	EXPECT_STREQ(text, "sub $dir");
	EXPECT_FALSE(link.IsAbsolute());
	BPath linked;
	EXPECT_EQ(link.MakeLinkedPath(&dir, &linked), (ssize_t)(temp / "sub $dir").size());
	EXPECT_EQ(std::string(linked.Path()), temp / "sub $dir");
	EXPECT_EQ(link.ReadLink(text, 4), 3);
	EXPECT_STREQ(text, "sub");
	BSymLink notLink((temp / "new file").c_str());
	EXPECT_EQ(notLink.ReadLink(text, sizeof(text)), B_BAD_VALUE);
}

TEST(DirectoryTest, ContainsLooksBelowWithKindFilter)
{
	TempFolder temp;
	mkdir((temp / "a").c_str(), 0755);
	mkdir((temp / "a/b").c_str(), 0755);
	WriteText(temp / "a/b/file", "");
	symlink("file", (temp / "a/b/link").c_str());
	BDirectory dir((temp / "a").c_str());
	struct Case {
		std::string path;
		int32 flags;
		bool contained;
	};
	const Case cases[] = {
	        {"b", B_ANY_NODE, true},
	        {"b/file", B_ANY_NODE, true},
	        {"b/file", B_DIRECTORY_NODE, false},
	        {"b/file", B_FILE_NODE, true},
	        {"b/link", B_FILE_NODE, false},
	        {"b/link", B_SYMLINK_NODE, true},
	        {temp / "a/b/file", B_ANY_NODE, true},
	        {temp / "file", B_ANY_NODE, false},
	        {temp / "a", B_ANY_NODE, false},
	        {"b/missing", B_ANY_NODE, false},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.path);
		EXPECT_EQ(dir.Contains(c.path.c_str(), c.flags), c.contained);
	}
}

TEST(DirectoryTest, CreateDirectoryMakesEveryMissingFolder)
{
	TempFolder temp;
	EXPECT_EQ(create_directory((temp / "x/y/z").c_str(), 0755), B_OK);
	struct stat st;
	EXPECT_EQ(stat((temp / "x/y/z").c_str(), &st), 0);
	EXPECT_EQ(create_directory((temp / "x/y").c_str(), 0755), B_OK);
	WriteText(temp / "file", "");
	EXPECT_EQ(create_directory((temp / "file").c_str(), 0755), B_NOT_A_DIRECTORY);
	EXPECT_EQ(create_directory((temp / "file/sub").c_str(), 0755), B_NOT_A_DIRECTORY);
}

TEST(DirectoryTest, RootDirectoryOfASimulatedVolume)
{
	TempFolder temp;
	mkdir((temp / "root").c_str(), 0755);
	mkdir((temp / "root/home").c_str(), 0755);
	ScopedEnv root("VANTRY_ROOT", temp / "root");
	ScopedEnv volumes("VANTRY_VOLUMES", std::nullopt);
	ScopedEnv file("VANTRY_VOLUMES_FILE", std::nullopt);
	EXPECT_TRUE(BDirectory((temp / "root").c_str()).IsRootDirectory());
	EXPECT_FALSE(BDirectory((temp / "root/home").c_str()).IsRootDirectory());
}

TEST(DirectoryTest, FileOpenModes)
{
	TempFolder temp;
	std::string path = temp / "data";
	struct Case {
		uint32 mode;
		bool exists;
		status_t status;
		bool readable;
		bool writable;
		std::string after; // content after writing "new"
	};
	const Case cases[] = {
	        {B_READ_ONLY, true, B_OK, true, false, "old"},
	        {B_WRITE_ONLY, true, B_OK, false, true, "new"},
	        {B_READ_WRITE | B_ERASE_FILE, true, B_OK, true, true, "new"},
	        {B_WRITE_ONLY | B_OPEN_AT_END, true, B_OK, false, true, "oldnew"},
	        {B_READ_WRITE, false, B_ENTRY_NOT_FOUND, false, false, ""},
	        {B_READ_WRITE | B_CREATE_FILE, false, B_OK, true, true, "new"},
	        {B_READ_WRITE | B_CREATE_FILE | B_FAIL_IF_EXISTS, true, B_FILE_EXISTS, false, false,
	         "old"},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.mode);
		unlink(path.c_str());
		if (c.exists)
			WriteText(path, "old");
		BFile file(path.c_str(), c.mode);
		ASSERT_EQ(file.InitCheck(), c.status);
		EXPECT_EQ(file.IsReadable(), c.readable);
		EXPECT_EQ(file.IsWritable(), c.writable);
		if (c.writable) {
			EXPECT_EQ(file.Write("new", 3), 3);
		} else if (c.status == B_OK) {
			EXPECT_LT(file.Write("new", 3), 0);
		}
		file.Unset();
		if (c.exists || c.status == B_OK) {
			EXPECT_EQ(ReadText(path), c.after);
		}
	}
	BFile folder(temp.Path().c_str(), B_READ_ONLY);
	EXPECT_EQ(folder.InitCheck(), B_IS_A_DIRECTORY);
}

TEST(DirectoryTest, FilePositionsAndSizes)
{
	TempFolder temp;
	BFile file((temp / "f").c_str(), B_READ_WRITE | B_CREATE_FILE);
	ASSERT_EQ(file.Write("0123456789", 10), 10);
	EXPECT_EQ(file.Position(), 10);
	EXPECT_EQ(file.Seek(2, SEEK_SET), 2);
	char buffer[16] = {};
	EXPECT_EQ(file.Read(buffer, 3), 3);
	EXPECT_STREQ(buffer, "234");
	EXPECT_EQ(file.WriteAt(8, "ab", 2), 2);
	EXPECT_EQ(file.Position(), 5);
	EXPECT_EQ(file.ReadAt(7, buffer, 16), 3);
	EXPECT_EQ(std::string(buffer, 3), "7ab");
	EXPECT_EQ(file.SetSize(4), B_OK);
	off_t size = 0;
	EXPECT_EQ(file.GetSize(&size), B_OK);
	EXPECT_EQ(size, 4);
	EXPECT_EQ(file.Seek(0, SEEK_END), 4);
	EXPECT_EQ(file.ReadAt(-1, buffer, 1), B_BAD_VALUE);
	EXPECT_EQ(file.SetSize(-1), B_BAD_VALUE);
}
