// LibLocaleDate: turns a LibDate into text in one of five languages after a
// format text such as "W, D M Y".
#pragma once

#include "LibString.h"
#include "SupportDefs.h"

class LibDate;
class LibStringList;

class LibLocaleDate {
public:
	enum { kEnglish = 0, kFrench = 1, kGerman = 2, kSpanish = 3, kJapanese = 4 };
	enum { kLanguageCount = 5 };

	LibLocaleDate();
	virtual ~LibLocaleDate();

	// 'D' day, 'M' month, 'W' weekday, 'Y' year; each shown at its first
	// occurrence only, every other character copied.
	void SetFormat(const char* format);
	// Languages outside 0..4 fall back to English.
	void SetLanguage(const int32& language);
	void PadWithZeros(const bool& pad);
	// Element formats: 0 short, 1 medium, 2 long (see Format).
	void SetDayFormat(const int32& format);
	void SetMonthFormat(const int32& format);
	void SetYearFormat(const int32& format);
	void SetWeekdayFormat(const int32& format);

	const char* GetFormat() const { return fFormat.String(); }
	int32 GetLanguage() const { return fLanguage; }

	LibString Format(const LibDate& date) const;
	// Each appends the text of one element of the date to `text`.
	void AddDay(LibString& text, const LibDate& date) const;
	void AddMonth(LibString& text, const LibDate& date) const;
	void AddYear(LibString& text, const LibDate& date) const;
	void AddWeekDay(LibString& text, const LibDate& date) const;

	static void AvailableLanguages(LibStringList& list);
	bool KanjiLaunguage() const { return fLanguage == kJapanese; }

	// Names in UTF-8: month 1..12, weekday 0 (Sunday)..6; NULL when out of range.
	static const char* MonthName(const int32& language, const int32& month);
	static const char* WeekdayName(const int32& language, const int32& weekday);

private:
	void AddNumber(LibString& text, const int32& number) const;

	int32 fWeekdayFormat;
	int32 fMonthFormat;
	int32 fDayFormat;
	int32 fYearFormat;
	bool fPadWithZeros;
	LibString fFormat;
	int32 fLanguage;
};
