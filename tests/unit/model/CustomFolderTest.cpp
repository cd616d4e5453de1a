// Custom folders: record, preference and text forms.
#include "CustomFolder.h"

#include <gtest/gtest.h>

#include "Message.h"

namespace {

CustomFolder make_folder(const char* name, int32 parent, const char* sub, bool replace)
{
	CustomFolder folder(name);
	folder.ParentFolder((directory_which)parent);
	folder.SubFolder(sub);
	folder.Replace(replace);
	return folder;
}

TEST(CustomFolderTest, TextFormHoldsFourFieldsEachFollowedBySemicolon)
{
	CustomFolder folder = make_folder("Docs", 3000, "Manuals", true);
	EXPECT_STREQ(folder.AttrDescription().String(), "Docs;3000;Manuals;1;");
	CustomFolder read;
	read.CommonDef(true);
	read.SetFromAttrDescription("Docs;3000;Manuals;1;");
	EXPECT_EQ(read.Name(), "Docs");
	EXPECT_EQ(read.Parent(), (directory_which)3000);
	EXPECT_EQ(read.Sub(), "Manuals");
	EXPECT_TRUE(read.IsReplace());
	EXPECT_TRUE(read.IsCommon()) << "the text form leaves the common flag";
}

TEST(CustomFolderTest, TextFormReadsBadNumbersAsZeroAndAnyNonZeroAsReplace)
{
	struct Case {
		const char* text;
		int32 parent;
		bool replace;
	} cases[] = {
	        {"A;home;sub;7;", 0, true},
	        {"A;1000;sub;0;", 1000, false},
	        {"A;2014;;x;", 2014, false},
	};
	for (const Case& c : cases) {
		CustomFolder folder;
		folder.SetFromAttrDescription(c.text);
		EXPECT_EQ((int32)folder.Parent(), c.parent) << c.text;
		EXPECT_EQ(folder.IsReplace(), c.replace) << c.text;
	}
}

TEST(CustomFolderTest, RecordFormFieldsAndTypes)
{
	CustomFolder folder = make_folder("Docs", 3006, "docs/p", false);
	BMessage record;
	folder.Write(record);
	EXPECT_STREQ(record.FindString("custom_folder_name"), "Docs");
	EXPECT_EQ(record.FindInt32("custom_root_dir"), 3006);
	EXPECT_STREQ(record.FindString("custom_sub_dir"), "docs/p");
	ASSERT_TRUE(record.HasBool("custom_replace_existing"));
	EXPECT_FALSE(record.FindBool("custom_replace_existing"));
	CustomFolder read;
	read.Read(record);
	EXPECT_EQ(read.AttrDescription(), folder.AttrDescription());
}

TEST(CustomFolderTest, RecordWithoutFieldsKeepsTextsAndReadsZeroAndFalse)
{
	CustomFolder folder = make_folder("Keep", 3000, "sub", true);
	folder.Read(BMessage());
	EXPECT_EQ(folder.Name(), "Keep");
	EXPECT_EQ(folder.Sub(), "sub");
	EXPECT_EQ((int32)folder.Parent(), 0);
	EXPECT_FALSE(folder.IsReplace());
}

TEST(CustomFolderTest, PreferenceFormIsNumbered)
{
	CustomFolder folder = make_folder("Docs", 4000, "x", true);
	BMessage prefs;
	folder.WritePref(2, prefs);
	EXPECT_STREQ(prefs.FindString("custom_folder_name_2"), "Docs");
	EXPECT_EQ(prefs.FindInt32("custom_folder_parent_2"), 4000);
	EXPECT_STREQ(prefs.FindString("custom_folder_sub_dir_2"), "x");
	EXPECT_TRUE(prefs.FindBool("custom_folder_replace_2"));
	CustomFolder read;
	read.ReadPref(2, prefs);
	EXPECT_EQ(read.AttrDescription(), folder.AttrDescription());
}

} // namespace
