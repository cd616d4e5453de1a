// Tests of the string table parser and of the shipped tables of both programs
// and of the collision box.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "StringTable.h"
#include "TestFiles.h"

namespace {

const char* const kCodes[] = {"en", "fr", "es", "de", "it", "no", "sv", "da", "nl"};

struct Program {
	const char* folder;
	int32 firstId;
	int32 lastId;
};

const Program kInstaller = {"installer", 1000, 1203};
const Program kDeinstaller = {"deinstaller", 1000, 1010};
// The collision box's texts, compiled into the programs.
const Program kCollision = {"collision", 1, 14};
const Program kPrograms[] = {kInstaller, kDeinstaller, kCollision};

std::string TablePath(const Program& program, const std::string& code)
{
	return std::string(VANTRY_SOURCE_DIR) + "/data/strings/" + program.folder + "/" + code + ".txt";
}

StringTable LoadTable(const Program& program, const std::string& code)
{
	StringTable table;
	const std::string path = TablePath(program, code);
	EXPECT_EQ(table.SetTo(path.c_str(), program.firstId, program.lastId), B_OK)
	        << table.ErrorText();
	return table;
}

// The translations that show one argument fewer than English: the last "%s".
bool MayLackOneString(const std::string& code, const int32& id)
{
	return (code == "it" && id == 1041) || (code == "de" && id == 1045) ||
	       (code == "it" && id == 1045);
}

std::string Joined(const std::vector<std::string>& items)
{
	std::string out;
	for (const std::string& item : items)
		out += "[" + item + "]";
	return out;
}

} // namespace

TEST(StringTableTest, EveryShippedTableParses)
{
	for (const Program& program : kPrograms) {
		for (const char* code : kCodes) {
			StringTable table;
			const std::string path = TablePath(program, code);
			EXPECT_EQ(table.SetTo(path.c_str(), program.firstId, program.lastId), B_OK)
			        << table.ErrorText();
			EXPECT_STREQ(table.ErrorText(), "");
		}
	}
}

TEST(StringTableTest, EveryLanguageCarriesExactlyItsIds)
{
	for (const Program& program : kPrograms) {
		for (const char* code : kCodes) {
			const StringTable table = LoadTable(program, code);
			// English names the ids: it begins at the first and ends at the last.
			std::set<int32> expected;
			const StringTable english = LoadTable(program, "en");
			for (const auto& [id, text] : english.Strings())
				expected.insert(id);
			EXPECT_EQ(*expected.begin(), program.firstId) << program.folder;
			EXPECT_EQ(*expected.rbegin(), program.lastId) << program.folder;
			// The German installer set has no 1002; its lookup yields an empty text.
			if (program.folder == kInstaller.folder && std::string(code) == "de")
				expected.erase(1002);
			std::set<int32> actual;
			for (const auto& [id, text] : table.Strings()) {
				actual.insert(id);
				EXPECT_FALSE(text.empty()) << program.folder << "/" << code << " " << id;
			}
			EXPECT_EQ(actual, expected) << program.folder << "/" << code;
		}
	}
}

TEST(StringTableTest, TranslationsKeepTheEnglishConversionsInOrder)
{
	for (const Program& program : kPrograms) {
		const StringTable english = LoadTable(program, "en");
		for (const char* code : kCodes) {
			const StringTable table = LoadTable(program, code);
			for (const auto& [id, text] : table.Strings()) {
				const auto reference = StringTable::FormatConversions(english.StringFor(id));
				const auto actual = StringTable::FormatConversions(text.c_str());
				SCOPED_TRACE(std::string(program.folder) + "/" + code + " " + std::to_string(id));
				if (program.folder != kInstaller.folder || !MayLackOneString(code, id)) {
					EXPECT_EQ(Joined(actual), Joined(reference));
					continue;
				}
				// Exactly the last "%s" is gone, so the arguments still line up.
				auto shortened = reference;
				ASSERT_FALSE(shortened.empty());
				EXPECT_EQ(shortened.back(), "%s");
				shortened.pop_back();
				EXPECT_EQ(Joined(actual), Joined(shortened));
			}
		}
	}
}

TEST(StringTableTest, LanguageListHasNineDistinctLines)
{
	for (const char* code : kCodes) {
		const StringTable table = LoadTable(kInstaller, code);
		ASSERT_TRUE(table.HasString(1000)) << code;
		const std::vector<std::string> lines = SplitLines(table.StringFor(1000));
		EXPECT_EQ(lines.size(), 9u) << code;
		const std::set<std::string> distinct(lines.begin(), lines.end());
		EXPECT_EQ(distinct.size(), lines.size()) << code;
		EXPECT_EQ(distinct.count(""), 0u) << code;
	}
	const StringTable english = LoadTable(kInstaller, "en");
	EXPECT_STREQ(english.StringFor(1000),
	             "English\nFrench\nSpanish\nGerman\nItalian\nNorwegian\nSwedish\nDanish\nDutch");
}

TEST(StringTableTest, TextsAroundANameAndLineBreaksKeepTheirShape)
{
	// 1013/1014 and 1034/1035 enclose a name in quotes; 1020 and 1042 are
	// appended to other texts and must start on a new line.
	for (const char* code : kCodes) {
		const StringTable table = LoadTable(kInstaller, code);
		SCOPED_TRACE(code);
		for (const int32 id : {1013, 1034})
			EXPECT_EQ(std::string(table.StringFor(id)).back(), '\'') << id;
		for (const int32 id : {1014, 1035})
			EXPECT_EQ(table.StringFor(id)[0], '\'') << id;
		EXPECT_EQ(std::string(table.StringFor(1020)).rfind("\n", 0), 0u);
		EXPECT_EQ(std::string(table.StringFor(1042)).rfind("\n\n", 0), 0u);
	}
}

TEST(StringTableTest, DecodesEscapesAndKeepsTextVerbatim)
{
	const std::string input = "# comment\n\n1000\ta\\nb\\tc\\\\d\n1001\t\n1002\t  padded  \n"
	                          "1003\t100%% 'quoted' \xc3\xa9";
	StringTable table;
	ASSERT_EQ(table.SetTo(input.data(), input.size(), "mem.txt", 1000, 1058), B_OK)
	        << table.ErrorText();
	EXPECT_EQ(table.CountStrings(), 4);
	EXPECT_STREQ(table.StringFor(1000), "a\nb\tc\\d");
	EXPECT_STREQ(table.StringFor(1001), "");
	EXPECT_STREQ(table.StringFor(1002), "  padded  ");
	EXPECT_STREQ(table.StringFor(1003), "100%% 'quoted' \xc3\xa9");
	EXPECT_EQ(table.StringFor(1004), nullptr);
	EXPECT_FALSE(table.HasString(1004));
}

TEST(StringTableTest, MalformedInputNamesFileAndLine)
{
	struct Case {
		const char* input;
		int line;
		const char* reason;
	};
	const Case cases[] = {
	        {"1000\tok\nbogus\n", 2, "malformed line"},
	        {"1000\tok\n1001\tbad \\q\n", 2, "unknown escape '\\q'"},
	        {"1000\tok\\", 1, "backslash at end of line"},
	        {"1000\ta\n# c\n\n1000\tb\n", 4, "duplicate id 1000 (first on line 1)"},
	        {"999\tx\n", 1, "id 999 out of range 1000..1058"},
	        {"1000\tx\n1059\tx\n", 2, "id 1059 out of range"},
	        {"01000\tx\n", 1, "malformed id '01000'"},
	        {"-1000\tx\n", 1, "malformed id"},
	        {"\tx\n", 1, "malformed id ''"},
	        {"99999999999\tx\n", 1, "malformed id"},
	        {"1000\tx\r\n", 1, "carriage return"},
	        {"1000\ta\tb\n", 1, "raw control character"},
	        {"1000\tok\n1001\t\xff\xfe\n", 2, "invalid UTF-8 at byte 6"},
	        {"1000\t\xc0\xaf\n", 1, "invalid UTF-8"},
	};
	for (const Case& c : cases) {
		StringTable table;
		const std::string input = c.input;
		EXPECT_EQ(table.SetTo(input.data(), input.size(), "fr.txt", 1000, 1058), B_BAD_DATA)
		        << c.input;
		const std::string error = table.ErrorText();
		const std::string prefix = "fr.txt:" + std::to_string(c.line) + ": ";
		EXPECT_EQ(error.rfind(prefix, 0), 0u) << error;
		EXPECT_NE(error.find(c.reason), std::string::npos) << error;
		EXPECT_EQ(table.CountStrings(), 0) << c.input;
		EXPECT_EQ(table.InitCheck(), B_BAD_DATA);
	}
}

TEST(StringTableTest, FileErrorsNameThePath)
{
	const std::string path = testing::TempDir() + "/string_table_bad.txt";
	{
		std::ofstream file(path, std::ios::binary);
		file << "# header\n1000\tfine\n1001\tbroken \\x\n";
	}
	StringTable table(path.c_str(), 1000, 1010);
	EXPECT_EQ(table.InitCheck(), B_BAD_DATA);
	EXPECT_EQ(std::string(table.ErrorText()).rfind(path + ":3: unknown escape", 0), 0u)
	        << table.ErrorText();

	const std::string missing = testing::TempDir() + "/string_table_missing.txt";
	EXPECT_NE(table.SetTo(missing.c_str(), 1000, 1010), B_OK);
	EXPECT_EQ(std::string(table.ErrorText()).rfind(missing + ": cannot open", 0), 0u)
	        << table.ErrorText();
	EXPECT_EQ(table.CountStrings(), 0);
}

TEST(StringTableTest, FormatConversionsFollowPrintf)
{
	struct Case {
		const char* text;
		std::vector<std::string> conversions;
	};
	const Case cases[] = {
	        {"Installing %d of %d (%s)", {"%d", "%d", "%s"}},
	        {"100%% done, %ld left", {"%ld"}},
	        {"%-5.2f|%08lx|%*d|%lld", {"%-5.2f", "%08lx", "%*d", "%lld"}},
	        {"no conversions", {}},
	        {"trailing %", {"%"}},
	        {"bad %y then %s", {"%", "%s"}},
	        {"%n", {"%n"}},
	};
	for (const Case& c : cases)
		EXPECT_EQ(StringTable::FormatConversions(c.text), c.conversions) << c.text;
	EXPECT_TRUE(StringTable::FormatConversions(nullptr).empty());
}
