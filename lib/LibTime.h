// LibTime: a time of day in hours, minutes and seconds, kept normalized.
#pragma once

#include <ctime>

#include "SupportDefs.h"

class BMessage;

class LibTime {
public:
	// Units of TimeZone.
	enum { kSeconds = 1, kMinutes = 2, kHours = 3 };

	LibTime(const int32& hours, const int32& minutes, const int32& seconds);
	// The current time of day when now is set (local or universal), else 00:00:00.
	explicit LibTime(const bool& now = false, const bool& local = true);
	virtual ~LibTime();

	void SetTime(const int32& hours, const int32& minutes, const int32& seconds);
	// The time of day of a moment (seconds since 1970), in local or universal time.
	void SetTime(const time_t& seconds, const bool& local);
	void SetTime(const struct tm* time);
	void SetNow(const bool& local = true);
	void SetHours(const int32& hours);
	void SetMinutes(const int32& minutes);
	void SetSeconds(const int32& seconds);
	void AddHours(const int32& hours);
	void AddMinutes(const int32& minutes);
	void AddSeconds(const int32& seconds);

	void GetTime(struct tm& time) const;
	int32 GetHours() const { return fHours; }
	int32 GetMinutes() const { return fMinutes; }
	virtual int32 GetSeconds() const;

	int32 NumberOfSeconds() const { return fHours * 3600 + fMinutes * 60 + fSeconds; }
	int32 NumberOfMinutes() const { return fHours * 60 + fMinutes; }

	// Difference in seconds.
	int32 operator-(const LibTime& other) const
	{
		return NumberOfSeconds() - other.NumberOfSeconds();
	}
	bool operator==(const LibTime& o) const { return NumberOfSeconds() == o.NumberOfSeconds(); }
	bool operator!=(const LibTime& o) const { return NumberOfSeconds() != o.NumberOfSeconds(); }
	bool operator<(const LibTime& o) const { return NumberOfSeconds() < o.NumberOfSeconds(); }
	bool operator<=(const LibTime& o) const { return NumberOfSeconds() <= o.NumberOfSeconds(); }
	bool operator>(const LibTime& o) const { return NumberOfSeconds() > o.NumberOfSeconds(); }
	bool operator>=(const LibTime& o) const { return NumberOfSeconds() >= o.NumberOfSeconds(); }

	// The local offset from universal time (daylight saving included), in
	// seconds, minutes (unit 2) or hours (unit 3).
	static int32 TimeZone(const int32& unit = kSeconds);

	// Writes the int32 fields "hours", "minutes" and "seconds".
	status_t Archive(BMessage& archive) const;
	// Reads them back; leaves the time unchanged when one is missing.
	status_t Restore(const BMessage& archive);
	virtual void PrintToStream() const;

protected:
	// Normalizes the fields and answers the whole days carried out of (or
	// borrowed into) the hours.
	int32 Normalize(const int64& hours, const int64& minutes, const int64& seconds);

private:
	int32 fHours;
	int32 fMinutes;
	int32 fSeconds;
};
