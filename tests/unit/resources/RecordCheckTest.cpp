// The record check: which fields refuse a record, and the product name made
// a safe leaf.
#include <gtest/gtest.h>

#include <functional>

#include "Message.h"
#include "RecordCheck.h"
#include "RecordEdits.h"

namespace {

BMessage GoodRecord()
{
	BMessage record;
	record.AddString("app_name", "Hello");
	record.AddString("version", "1.0");
	record.AddString("opt_created_folder", "Hello");
	BMessage item;
	item.AddString("file_name", "/src/files/ReadMe.txt");
	BMessage meta;
	meta.AddString("destination", "Docs");
	meta.AddString("link", "None");
	item.AddMessage("install_meta", &meta);
	BMessage instructions;
	instructions.AddMessage("install_file", &item);
	record.AddMessage("install_instructions", &instructions);
	BMessage folder;
	folder.AddString("custom_folder_name", "Docs");
	folder.AddInt32("custom_root_dir", 3000);
	folder.AddString("custom_sub_dir", "Documents/Hello");
	folder.AddBool("custom_replace_existing", true);
	BMessage folders;
	folders.AddMessage("custom_folder", &folder);
	record.AddMessage("custom_folder", &folders);
	record.AddBool("edit_profile", true);
	record.AddString("edit_profile_tag", "Hello");
	record.AddString("edit_profile_contents", "export HELLO=1\n#END_Hello2");
	BMessage amount;
	amount.AddDouble("value", 1e30);
	record.AddMessage("req_disk_space_amount", &amount);
	return record;
}

TEST(RecordCheckTest, GoodRecordPasses)
{
	EXPECT_EQ(CheckConfigRecord(GoodRecord()), std::vector<std::string>());
}

TEST(RecordCheckTest, EachFaultNamesItsFieldAndValue)
{
	struct Case {
		const char* what;
		std::function<void(BMessage&)> edit;
		std::string expected; // the start of the one fault
	};
	auto sub = [](const char* value, bool replace) {
		return [=](BMessage& record) {
			EditCustomFolder(record, [&](BMessage& folder) {
				folder.ReplaceString("custom_sub_dir", value);
				folder.ReplaceBool("custom_replace_existing", replace);
			});
		};
	};
	const Case cases[] = {
	        {"no installation folder", [](BMessage& r) { r.RemoveName("opt_created_folder"); },
	         "field `opt_created_folder`: missing"},
	        {"installation folder ..",
	         [](BMessage& r) { r.ReplaceString("opt_created_folder", ".."); },
	         "field `opt_created_folder` (\"..\")"},
	        {"installation folder a/b",
	         [](BMessage& r) { r.ReplaceString("opt_created_folder", "a/b"); },
	         "field `opt_created_folder` (\"a/b\")"},
	        {"installation folder too long",
	         [](BMessage& r) {
		         r.ReplaceString("opt_created_folder", std::string(256, 'a').c_str());
	         },
	         "field `opt_created_folder`"},
	        {"product name of two lines",
	         [](BMessage& r) { r.ReplaceString("app_name", "Hello\nWorld"); },
	         "field `app_name` (\"Hello\\nWorld\")"},
	        {"sub folder climbing out", sub("a/../../b", false),
	         "field `custom_folder[0].custom_sub_dir` (\"a/../../b\")"},
	        {"sub folder absolute", sub("/etc", false),
	         "field `custom_folder[0].custom_sub_dir` (\"/etc\")"},
	        {"the root replaced", sub("./.", true),
	         "field `custom_folder[0].custom_sub_dir` (\"./.\"): names the standard folder "
	         "\"User\""},
	        {"unknown root",
	         [](BMessage& r) {
		         EditCustomFolder(r, [](BMessage& f) { f.ReplaceInt32("custom_root_dir", 12345); });
	         },
	         "field `custom_folder[0].custom_root_dir` (\"12345\")"},
	        {"item named by a trailing slash",
	         [](BMessage& r) {
		         BMessage instructions;
		         r.FindMessage("install_instructions", &instructions);
		         BMessage item;
		         instructions.FindMessage("install_file", 0, &item);
		         item.ReplaceString("file_name", "files/");
		         instructions.ReplaceMessage("install_file", 0, &item);
		         r.ReplaceMessage("install_instructions", &instructions);
	         },
	         "field `install_file[0].file_name` (\"files/\")"},
	        {"tag with a carriage return",
	         [](BMessage& r) { r.ReplaceString("edit_profile_tag", "Hello\r"); },
	         "field `edit_profile_tag` (\"Hello\\x0d\")"},
	        {"contents ending the section",
	         [](BMessage& r) { r.ReplaceString("edit_profile_contents", "a\n#END_Hello\nb"); },
	         "field `edit_profile_contents`: holds a line \"#BEGIN_Hello\""},
	        {"amount not a number",
	         [](BMessage& r) {
		         BMessage amount;
		         amount.AddDouble("value", std::nan(""));
		         r.ReplaceMessage("req_disk_space_amount", &amount);
	         },
	         "field `req_disk_space_amount.value`"},
	};
	for (const Case& test : cases) {
		SCOPED_TRACE(test.what);
		BMessage record = GoodRecord();
		test.edit(record);
		const std::vector<std::string> faults = CheckConfigRecord(record);
		ASSERT_EQ(faults.size(), 1u) << testing::PrintToString(faults);
		EXPECT_EQ(faults[0].rfind(test.expected, 0), 0u) << faults[0];
	}
}

TEST(RecordCheckTest, SectionOffIsNotChecked)
{
	BMessage record = GoodRecord();
	record.ReplaceBool("edit_profile", false);
	record.ReplaceString("edit_profile_tag", "two\nlines");
	EXPECT_TRUE(CheckConfigRecord(record).empty());
}

TEST(RecordCheckTest, SafeFileNameKeepsNamesAndMendsPaths)
{
	const std::pair<std::string, std::string> cases[] = {
	        {"Hello", "Hello"},
	        {"AC/DC", "AC-DC"},
	        {"../../x/legit", "..-..-x-legit"},
	        {"tab\there", "tab here"},
	        {"", "_"},
	        {".", "_"},
	        {"..", "__"},
	        {std::string(300, 'a'), std::string(255, 'a')},
	        // Cut before a character, not inside it ("é" is two bytes).
	        {std::string(254, 'a') + "\xc3\xa9", std::string(254, 'a')},
	};
	for (const auto& [name, safe] : cases) {
		EXPECT_EQ(SafeFileName(name.c_str()), safe) << name;
		EXPECT_TRUE(IsPlainLeaf(SafeFileName(name.c_str()))) << name;
	}
	EXPECT_EQ(SafeFileName(nullptr), "_");
}

} // namespace
