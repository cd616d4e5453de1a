// LibLocaleDateTime: the date format, a separator, then the time format.
#pragma once

#include "LibLocaleDate.h"
#include "LibLocaleTime.h"

class LibDateTime;

class LibLocaleDateTime : public LibLocaleDate, public LibLocaleTime {
public:
	LibLocaleDateTime();
	virtual ~LibLocaleDateTime();

	void SetSeperator(const char* separator);
	LibString Format(const LibDateTime& dateTime) const;

private:
	LibString fSeparator;
};
