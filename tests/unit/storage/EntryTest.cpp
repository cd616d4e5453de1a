// BEntry: abstract entries, links not followed, renames, moves and removal.
#include "Entry.h"

#include <gtest/gtest.h>

#include "Directory.h"
#include "Path.h"
#include "StorageTestSupport.h"
#include "Volume.h"

TEST(EntryTest, EntriesNeedTheirFolderButNotThemselves)
{
	TempFolder temp;
	BEntry abstract((temp / "later").c_str());
	EXPECT_EQ(abstract.InitCheck(), B_OK);
	EXPECT_FALSE(abstract.Exists());
	BEntry orphan((temp / "missing/later").c_str());
	EXPECT_EQ(orphan.InitCheck(), B_ENTRY_NOT_FOUND);
	EXPECT_FALSE(orphan.Exists());
	BEntry empty("");
	EXPECT_EQ(empty.InitCheck(), B_BAD_VALUE);
}

TEST(EntryTest, LinksAreFollowedOnlyWhenAsked)
{
	TempFolder temp;
	mkdir((temp / "target").c_str(), 0755);
	symlink("target", (temp / "link").c_str());
	symlink("nowhere", (temp / "dangling").c_str());
	symlink("loop", (temp / "loop").c_str());
	struct Case {
		const char* leaf;
		bool traverse;
		status_t status;
		const char* path;
		bool isLink;
	};
	const Case cases[] = {
	        {"link", false, B_OK, "link", true},
	        {"link", true, B_OK, "target", false},
	        {"dangling", false, B_OK, "dangling", true},
	        {"dangling", true, B_OK, "nowhere", false},
	        {"loop", false, B_OK, "loop", true},
	        {"loop", true, B_LINK_LIMIT, nullptr, false},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(std::string(c.leaf) + (c.traverse ? " traversed" : ""));
		BEntry entry((temp / c.leaf).c_str(), c.traverse);
		ASSERT_EQ(entry.InitCheck(), c.status);
		if (c.status != B_OK)
			continue;
		EXPECT_EQ(std::string(entry.HostPath()), temp / c.path);
		EXPECT_EQ(entry.IsSymLink(), c.isLink);
	}
	BDirectory folder(temp.Path().c_str());
	BEntry inFolder(&folder, "link");
	EXPECT_TRUE(inFolder.IsSymLink());
}

TEST(EntryTest, NameParentRefAndPath)
{
	TempFolder temp;
	WriteText(temp / "file", "abc");
	BEntry entry((temp / "file").c_str());
	char name[B_FILE_NAME_LENGTH];
	ASSERT_EQ(entry.GetName(name), B_OK);
	EXPECT_STREQ(name, "file");
	BEntry parent;
	ASSERT_EQ(entry.GetParent(&parent), B_OK);
	EXPECT_EQ(std::string(parent.HostPath()), temp.Path());
	BPath path;
	ASSERT_EQ(entry.GetPath(&path), B_OK);
	EXPECT_EQ(std::string(path.Path()), temp / "file");
	entry_ref ref;
	ASSERT_EQ(entry.GetRef(&ref), B_OK);
	EXPECT_TRUE(BEntry(&ref) == entry);
	off_t size = 0;
	EXPECT_EQ(entry.GetSize(&size), B_OK);
	EXPECT_EQ(size, 3);
	EXPECT_TRUE(entry.IsFile());
	EXPECT_EQ(BEntry("/").GetParent(&parent), B_ENTRY_NOT_FOUND);
}

TEST(EntryTest, RenameRespectsClobberAndFollowsTheEntry)
{
	TempFolder temp;
	WriteText(temp / "a", "A");
	WriteText(temp / "b", "B");
	BEntry entry((temp / "a").c_str());
	EXPECT_EQ(entry.Rename("b"), B_FILE_EXISTS);
	EXPECT_EQ(ReadText(temp / "b"), "B");
	EXPECT_EQ(entry.Rename("c"), B_OK);
	EXPECT_EQ(std::string(entry.HostPath()), temp / "c");
	EXPECT_EQ(ReadText(temp / "c"), "A");
	EXPECT_EQ(entry.Rename("b", true), B_OK);
	EXPECT_EQ(ReadText(temp / "b"), "A");
	EXPECT_FALSE(BEntry((temp / "c").c_str()).Exists());

	mkdir((temp / "sub").c_str(), 0755);
	BDirectory sub((temp / "sub").c_str());
	EXPECT_EQ(entry.MoveTo(&sub), B_OK);
	EXPECT_EQ(std::string(entry.HostPath()), temp / "sub/b");
	EXPECT_EQ(entry.MoveTo(&sub, "renamed \"x\""), B_OK);
	EXPECT_EQ(ReadText(temp / "sub/renamed \"x\""), "A");
}

TEST(EntryTest, RemoveLeavesAnAbstractEntry)
{
	TempFolder temp;
	mkdir((temp / "full").c_str(), 0755);
	WriteText(temp / "full/x", "");
	symlink("full", (temp / "link").c_str());
	BEntry link((temp / "link").c_str());
	ASSERT_EQ(link.Remove(), B_OK);
	EXPECT_FALSE(link.Exists());
	EXPECT_EQ(link.InitCheck(), B_OK);
	EXPECT_TRUE(BEntry((temp / "full/x").c_str()).Exists());
	BEntry full((temp / "full").c_str());
	EXPECT_EQ(full.Remove(), B_DIRECTORY_NOT_EMPTY);
	ASSERT_EQ(BEntry((temp / "full/x").c_str()).Remove(), B_OK);
	EXPECT_EQ(full.Remove(), B_OK);
	EXPECT_FALSE(full.Exists());
}

TEST(EntryTest, TimesAndPermissions)
{
	TempFolder temp;
	WriteText(temp / "file", "x");
	BEntry entry((temp / "file").c_str());
	ASSERT_EQ(entry.SetModificationTime(1000000000), B_OK);
	time_t mtime = 0;
	ASSERT_EQ(entry.GetModificationTime(&mtime), B_OK);
	EXPECT_EQ(mtime, 1000000000);
	ASSERT_EQ(entry.SetPermissions(0640), B_OK);
	mode_t mode = 0;
	ASSERT_EQ(entry.GetPermissions(&mode), B_OK);
	EXPECT_EQ(mode, 0640u);
	time_t created = 0;
	EXPECT_EQ(entry.GetCreationTime(&created), B_OK);
	EXPECT_GT(created, 0);

	// A link's own time changes, not its target's.
	symlink("file", (temp / "link").c_str());
	BEntry link((temp / "link").c_str());
	ASSERT_EQ(link.SetModificationTime(500000000), B_OK);
	struct stat st;
	ASSERT_EQ(lstat((temp / "link").c_str(), &st), 0);
	EXPECT_EQ(st.st_mtime, 500000000);
	ASSERT_EQ(entry.GetModificationTime(&mtime), B_OK);
	EXPECT_EQ(mtime, 1000000000);
}

TEST(EntryTest, SimulatedVolumesKeepTheirOwnDevicesAndRefuseRenamesAcross)
{
	TempFolder temp;
	mkdir((temp / "root").c_str(), 0755);
	mkdir((temp / "root/other").c_str(), 0755);
	ScopedEnv root("VANTRY_ROOT", temp / "root");
	ScopedEnv volumes("VANTRY_VOLUMES", temp / "root/other");
	ScopedEnv file("VANTRY_VOLUMES_FILE", std::nullopt);
	WriteText(temp / "root/a", "A");
	BEntry a((temp / "root/a").c_str());
	BEntry other((temp / "root/other").c_str());
	BVolume bootVolume, otherVolume;
	ASSERT_EQ(a.GetVolume(&bootVolume), B_OK);
	ASSERT_EQ(BEntry((temp / "root/other/x").c_str()).GetVolume(&otherVolume), B_ENTRY_NOT_FOUND);
	WriteText(temp / "root/other/x", "");
	ASSERT_EQ(BEntry((temp / "root/other/x").c_str()).GetVolume(&otherVolume), B_OK);
	EXPECT_NE(bootVolume.Device(), otherVolume.Device());
	EXPECT_TRUE(bootVolume.IsBootVolume());
	BDirectory target((temp / "root/other").c_str());
	EXPECT_EQ(a.MoveTo(&target), B_CROSS_DEVICE_LINK);
	EXPECT_TRUE(a.Exists());
	entry_ref ref;
	ASSERT_EQ(a.GetRef(&ref), B_OK);
	EXPECT_EQ(ref.device, bootVolume.Device());
}
