// LibLocaleDate: month and weekday names of five languages and date formatting.
#include "LibLocaleDate.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "LibDate.h"
#include "LibStringList.h"

namespace {

const char* const kLanguageNames[LibLocaleDate::kLanguageCount] = {"English", "French", "German",
                                                                   "Spanish", "Japanese"};

const char* const kMonthNames[LibLocaleDate::kLanguageCount][12] = {
        {"January", "February", "March", "April", "May", "June", "July", "August", "September",
         "October", "November", "December"},
        {"Janvier", "Février", "Mars", "Avril", "Mai", "Juin", "Juillet", "Août", "Septembre",
         "Octobre", "Novembre", "Décembre"},
        {"Januar", "Februar", "März", "April", "Mai", "Juni", "Juli", "August", "September",
         "Oktober", "November", "Dezember"},
        {"Enero", "Febrero", "Marcha", "Abril", "Mayo", "Junio", "Julio", "Agosto", "Septiembre",
         "Octubre", "Noviembre", "Diciembre"},
        {"１月", "２月", "３月", "４月", "５月", "６月", "７月", "８月", "９月", "１０月", "１１月",
         "１２月"},
};

const char* const kWeekdayNames[LibLocaleDate::kLanguageCount][7] = {
        {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"},
        {"Dimanche", "Lundi", "Mardi", "Mercredi", "Jeudi", "Vendredi", "Samedi"},
        {"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"},
        {"Domingo", "Lunes", "Martes", "Miércoles", "Jueves", "Viernes", "Sábado"},
        {"日曜日", "月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日"},
};

bool IsContinuationByte(const char& c)
{
	return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Appends at most `bytes` bytes of `name`, never splitting a UTF-8 character
// ("Août" cut at three bytes gives "Ao", not "Ao" and half of "û").
void AppendPrefix(LibString& text, const char* name, const int32& bytes)
{
	int32 length = int32(strlen(name));
	int32 kept = bytes < length ? bytes : length;
	while (kept > 0 && kept < length && IsContinuationByte(name[kept]))
		kept--;
	std::string prefix(name, size_t(kept));
	text.Concat(prefix.c_str());
}

} // namespace

LibLocaleDate::LibLocaleDate()
    : fWeekdayFormat(1), fMonthFormat(1), fDayFormat(0), fYearFormat(2), fPadWithZeros(false),
      fFormat("D M Y"), fLanguage(kEnglish)
{
}

LibLocaleDate::~LibLocaleDate() {}

void LibLocaleDate::SetFormat(const char* format)
{
	fFormat = format != nullptr ? format : "";
}

void LibLocaleDate::SetLanguage(const int32& language)
{
	fLanguage = (language >= 0 && language < kLanguageCount) ? language : int32(kEnglish);
}

void LibLocaleDate::PadWithZeros(const bool& pad)
{
	fPadWithZeros = pad;
}

void LibLocaleDate::SetDayFormat(const int32& format)
{
	fDayFormat = format;
}

void LibLocaleDate::SetMonthFormat(const int32& format)
{
	fMonthFormat = format;
}

void LibLocaleDate::SetYearFormat(const int32& format)
{
	fYearFormat = format;
}

void LibLocaleDate::SetWeekdayFormat(const int32& format)
{
	fWeekdayFormat = format;
}

LibString LibLocaleDate::Format(const LibDate& date) const
{
	LibString text;
	bool dayDone = false;
	bool monthDone = false;
	bool weekdayDone = false;
	bool yearDone = false;
	for (const char* c = fFormat.String(); *c != '\0'; c++) {
		switch (*c) {
			case 'D':
				if (!dayDone)
					AddDay(text, date);
				dayDone = true;
				break;
			case 'M':
				if (!monthDone)
					AddMonth(text, date);
				monthDone = true;
				break;
			case 'W':
				if (!weekdayDone)
					AddWeekDay(text, date);
				weekdayDone = true;
				break;
			case 'Y':
				if (!yearDone)
					AddYear(text, date);
				yearDone = true;
				break;
			default: text.Concat(*c);
		}
	}
	return text;
}

void LibLocaleDate::AddDay(LibString& text, const LibDate& date) const
{
	AddNumber(text, date.GetDay());
}

void LibLocaleDate::AddMonth(LibString& text, const LibDate& date) const
{
	const char* name = MonthName(fLanguage, date.GetMonth());
	if (fMonthFormat == 0 || name == nullptr) {
		AddNumber(text, date.GetMonth());
		return;
	}
	if (fMonthFormat == 1 && !KanjiLaunguage()) {
		AppendPrefix(text, name, 3);
		return;
	}
	text.Concat(name);
}

void LibLocaleDate::AddYear(LibString& text, const LibDate& date) const
{
	char buffer[16];
	if (fYearFormat == 2) {
		snprintf(buffer, sizeof(buffer), "%d", (int)date.GetYear());
	} else {
		snprintf(buffer, sizeof(buffer), "%2.2d", abs((int)(date.GetYear() % 100)));
	}
	text.Concat(buffer);
}

void LibLocaleDate::AddWeekDay(LibString& text, const LibDate& date) const
{
	const char* name = WeekdayName(fLanguage, date.DayOfWeek());
	if (name == nullptr)
		return;
	bool kanji = KanjiLaunguage();
	switch (fWeekdayFormat) {
		case 0: AppendPrefix(text, name, kanji ? 3 : 2); break;
		case 1:
			if (kanji)
				text.Concat(name);
			else
				AppendPrefix(text, name, 3);
			break;
		default: text.Concat(name);
	}
}

void LibLocaleDate::AvailableLanguages(LibStringList& list)
{
	for (const char* name : kLanguageNames)
		list.Add(name);
}

const char* LibLocaleDate::MonthName(const int32& language, const int32& month)
{
	if (language < 0 || language >= kLanguageCount || month < 1 || month > 12)
		return nullptr;
	return kMonthNames[language][month - 1];
}

const char* LibLocaleDate::WeekdayName(const int32& language, const int32& weekday)
{
	if (language < 0 || language >= kLanguageCount || weekday < 0 || weekday > 6)
		return nullptr;
	return kWeekdayNames[language][weekday];
}

void LibLocaleDate::AddNumber(LibString& text, const int32& number) const
{
	char buffer[16];
	bool pad = fPadWithZeros && number >= 1 && number <= 9;
	snprintf(buffer, sizeof(buffer), pad ? "0%d" : "%d", (int)number);
	text.Concat(buffer);
}
