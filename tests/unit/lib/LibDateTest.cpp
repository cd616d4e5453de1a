// Calendar dates, times of day and their combination: day numbers across the
// calendar switch, normalization, arithmetic, weekdays and archiving.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LibDate.h"
#include "LibDateTime.h"
#include "LibString.h"
#include "LibTime.h"
#include "Message.h"

namespace {

struct Ymd {
	int32 day;
	int32 month;
	int32 year;
};

void ExpectDate(const LibDate& date, const Ymd& expected, const std::string& what)
{
	EXPECT_EQ(date.GetDay(), expected.day) << what;
	EXPECT_EQ(date.GetMonth(), expected.month) << what;
	EXPECT_EQ(date.GetYear(), expected.year) << what;
}

} // namespace

TEST(LibDateTest, DayNumbers_KnownDates)
{
	struct Case {
		Ymd date;
		int32 dayNumber;
	};
	const std::vector<Case> cases = {
	        {{1, 1, 2000}, 2451544},  {{1, 1, 1970}, 2440587}, {{15, 10, 1582}, 2299160},
	        {{4, 10, 1582}, 2299159}, {{1, 1, 1}, 1721423},    {{31, 12, -1}, 1721422},
	        {{1, 1, -4713}, -1}, // the day before Julian Day 0
	};
	for (const Case& c : cases) {
		LibDate date(c.date.day, c.date.month, c.date.year);
		EXPECT_EQ(date.GetDayNumber(), c.dayNumber)
		        << c.date.day << "/" << c.date.month << "/" << c.date.year;
		LibDate back(c.dayNumber);
		ExpectDate(back, c.date, "from day number " + std::to_string(c.dayNumber));
	}
}

// Walks day numbers one by one through the calendar switch, the change of
// era and the present, checking that each day follows its predecessor.
TEST(LibDateTest, DayNumbers_ConsecutiveDaysFollowTheCalendar)
{
	const std::vector<std::pair<int32, int32>> ranges = {
	        {1721423 - 800, 1721423 + 800}, // around 1 January 1
	        {2299160 - 400, 2299160 + 400}, // around 15 October 1582
	        {2451544 - 400, 2451544 + 800}, // around 2000
	        {-2000, 2000},                  // before Julian Day 0
	};
	for (const auto& range : ranges) {
		LibDate previous(range.first);
		for (int32 n = range.first + 1; n <= range.second; n++) {
			LibDate date(n);
			ASSERT_EQ(LibDate::DayNumberOf(date.GetDay(), date.GetMonth(), date.GetYear()), n);
			bool sameMonth = date.GetMonth() == previous.GetMonth() &&
			                 date.GetYear() == previous.GetYear() &&
			                 date.GetDay() == previous.GetDay() + 1;
			bool switchGap = previous.GetDay() == 4 && previous.GetMonth() == 10 &&
			                 previous.GetYear() == 1582 && date.GetDay() == 15;
			bool newMonth = date.GetDay() == 1 && previous.GetDay() == previous.DaysInMonth();
			ASSERT_TRUE(sameMonth || switchGap || newMonth)
			        << "day " << n << ": " << date.GetDay() << "/" << date.GetMonth() << "/"
			        << date.GetYear() << " after " << previous.GetDay() << "/"
			        << previous.GetMonth() << "/" << previous.GetYear();
			ASSERT_NE(date.GetYear(), 0) << "there is no year 0";
			previous = date;
		}
	}
}

TEST(LibDateTest, SetDate_Normalizes)
{
	struct Case {
		Ymd set;
		Ymd expected;
	};
	const std::vector<Case> cases = {
	        {{29, 2, 1900}, {1, 3, 1900}},    {{29, 2, 2000}, {29, 2, 2000}},
	        {{29, 2, 1500}, {29, 2, 1500}}, // Julian leap year
	        {{31, 4, 2024}, {1, 5, 2024}},    {{0, 3, 2024}, {29, 2, 2024}},
	        {{0, 3, 2023}, {28, 2, 2023}},    {{-1, 1, 2024}, {30, 12, 2023}},
	        {{32, 12, 1999}, {1, 1, 2000}},   {{1, 13, 2024}, {1, 1, 2025}},
	        {{1, 0, 2024}, {1, 12, 2023}},    {{1, -12, 2024}, {1, 12, 2022}},
	        {{1, 25, 2024}, {1, 1, 2026}},    {{1, 13, -1}, {1, 1, 1}}, // no year 0 between them
	        {{0, 1, 1}, {31, 12, -1}},        {{366, 1, 2024}, {31, 12, 2024}},
	        {{10, 10, 1582}, {20, 10, 1582}}, // a dropped day is counted on
	};
	for (const Case& c : cases) {
		LibDate date(c.set.day, c.set.month, c.set.year);
		ExpectDate(date, c.expected,
		           std::to_string(c.set.day) + "/" + std::to_string(c.set.month) + "/" +
		                   std::to_string(c.set.year));
	}
}

TEST(LibDateTest, Arithmetic_MovesByDaysMonthsAndYears)
{
	enum Op { kDays, kMonths, kYears };
	struct Case {
		Ymd start;
		Op op;
		int32 amount;
		Ymd expected;
	};
	const std::vector<Case> cases = {
	        {{1, 3, 2024}, kDays, -1, {29, 2, 2024}},
	        {{4, 10, 1582}, kDays, 1, {15, 10, 1582}},
	        {{15, 10, 1582}, kDays, -1, {4, 10, 1582}},
	        {{31, 12, -1}, kDays, 1, {1, 1, 1}},
	        {{1, 1, 2000}, kDays, 366, {1, 1, 2001}},
	        {{31, 1, 2023}, kMonths, 1, {3, 3, 2023}},
	        {{31, 1, 2024}, kMonths, 1, {2, 3, 2024}},
	        {{15, 6, 2024}, kMonths, -18, {15, 12, 2022}},
	        {{29, 2, 2024}, kYears, 1, {1, 3, 2025}},
	        {{29, 2, 2024}, kYears, 4, {29, 2, 2028}},
	        {{1, 1, 1}, kYears, -1, {1, 1, -1}},
	        {{1, 1, -1}, kYears, 2, {1, 1, 2}},
	};
	for (const Case& c : cases) {
		LibDate date(c.start.day, c.start.month, c.start.year);
		if (c.op == kDays)
			date.AddDays(c.amount);
		else if (c.op == kMonths)
			date.AddMonths(c.amount);
		else
			date.AddYears(c.amount);
		ExpectDate(date, c.expected,
		           "op " + std::to_string(c.op) + " by " + std::to_string(c.amount));
	}
}

TEST(LibDateTest, Operators_AddSubtractAndCompareByDayNumber)
{
	LibDate start(28, 2, 2024);
	LibDate later = start + 2;
	ExpectDate(later, {1, 3, 2024}, "+2");
	EXPECT_EQ(later - start, 2);
	EXPECT_EQ(start.DaysSince(later), -2);
	ExpectDate(later - 2, {28, 2, 2024}, "-2");
	LibDate walking(start);
	LibDate old = walking++;
	EXPECT_EQ(old, start);
	ExpectDate(walking, {29, 2, 2024}, "postfix ++");
	ExpectDate(--walking, {28, 2, 2024}, "prefix --");
	walking += 30;
	ExpectDate(walking, {29, 3, 2024}, "+=");
	walking -= 29;
	ExpectDate(walking, {29, 2, 2024}, "-=");
	EXPECT_LT(start, later);
	EXPECT_GT(later, start);
	EXPECT_LE(start, start);
	EXPECT_NE(start, later);
}

TEST(LibDateTest, LeapYearsAndLengths)
{
	struct Case {
		int32 year;
		bool leap;
	};
	const std::vector<Case> cases = {
	        {1500, true}, {1300, true},  {1581, false}, {1600, true}, {1700, false}, {1900, false},
	        {2000, true}, {2023, false}, {2024, true},  {-1, true},   {-5, true},    {-4, false},
	};
	for (const Case& c : cases) {
		EXPECT_EQ(LibDate::IsLeapYear(c.year), c.leap) << c.year;
		EXPECT_EQ(LibDate::DaysInYear(c.year), c.leap ? 366 : 365) << c.year;
		EXPECT_EQ(LibDate::DaysInMonth(2, c.year), c.leap ? 29 : 28) << c.year;
		// Lengths agree with the day numbers the calendar gives.
		if (c.year != 1582)
			EXPECT_EQ(LibDate(1, 3, c.year) - LibDate(1, 2, c.year), c.leap ? 29 : 28) << c.year;
	}
	const int32 lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
	for (int32 month = 1; month <= 12; month++)
		EXPECT_EQ(LibDate::DaysInMonth(month, 2023), lengths[month - 1]) << month;
	EXPECT_EQ(LibDate(31, 12, 2024).GetDayOfYear(), 366);
	EXPECT_EQ(LibDate(1, 3, 2023).GetDayOfYear(), 60);
	EXPECT_EQ(LibDate(31, 12, 1582).GetDayOfYear(), 355);
}

TEST(LibDateTest, Weekdays_OfDatesOnBothSidesOfTheSwitch)
{
	struct Case {
		Ymd date;
		int32 weekday;
	};
	const std::vector<Case> cases = {
	        {{1, 1, 2000}, 6},  {{6, 12, 2026}, 0},  {{1, 1, 1970}, 4}, {{29, 2, 2024}, 4},
	        {{4, 10, 1582}, 4}, {{15, 10, 1582}, 5}, {{1, 1, 1}, 6},
	};
	for (const Case& c : cases) {
		LibDate date(c.date.day, c.date.month, c.date.year);
		EXPECT_EQ(date.DayOfWeek(), c.weekday)
		        << c.date.day << "/" << c.date.month << "/" << c.date.year;
		EXPECT_EQ(date.IsWeekEnd(), c.weekday == 0 || c.weekday == 6);
	}
	EXPECT_EQ(LibDate(1, 12, 2026).DayOfWeek(6), 0) << "weekday of another day of the month";
}

TEST(LibDateTest, Weekdays_ByEnglishName)
{
	const std::vector<std::pair<const char*, int32>> cases = {
	        {"F", 5},  {"friday", 5}, {"M", 1}, {"Sa", 6}, {"SU", 0},  {"Tu", 2},
	        {"th", 4}, {"W", 3},      {"T", 0}, {"S", 0},  {"xyz", 0}, {"", 0},
	};
	for (const auto& c : cases)
		EXPECT_EQ(LibDate::DayOfWeek(c.first), c.second) << c.first;
}

TEST(LibDateTest, SetToNextAndPrev_MoveStrictly)
{
	struct Case {
		bool next;
		int32 weekday;
		Ymd expected;
	};
	// From Sunday 6 December 2026.
	const std::vector<Case> cases = {
	        {true, 0, {13, 12, 2026}},  {true, 1, {7, 12, 2026}},
	        {true, 6, {12, 12, 2026}},  {false, 6, {5, 12, 2026}},
	        {false, 0, {29, 11, 2026}}, {true, 8, {7, 12, 2026}}, // out of range: taken modulo 7
	};
	for (const Case& c : cases) {
		LibDate date(6, 12, 2026);
		if (c.next)
			date.SetToNext(c.weekday);
		else
			date.SetToPrev(c.weekday);
		ExpectDate(date, c.expected, std::to_string(c.weekday));
	}
}

TEST(LibDateTest, BrokenDownTime_RoundTrips)
{
	struct tm broken = {};
	broken.tm_mday = 29;
	broken.tm_mon = 1;
	broken.tm_year = 124;
	LibDate date;
	date.SetDate(&broken);
	ExpectDate(date, {29, 2, 2024}, "from tm");
	struct tm out = {};
	date.GetDate(out);
	EXPECT_EQ(out.tm_mday, 29);
	EXPECT_EQ(out.tm_mon, 1);
	EXPECT_EQ(out.tm_year, 124);
	EXPECT_EQ(out.tm_wday, 4);
	EXPECT_EQ(out.tm_yday, 59);
}

TEST(LibDateTest, Archive_WritesTheDayNumberOnce)
{
	BMessage archive;
	LibDate date(29, 2, 2024);
	ASSERT_EQ(date.Archive(archive), B_OK);
	ASSERT_EQ(LibDate(1, 1, 2000).Archive(archive), B_OK);
	type_code type = 0;
	int32 count = 0;
	ASSERT_EQ(archive.GetInfo("date", &type, &count), B_OK);
	EXPECT_EQ(count, 1);
	EXPECT_EQ(archive.FindInt32("date"), 2451544);

	LibDate restored(5, 5, 1955);
	ASSERT_EQ(restored.Restore(archive), B_OK);
	ExpectDate(restored, {1, 1, 2000}, "restored");

	LibDate untouched(5, 5, 1955);
	EXPECT_NE(untouched.Restore(BMessage()), B_OK);
	ExpectDate(untouched, {5, 5, 1955}, "missing field");
}

TEST(LibTimeTest, SetTime_NormalizesCarriesAndBorrows)
{
	struct Case {
		int32 h, m, s;
		int32 eh, em, es;
	};
	const std::vector<Case> cases = {
	        {14, 5, 9, 14, 5, 9},     {23, 59, 60, 0, 0, 0}, {0, 0, -1, 23, 59, 59},
	        {0, 0, -130, 23, 57, 50}, {0, -1, 0, 23, 59, 0}, {0, 125, 0, 2, 5, 0},
	        {25, 0, 0, 1, 0, 0},      {-1, 0, 0, 23, 0, 0},  {0, 0, 86400 * 3 + 61, 0, 1, 1},
	};
	for (const Case& c : cases) {
		LibTime time(c.h, c.m, c.s);
		EXPECT_EQ(time.GetHours(), c.eh) << c.h << ":" << c.m << ":" << c.s;
		EXPECT_EQ(time.GetMinutes(), c.em) << c.h << ":" << c.m << ":" << c.s;
		EXPECT_EQ(time.GetSeconds(), c.es) << c.h << ":" << c.m << ":" << c.s;
	}
	LibTime time(10, 0, 0);
	time.AddMinutes(-61);
	EXPECT_EQ(time.NumberOfSeconds(), 8 * 3600 + 59 * 60);
	EXPECT_EQ(time.NumberOfMinutes(), 8 * 60 + 59);
	EXPECT_EQ(LibTime(1, 0, 0) - LibTime(0, 59, 0), 60);
	EXPECT_LT(LibTime(0, 59, 59), LibTime(1, 0, 0));
}

TEST(LibTimeTest, SetTimeFromMoment_UniversalTime)
{
	LibTime time;
	time.SetTime(time_t(86400 * 2 + 3600 * 13 + 60 * 7 + 9), false);
	EXPECT_EQ(time.NumberOfSeconds(), 13 * 3600 + 7 * 60 + 9);
	int32 zoneSeconds = LibTime::TimeZone(LibTime::kSeconds);
	EXPECT_EQ(LibTime::TimeZone(LibTime::kMinutes), zoneSeconds / 60);
	EXPECT_EQ(LibTime::TimeZone(LibTime::kHours), zoneSeconds / 3600);
}

TEST(LibTimeTest, Archive_RoundTripsAndRejectsPartialArchives)
{
	BMessage archive;
	ASSERT_EQ(LibTime(7, 8, 9).Archive(archive), B_OK);
	EXPECT_EQ(archive.FindInt32("hours"), 7);
	EXPECT_EQ(archive.FindInt32("minutes"), 8);
	EXPECT_EQ(archive.FindInt32("seconds"), 9);
	LibTime restored(1, 1, 1);
	ASSERT_EQ(restored.Restore(archive), B_OK);
	EXPECT_EQ(restored, LibTime(7, 8, 9));

	BMessage partial;
	partial.AddInt32("hours", 5);
	LibTime untouched(1, 2, 3);
	EXPECT_NE(untouched.Restore(partial), B_OK);
	EXPECT_EQ(untouched, LibTime(1, 2, 3));
}

TEST(LibDateTimeTest, TimeArithmetic_CarriesDaysIntoTheDate)
{
	enum Unit { kSeconds, kMinutes, kHours };
	struct Case {
		Ymd date;
		int32 h, m, s;
		Unit unit;
		int32 amount;
		Ymd expectedDate;
		int32 eh, em, es;
	};
	const std::vector<Case> cases = {
	        {{31, 12, 2023}, 23, 59, 30, kSeconds, 45, {1, 1, 2024}, 0, 0, 15},
	        {{1, 1, 2000}, 0, 0, 30, kSeconds, -31, {31, 12, 1999}, 23, 59, 59},
	        {{28, 2, 2024}, 12, 0, 0, kHours, 36, {1, 3, 2024}, 0, 0, 0},
	        {{1, 3, 2024}, 0, 0, 0, kMinutes, -1441, {28, 2, 2024}, 23, 59, 0},
	        {{4, 10, 1582}, 23, 0, 0, kHours, 1, {15, 10, 1582}, 0, 0, 0},
	        {{1, 1, 2000}, 0, 0, 0, kSeconds, 86400 * 10, {11, 1, 2000}, 0, 0, 0},
	};
	for (const Case& c : cases) {
		LibDateTime moment(c.date.day, c.date.month, c.date.year);
		moment.SetTime(c.h, c.m, c.s);
		if (c.unit == kSeconds)
			moment.AddSeconds(c.amount);
		else if (c.unit == kMinutes)
			moment.AddMinutes(c.amount);
		else
			moment.AddHours(c.amount);
		std::string what = std::to_string(c.amount) + " units " + std::to_string(c.unit);
		ExpectDate(moment, c.expectedDate, what);
		EXPECT_EQ(moment.GetHours(), c.eh) << what;
		EXPECT_EQ(moment.GetMinutes(), c.em) << what;
		EXPECT_EQ(moment.LibTime::GetSeconds(), c.es) << what;
	}
}

TEST(LibDateTimeTest, MomentsAndComparisons)
{
	LibDateTime epoch(false);
	epoch.SetDateTime(time_t(0), false);
	ExpectDate(epoch, {1, 1, 1970}, "epoch");
	EXPECT_EQ(epoch.NumberOfSeconds(), 0);

	LibDateTime leapDay(false);
	leapDay.SetDateTime(time_t(951825600), false); // 2000-02-29 12:00:00 UTC
	ExpectDate(leapDay, {29, 2, 2000}, "leap day");
	EXPECT_EQ(leapDay.GetHours(), 12);

	struct tm broken = {};
	leapDay.GetDateTime(&broken);
	EXPECT_EQ(timegm(&broken), 951825600);

	LibDateTime earlier(29, 2, 2000);
	earlier.SetTime(23, 0, 0);
	LibDateTime later(1, 3, 2000);
	EXPECT_LT(earlier, later) << "the date decides before the time";
	EXPECT_GT(later, earlier);
	EXPECT_EQ(later.MinutesSince(earlier), 60);
	EXPECT_EQ(earlier.MinutesSince(later), -60);
	LibDateTime same(later);
	EXPECT_EQ(same, later);
}

TEST(LibDateTimeTest, Iso8601_WritesAndReadsBack)
{
	struct Case {
		Ymd date;
		int32 h, m, s;
		int32 hours;
		const char* text;
	};
	const std::vector<Case> cases = {
	        {{6, 12, 2026}, 14, 5, 9, 0, "20261206T140509"},
	        {{1, 1, 2000}, 0, 0, 0, 0, "20000101T000000"},
	        {{31, 12, 1999}, 23, 30, 0, 1, "20000101T003000Z"},
	        {{1, 1, 2000}, 0, 30, 0, -1, "19991231T233000Z"},
	        {{5, 3, 812}, 1, 2, 3, 0, "8120305T010203"},
	};
	for (const Case& c : cases) {
		LibDateTime moment(c.date.day, c.date.month, c.date.year);
		moment.SetTime(c.h, c.m, c.s);
		LibString text;
		moment.GetIso8601(text, c.hours);
		EXPECT_STREQ(text.String(), c.text);
		LibDateTime back(1, 1, 1970);
		ASSERT_EQ(back.SetIso8601(text.String(), c.hours), B_OK) << c.text;
		EXPECT_EQ(back, moment) << c.text;
	}
}

TEST(LibDateTimeTest, Iso8601_RejectsMalformedText)
{
	const std::vector<const char*> bad = {
	        "",
	        "T",
	        "2000T000000",
	        "20000101",
	        "20000101T0000",
	        "2000a101T000000",
	        "20000101T00000x",
	        "20000101T000000ZZ",
	        "-0101T000000",
	        "20000101T000000 ",
	};
	for (const char* text : bad) {
		LibDateTime moment(6, 12, 2026);
		EXPECT_EQ(moment.SetIso8601(text), B_BAD_VALUE) << text;
		ExpectDate(moment, {6, 12, 2026}, text);
	}
	LibDateTime moment(6, 12, 2026);
	EXPECT_EQ(moment.SetIso8601(nullptr), B_BAD_VALUE);
}

TEST(LibDateTimeTest, Archive_AllFourFields)
{
	LibDateTime moment(29, 2, 2024);
	moment.SetTime(13, 14, 15);
	BMessage archive;
	ASSERT_EQ(moment.Archive(archive), B_OK);
	EXPECT_EQ(archive.FindInt32("date"), LibDate(29, 2, 2024).GetDayNumber());
	EXPECT_EQ(archive.FindInt32("minutes"), 14);
	LibDateTime restored(1, 1, 2000);
	ASSERT_EQ(restored.Restore(archive), B_OK);
	EXPECT_EQ(restored, moment);

	BMessage dateOnly;
	LibDate(3, 3, 2003).Archive(dateOnly);
	LibDateTime untouched(1, 1, 2000);
	EXPECT_NE(untouched.Restore(dateOnly), B_OK);
	ExpectDate(untouched, {1, 1, 2000}, "partial archive");
}
