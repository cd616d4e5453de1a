// LibLocaleTime: turns a LibTime into text on the 12- or 24-hour clock.
#pragma once

#include "LibString.h"
#include "SupportDefs.h"

class LibTime;

class LibLocaleTime {
public:
	LibLocaleTime();
	virtual ~LibLocaleTime();

	void Set24Clock(const bool& on);
	void SetShowMinutes(const bool& show);
	void SetShowSeconds(const bool& show);
	void SetShowSuffix(const bool& show);
	void SetSeparatorChar(const char& separator);
	void Set24ClockSuffix(const char* suffix);
	void Set12ClockBeforeNoonSuffix(const char* suffix);
	void Set12ClockAfterNoonSuffix(const char* suffix);
	// True when either twelve-hour suffix is non-empty.
	bool Has12ClockSuffix() const;

	// 14:05:09 gives "2:05 PM" with the defaults.
	LibString Format(const LibTime& time) const;

private:
	void AddHour(LibString& text, const int32& hours) const;
	const char* Suffix(const int32& hours) const;

	bool fShowSeconds;
	bool fShowMinutes;
	char fSeparator;
	bool f24Clock;
	bool fShowSuffix;
	LibString f24ClockSuffix;
	LibString fBeforeNoonSuffix;
	LibString fAfterNoonSuffix;
};
