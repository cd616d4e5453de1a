// LibLocaleDateTime: formatting of a date and time together.
#include "LibLocaleDateTime.h"

#include "LibDateTime.h"

LibLocaleDateTime::LibLocaleDateTime() : fSeparator(" ") {}

LibLocaleDateTime::~LibLocaleDateTime() {}

void LibLocaleDateTime::SetSeperator(const char* separator)
{
	fSeparator = separator != nullptr ? separator : "";
}

LibString LibLocaleDateTime::Format(const LibDateTime& dateTime) const
{
	LibString text = LibLocaleDate::Format(dateTime);
	text.Concat(fSeparator.String());
	LibString time = LibLocaleTime::Format(dateTime);
	text.Concat(time.String());
	return text;
}
