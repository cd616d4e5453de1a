// Wildcard matching with one backtrack point, so no pattern takes more than
// text length times pattern length steps.
#include "LibWildCard.h"

bool LibMatchWildCard(const char* text, const char* pattern)
{
	if (text == nullptr)
		text = "";
	if (pattern == nullptr)
		pattern = "";

	// Where the last '*' was and where in the text it is retried from.
	const char* starPattern = nullptr;
	const char* starText = nullptr;
	while (*text != '\0') {
		if (*pattern == '*') {
			starPattern = ++pattern;
			starText = text;
			continue;
		}
		if (*pattern != '\0' && (*pattern == '?' || *pattern == *text)) {
			pattern++;
			text++;
			continue;
		}
		if (starPattern == nullptr)
			return false;
		// Let the last '*' swallow one more character and retry.
		pattern = starPattern;
		text = ++starText;
	}
	while (*pattern == '*')
		pattern++;
	return *pattern == '\0';
}
