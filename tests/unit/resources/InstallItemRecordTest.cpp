// An install item read through its accessors: absent fields give their
// defaults, placement rules come from install_meta, and the size is the
// first item read as the unsigned count it is.
#include <gtest/gtest.h>

#include "InstallItemRecord.h"

TEST(InstallItemRecordTest, AbsentFieldsGiveTheirDefaults)
{
	BMessage empty;
	const InstallItemRecord item(empty);
	int64 seconds = 0;
	EXPECT_STREQ(item.FileName(), "");
	EXPECT_EQ(item.Leaf(), "");
	EXPECT_EQ(item.FileSize(), 0);
	EXPECT_FALSE(item.Selected());
	EXPECT_EQ(item.Groups(), nullptr);
	EXPECT_FALSE(item.CreationTime(seconds));
	EXPECT_EQ(item.Destination(), nullptr);
	EXPECT_EQ(item.LinkExists(), nullptr);
	EXPECT_FALSE(item.Deinstallable());
	EXPECT_FALSE(item.AutoLaunch());
	EXPECT_STREQ(item.AutoLaunchReason(), "");
	EXPECT_FALSE(item.HasMeta());
}

TEST(InstallItemRecordTest, FieldsAndPlacementRulesAreRead)
{
	BMessage meta;
	meta.AddString("destination", "User Selected");
	meta.AddString("destination_exists", "Prompt");
	meta.AddString("link", "None");
	meta.AddString("link_exists", "Rename");
	meta.AddString("deinstallable", "True");
	meta.AddString("auto_launch", "true");
	meta.AddString("groups", "Old;");
	BMessage message;
	message.AddString("file_name", "files/bin/Tally");
	// 3 GB does not fit a signed 32-bit count; the second item is ignored.
	message.AddInt32("file_size", int32(uint32(3000000000u)));
	message.AddInt32("file_size", 7);
	message.AddBool("install_to_system", true);
	message.AddInt64("file_modified", 1234);
	message.AddMessage("install_meta", &meta);
	const InstallItemRecord item(message);

	EXPECT_EQ(item.Leaf(), "Tally");
	EXPECT_EQ(item.FileSize(), 3000000000);
	EXPECT_TRUE(item.Selected());
	int64 seconds = 0;
	EXPECT_TRUE(item.ModificationTime(seconds));
	EXPECT_EQ(seconds, 1234);
	EXPECT_FALSE(item.AccessTime(seconds));
	EXPECT_STREQ(item.Destination(), "User Selected");
	EXPECT_STREQ(item.DestinationExists(), "Prompt");
	EXPECT_STREQ(item.Link(), "None");
	EXPECT_STREQ(item.LinkExists(), "Rename");
	EXPECT_TRUE(item.Deinstallable());
	// Only exactly "True" launches.
	EXPECT_FALSE(item.AutoLaunch());
	// Older records kept the groups in install_meta; the item's own come first.
	EXPECT_STREQ(item.Groups(), "Old;");
	message.AddString("groups", "Normal;");
	EXPECT_STREQ(InstallItemRecord(message).Groups(), "Normal;");
}

TEST(InstallItemRecordTest, GroupListsNameWholeTypes)
{
	struct Case {
		const char* groups;
		std::vector<std::string> names;
		const char* type;
		bool in;
	};
	const Case cases[] = {
	        {"Normal;Full;", {"Normal", "Full"}, "Full", true},
	        {"Normal;Full", {"Normal", "Full"}, "Full", true},
	        {"Normal;;Full;", {"Normal", "Full"}, "", false},
	        {"Fullish;", {"Fullish"}, "Full", false},
	        {"", {}, "Normal", false},
	};
	for (const Case& test : cases) {
		BMessage message;
		message.AddString("groups", test.groups);
		const InstallItemRecord item(message);
		EXPECT_EQ(item.GroupNames(), test.names) << test.groups;
		EXPECT_EQ(item.InType(test.type), test.in) << test.groups << " / " << test.type;
	}
	BMessage selected;
	InstallItemRecord::SetSelected(selected, true);
	InstallItemRecord::SetSelected(selected, false);
	EXPECT_FALSE(InstallItemRecord(selected).Selected());
	InstallItemRecord::SetSelected(selected, true);
	EXPECT_TRUE(InstallItemRecord(selected).Selected());
}
