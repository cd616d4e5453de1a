// The trash that takes an entry: home trash or a volume's own, records
// written before the entry arrives, names never replaced.
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>

#include "LibFileTestSupport.h"
#include "LibTrashBin.h"

using namespace libfile_test;

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
	EXPECT_EQ(TrashRecordPath(record), home.Folder() / "my%20work/notes");
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
	EXPECT_EQ(TrashRecordPath(ReadText(trash + "/info/tool.trashinfo")), "apps/tool");
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

// A volume's trash folder that another user made, can enter, or points
// elsewhere is never used: what is trashed would be theirs to read.
TEST(LibTrashBinTest, AVolumeTrashOfAnotherUserIsNeverUsed)
{
	const uid_t other = 65534;
	const std::string uid = std::to_string(geteuid());
	struct Case {
		const char* what;
		std::function<void(const std::string& data)> prepare;
		const char* expected; // the files folder below the volume, "" for the home trash
	};
	const auto folder = [](const std::string& path, const mode_t& mode, const uid_t& owner) {
		mkdir(path.c_str(), mode);
		chmod(path.c_str(), mode);
		return chown(path.c_str(), owner, uid_t(-1)) == 0;
	};
	const std::vector<Case> cases = {
	        {"none yet: made for this user", [](const std::string&) {}, "/.Trash-UID/files"},
	        {"open to everyone",
	         [&](const std::string& data) { folder(data + "/.Trash-" + uid, 0777, geteuid()); },
	         ""},
	        {"another user's",
	         [&](const std::string& data) { folder(data + "/.Trash-" + uid, 0700, other); }, ""},
	        {"a link",
	         [&](const std::string& data) {
		         mkdir((data + "/elsewhere").c_str(), 0700);
		         symlink("elsewhere", (data + "/.Trash-" + uid).c_str());
	         },
	         ""},
	        {"a shared trash without the sticky bit",
	         [&](const std::string& data) { folder(data + "/.Trash", 0777, geteuid()); },
	         "/.Trash-UID/files"},
	        {"a sticky shared trash",
	         [&](const std::string& data) { folder(data + "/.Trash", 01777, geteuid()); },
	         "/.Trash/UID/files"},
	        {"another user's folder in the sticky shared trash",
	         [&](const std::string& data) {
		         folder(data + "/.Trash", 01777, geteuid());
		         folder(data + "/.Trash/" + uid, 0700, other);
	         },
	         "/.Trash-UID/files"},
	};
	for (const Case& row : cases) {
		SCOPED_TRACE(row.what);
		if (geteuid() != 0 && std::string(row.what).find("another user") != std::string::npos)
			continue;
		TempFolder top;
		const std::string boot = top / "boot";
		const std::string data = top / "data";
		mkdir(boot.c_str(), 0755);
		mkdir((boot + "/home").c_str(), 0755);
		mkdir(data.c_str(), 0777);
		ScopedEnv root("VANTRY_ROOT", boot);
		ScopedEnv volumes("VANTRY_VOLUMES", data + ":name=Data");
		row.prepare(data);
		WriteText(data + "/tool", "t");
		LibTrashBin bin((data + "/tool").c_str());
		ASSERT_EQ(bin.InitCheck(), B_OK);
		std::string expected = row.expected;
		if (!expected.empty())
			expected = data + expected.replace(expected.find("UID"), 3, uid);
		const std::string files = bin.FilesFolder();
		if (expected.empty())
			EXPECT_NE(files.compare(0, data.size(), data), 0) << files;
		else
			EXPECT_EQ(files, expected);
		ASSERT_EQ(bin.Put((data + "/tool").c_str(), "tool"), B_OK);
		EXPECT_EQ(ReadText(files + "/tool"), "t");
	}
}
