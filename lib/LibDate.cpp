// LibDate: calendar arithmetic on day numbers, across the Julian/Gregorian switch.
#include "LibDate.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "Message.h"

namespace {

// Gregorian dates start on 15 October 1582.
const int64 kGregorianStart = 15821015;
// The first day number (less one than the Julian Day Number) of the Gregorian calendar.
const double kGregorianJulianDay = 2299160;

int64 FloorDiv(const int64& a, const int64& b)
{
	int64 q = a / b;
	if ((a % b != 0) && ((a < 0) != (b < 0)))
		q--;
	return q;
}

int64 FloorMod(const int64& a, const int64& b)
{
	return a - FloorDiv(a, b) * b;
}

// Years count ..., -2, -1, 1, 2, ...; astronomical years have a year 0 in place of -1.
int64 ToAstronomical(const int64& year)
{
	return year < 0 ? year + 1 : year;
}

int64 FromAstronomical(const int64& year)
{
	return year <= 0 ? year - 1 : year;
}

int32 ClampToInt32(const int64& value)
{
	if (value > std::numeric_limits<int32>::max())
		return std::numeric_limits<int32>::max();
	if (value < std::numeric_limits<int32>::min())
		return std::numeric_limits<int32>::min();
	return int32(value);
}

status_t SetInt32(BMessage& message, const char* name, const int32& value)
{
	if (message.HasInt32(name))
		return message.ReplaceInt32(name, value);
	return message.AddInt32(name, value);
}

} // namespace

LibDate::LibDate(const int32& day, const int32& month, const int32& year)
    : fDayNumber(0), fDay(1), fMonth(1), fYear(1)
{
	SetDate(day, month, year);
}

LibDate::LibDate(const int32& dayNumber) : fDayNumber(0), fDay(1), fMonth(1), fYear(1)
{
	SetFromDayNumber(dayNumber);
}

LibDate::LibDate(const LibDate& other)
    : fDayNumber(other.fDayNumber), fDay(other.fDay), fMonth(other.fMonth), fYear(other.fYear)
{
}

LibDate::LibDate(const bool& today, const bool& local) : fDayNumber(0), fDay(1), fMonth(1), fYear(1)
{
	if (today)
		SetToday(local);
	else
		SetFromDayNumber(0);
}

LibDate::~LibDate() {}

LibDate& LibDate::operator=(const LibDate& other)
{
	fDayNumber = other.fDayNumber;
	fDay = other.fDay;
	fMonth = other.fMonth;
	fYear = other.fYear;
	return *this;
}

void LibDate::SetDate(const int32& day, const int32& month, const int32& year)
{
	fDay = day;
	fMonth = month;
	fYear = year;
	NormalizeDate();
}

void LibDate::SetDate(const int32& dayNumber)
{
	SetFromDayNumber(dayNumber);
}

void LibDate::SetDate(const struct tm* time)
{
	if (time == nullptr)
		return;
	SetDate(time->tm_mday, time->tm_mon + 1, time->tm_year + 1900);
}

void LibDate::SetDay(const int32& day)
{
	SetDate(day, fMonth, fYear);
}

void LibDate::SetMonth(const int32& month)
{
	SetDate(fDay, month, fYear);
}

void LibDate::SetYear(const int32& year)
{
	SetDate(fDay, fMonth, year);
}

void LibDate::SetToday(const bool& local)
{
	time_t now = time(nullptr);
	struct tm broken = {};
	if (local)
		localtime_r(&now, &broken);
	else
		gmtime_r(&now, &broken);
	SetDate(&broken);
}

void LibDate::GetDate(struct tm* time) const
{
	if (time == nullptr)
		return;
	GetDate(*time);
}

void LibDate::GetDate(struct tm& time) const
{
	time.tm_mday = fDay;
	time.tm_mon = fMonth - 1;
	time.tm_year = fYear - 1900;
	time.tm_wday = DayOfWeek();
	time.tm_yday = GetDayOfYear() - 1;
}

int32 LibDate::DaysInMonth() const
{
	return DaysInMonth(fMonth, fYear);
}

int32 LibDate::DaysInMonth(const int32& month, const int32& year)
{
	switch (month) {
		case 2: return IsLeapYear(year) ? 29 : 28;
		case 4:
		case 6:
		case 9:
		case 11: return 30;
		default: return 31;
	}
}

int32 LibDate::DaysInYear(const int32& year)
{
	return IsLeapYear(year) ? 366 : 365;
}

bool LibDate::IsLeapYear(const int32& year)
{
	// 1 BC (year -1) is a Julian leap year, so the test runs on astronomical years.
	int64 astronomical = ToAstronomical(year);
	if (year <= 1581)
		return FloorMod(astronomical, 4) == 0;
	return (year % 400 == 0) || (year % 4 == 0 && year % 100 != 0);
}

int32 LibDate::GetDayOfYear() const
{
	return fDayNumber - DayNumberOf(1, 1, fYear) + 1;
}

int32 LibDate::DayOfWeek(const int32& day) const
{
	// Counted from the day number, which stays right on both sides of the
	// calendar switch (day number 0 was a Monday).
	int64 dayNumber = day == 0 ? fDayNumber : DayNumberOf(day, fMonth, fYear);
	return int32(FloorMod(dayNumber + 2, 7));
}

int32 LibDate::DayOfWeek(const char* name)
{
	if (name == nullptr)
		return 0;
	char first = char(name[0] & ~0x20);
	char second = name[0] != '\0' ? char(name[1] | 0x20) : '\0';
	switch (first) {
		case 'F': return 5;
		case 'M': return 1;
		case 'W': return 3;
		case 'S': return second == 'a' ? 6 : 0;
		case 'T':
			if (second == 'u')
				return 2;
			return second == 'h' ? 4 : 0;
		default: return 0;
	}
}

void LibDate::AddDays(const int32& days)
{
	SetFromDayNumber(ClampToInt32(int64(fDayNumber) + days));
}

void LibDate::AddMonths(const int32& months)
{
	SetDate(fDay, ClampToInt32(int64(fMonth) + months), fYear);
}

void LibDate::AddYears(const int32& years)
{
	int64 year = FromAstronomical(ToAstronomical(fYear) + years);
	SetDate(fDay, fMonth, ClampToInt32(year));
}

LibDate LibDate::operator+(const int32& days) const
{
	LibDate result(*this);
	result.AddDays(days);
	return result;
}

LibDate LibDate::operator-(const int32& days) const
{
	LibDate result(*this);
	result.AddDays(-days);
	return result;
}

LibDate& LibDate::operator+=(const int32& days)
{
	AddDays(days);
	return *this;
}

LibDate& LibDate::operator-=(const int32& days)
{
	AddDays(-days);
	return *this;
}

LibDate& LibDate::operator++()
{
	AddDays(1);
	return *this;
}

LibDate LibDate::operator++(int)
{
	LibDate before(*this);
	AddDays(1);
	return before;
}

LibDate& LibDate::operator--()
{
	AddDays(-1);
	return *this;
}

LibDate LibDate::operator--(int)
{
	LibDate before(*this);
	AddDays(-1);
	return before;
}

bool LibDate::IsWeekEnd() const
{
	int32 weekday = DayOfWeek();
	return weekday == 0 || weekday == 6;
}

void LibDate::SetToNext(const int32& weekday)
{
	int64 ahead = FloorMod(int64(weekday) - DayOfWeek(), 7);
	AddDays(ahead == 0 ? 7 : int32(ahead));
}

void LibDate::SetToPrev(const int32& weekday)
{
	int64 back = FloorMod(int64(DayOfWeek()) - weekday, 7);
	AddDays(back == 0 ? -7 : -int32(back));
}

status_t LibDate::Archive(BMessage& archive) const
{
	return SetInt32(archive, "date", fDayNumber);
}

status_t LibDate::Restore(const BMessage& archive)
{
	int32 dayNumber = 0;
	status_t status = archive.FindInt32("date", &dayNumber);
	if (status != B_OK)
		return status;
	SetFromDayNumber(dayNumber);
	return B_OK;
}

void LibDate::PrintToStream() const
{
	fprintf(stderr, "%d/%d/%d (day %d)\n", (int)fDay, (int)fMonth, (int)fYear, (int)fDayNumber);
}

int32 LibDate::DayNumberOf(const int32& day, const int32& month, const int32& year)
{
	int64 y = ToAstronomical(year);
	int64 m = month;
	if (month <= 2) {
		y -= 1;
		m += 12;
	}
	int64 correction = 0;
	if (y * 10000 + m * 100 + day >= kGregorianStart) {
		int64 century = y / 100;
		correction = century / 4 - century + 2;
	}
	double number = std::floor(365.25 * double(y)) + std::floor(30.6001 * double(m + 1)) +
	                double(day) + 1720994.0 + double(correction);
	return ClampToInt32(int64(number));
}

void LibDate::SetFromDayNumber(const int32& dayNumber)
{
	double b = double(dayNumber) + 1;
	if (b > kGregorianJulianDay) {
		double a = std::floor((b - 1867216.25) / 36524.25);
		b = double(dayNumber) + a - std::floor(a / 4) + 2;
	}
	b += 1524;
	double e = std::floor((b - 122.1) / 365.25);
	b -= std::floor(365.25 * e);
	double d = std::floor(b / 30.6001);
	fDay = int32(b - std::floor(30.6001 * d));
	fMonth = int32(d < 13.5 ? d - 1 : d - 13);
	int64 astronomical = int64(fMonth > 2 ? e - 4716 : e - 4715);
	fYear = ClampToInt32(FromAstronomical(astronomical));
	fDayNumber = dayNumber;
}

void LibDate::NormalizeDate()
{
	// There is no year 0: treat it as the year 1.
	int64 year = fYear == 0 ? 1 : fYear;
	int64 monthIndex = int64(fMonth) - 1;
	year = FromAstronomical(ToAstronomical(year) + FloorDiv(monthIndex, 12));
	int32 month = int32(FloorMod(monthIndex, 12) + 1);
	// A day beyond the month (or at or below 0) runs on into the next (or
	// previous) months; counting by day numbers keeps that right across the
	// days the calendar switch dropped.
	int32 length = DaysInMonth(month, ClampToInt32(year));
	int64 dayNumber;
	if (fDay > length)
		dayNumber = int64(DayNumberOf(length, month, ClampToInt32(year))) + fDay - length;
	else if (fDay < 1)
		dayNumber = int64(DayNumberOf(1, month, ClampToInt32(year))) + fDay - 1;
	else
		dayNumber = DayNumberOf(fDay, month, ClampToInt32(year));
	SetFromDayNumber(ClampToInt32(dayNumber));
}
