// LibLocaleTime: formatting of times of day.
#include "LibLocaleTime.h"

#include <cstdio>

#include "LibTime.h"

LibLocaleTime::LibLocaleTime()
    : fShowSeconds(false), fShowMinutes(true), fSeparator(':'), f24Clock(false), fShowSuffix(true),
      f24ClockSuffix(""), fBeforeNoonSuffix(" AM"), fAfterNoonSuffix(" PM")
{
}

LibLocaleTime::~LibLocaleTime() {}

void LibLocaleTime::Set24Clock(const bool& on)
{
	f24Clock = on;
}

void LibLocaleTime::SetShowMinutes(const bool& show)
{
	fShowMinutes = show;
}

void LibLocaleTime::SetShowSeconds(const bool& show)
{
	fShowSeconds = show;
}

void LibLocaleTime::SetShowSuffix(const bool& show)
{
	fShowSuffix = show;
}

void LibLocaleTime::SetSeparatorChar(const char& separator)
{
	fSeparator = separator;
}

void LibLocaleTime::Set24ClockSuffix(const char* suffix)
{
	f24ClockSuffix = suffix != nullptr ? suffix : "";
}

void LibLocaleTime::Set12ClockBeforeNoonSuffix(const char* suffix)
{
	fBeforeNoonSuffix = suffix != nullptr ? suffix : "";
}

void LibLocaleTime::Set12ClockAfterNoonSuffix(const char* suffix)
{
	fAfterNoonSuffix = suffix != nullptr ? suffix : "";
}

bool LibLocaleTime::Has12ClockSuffix() const
{
	return fBeforeNoonSuffix.Length() > 0 || fAfterNoonSuffix.Length() > 0;
}

LibString LibLocaleTime::Format(const LibTime& time) const
{
	LibString text;
	AddHour(text, time.GetHours());
	char buffer[8];
	if (fShowMinutes) {
		snprintf(buffer, sizeof(buffer), "%c%2.2d", fSeparator, (int)time.GetMinutes());
		text.Concat(buffer);
	}
	if (fShowSeconds) {
		snprintf(buffer, sizeof(buffer), "%c%2.2d", fSeparator, (int)time.GetSeconds());
		text.Concat(buffer);
	}
	if (fShowSuffix)
		text.Concat(Suffix(time.GetHours()));
	return text;
}

void LibLocaleTime::AddHour(LibString& text, const int32& hours) const
{
	char buffer[8];
	if (f24Clock) {
		snprintf(buffer, sizeof(buffer), "%2.2d", (int)hours);
	} else {
		int32 shown = hours > 12 ? hours - 12 : hours;
		snprintf(buffer, sizeof(buffer), "%d", (int)(shown == 0 ? 12 : shown));
	}
	text.Concat(buffer);
}

const char* LibLocaleTime::Suffix(const int32& hours) const
{
	if (f24Clock)
		return f24ClockSuffix.String();
	return hours >= 12 ? fAfterNoonSuffix.String() : fBeforeNoonSuffix.String();
}
