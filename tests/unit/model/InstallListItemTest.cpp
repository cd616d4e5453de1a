// Install items in the record's `install_file` form: what is written, in
// which order, and what reading takes from it.
#include "InstallListItem.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "Bitmap.h"
#include "LibBitmap.h"
#include "LibFile.h"
#include "Message.h"
#include "Node.h"
#include "NodeInfo.h"

namespace {

class InstallListItemTest : public testing::Test {
protected:
	void SetUp() override
	{
		std::string pattern = testing::TempDir() + "model-XXXXXX";
		fFolder = mkdtemp(pattern.data());
	}
	void TearDown() override { std::filesystem::remove_all(fFolder); }

	std::string Make(const std::string& leaf, const std::string& text, mode_t mode = 0644)
	{
		std::string path = fFolder + "/" + leaf;
		std::ofstream(path) << text;
		chmod(path.c_str(), mode);
		return path;
	}

	std::string fFolder;
};

std::vector<uint8> default_icon(LibBitmap::IconKind kind)
{
	std::vector<uint8> bits(256);
	LibBitmap::GetDefaultIcon(kind, B_MINI_ICON, bits.data());
	return bits;
}

std::vector<std::string> field_order(const BMessage& message)
{
	std::vector<std::string> names;
	char* name;
	type_code type;
	for (int32 i = 0; message.GetInfo(B_ANY_TYPE, i, &name, &type) == B_OK; i++)
		names.push_back(name);
	return names;
}

std::vector<std::string> groups_of(InstallListItem& item)
{
	std::vector<std::string> groups;
	for (LibString* group = item.Groups().First(); group != nullptr; group = item.Groups().Next())
		groups.push_back(group->String());
	return groups;
}

TEST_F(InstallListItemTest, WriteGivesTheFieldsInRecordOrder)
{
	std::string path = Make("ReadMe", std::string(300, 'r'));
	struct timespec times[2] = {{1000000, 0}, {2000000, 0}};
	utimensat(AT_FDCWD, path.c_str(), times, 0);
	InstallListItem item(path.c_str(), true, false);
	item.SetSize(777);
	item.Groups().Add("Normal");
	item.Groups().Add("Full");
	BMessage message;
	item.Write(message);
	EXPECT_EQ(field_order(message),
	          (std::vector<std::string>{"file_name", "file_type", "file_size", "file_creation",
	                                    "file_modified", "file_accessed", "file_icon", "groups"}));
	EXPECT_STREQ(message.FindString("file_name"), path.c_str());
	EXPECT_EQ(message.FindInt8("file_type"), 0);
	EXPECT_EQ(message.FindInt32("file_size", 0), LibEntrySize(path.c_str(), true));
	EXPECT_EQ(message.FindInt32("file_size", 1), 777);
	EXPECT_EQ(message.FindInt64("file_modified"), 2000000);
	struct stat info;
	ASSERT_EQ(stat(path.c_str(), &info), 0);
	EXPECT_EQ(message.FindInt64("file_accessed"), info.st_atime);
	EXPECT_STREQ(message.FindString("groups"), "Normal;Full;");
}

// A size the caller counted spares the walk, until the item names another entry.
TEST_F(InstallListItemTest, GivenEntrySizeIsWrittenUntilThePathChanges)
{
	std::string first = Make("first", std::string(300, 'a'));
	std::string second = Make("second", std::string(40, 'b'));
	InstallListItem item(first.c_str(), true, false);
	item.SetEntrySize(12345);
	BMessage given;
	item.Write(given);
	EXPECT_EQ(given.FindInt32("file_size", 0), 12345);
	item.SetPath(second.c_str());
	BMessage walked;
	item.Write(walked);
	EXPECT_EQ(walked.FindInt32("file_size", 0), LibEntrySize(second.c_str(), true));
	EXPECT_NE(walked.FindInt32("file_size", 0), 12345);
}

TEST_F(InstallListItemTest, IconIsArchivedAsLibBitmapOf16By16Indexes)
{
	std::string path = Make("tool", "#!/bin/sh\n", 0755);
	InstallListItem item(path.c_str(), true, false);
	BMessage message;
	item.Write(message);
	BMessage icon;
	ASSERT_EQ(message.FindMessage("file_icon", &icon), B_OK);
	EXPECT_STREQ(icon.FindString("class"), "LibBitmap");
	EXPECT_EQ(icon.FindRect("_frame"), BRect(0, 0, 15, 15));
	EXPECT_EQ(icon.FindInt32("_cspace"), (int32)B_CMAP8);
	EXPECT_EQ(icon.FindInt32("_rowbytes"), 16);
	const void* data;
	ssize_t size;
	ASSERT_EQ(icon.FindData("_data", B_RAW_TYPE, &data, &size), B_OK);
	ASSERT_EQ(size, 256);
	EXPECT_EQ(memcmp(data, default_icon(LibBitmap::kAppIcon).data(), 256), 0)
	        << "an executable's default icon";
}

TEST_F(InstallListItemTest, OwnMiniIconWinsOverTheDefault)
{
	std::string path = Make("picture", "p");
	uint8 bits[256];
	for (int i = 0; i < 256; i++)
		bits[i] = (uint8)i;
	BNode node(path.c_str());
	BNodeInfo info(&node);
	ASSERT_EQ(info.SetIconBits(bits, B_MINI_ICON), B_OK);
	InstallListItem item(path.c_str(), true, false);
	EXPECT_EQ(memcmp(item.Icon()->Bits(), bits, 256), 0);
}

TEST_F(InstallListItemTest, EntryWithoutIconShowsTheDefaultOfItsKind)
{
	std::filesystem::create_directory(fFolder + "/folder");
	InstallListItem folder((fFolder + "/folder").c_str(), true, false);
	EXPECT_EQ(memcmp(folder.Icon()->Bits(), default_icon(LibBitmap::kFolderIcon).data(), 256), 0);
	InstallListItem document(Make("doc", "").c_str(), true, false);
	EXPECT_EQ(memcmp(document.Icon()->Bits(), default_icon(LibBitmap::kFileIcon).data(), 256), 0);
	EXPECT_NE(default_icon(LibBitmap::kFolderIcon), default_icon(LibBitmap::kFileIcon));
}

struct GroupsCase {
	const char* text;
	std::vector<std::string> groups;
};

TEST_F(InstallListItemTest, ReadSplitsGroupsAtSemicolons)
{
	const GroupsCase cases[] = {
	        {"Normal;", {"Normal"}},
	        {"Normal;Full", {"Normal", "Full"}},
	        {"Normal;Full;", {"Normal", "Full"}},
	        {"", {}},
	};
	for (const GroupsCase& c : cases) {
		BMessage message;
		message.AddString("groups", c.text);
		InstallListItem item(false);
		item.Read(message);
		EXPECT_EQ(groups_of(item), c.groups) << '"' << c.text << '"';
	}
}

TEST_F(InstallListItemTest, ReadTakesTheFirstSizeTheLeafAndTheType)
{
	BMessage message;
	message.AddString("file_name", "/boot/apps/Item");
	message.AddInt8("file_type", 2);
	message.AddInt32("file_size", 100);
	message.AddInt32("file_size", 200);
	InstallListItem item(false);
	item.Read(message);
	EXPECT_EQ(item.Size(), 100);
	EXPECT_EQ(item.Type(), FileListItem::kFolderType);
	EXPECT_STREQ(item.DisplayText().String(), "Item");
	EXPECT_EQ(item.TruncateMode(), 1u);
	item.SetShowFullPath(true);
	EXPECT_STREQ(item.DisplayText().String(), "/boot/apps/Item");
}

TEST_F(InstallListItemTest, ARecordPathThatDoesNotResolveStillNamesTheRow)
{
	// The record keeps paths relative to the product folder; the installer
	// runs from anywhere, where "files" is not a folder.
	for (const char* path : {"files/tool.txt", "no-such-folder/deeper/tool.txt"}) {
		BMessage message;
		message.AddString("file_name", path);
		InstallListItem item(false);
		item.Read(message);
		EXPECT_STREQ(item.DisplayText().String(), "tool.txt") << path;
		EXPECT_STREQ(item.Path(), path);
		item.SetShowFullPath(true);
		EXPECT_STREQ(item.DisplayText().String(), path);
	}
}

TEST_F(InstallListItemTest, ReadWithoutIconKeepsTheEmptyTransparentIcon)
{
	BMessage message;
	message.AddString("file_name", "/boot/apps/Item");
	BMessage broken;
	broken.AddString("class", "LibBitmap");
	message.AddMessage("file_icon", &broken);
	InstallListItem item(false);
	item.Read(message);
	const uint8* bits = static_cast<const uint8*>(item.Icon()->Bits());
	for (int i = 0; i < 256; i++)
		ASSERT_EQ(bits[i], B_TRANSPARENT_MAGIC_CMAP8) << i;
}

TEST_F(InstallListItemTest, WrittenItemReadsBackThroughTheRecordForm)
{
	std::filesystem::create_directory(fFolder + "/Docs");
	Make("Docs/a.txt", "abc");
	InstallListItem written((fFolder + "/Docs").c_str(), true, false);
	written.SetType(FileListItem::kFolderType);
	written.SetSize(12345);
	written.Groups().Add("Full");
	BMessage message;
	written.Write(message);
	InstallListItem read(false);
	read.Read(message);
	EXPECT_STREQ(read.Path(), written.Path());
	EXPECT_EQ(read.Type(), FileListItem::kFolderType);
	EXPECT_EQ(read.Size(), LibEntrySize((fFolder + "/Docs").c_str(), true));
	EXPECT_EQ(groups_of(read), std::vector<std::string>{"Full"});
	EXPECT_EQ(memcmp(read.Icon()->Bits(), written.Icon()->Bits(), 256), 0);
}

} // namespace
