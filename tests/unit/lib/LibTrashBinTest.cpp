// The trash that takes an entry: home trash or a volume's own, records
// written before the entry arrives, names never replaced.
#include <gtest/gtest.h>

#include "LibFileTestSupport.h"
#include "LibTrashBin.h"

using namespace libfile_test;

namespace {

std::string RecordPath(const std::string& record)
{
	size_t start = record.find("\nPath=");
	if (start == std::string::npos)
		return "";
	start += 6;
	return record.substr(start, record.find('\n', start) - start);
}

} // namespace

TEST(LibTrashBinTest, HomeTrashKeepsAnAbsoluteRecord)
{
	LinuxHome home;
	const std::string work = home.Folder() / "my work";
	mkdir(work.c_str(), 0755);
	WriteText(work + "/notes", "n");
	LibTrashBin bin((work + "/notes").c_str());
	ASSERT_EQ(bin.InitCheck(), B_OK);
	EXPECT_EQ(std::string(bin.FilesFolder()), home.Folder() / "data/Trash/files");
	ASSERT_EQ(bin.Put((work + "/notes").c_str(), "notes"), B_OK);
	EXPECT_FALSE(Occupied(work + "/notes"));
	EXPECT_EQ(ReadText(std::string(bin.FilesFolder()) + "/notes"), "n");
	const std::string record = ReadText(std::string(bin.InfoFolder()) + "/notes.trashinfo");
	EXPECT_EQ(RecordPath(record), home.Folder() / "my%20work/notes");
}

TEST(LibTrashBinTest, AnotherVolumeKeepsItsOwnTrashWithRelativeRecords)
{
	TempFolder folder;
	const std::string boot = folder / "boot";
	const std::string data = folder / "data";
	mkdir(boot.c_str(), 0755);
	mkdir((boot + "/home").c_str(), 0755);
	mkdir(data.c_str(), 0755);
	mkdir((data + "/apps").c_str(), 0755);
	ScopedEnv root("VANTRY_ROOT", boot);
	ScopedEnv volumes("VANTRY_VOLUMES", data + ":name=Data");
	WriteText(data + "/apps/tool", "t");
	LibTrashBin bin((data + "/apps/tool").c_str());
	ASSERT_EQ(bin.InitCheck(), B_OK);
	const std::string trash = data + "/.Trash-" + std::to_string(getuid());
	EXPECT_EQ(std::string(bin.FilesFolder()), trash + "/files");
	ASSERT_EQ(bin.Put((data + "/apps/tool").c_str(), "tool"), B_OK);
	EXPECT_EQ(ReadText(trash + "/files/tool"), "t");
	EXPECT_EQ(RecordPath(ReadText(trash + "/info/tool.trashinfo")), "apps/tool");
	struct stat st;
	ASSERT_EQ(lstat(trash.c_str(), &st), 0);
	EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(LibTrashBinTest, PutNeverReplacesAndFreeNamesSkipStaleRecords)
{
	LinuxHome home;
	const std::string work = home.Folder() / "work";
	mkdir(work.c_str(), 0755);
	WriteText(work + "/a", "new");
	LibTrashBin bin((work + "/a").c_str());
	ASSERT_EQ(bin.InitCheck(), B_OK);
	const std::string files = bin.FilesFolder();
	const std::string info = bin.InfoFolder();
	WriteText(files + "/a", "old");
	// A record left by a trashing program that was killed still holds its name.
	WriteText(info + "/a copy.trashinfo", "[Trash Info]\n");
	EXPECT_EQ(bin.Put((work + "/a").c_str(), "a"), B_FILE_EXISTS);
	EXPECT_EQ(ReadText(files + "/a"), "old");
	EXPECT_EQ(ReadText(work + "/a"), "new");
	EXPECT_FALSE(Occupied(info + "/a.trashinfo"));
	const std::string name = bin.FreeName("a");
	EXPECT_EQ(name, "a copy 1");
	ASSERT_EQ(bin.Put((work + "/a").c_str(), name), B_OK);
	EXPECT_EQ(ReadText(files + "/a copy 1"), "new");
	EXPECT_EQ(ReadText(files + "/a"), "old");
	ASSERT_EQ(bin.Remove("a copy 1"), B_OK);
	EXPECT_FALSE(Occupied(files + "/a copy 1"));
	EXPECT_FALSE(Occupied(info + "/a copy 1.trashinfo"));
}

TEST(LibTrashBinTest, AFolderDestinationKeepsNoRecords)
{
	TempFolder folder;
	mkdir((folder / "to").c_str(), 0755);
	WriteText(folder / "item", "i");
	LibTrashBin bin((folder / "item").c_str());
	bin.SetToFolder((folder / "to").c_str());
	ASSERT_EQ(bin.InitCheck(), B_OK);
	EXPECT_STREQ(bin.InfoFolder(), "");
	ASSERT_EQ(bin.Put((folder / "item").c_str(), "item"), B_OK);
	EXPECT_EQ(Listing(folder / "to"), std::vector<std::string>{"item"});
	bin.SetToFolder((folder / "missing").c_str());
	EXPECT_EQ(bin.InitCheck(), B_ENTRY_NOT_FOUND);
}
