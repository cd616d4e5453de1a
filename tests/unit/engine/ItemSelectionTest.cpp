// Items by leaf name: sizes, the selected total, marking and groups.
#include "InstallConfig.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Item {
	const char* file_name;
	int32 size;
	bool selected;
	const char* groups;
};

void AddItems(InstallConfig& config, const std::vector<Item>& items)
{
	BMessage instructions;
	for (const Item& item : items) {
		BMessage file;
		file.AddString("file_name", item.file_name);
		file.AddInt32("file_size", item.size);
		file.AddBool("install_to_system", item.selected);
		if (item.groups != nullptr)
			file.AddString("groups", item.groups);
		instructions.AddMessage("install_file", &file);
	}
	config.AddMessage("install_instructions", &instructions);
}

bool Selected(InstallConfig& config, const int32& index)
{
	BMessage instructions;
	BMessage file;
	config.FindMessage("install_instructions", &instructions);
	instructions.FindMessage("install_file", index, &file);
	return file.FindBool("install_to_system");
}

const int32 kOneAndAHalfGiB = 1610612736;

} // namespace

TEST(ItemSelectionTest, SelectedSizeOverTwoGiBDoesNotWrap)
{
	InstallConfig config;
	AddItems(config, {{"/src/a", kOneAndAHalfGiB, true, nullptr},
	                  {"/src/b", kOneAndAHalfGiB, true, nullptr},
	                  {"/src/c", kOneAndAHalfGiB, false, nullptr},
	                  {"/src/d", kOneAndAHalfGiB, true, nullptr}});
	EXPECT_EQ(config.GetSelectedSize(), int64(3) * kOneAndAHalfGiB);
	EXPECT_GT(config.GetSelectedSize(), int64(INT32_MAX));
}

TEST(ItemSelectionTest, FileSizeIsTheFirstItemOfTheLeaf)
{
	InstallConfig config;
	AddItems(config, {{"/one/app", 100, true, nullptr},
	                  {"/two/app", 5000, true, nullptr},
	                  {"/two/other", 7, false, nullptr}});
	EXPECT_EQ(config.GetFileSize("app"), 100);
	EXPECT_EQ(config.GetFileSize("other"), 7);
	EXPECT_EQ(config.GetFileSize("missing"), 0);
	EXPECT_EQ(config.GetFileSize("/one/app"), 0); // leaf names only
	// The second "app" counts as the first, as the space check always did.
	EXPECT_EQ(config.GetSelectedSize(), 200);
}

// Twenty thousand items, half of them sharing a leaf with an earlier one: a
// total that looked each item up again would take minutes here.
TEST(ItemSelectionTest, SelectedSizeOfManyItemsCountsTheFirstOfEachLeaf)
{
	const int32 kLeaves = 10000;
	std::vector<std::string> names;
	std::vector<Item> items;
	names.reserve(2 * kLeaves);
	for (int32 i = 0; i < kLeaves; i++)
		names.push_back("/first/item" + std::to_string(i));
	for (int32 i = 0; i < kLeaves; i++)
		names.push_back("/second/item" + std::to_string(i));
	for (int32 i = 0; i < 2 * kLeaves; i++) {
		const int32 leaf = i % kLeaves;
		// First copies: size leaf + 1, every third selected; second copies:
		// size 1000000, every other selected, counted at their first's size.
		const bool first = i < kLeaves;
		items.push_back({names[size_t(i)].c_str(), first ? leaf + 1 : 1000000,
		                 first ? leaf % 3 == 0 : leaf % 2 == 0, nullptr});
	}
	InstallConfig config;
	AddItems(config, items);
	int64 expected = 0;
	for (int32 leaf = 0; leaf < kLeaves; leaf++)
		expected += int64(leaf + 1) * ((leaf % 3 == 0 ? 1 : 0) + (leaf % 2 == 0 ? 1 : 0));
	EXPECT_EQ(config.GetSelectedSize(), expected);
}

TEST(ItemSelectionTest, MarkInstallFileChangesOnlyTheFirstMatch)
{
	InstallConfig config;
	AddItems(config, {{"/x/app", 1, false, nullptr}, {"/y/app", 1, false, nullptr}});
	config.MarkInstallFile("app", true);
	EXPECT_TRUE(Selected(config, 0));
	EXPECT_FALSE(Selected(config, 1));
	config.MarkInstallFile("app", false);
	EXPECT_FALSE(Selected(config, 0));
	config.MarkInstallFile("nothing", true);
	EXPECT_FALSE(Selected(config, 1));
}

TEST(ItemSelectionTest, MatchTypeComparesWholeGroupFields)
{
	InstallConfig config;
	AddItems(config, {{"/a/full", 1, true, "Normal;Full;"}, {"/a/none", 1, true, nullptr}});
	BMessage instructions;
	config.FindMessage("install_instructions", &instructions);
	BMessage legacy;
	legacy.AddString("file_name", "/a/legacy");
	BMessage meta;
	meta.AddString("groups", "Developer;");
	legacy.AddMessage("install_meta", &meta);
	instructions.AddMessage("install_file", &legacy);
	config.ReplaceMessage("install_instructions", &instructions);

	struct Case {
		const char* type;
		const char* leaf;
		bool expected;
	};
	const Case cases[] = {
	        {"Normal", "full", true},    {"Full", "full", true},    {"Ful", "full", false},
	        {"normal", "full", false},   {"Normal", "none", false}, {"Developer", "legacy", true},
	        {"Normal", "absent", false},
	};
	for (const Case& test : cases)
		EXPECT_EQ(config.MatchType(test.type, test.leaf), test.expected)
		        << test.type << "/" << test.leaf;
}
