// Case mapping of single bytes and of whole texts, including the proper
// case used for names ("o'neil & co." -> "O'neil & Co.").
#pragma once

#include "SupportDefs.h"

inline char LibToUpper(const char& c)
{
	return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

inline char LibToLower(const char& c)
{
	return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// Orders two bytes as signed characters, after upper-casing both when
// ignoreCase is set: -1, 0 or 1.
int32 LibCompareChar(const char& a, const char& b, const bool& ignoreCase);

void LibToUpperCase(char* text);
void LibToLowerCase(char* text);
void LibToProperCase(char* text);
