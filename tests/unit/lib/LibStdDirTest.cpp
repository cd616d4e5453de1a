// The standard folder names: the whole table both ways, exact matching, and
// every name resolving to a folder.
#include <gtest/gtest.h>

#include <set>

#include "FindDirectory.h"
#include "LibFileTestSupport.h"
#include "LibStdDir.h"
#include "Path.h"

using namespace libfile_test;

namespace {

struct Row {
	const char* name;
	int32 which;
};

// clang-format off
const Row kExpected[] = {
	{"Desktop", 0}, {"Trash", 1},
	{"BeOS", 1000}, {"BeOS System", 1001}, {"BeOS Add-Ons", 1002}, {"BeOS Boot", 1003},
	{"BeOS Fonts", 1004}, {"BeOS Libraries", 1005}, {"BeOS Servers", 1006},
	{"BeOS Applications", 1007}, {"BeOS Bin", 1008}, {"BeOS Etc", 1009},
	{"BeOS Documentation", 1010}, {"BeOS Preferences", 1011}, {"BeOS Translators", 1012},
	{"BeOS Media Nodes", 1013}, {"BeOS Sounds", 1014},
	{"Common", 2000}, {"Common System", 2001}, {"Common Add-Ons", 2002}, {"Common Boot", 2003},
	{"Common Fonts", 2004}, {"Common Libraries", 2005}, {"Common Servers", 2006},
	{"Common Bin", 2007}, {"Common Etc", 2008}, {"Common Documentation", 2009},
	{"Common Settings", 2010}, {"Common Develop", 2011}, {"Common Log", 2012},
	{"Common Spool", 2013}, {"Common Temporary", 2014}, {"Common Var", 2015},
	{"Common Translators", 2016}, {"Common Media Nodes", 2017}, {"Common Sounds", 2018},
	{"User", 3000}, {"User Configuration", 3001}, {"User Add-Ons", 3002}, {"User Boot", 3003},
	{"User Fonts", 3004}, {"User Libraries", 3005}, {"User Settings", 3006},
	{"User Deskbar", 3007}, {"User Printers", 3008}, {"User Translators", 3009},
	{"User Media Nodes", 3010}, {"User Sounds", 3011},
	{"Applications", 4000}, {"Preferences", 4001}, {"Utilities", 4002},
};
// clang-format on

class StdDirRowTest : public testing::TestWithParam<Row> {};

} // namespace

TEST_P(StdDirRowTest, NameAndConstantLeadToEachOther)
{
	const Row& row = GetParam();
	directory_which which = (directory_which)-1;
	ASSERT_TRUE(LibGetStdDirName(row.name, which));
	EXPECT_EQ((int32)which, row.which);
	LibString name;
	ASSERT_TRUE(LibGetStdDirName((directory_which)row.which, name));
	EXPECT_STREQ(name.String(), row.name);
	EXPECT_TRUE(LibStdDirNameExists(row.name));

	TempFolder temp;
	ScopedEnv root("VANTRY_ROOT", temp.Path());
	BPath path;
	EXPECT_EQ(find_directory(which, &path), B_OK);
	EXPECT_EQ(std::string(path.Path()).rfind(temp.Path(), 0), 0u) << path.Path();
}

INSTANTIATE_TEST_SUITE_P(Table, StdDirRowTest, testing::ValuesIn(kExpected),
                         [](const testing::TestParamInfo<Row>& info) {
	                         return std::to_string(info.param.which);
                         });

TEST(LibStdDirTest, TableHoldsExactlyTheRowsInOrder)
{
	const LibStdDirRow* table = LibStdDirTable();
	size_t count = 0;
	for (; table[count].name != nullptr; count++) {
		ASSERT_LT(count, std::size(kExpected));
		EXPECT_STREQ(table[count].name, kExpected[count].name);
		EXPECT_EQ((int32)table[count].which, kExpected[count].which);
	}
	EXPECT_EQ(count, 51u);
}

TEST(LibStdDirTest, UnknownNamesAndConstantsLeaveTheOutValue)
{
	const char* unknown[] = {"user settings", "Home", "", "User Settings ", "Trash/files"};
	for (const char* name : unknown) {
		directory_which which = B_APPS_DIRECTORY;
		EXPECT_FALSE(LibGetStdDirName(name, which)) << name;
		EXPECT_EQ(which, B_APPS_DIRECTORY);
		EXPECT_FALSE(LibStdDirNameExists(name)) << name;
	}
	directory_which which = B_APPS_DIRECTORY;
	EXPECT_FALSE(LibGetStdDirName(nullptr, which));
	LibString name("kept");
	EXPECT_FALSE(LibGetStdDirName((directory_which)5000, name));
	EXPECT_STREQ(name.String(), "kept");
	ASSERT_TRUE(LibGetStdDirName(B_COMMON_TEMP_DIRECTORY, name));
	EXPECT_STREQ(name.String(), "Common Temporary");
}
