// Locale formatting of dates and times: element formats, the five languages
// with their UTF-8 names, the 12- and 24-hour clocks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LibDate.h"
#include "LibDateTime.h"
#include "LibLocaleDate.h"
#include "LibLocaleDateTime.h"
#include "LibLocaleTime.h"
#include "LibStringList.h"
#include "LibTime.h"

namespace {

bool IsValidUtf8(const std::string& text)
{
	size_t i = 0;
	while (i < text.size()) {
		unsigned char c = static_cast<unsigned char>(text[i]);
		size_t extra;
		if (c < 0x80)
			extra = 0;
		else if ((c >> 5) == 0x6)
			extra = 1;
		else if ((c >> 4) == 0xE)
			extra = 2;
		else
			return false;
		if (i + extra >= text.size() + (extra == 0 ? 1 : 0))
			return false;
		for (size_t k = 1; k <= extra; k++) {
			if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
				return false;
		}
		i += extra + 1;
	}
	return true;
}

struct DateCase {
	const char* format;
	int32 language;
	int32 weekdayFormat;
	int32 monthFormat;
	int32 yearFormat;
	bool pad;
	LibDate date;
	const char* expected;
};

std::string Format(const DateCase& c)
{
	LibLocaleDate locale;
	locale.SetFormat(c.format);
	locale.SetLanguage(c.language);
	locale.SetWeekdayFormat(c.weekdayFormat);
	locale.SetMonthFormat(c.monthFormat);
	locale.SetYearFormat(c.yearFormat);
	locale.PadWithZeros(c.pad);
	return locale.Format(c.date).String();
}

} // namespace

TEST(LibLocaleDateTest, Format_Defaults)
{
	LibLocaleDate locale;
	EXPECT_STREQ(locale.Format(LibDate(6, 12, 2026)).String(), "6 Dec 2026");
	locale.SetFormat("W, D M Y");
	EXPECT_STREQ(locale.Format(LibDate(6, 12, 2026)).String(), "Sun, 6 Dec 2026");
	EXPECT_FALSE(locale.KanjiLaunguage());
}

TEST(LibLocaleDateTest, Format_ElementsAndLanguages)
{
	const LibDate sunday(6, 12, 2026);
	const LibDate wednesday(5, 8, 2026);
	const LibDate saturday(7, 2, 2026);
	const LibDate early(3, 3, 2005);
	const std::vector<DateCase> cases = {
	        // Letters shown once, everything else copied.
	        {"D D.M.M Y!", LibLocaleDate::kEnglish, 1, 0, 2, false, early, "3 .3. 2005!"},
	        {"D/M/Y", LibLocaleDate::kEnglish, 1, 0, 2, true, early, "03/03/2005"},
	        {"D/M/Y", LibLocaleDate::kEnglish, 1, 0, 0, true, early, "03/03/05"},
	        {"Y", LibLocaleDate::kEnglish, 1, 0, 1, false, sunday, "26"},
	        {"Y", LibLocaleDate::kEnglish, 1, 0, 0, false, LibDate(1, 1, 1900), "00"},
	        {"D", LibLocaleDate::kEnglish, 1, 0, 2, true, sunday.operator+(10), "16"},
	        // Month names: short (three bytes), whole.
	        {"M", LibLocaleDate::kEnglish, 1, 2, 2, false, sunday, "December"},
	        {"M", LibLocaleDate::kFrench, 1, 1, 2, false, saturday, "Fé"},
	        {"M", LibLocaleDate::kFrench, 1, 1, 2, false, wednesday, "Ao"},
	        {"M", LibLocaleDate::kFrench, 1, 2, 2, false, wednesday, "Août"},
	        {"M", LibLocaleDate::kGerman, 1, 1, 2, false, LibDate(1, 3, 2026), "Mä"},
	        {"M", LibLocaleDate::kSpanish, 1, 2, 2, false, LibDate(1, 3, 2026), "Marcha"},
	        {"M", LibLocaleDate::kJapanese, 1, 1, 2, false, sunday, "１２月"},
	        {"M", LibLocaleDate::kJapanese, 1, 2, 2, false, early, "３月"},
	        {"M", LibLocaleDate::kJapanese, 1, 0, 2, true, early, "03"},
	        // Weekday names: two bytes, three bytes, whole.
	        {"W", LibLocaleDate::kEnglish, 0, 1, 2, false, sunday, "Su"},
	        {"W", LibLocaleDate::kEnglish, 2, 1, 2, false, wednesday, "Wednesday"},
	        {"W", LibLocaleDate::kSpanish, 0, 1, 2, false, saturday, "S"},
	        {"W", LibLocaleDate::kSpanish, 1, 1, 2, false, saturday, "Sá"},
	        {"W", LibLocaleDate::kSpanish, 1, 1, 2, false, wednesday, "Mi"},
	        {"W", LibLocaleDate::kGerman, 1, 1, 2, false, sunday, "Son"},
	        {"W", LibLocaleDate::kJapanese, 0, 1, 2, false, sunday, "日"},
	        {"W", LibLocaleDate::kJapanese, 1, 1, 2, false, wednesday, "水曜日"},
	        {"W D M Y", LibLocaleDate::kFrench, 2, 2, 2, false, sunday, "Dimanche 6 Décembre 2026"},
	        // An unknown language is English.
	        {"M", 9, 2, 2, 2, false, sunday, "December"},
	};
	for (const DateCase& c : cases)
		EXPECT_EQ(Format(c), c.expected) << c.format << " language " << c.language;
}

// Every cut of every name, in every language, stays valid UTF-8.
TEST(LibLocaleDateTest, Format_NeverSplitsACharacter)
{
	for (int32 language = 0; language < LibLocaleDate::kLanguageCount; language++) {
		for (int32 format = 0; format <= 2; format++) {
			for (int32 month = 1; month <= 12; month++) {
				for (int32 day = 1; day <= 7; day++) {
					DateCase c{"W M", language, format, format, 2, false, LibDate(day, month, 2026),
					           ""};
					std::string text = Format(c);
					EXPECT_TRUE(IsValidUtf8(text)) << language << " " << format << " " << text;
					EXPECT_GT(text.size(), 1u);
				}
			}
		}
	}
}

TEST(LibLocaleDateTest, NamesAndLanguages)
{
	LibStringList languages;
	LibLocaleDate::AvailableLanguages(languages);
	std::vector<std::string> names;
	for (int32 i = 0; i < languages.Size(); i++)
		names.push_back(languages.Get(i)->String());
	EXPECT_EQ(names,
	          (std::vector<std::string>{"English", "French", "German", "Spanish", "Japanese"}));
	EXPECT_STREQ(LibLocaleDate::MonthName(LibLocaleDate::kJapanese, 10), "１０月");
	EXPECT_STREQ(LibLocaleDate::WeekdayName(LibLocaleDate::kGerman, 6), "Samstag");
	EXPECT_EQ(LibLocaleDate::MonthName(0, 13), nullptr);
	EXPECT_EQ(LibLocaleDate::WeekdayName(5, 0), nullptr);
	LibLocaleDate locale;
	locale.SetLanguage(LibLocaleDate::kJapanese);
	EXPECT_TRUE(locale.KanjiLaunguage());
}

TEST(LibLocaleTimeTest, Format_Clocks)
{
	enum { kSeconds = 1, k24 = 2, kNoMinutes = 4, kNoSuffix = 8, kEmptySuffixes = 16 };
	struct Case {
		int32 h, m, s;
		int32 options;
		const char* expected;
	};
	const std::vector<Case> cases = {
	        {14, 5, 9, 0, "2:05 PM"},
	        {14, 5, 9, kSeconds, "2:05:09 PM"},
	        {14, 5, 9, k24, "14:05"},
	        {9, 5, 0, k24, "09:05"},
	        {0, 0, 0, 0, "12:00 AM"},
	        {12, 0, 0, 0, "12:00 PM"},
	        {11, 59, 59, kSeconds, "11:59:59 AM"},
	        {23, 1, 0, 0, "11:01 PM"},
	        {14, 5, 9, kNoMinutes, "2 PM"},
	        {14, 5, 9, kNoMinutes | kSeconds, "2:09 PM"},
	        {14, 5, 9, kNoSuffix, "2:05"},
	        {0, 7, 0, k24 | kSeconds, "00:07:00"},
	        {18, 30, 0, kEmptySuffixes, "6:30"},
	};
	for (const Case& c : cases) {
		LibLocaleTime locale;
		locale.SetShowSeconds((c.options & kSeconds) != 0);
		locale.Set24Clock((c.options & k24) != 0);
		locale.SetShowMinutes((c.options & kNoMinutes) == 0);
		locale.SetShowSuffix((c.options & kNoSuffix) == 0);
		if (c.options & kEmptySuffixes) {
			locale.Set12ClockBeforeNoonSuffix("");
			locale.Set12ClockAfterNoonSuffix("");
		}
		EXPECT_STREQ(locale.Format(LibTime(c.h, c.m, c.s)).String(), c.expected)
		        << c.h << ":" << c.m << ":" << c.s << " options " << c.options;
	}
}

TEST(LibLocaleTimeTest, TwelveHourSuffixes)
{
	LibLocaleTime locale;
	EXPECT_TRUE(locale.Has12ClockSuffix());
	locale.Set12ClockBeforeNoonSuffix("");
	EXPECT_TRUE(locale.Has12ClockSuffix());
	locale.Set12ClockAfterNoonSuffix("");
	EXPECT_FALSE(locale.Has12ClockSuffix());
	locale.Set12ClockAfterNoonSuffix(" nachm.");
	EXPECT_STREQ(locale.Format(LibTime(13, 0, 0)).String(), "1:00 nachm.");
	locale.SetSeparatorChar('.');
	locale.Set24Clock(true);
	locale.Set24ClockSuffix(" Uhr");
	EXPECT_STREQ(locale.Format(LibTime(13, 0, 0)).String(), "13.00 Uhr");
}

TEST(LibLocaleDateTimeTest, Format_DateSeparatorTime)
{
	LibDateTime moment(6, 12, 2026);
	moment.SetTime(14, 5, 9);
	LibLocaleDateTime locale;
	EXPECT_STREQ(locale.Format(moment).String(), "6 Dec 2026 2:05 PM");
	locale.SetFormat("M D, Y");
	locale.SetSeperator(" at ");
	locale.SetShowSeconds(true);
	EXPECT_STREQ(locale.Format(moment).String(), "Dec 6, 2026 at 2:05:09 PM");
}
