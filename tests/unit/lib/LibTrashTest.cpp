// Trashing into the freedesktop trash (Linux layout) and the Desktop's Trash
// (BeOS layout), and renaming entries aside to a free name.
#include <gtest/gtest.h>

#include "FindDirectory.h"
#include "LibFile.h"
#include "LibFileTestSupport.h"
#include "Node.h"

using namespace libfile_test;

namespace {

std::string Files(const LinuxHome& home)
{
	return home.Folder() / "data/Trash/files";
}
std::string Info(const LinuxHome& home)
{
	return home.Folder() / "data/Trash/info";
}

std::string RecordPath(const std::string& record)
{
	size_t start = record.find("\nPath=");
	if (start == std::string::npos)
		return "";
	start += 6;
	return record.substr(start, record.find('\n', start) - start);
}

} // namespace

TEST(LibTrashTest, LinuxTrashWritesARecordAndFindsFreeNames)
{
	LinuxHome home;
	std::string work = home.Folder() / "work";
	mkdir(work.c_str(), 0755);
	const std::vector<std::string> expected = {"notes", "notes copy", "notes copy 1",
	                                           "notes copy 2"};
	for (size_t i = 0; i < expected.size(); i++) {
		WriteText(work + "/notes", std::to_string(i));
		ASSERT_TRUE(LibTrash(BPath((work + "/notes").c_str()), false)) << i;
		EXPECT_FALSE(Occupied(work + "/notes"));
		EXPECT_EQ(ReadText(Files(home) + "/" + expected[i]), std::to_string(i));
		std::string record = ReadText(Info(home) + "/" + expected[i] + ".trashinfo");
		EXPECT_EQ(record.rfind("[Trash Info]\nPath=", 0), 0u) << record;
		EXPECT_EQ(RecordPath(record), work + "/notes");
		EXPECT_NE(record.find("\nDeletionDate=20"), std::string::npos) << record;
	}
}

TEST(LibTrashTest, ReplaceTakesTheSameNameEvenOverAFolder)
{
	LinuxHome home;
	std::string work = home.Folder() / "work";
	mkdir(work.c_str(), 0755);
	mkdir((work + "/app").c_str(), 0755);
	WriteText(work + "/app/old", "old");
	ASSERT_TRUE(LibTrash(BPath((work + "/app").c_str()), true));
	WriteText(work + "/app", "new");
	ASSERT_TRUE(LibTrash(BPath((work + "/app").c_str()), true));
	EXPECT_EQ(Listing(Files(home)), std::vector<std::string>{"app"});
	EXPECT_EQ(ReadText(Files(home) + "/app"), "new");
	EXPECT_EQ(Listing(Info(home)), std::vector<std::string>{"app.trashinfo"});
}

TEST(LibTrashTest, RecordEncodesTheOriginalPath)
{
	LinuxHome home;
	std::string work = home.Folder() / "a b%c";
	mkdir(work.c_str(), 0755);
	WriteText(work + "/x,y", "");
	ASSERT_TRUE(LibTrash(BPath((work + "/x,y").c_str()), false));
	std::string path = RecordPath(ReadText(Info(home) + "/x,y.trashinfo"));
	EXPECT_NE(path.find("/a%20b%25c/x%2Cy"), std::string::npos) << path;
}

TEST(LibTrashTest, LongNamesAreShortenedToFitTheirRecord)
{
	LinuxHome home;
	std::string work = home.Folder() / "work";
	mkdir(work.c_str(), 0755);
	std::string name(255, 'n');
	for (int i = 0; i < 2; i++) {
		WriteText(work + "/" + name, std::to_string(i));
		ASSERT_TRUE(LibTrash(BPath((work + "/" + name).c_str()), false)) << i;
	}
	EXPECT_EQ(ReadText(Files(home) + "/" + std::string(245, 'n')), "0");
	EXPECT_EQ(ReadText(Files(home) + "/" + std::string(240, 'n') + " copy"), "1");
	EXPECT_EQ(Listing(Info(home)).size(), 2u);
}

TEST(LibTrashTest, AwkwardNamesReachTheTrash)
{
	LinuxHome home;
	std::string work = home.Folder() / "work";
	mkdir(work.c_str(), 0755);
	for (const std::string& name : AwkwardNames()) {
		std::string path = work + "/" + name;
		WriteText(path, "x");
		ASSERT_TRUE(LibTrash(BPath(path.c_str()), false)) << name;
		EXPECT_FALSE(Occupied(path)) << name;
	}
	EXPECT_EQ(Listing(Files(home)).size(), AwkwardNames().size());
	EXPECT_EQ(Listing(Info(home)).size(), AwkwardNames().size());
}

TEST(LibTrashTest, BeOSTrashKeepsTheOriginalPathInAnAttribute)
{
	TempFolder temp;
	ScopedEnv root("VANTRY_ROOT", temp.Path());
	mkdir((temp / "home").c_str(), 0755);
	WriteText(temp / "home/notes", "n");
	ASSERT_TRUE(LibTrash(BPath((temp / "home/notes").c_str()), false));
	std::string trashed = temp / "home/Desktop/Trash/notes";
	EXPECT_EQ(ReadText(trashed), "n");
	EXPECT_EQ(RawXattr(trashed, "user._trk/original_path"),
	          std::string((temp / "home/notes").c_str(), (temp / "home/notes").size() + 1));
	EXPECT_FALSE(Occupied(temp / "home/Desktop/info"));
	EXPECT_FALSE(LibTrash(BPath((temp / "home/notes").c_str()), false));
}

TEST(LibTrashTest, DuplicateRenamesToTheFirstFreeCopyName)
{
	TempFolder temp;
	std::string app = temp / "app";
	mkdir(app.c_str(), 0755);
	ASSERT_TRUE(LibDuplicate(app.c_str()));
	EXPECT_FALSE(Occupied(app));
	EXPECT_TRUE(Occupied(temp / "app copy"));
	mkdir(app.c_str(), 0755);
	symlink("nowhere", (temp / "app copy 1").c_str());
	ASSERT_TRUE(LibDuplicate(app.c_str()));
	EXPECT_EQ(Listing(temp.Path()),
	          (std::vector<std::string>{"app copy", "app copy 1", "app copy 2"}));
	EXPECT_FALSE(LibDuplicate(app.c_str()));
}
