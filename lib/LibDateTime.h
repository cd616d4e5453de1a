// LibDateTime: a date and a time of day together; time arithmetic carries
// whole days into the date.
#pragma once

#include <ctime>

#include "LibDate.h"
#include "LibTime.h"

class LibString;

class LibDateTime : public LibDate, public LibTime {
public:
	// The given day at 00:00:00.
	LibDateTime(const int32& day, const int32& month, const int32& year);
	// The current date and time, in local time or universal time.
	explicit LibDateTime(const bool& local = true);
	LibDateTime(const LibDateTime& other) = default;
	LibDateTime& operator=(const LibDateTime& other) = default;
	virtual ~LibDateTime();

	void SetNow(const bool& local = true);
	// The moment (seconds since 1970) broken down in local or universal time.
	void SetDateTime(const time_t& seconds, const bool& local);
	void SetDateTime(const struct tm* time);
	void GetDateTime(struct tm* time) const;

	void AddSeconds(const int32& seconds);
	void AddMinutes(const int32& minutes);
	void AddHours(const int32& hours);
	int32 MinutesSince(const LibDateTime& other) const;

	bool operator==(const LibDateTime& other) const { return Compare(other) == 0; }
	bool operator!=(const LibDateTime& other) const { return Compare(other) != 0; }
	bool operator<(const LibDateTime& other) const { return Compare(other) < 0; }
	bool operator<=(const LibDateTime& other) const { return Compare(other) <= 0; }
	bool operator>(const LibDateTime& other) const { return Compare(other) > 0; }
	bool operator>=(const LibDateTime& other) const { return Compare(other) >= 0; }

	// "YYYYMMDDTHHMMSS" of the moment moved by `hours`, with a trailing "Z"
	// when hours is not 0 (pass minus the zone offset to write local time as
	// universal time).
	void GetIso8601(LibString& text, const int32& hours = 0) const;
	// Reads that form back and moves the result by -hours, so a text written
	// with some hours reads back with the same hours to the same moment.
	// Leaves the value unchanged and answers B_BAD_VALUE for malformed text.
	status_t SetIso8601(const char* text, const int32& hours = 0);

	// Writes "date", "hours", "minutes" and "seconds".
	status_t Archive(BMessage& archive) const;
	status_t Restore(const BMessage& archive);
	void PrintToStream() const override;

private:
	// -1, 0 or 1: by date, then by time.
	int32 Compare(const LibDateTime& other) const;
	void AddToTime(const int64& hours, const int64& minutes, const int64& seconds);
};
