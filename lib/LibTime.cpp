// LibTime: normalized times of day, the local zone offset and archiving.
#include "LibTime.h"

#include <cstdio>

#include "Message.h"

namespace {

int64 FloorDiv(const int64& a, const int64& b)
{
	int64 q = a / b;
	if ((a % b != 0) && ((a < 0) != (b < 0)))
		q--;
	return q;
}

status_t SetInt32(BMessage& message, const char* name, const int32& value)
{
	if (message.HasInt32(name))
		return message.ReplaceInt32(name, value);
	return message.AddInt32(name, value);
}

} // namespace

LibTime::LibTime(const int32& hours, const int32& minutes, const int32& seconds)
    : fHours(0), fMinutes(0), fSeconds(0)
{
	SetTime(hours, minutes, seconds);
}

LibTime::LibTime(const bool& now, const bool& local) : fHours(0), fMinutes(0), fSeconds(0)
{
	if (now)
		SetNow(local);
}

LibTime::~LibTime() {}

void LibTime::SetTime(const int32& hours, const int32& minutes, const int32& seconds)
{
	Normalize(hours, minutes, seconds);
}

void LibTime::SetTime(const time_t& seconds, const bool& local)
{
	struct tm broken = {};
	if (local)
		localtime_r(&seconds, &broken);
	else
		gmtime_r(&seconds, &broken);
	SetTime(&broken);
}

void LibTime::SetTime(const struct tm* time)
{
	if (time == nullptr)
		return;
	SetTime(time->tm_hour, time->tm_min, time->tm_sec);
}

void LibTime::SetNow(const bool& local)
{
	SetTime(time(nullptr), local);
}

void LibTime::SetHours(const int32& hours)
{
	Normalize(hours, fMinutes, fSeconds);
}

void LibTime::SetMinutes(const int32& minutes)
{
	Normalize(fHours, minutes, fSeconds);
}

void LibTime::SetSeconds(const int32& seconds)
{
	Normalize(fHours, fMinutes, seconds);
}

void LibTime::AddHours(const int32& hours)
{
	Normalize(int64(fHours) + hours, fMinutes, fSeconds);
}

void LibTime::AddMinutes(const int32& minutes)
{
	Normalize(fHours, int64(fMinutes) + minutes, fSeconds);
}

void LibTime::AddSeconds(const int32& seconds)
{
	Normalize(fHours, fMinutes, int64(fSeconds) + seconds);
}

void LibTime::GetTime(struct tm& time) const
{
	time.tm_hour = fHours;
	time.tm_min = fMinutes;
	time.tm_sec = fSeconds;
}

int32 LibTime::GetSeconds() const
{
	return fSeconds;
}

int32 LibTime::TimeZone(const int32& unit)
{
	time_t now = time(nullptr);
	struct tm broken = {};
	localtime_r(&now, &broken);
	int32 offset = int32(broken.tm_gmtoff);
	if (unit == kMinutes)
		return offset / 60;
	if (unit == kHours)
		return offset / 3600;
	return offset;
}

status_t LibTime::Archive(BMessage& archive) const
{
	status_t status = SetInt32(archive, "hours", fHours);
	if (status == B_OK)
		status = SetInt32(archive, "minutes", fMinutes);
	if (status == B_OK)
		status = SetInt32(archive, "seconds", fSeconds);
	return status;
}

status_t LibTime::Restore(const BMessage& archive)
{
	int32 hours = 0;
	int32 minutes = 0;
	int32 seconds = 0;
	if (archive.FindInt32("hours", &hours) != B_OK ||
	    archive.FindInt32("minutes", &minutes) != B_OK ||
	    archive.FindInt32("seconds", &seconds) != B_OK)
		return B_NAME_NOT_FOUND;
	SetTime(hours, minutes, seconds);
	return B_OK;
}

void LibTime::PrintToStream() const
{
	fprintf(stderr, "%2.2d:%2.2d:%2.2d\n", (int)fHours, (int)fMinutes, (int)fSeconds);
}

int32 LibTime::Normalize(const int64& hours, const int64& minutes, const int64& seconds)
{
	// Carries and borrows go as far as needed, so -130 seconds borrows three minutes.
	int64 totalMinutes = minutes + FloorDiv(seconds, 60);
	int64 totalHours = hours + FloorDiv(totalMinutes, 60);
	int64 days = FloorDiv(totalHours, 24);
	fSeconds = int32(seconds - FloorDiv(seconds, 60) * 60);
	fMinutes = int32(totalMinutes - FloorDiv(totalMinutes, 60) * 60);
	fHours = int32(totalHours - days * 24);
	return int32(days);
}
