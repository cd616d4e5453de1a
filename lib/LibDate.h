// LibDate: a calendar date kept as day, month, year and a day number that
// runs on across the switch from the Julian to the Gregorian calendar.
#pragma once

#include <ctime>

#include "SupportDefs.h"

class BMessage;

class LibDate {
public:
	// Day number of 1 January 2000; day numbers are the Julian Day Number less one.
	static const int32 kDayNumber2000 = 2451544;

	LibDate(const int32& day, const int32& month, const int32& year);
	explicit LibDate(const int32& dayNumber);
	LibDate(const LibDate& other);
	// The current date when today is set (local or universal time), else day number 0.
	explicit LibDate(const bool& today = false, const bool& local = true);
	virtual ~LibDate();

	LibDate& operator=(const LibDate& other);

	void SetDate(const int32& day, const int32& month, const int32& year);
	void SetDate(const int32& dayNumber);
	void SetDate(const struct tm* time);
	void SetDay(const int32& day);
	void SetMonth(const int32& month);
	void SetYear(const int32& year);
	void SetToday(const bool& local = true);

	void GetDate(struct tm* time) const;
	void GetDate(struct tm& time) const;
	int32 GetDay() const { return fDay; }
	int32 GetMonth() const { return fMonth; }
	int32 GetYear() const { return fYear; }
	int32 GetDayNumber() const { return fDayNumber; }

	int32 DaysInMonth() const;
	static int32 DaysInMonth(const int32& month, const int32& year);
	static int32 DaysInYear(const int32& year);
	static bool IsLeapYear(const int32& year);
	// 1 for 1 January.
	int32 GetDayOfYear() const;
	// 0 Sunday ... 6 Saturday, of the given day of this month, or of the
	// date's own day for 0.
	int32 DayOfWeek(const int32& day = 0) const;
	// The weekday named by the first one or two letters of an English day name.
	static int32 DayOfWeek(const char* name);

	void AddDays(const int32& days);
	void AddMonths(const int32& months);
	void AddYears(const int32& years);

	LibDate operator+(const int32& days) const;
	LibDate operator-(const int32& days) const;
	LibDate& operator+=(const int32& days);
	LibDate& operator-=(const int32& days);
	LibDate& operator++();
	LibDate operator++(int);
	LibDate& operator--();
	LibDate operator--(int);

	int32 operator-(const LibDate& other) const { return DaysSince(other); }
	int32 DaysSince(const LibDate& other) const { return fDayNumber - other.fDayNumber; }

	bool operator==(const LibDate& other) const { return fDayNumber == other.fDayNumber; }
	bool operator!=(const LibDate& other) const { return fDayNumber != other.fDayNumber; }
	bool operator<(const LibDate& other) const { return fDayNumber < other.fDayNumber; }
	bool operator<=(const LibDate& other) const { return fDayNumber <= other.fDayNumber; }
	bool operator>(const LibDate& other) const { return fDayNumber > other.fDayNumber; }
	bool operator>=(const LibDate& other) const { return fDayNumber >= other.fDayNumber; }

	bool IsWeekEnd() const;
	// Moves to the first given weekday strictly after (before) this date.
	void SetToNext(const int32& weekday);
	void SetToPrev(const int32& weekday);

	// Writes the int32 field "date" (the day number).
	status_t Archive(BMessage& archive) const;
	// Reads "date"; leaves the date unchanged when it is missing.
	status_t Restore(const BMessage& archive);
	virtual void PrintToStream() const;

	static int32 DayNumberOf(const int32& day, const int32& month, const int32& year);

private:
	void NormalizeDate();
	void SetFromDayNumber(const int32& dayNumber);

	int32 fDayNumber;
	int32 fDay;
	int32 fMonth;
	int32 fYear;
};
