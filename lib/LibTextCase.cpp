// Case mapping of single bytes and of whole texts.
#include "LibTextCase.h"

#include "LibCharClass.h"

int32 LibCompareChar(const char& a, const char& b, const bool& ignoreCase)
{
	signed char left = static_cast<signed char>(ignoreCase ? LibToUpper(a) : a);
	signed char right = static_cast<signed char>(ignoreCase ? LibToUpper(b) : b);
	if (left == right)
		return 0;
	return left < right ? -1 : 1;
}

void LibToUpperCase(char* text)
{
	if (text == nullptr)
		return;
	for (; *text != '\0'; text++)
		*text = LibToUpper(*text);
}

void LibToLowerCase(char* text)
{
	if (text == nullptr)
		return;
	for (; *text != '\0'; text++)
		*text = LibToLower(*text);
}

// Whether the character at i of a lower-cased text starts a word of a name.
static bool StartsProperWord(const char* text, const int32& i)
{
	if (i == 0)
		return true;
	char before = text[i - 1];
	if (LibIsSpace(before) || before == '&')
		return true;
	if (before == '.' && text[i + 1] == '.')
		return true;
	if (i == 1 && before == '\'')
		return true;
	return i >= 2 && LibIsSpace(text[i - 2]) && before == '\'' && text[i] != 's';
}

void LibToProperCase(char* text)
{
	if (text == nullptr)
		return;
	LibToLowerCase(text);
	for (int32 i = 0; text[i] != '\0'; i++) {
		if (StartsProperWord(text, i))
			text[i] = LibToUpper(text[i]);
	}
}
