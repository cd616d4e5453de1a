// Tests of LibString: comparison, search, editing, conversion and growth.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "LibString.h"

namespace {

struct EditCase {
	const char* label;
	const char* input;
	std::function<void(LibString&)> edit;
	const char* expected;
};

void RunEdits(const std::vector<EditCase>& cases)
{
	for (const EditCase& c : cases) {
		LibString text(c.input);
		c.edit(text);
		EXPECT_STREQ(text.String(), c.expected) << c.label << " on \"" << c.input << "\"";
	}
}

} // namespace

TEST(LibStringTest, CompareGivesSignOfByteOrderWithCaseFlag)
{
	struct {
		const char* text;
		const char* other;
		bool ignoreCase;
		int32 expected;
	} cases[] = {
	        {"abd", "abc", false, 1},
	        {"ab", "abc", false, -1},
	        {"abc", "abc", false, 0},
	        {"abc", "ABC", true, 0},
	        {"abc", "ABC", false, 1},
	        {"", "", false, 0},
	        {"", "x", false, -1},
	        {"x", "", true, 1},
	        // '_' sorts after every letter when case is ignored, between the
	        // cases when it is not.
	        {"_", "z", true, 1},
	        {"_", "z", false, -1},
	        {"_", "Z", false, 1},
	        // High bytes are signed: they sort before ASCII.
	        {"\xc3\xa9", "a", false, -1},
	};
	for (const auto& c : cases) {
		LibString text(c.text);
		EXPECT_EQ(text.Compare(c.other, c.ignoreCase), c.expected)
		        << c.text << " vs " << c.other << " ignoreCase " << c.ignoreCase;
	}
	EXPECT_EQ(LibString("abc").Compare(static_cast<const char*>(nullptr)), 1);
}

TEST(LibStringTest, CompareSubComparesFromStartForLength)
{
	struct {
		const char* text;
		const char* other;
		bool ignoreCase;
		int32 length;
		int32 start;
		int expectedSign;
	} cases[] = {
	        {"abc", "ABx", true, 2, 0, 0},
	        {"abc", "ABx", true, 3, 0, -1},
	        {"abc", "bc", false, -1, 1, 0},
	        {"abc", "bcd", false, 2, 1, 0},
	        {"abc", "bcd", false, -1, 1, -1},
	        {"abcd", "ABC", true, -1, 0, 1},
	        {"abc", "ABCD", true, -1, 0, -1},
	        {"abc", "", false, -1, 3, 0},
	        // A start past the end compares the empty rest, never reads beyond.
	        {"abc", "", true, -1, 50, 0},
	        {"abc", "x", false, -1, 50, -1},
	};
	for (const auto& c : cases) {
		int result = LibString(c.text).CompareSub(c.other, c.ignoreCase, c.length, c.start);
		int sign = (result > 0) - (result < 0);
		EXPECT_EQ(sign, c.expectedSign)
		        << c.text << " vs " << c.other << " n " << c.length << " s " << c.start;
	}
}

TEST(LibStringTest, SearchOperations)
{
	LibString abc("abc");
	EXPECT_FALSE(abc.BeginsWith(""));
	EXPECT_TRUE(abc.EndsWith(""));
	EXPECT_TRUE(abc.Contain(""));
	EXPECT_TRUE(LibString("AAB").Contain("ab", true));
	EXPECT_FALSE(LibString("AAB").Contain("ab", false));
	EXPECT_TRUE(abc.BeginsWith("AB", true));
	EXPECT_FALSE(abc.BeginsWith("abcd"));
	EXPECT_TRUE(abc.EndsWith("BC", true));
	EXPECT_FALSE(abc.EndsWith("zabc"));
	EXPECT_EQ(abc.Index(""), 0);
	EXPECT_EQ(LibString("").Index(""), -1);
	EXPECT_EQ(abc.Index("bc"), 1);
	EXPECT_EQ(abc.Index('z'), -1);
	EXPECT_EQ(abc.Index('c'), 2);
	EXPECT_EQ(abc.IndexOfAny("xyc"), 2);
	EXPECT_EQ(abc.IndexOfAny("xyz"), -1);
	EXPECT_EQ(LibString("a,b,,c").Count(','), 3);
	EXPECT_TRUE(LibString(" \t\n").IsBlank());
	EXPECT_TRUE(LibString("").IsBlank());
	EXPECT_FALSE(LibString(" x ").IsBlank());
	EXPECT_EQ(LibString("  one   two three ").Words(), 3);
	EXPECT_EQ(LibString("").Words(), 0);
}

TEST(LibStringTest, WildCardMatchesWholeText)
{
	struct {
		const char* text;
		const char* pattern;
		bool matches;
	} cases[] = {
	        {"anything", "*", true},
	        {"", "*", true},
	        {"", "", true},
	        {"a", "", false},
	        {"ab", "a*b", true},
	        {"axyb", "a*b", true},
	        {"axybc", "a*b", false},
	        {"ac", "a?c", false},
	        {"abc", "a?c", true},
	        {"abc", "A?c", false},
	        {"a", "a**", true},
	        {"libbe.so", "lib*.so", true},
	        {"libbe.so.1", "lib*.so", false},
	        {"mississippi", "*sip*", true},
	        {"abab", "*ab", true},
	        {"ab", "?", false},
	        {"a", "??", false},
	        // Many stars against a long text must not take exponential time.
	        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*c", false},
	};
	for (const auto& c : cases) {
		EXPECT_EQ(LibString(c.text).IsWildCard(c.pattern), c.matches)
		        << c.text << " ~ " << c.pattern;
		EXPECT_EQ(LibString::CompareWildCard(c.text, c.pattern), c.matches)
		        << c.text << " ~ " << c.pattern;
	}
}

TEST(LibStringTest, InsertAndJoin)
{
	RunEdits({
	        {"Insert -1", "abc", [](LibString& s) { s.Insert(-1, "X"); }, "Xabc"},
	        {"Insert 0", "abc", [](LibString& s) { s.Insert(0, "X"); }, "aXbc"},
	        {"Insert 1", "abc", [](LibString& s) { s.Insert(1, "X"); }, "abXc"},
	        {"Insert 3", "abc", [](LibString& s) { s.Insert(3, "X"); }, "abcX"},
	        {"Insert 9", "abc", [](LibString& s) { s.Insert(9, "X"); }, "abcX"},
	        {"Insert -7", "abc", [](LibString& s) { s.Insert(-7, "X"); }, "Xabc"},
	        {"Insert empty", "", [](LibString& s) { s.Insert(0, "X"); }, "X"},
	        {"PrePend", "home", [](LibString& s) { s.PrePend("/boot/"); }, "/boot/home"},
	        {"Concat char", "ab", [](LibString& s) { s.Concat('c'); }, "abc"},
	        {"Concat self", "ab", [](LibString& s) { s.Concat(s.String()); }, "abab"},
	        {"Concat null", "ab", [](LibString& s) { s.Concat(static_cast<const char*>(nullptr)); },
	         "ab"},
	        {"+= int", "n=", [](LibString& s) { s += int32(7); }, "n=7"},
	        {"+= float", "f=", [](LibString& s) { s += 0.5f; }, "f=0.500000"},
	        {"+= double", "", [](LibString& s) { s += -1.25; }, "-1.250000"},
	        {"= int", "x", [](LibString& s) { s = int32(-42); }, "-42"},
	        {"= float", "x", [](LibString& s) { s = 2.5f; }, "2.500000"},
	        {"= null", "keep", [](LibString& s) { s = static_cast<const char*>(nullptr); }, "keep"},
	        {"= own tail", "/boot/home", [](LibString& s) { s = s.String() + 6; }, "home"},
	        {"SetFloat64", "", [](LibString& s) { s.SetFloat64(3.14159, 2); }, "3.14"},
	        {"SetFloat32", "", [](LibString& s) { s.SetFloat32(2.0f, 0); }, "2"},
	        {"SetHex 10", "", [](LibString& s) { s.SetHex(10); }, "0A"},
	        {"SetHex 255", "", [](LibString& s) { s.SetHex(255); }, "FF"},
	        {"SetHex 0", "", [](LibString& s) { s.SetHex(0); }, "00"},
	});
}

TEST(LibStringTest, RemovingAndCutting)
{
	RunEdits({
	        {"Remove 1,2", "abcdef", [](LibString& s) { s.Remove(1, 2); }, "adef"},
	        {"Remove 2,99", "abcdef", [](LibString& s) { s.Remove(2, 99); }, "ab"},
	        {"Remove -1,2", "abcdef", [](LibString& s) { s.Remove(-1, 2); }, "abcdef"},
	        {"Remove 9,12", "abcdef", [](LibString& s) { s.Remove(9, 12); }, "abcdef"},
	        {"Remove 4,2", "abcdef", [](LibString& s) { s.Remove(4, 2); }, "abcdef"},
	        {"RemoveChar 0", "abc", [](LibString& s) { s.RemoveChar(0); }, "bc"},
	        {"RemoveChar 3", "abc", [](LibString& s) { s.RemoveChar(3); }, "abc"},
	        {"ShiftFrom 1,3", "abcdef", [](LibString& s) { s.ShiftFrom(1, 3); }, "adef"},
	        {"ShiftFrom 3,1", "abcdef", [](LibString& s) { s.ShiftFrom(3, 1); }, "abcdef"},
	        {"ToIndex -1", "abc", [](LibString& s) { s.ToIndex(-1); }, ""},
	        {"ToIndex 1", "abc", [](LibString& s) { s.ToIndex(1); }, "ab"},
	        {"ToIndex -2", "abc", [](LibString& s) { s.ToIndex(-2); }, "abc"},
	        {"ToIndex 3", "abc", [](LibString& s) { s.ToIndex(3); }, "abc"},
	        {"FromIndex -1", "abc", [](LibString& s) { s.FromIndex(-1); }, ""},
	        {"FromIndex 1", "abc", [](LibString& s) { s.FromIndex(1); }, "bc"},
	        {"FromIndex 3", "abc", [](LibString& s) { s.FromIndex(3); }, ""},
	        {"FromLast / 1", "/boot/home/file", [](LibString& s) { s.FromLast('/', 1); }, "file"},
	        {"ToLast / 0", "/boot/home/file", [](LibString& s) { s.ToLast('/', 0); },
	         "/boot/home/"},
	        {"ToLast / -1", "/boot/home/file", [](LibString& s) { s.ToLast('/', -1); },
	         "/boot/home"},
	        {"FromLast only first", "/file", [](LibString& s) { s.FromLast('/', 1); }, "file"},
	        {"ToLast only first", "/file", [](LibString& s) { s.ToLast('/', -1); }, ""},
	        {"FromLast absent", "file", [](LibString& s) { s.FromLast('/', 1); }, "file"},
	        {"ToLast absent", "file", [](LibString& s) { s.ToLast('/', 0); }, ""},
	        {"FromLast trailing", "/boot/", [](LibString& s) { s.FromLast('/', 1); }, ""},
	        {"ToChar , 1 0", "a,b,c", [](LibString& s) { s.ToChar(',', 1, 0); }, "a,b"},
	        {"ToChar , 0 1", "a,b,c", [](LibString& s) { s.ToChar(',', 0, 1); }, "a,"},
	        {"ToChar absent", "a,b,c", [](LibString& s) { s.ToChar(';', 0, 0); }, "a,b,c"},
	        {"FromChar , 0 5", "a,b,c", [](LibString& s) { s.FromChar(',', 0, 5); }, ",b,c"},
	        {"FromChar , 1", "a,b,c", [](LibString& s) { s.FromChar(',', 1, 0); }, ",c"},
	        {"FromChar , 2", "a,b,c", [](LibString& s) { s.FromChar(',', 2, 0); }, "a,b,c"},
	});
	LibString text("a,b,c");
	EXPECT_TRUE(text.ToChar(',', 1, 0));
	EXPECT_FALSE(text.FromChar(',', 1, 0));
	EXPECT_FALSE(text.ToChar(',', -1, 0));
}

TEST(LibStringTest, ExtractAndWords)
{
	struct {
		const char* text;
		bool exclude;
		const char* expected;
	} brackets[] = {
	        {"x(ab)y", true, "ab"}, {"x(ab)y", false, "(ab)"}, {"x(ab", true, "ab"},
	        {"x(ab", false, "(ab"}, {"xab", true, ""},         {"x()y", true, ""},
	};
	for (const auto& c : brackets) {
		EXPECT_STREQ(LibString(c.text).Extract('(', ')', c.exclude).String(), c.expected)
		        << c.text << " exclude " << c.exclude;
	}
	EXPECT_STREQ(LibString("say \"hi\" now").Extract('"', '"', true).String(), "hi");
	EXPECT_STREQ(LibString("abcdef").Extract(1, 3).String(), "bcd");
	// Positions beyond the text are clamped instead of read past the end.
	EXPECT_STREQ(LibString("abc").Extract(1, 40).String(), "bc");
	EXPECT_STREQ(LibString("abc").Extract(2, 1).String(), "");

	LibString words("  one   two three ");
	LibString word("stale");
	EXPECT_TRUE(words.Word(2, word));
	EXPECT_STREQ(word.String(), "two");
	EXPECT_TRUE(words.Word(3, word));
	EXPECT_STREQ(word.String(), "three");
	EXPECT_FALSE(words.Word(4, word));
	EXPECT_STREQ(word.String(), "");
	word = "stale";
	EXPECT_FALSE(words.Word(0, word));
	EXPECT_STREQ(word.String(), "");
}

TEST(LibStringTest, WordRemovalAndReplacement)
{
	RunEdits({
	        {"RemoveWord middle", "one two three", [](LibString& s) { s.RemoveWord("two"); },
	         "one three"},
	        {"RemoveWord first", "two three", [](LibString& s) { s.RemoveWord("two"); }, "three"},
	        {"RemoveWord last", "one two", [](LibString& s) { s.RemoveWord("two"); }, "one"},
	        {"RemoveWord only", "two", [](LibString& s) { s.RemoveWord("two"); }, ""},
	        {"RemoveWord part", "twofold two", [](LibString& s) { s.RemoveWord("two"); },
	         "twofold"},
	        {"RemoveAllWords", "a b a c a", [](LibString& s) { s.RemoveAllWords("a"); }, "b c"},
	        {"Replace", "hello lo", [](LibString& s) { s.Replace("lo", "LO"); }, "helLO lo"},
	        {"ReplaceAll", "hello lo", [](LibString& s) { s.ReplaceAll("lo", "L"); }, "helL L"},
	        {"ReplaceAll restarts", "abb", [](LibString& s) { s.ReplaceAll("ab", "a"); }, "a"},
	        // A replacement holding the old text ends instead of growing for ever.
	        {"ReplaceAll holding old", "a-a", [](LibString& s) { s.ReplaceAll("a", "aa"); },
	         "aa-aa"},
	        {"ReplaceAll empty old", "abc", [](LibString& s) { s.ReplaceAll("", "x"); }, "abc"},
	        {"ReplaceAll char", "a/b/c", [](LibString& s) { s.ReplaceAll('/', ':'); }, "a:b:c"},
	        {"SwapChar", "a b", [](LibString& s) { s.SwapChar(' ', '_'); }, "a_b"},
	        {"RemoveRepeatingChar", "a//b///c/", [](LibString& s) { s.RemoveRepeatingChar('/'); },
	         "a/b/c/"},
	});
	LibString text("hello lo");
	EXPECT_EQ(text.Replace("lo", "LO"), 3);
	EXPECT_EQ(text.Replace("zz", "LO"), -1);
	EXPECT_FALSE(text.RemoveWord("absent"));
}

TEST(LibStringTest, StrippingAndCase)
{
	RunEdits({
	        {"StripLeadingSpaces", " \t ab c ", [](LibString& s) { s.StripLeadingSpaces(); },
	         "ab c "},
	        {"StripTrailingSpaces", " ab c \n", [](LibString& s) { s.StripTrailingSpaces(); },
	         " ab c"},
	        {"StripAllSpaces", " a b\tc ", [](LibString& s) { s.StripAllSpaces(); }, "abc"},
	        {"StripLeadingSpaces blank", "   ", [](LibString& s) { s.StripLeadingSpaces(); }, ""},
	        {"StripTrailingSpaces blank", "  ", [](LibString& s) { s.StripTrailingSpaces(); }, ""},
	        {"StripLeadingChar", "//a/b", [](LibString& s) { s.StripLeadingChar('/'); }, "a/b"},
	        {"StripTrailingChar", "a/b//", [](LibString& s) { s.StripTrailingChar('/'); }, "a/b"},
	        {"StripPunct", "a.b,c_d!?", [](LibString& s) { s.StripPunct(); }, "abc_d"},
	        {"ToUpperCase", "ab\xc3\xa9z", [](LibString& s) { s.ToUpperCase(); }, "AB\xc3\xa9Z"},
	        {"ToLowerCase", "AbC", [](LibString& s) { s.ToLowerCase(); }, "abc"},
	        {"ToProperCase names", "hello o'neil & co. j.r.r.",
	         [](LibString& s) { s.ToProperCase(); }, "Hello O'neil & Co. J.R.R."},
	        {"ToProperCase quotes", "'tis it's", [](LibString& s) { s.ToProperCase(); },
	         "'Tis It's"},
	        {"ToProperCase quoted word", "say 'hi' now", [](LibString& s) { s.ToProperCase(); },
	         "Say 'Hi' Now"},
	        {"ToProperCase shouting", "BIG&small", [](LibString& s) { s.ToProperCase(); },
	         "Big&Small"},
	});
}

TEST(LibStringTest, NumericGettersValidateFirst)
{
	struct {
		const char* text;
		bool valid;
		int32 value;
	} cases[] = {
	        {"-42", true, -42},
	        {"+7", true, 7},
	        {"4.9", true, 4},
	        {"", true, 0},
	        {"+-4", false, 0},
	        {"4-", false, 0},
	        {"1.2.3", false, 0},
	        {"12a", false, 0},
	        {"1e5", false, 0},
	        {" 12", false, 0},
	        {"1,000", false, 0},
	        {"99999999999", true, INT32_MAX},
	        {"-99999999999", true, INT32_MIN},
	};
	for (const auto& c : cases) {
		LibString text(c.text);
		int32 value = 12345;
		EXPECT_EQ(text.GetInt32(value), c.valid) << c.text;
		EXPECT_EQ(value, c.value) << c.text;
		EXPECT_EQ(text.IsNumeric(), c.valid) << c.text;
	}

	int8 small = 1;
	EXPECT_TRUE(LibString("300").GetInt8(small));
	EXPECT_EQ(small, int8(300 & 0xff));
	uint16 word = 1;
	EXPECT_TRUE(LibString("-1").GetUint16(word));
	EXPECT_EQ(word, 0xffff);
	uint32 big = 1;
	EXPECT_FALSE(LibString("x").GetUint32(big));
	EXPECT_EQ(big, 0u);

	double real = 1;
	EXPECT_TRUE(LibString("-2.25").GetFloat64(real));
	EXPECT_DOUBLE_EQ(real, -2.25);
	float single = 1;
	EXPECT_FALSE(LibString("2.5f").GetFloat32(single));
	EXPECT_EQ(single, 0.0f);
}

TEST(LibStringTest, HexDigits)
{
	struct {
		const char* text;
		uint8 value;
	} cases[] = {
	        {"ff", 255}, {"FF", 255}, {"0a", 10}, {"fff", 0}, {"f", 0}, {"g1", 1}, {"", 0},
	};
	for (const auto& c : cases)
		EXPECT_EQ(LibString(c.text).GetHex(), c.value) << c.text;
	EXPECT_EQ(LibString::HexValue('c'), 12);
	EXPECT_EQ(LibString::HexValue('x'), 0);
}

TEST(LibStringTest, CapacityGrowsExactlyAndNeverShrinks)
{
	LibString empty;
	EXPECT_EQ(empty.Capacity(), 1);
	EXPECT_EQ(LibString(int32(10)).Capacity(), 11);

	LibString text("abc");
	EXPECT_EQ(text.Capacity(), 4);
	text.Concat("de");
	EXPECT_EQ(text.Capacity(), 6);
	text.ToIndex(0);
	EXPECT_EQ(text.Capacity(), 6);
	// Fits below the old capacity: written in place.
	text.Concat("xyz");
	EXPECT_STREQ(text.String(), "axyz");
	EXPECT_EQ(text.Capacity(), 6);

	LibString copy(text);
	EXPECT_EQ(copy.Capacity(), 6);
	EXPECT_NE(copy.String(), text.String());
	copy = "q";
	EXPECT_EQ(copy.Capacity(), 2);
	EXPECT_STREQ(text.String(), "axyz");

	LibString roomy(int32(20));
	roomy.Concat("abc");
	EXPECT_EQ(roomy.Capacity(), 21);
	EXPECT_EQ(roomy.PackSize(), 7);
}

TEST(LibStringTest, ClearedValueStaysUsable)
{
	LibString text("abc");
	text.Clear();
	EXPECT_EQ(text.Capacity(), 0);
	EXPECT_STREQ(text.String(), "");
	text.Concat("x");
	EXPECT_STREQ(text.String(), "x");
	LibString copy;
	text.Clear();
	copy = text;
	EXPECT_STREQ(copy.String(), "");
	EXPECT_GE(copy.Capacity(), 1);
}

TEST(LibStringTest, FormattedKeepsLongResultsWhole)
{
	std::string longText(2000, 'x');
	LibString text;
	text.Formatted("<%s> %d", longText.c_str(), 42);
	EXPECT_EQ(text.Length(), 2000 + 5);
	EXPECT_TRUE(text.EndsWith("> 42"));
	EXPECT_STREQ(LibString().Formatted("%s-%03d", "id", 7).String(), "id-007");
}

TEST(LibStringTest, ReadAppendsFileLineByLine)
{
	std::string path = testing::TempDir() + "libstring_read_XXXXXX";
	int fd = mkstemp(path.data());
	ASSERT_GE(fd, 0);
	const char content[] = "first line\nsecond, rather longer line\nlast";
	ASSERT_EQ(write(fd, content, sizeof(content) - 1), ssize_t(sizeof(content) - 1));
	close(fd);

	// Tiny line buffers split lines but still read everything; a buffer
	// too small to make progress does not hang.
	for (int32 lineSize : {0, 1, 2, 4, 256}) {
		LibString text("head:");
		text.Read(path.c_str(), lineSize);
		EXPECT_EQ(std::string(text.String()), std::string("head:") + content) << lineSize;
	}
	unlink(path.c_str());

	LibString untouched("same");
	untouched.Read(path.c_str(), 80);
	EXPECT_STREQ(untouched.String(), "same");
}

namespace {

// Every character is 10 pixels wide.
struct FixedFont {
	float StringWidth(const char* text) const { return 10.0f * float(strlen(text)); }
};

} // namespace

TEST(LibStringTest, TruncateEndsWithEllipsisWithinWidth)
{
	struct {
		const char* text;
		float maxWidth;
		const char* expected;
		float keptWidth;
	} cases[] = {
	        {"", 5, "", 0},
	        {"abc", 31, "abc", 30},
	        {"abcdef", 60, "ab...", 20},
	        {"abcdef", 61, "abcdef", 60},
	        {"abcdef", 5, "a...", 10},
	        {"a", 5, "a", 10},
	};
	for (const auto& c : cases) {
		LibString text(c.text);
		BRect bounds(7, 7, 7, 7);
		text.Truncate(FixedFont(), c.maxWidth, bounds);
		EXPECT_STREQ(text.String(), c.expected) << c.text << " in " << c.maxWidth;
		EXPECT_EQ(bounds.left, 0) << c.text;
		EXPECT_EQ(bounds.right, c.keptWidth) << c.text << " in " << c.maxWidth;
	}
}
