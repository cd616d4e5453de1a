// LibDateTime: date and time together, with day carries and the ISO 8601 basic form.
#include "LibDateTime.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "LibString.h"
#include "Message.h"

LibDateTime::LibDateTime(const int32& day, const int32& month, const int32& year)
    : LibDate(day, month, year), LibTime(0, 0, 0)
{
}

LibDateTime::LibDateTime(const bool& local) : LibDate(false), LibTime(false)
{
	SetNow(local);
}

LibDateTime::~LibDateTime() {}

void LibDateTime::SetNow(const bool& local)
{
	// One reading of the clock for both halves, so midnight cannot fall between them.
	SetDateTime(time(nullptr), local);
}

void LibDateTime::SetDateTime(const time_t& seconds, const bool& local)
{
	struct tm broken = {};
	if (local)
		localtime_r(&seconds, &broken);
	else
		gmtime_r(&seconds, &broken);
	SetDateTime(&broken);
}

void LibDateTime::SetDateTime(const struct tm* time)
{
	if (time == nullptr)
		return;
	SetDate(time);
	SetTime(time);
}

void LibDateTime::GetDateTime(struct tm* time) const
{
	if (time == nullptr)
		return;
	memset(time, 0, sizeof(*time));
	GetDate(*time);
	GetTime(*time);
	time->tm_isdst = -1;
}

void LibDateTime::AddSeconds(const int32& seconds)
{
	AddToTime(0, 0, seconds);
}

void LibDateTime::AddMinutes(const int32& minutes)
{
	AddToTime(0, minutes, 0);
}

void LibDateTime::AddHours(const int32& hours)
{
	AddToTime(hours, 0, 0);
}

int32 LibDateTime::MinutesSince(const LibDateTime& other) const
{
	return DaysSince(other) * 1440 + (NumberOfMinutes() - other.NumberOfMinutes());
}

void LibDateTime::GetIso8601(LibString& text, const int32& hours) const
{
	LibDateTime moment(*this);
	if (hours != 0)
		moment.AddHours(hours);
	char buffer[64];
	snprintf(buffer, sizeof(buffer), "%d%2.2d%2.2dT%2.2d%2.2d%2.2d%s", (int)moment.GetYear(),
	         (int)moment.GetMonth(), (int)moment.GetDay(), (int)moment.GetHours(),
	         (int)moment.GetMinutes(), (int)moment.LibTime::GetSeconds(), hours != 0 ? "Z" : "");
	text = buffer;
}

namespace {

// Reads exactly `count` digits.
bool ReadDigits(const char* text, const int32& count, int32& value)
{
	value = 0;
	for (int32 i = 0; i < count; i++) {
		if (!isdigit((unsigned char)text[i]))
			return false;
		value = value * 10 + (text[i] - '0');
	}
	return true;
}

} // namespace

status_t LibDateTime::SetIso8601(const char* text, const int32& hours)
{
	if (text == nullptr)
		return B_BAD_VALUE;
	const char* separator = strchr(text, 'T');
	if (separator == nullptr || separator - text < 5)
		return B_BAD_VALUE;
	const char* monthDay = separator - 4;
	int32 year = 0;
	const char* digits = text[0] == '-' ? text + 1 : text;
	int32 yearDigits = int32(monthDay - digits);
	if (yearDigits < 1 || yearDigits > 9 || !ReadDigits(digits, yearDigits, year))
		return B_BAD_VALUE;
	if (text[0] == '-')
		year = -year;
	int32 month = 0;
	int32 day = 0;
	int32 hour = 0;
	int32 minute = 0;
	int32 second = 0;
	if (!ReadDigits(monthDay, 2, month) || !ReadDigits(monthDay + 2, 2, day) ||
	    !ReadDigits(separator + 1, 2, hour) || !ReadDigits(separator + 3, 2, minute) ||
	    !ReadDigits(separator + 5, 2, second))
		return B_BAD_VALUE;
	const char* rest = separator + 7;
	if (!(rest[0] == '\0' || (rest[0] == 'Z' && rest[1] == '\0')))
		return B_BAD_VALUE;
	SetDate(day, month, year);
	SetTime(hour, minute, second);
	if (hours != 0)
		AddHours(-hours);
	return B_OK;
}

status_t LibDateTime::Archive(BMessage& archive) const
{
	status_t status = LibDate::Archive(archive);
	if (status != B_OK)
		return status;
	return LibTime::Archive(archive);
}

status_t LibDateTime::Restore(const BMessage& archive)
{
	// Check both halves first, so a partial archive changes nothing.
	if (!archive.HasInt32("date") || !archive.HasInt32("hours") || !archive.HasInt32("minutes") ||
	    !archive.HasInt32("seconds"))
		return B_NAME_NOT_FOUND;
	status_t status = LibDate::Restore(archive);
	if (status != B_OK)
		return status;
	return LibTime::Restore(archive);
}

void LibDateTime::PrintToStream() const
{
	fprintf(stderr, "%d/%d/%d %2.2d:%2.2d:%2.2d\n", (int)GetDay(), (int)GetMonth(), (int)GetYear(),
	        (int)GetHours(), (int)GetMinutes(), (int)LibTime::GetSeconds());
}

int32 LibDateTime::Compare(const LibDateTime& other) const
{
	if (GetDayNumber() != other.GetDayNumber())
		return GetDayNumber() < other.GetDayNumber() ? -1 : 1;
	int32 mine = NumberOfSeconds();
	int32 theirs = other.NumberOfSeconds();
	if (mine == theirs)
		return 0;
	return mine < theirs ? -1 : 1;
}

void LibDateTime::AddToTime(const int64& hours, const int64& minutes, const int64& seconds)
{
	int32 days =
	        Normalize(GetHours() + hours, GetMinutes() + minutes, LibTime::GetSeconds() + seconds);
	if (days != 0)
		AddDays(days);
}
