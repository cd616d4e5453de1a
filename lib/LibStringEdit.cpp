// LibString: the operations that edit the text in place or cut parts of it.
#include <cstring>

#include "LibCharClass.h"
#include "LibString.h"
#include "LibTextCase.h"

void LibString::Remove(const int32& from, const int32& to)
{
	int32 length = Length();
	if (from < 0 || from > length || to < 0 || to < from)
		return;
	if (to >= length - 1) {
		fBuffer[from] = '\0';
		return;
	}
	memmove(fBuffer + from, fBuffer + to + 1, length - to);
}

void LibString::RemoveChar(const int32& position)
{
	if (position < 0 || position >= Length())
		return;
	Remove(position, position);
}

void LibString::ShiftFrom(const int32& destination, const int32& source)
{
	int32 length = Length();
	if (destination < 0 || source < destination || source > length)
		return;
	memmove(fBuffer + destination, fBuffer + source, length - source + 1);
}

void LibString::FromIndex(const int32& position)
{
	if (position < 0 || position >= Length()) {
		fBuffer[0] = '\0';
		return;
	}
	ShiftFrom(0, position);
}

void LibString::ToIndex(const int32& position)
{
	if (position == -1) {
		fBuffer[0] = '\0';
		return;
	}
	if (position < -1 || position >= Length())
		return;
	fBuffer[position + 1] = '\0';
}

// Position of the occurrence-th (from 0) c, or -1.
int32 LibString::NthIndex(const char& c, const int32& occurrence) const
{
	if (occurrence < 0 || c == '\0')
		return -1;
	int32 seen = 0;
	for (int32 i = 0; fBuffer[i] != '\0'; i++) {
		if (fBuffer[i] == c && seen++ == occurrence)
			return i;
	}
	return -1;
}

// Position of the last c, scanning from the end, or -1.
int32 LibString::LastIndex(const char& c) const
{
	for (int32 i = Length() - 1; i >= 0; i--) {
		if (fBuffer[i] == c)
			return i;
	}
	return -1;
}

bool LibString::FromChar(const char& c, const int32& occurrence, const int32& offset)
{
	int32 position = NthIndex(c, occurrence);
	if (position < 0)
		return false;
	ShiftFrom(0, position);
	return true;
}

bool LibString::ToChar(const char& c, const int32& occurrence, const int32& offset)
{
	int32 position = NthIndex(c, occurrence);
	if (position < 0)
		return false;
	int32 end = position + offset;
	if (end < 0)
		end = 0;
	if (end < Length())
		fBuffer[end] = '\0';
	return true;
}

// Without c the position counts as -1: offset 1 keeps the whole text.
void LibString::FromLast(const char& c, const int32& offset)
{
	FromIndex(LastIndex(c) + offset);
}

// Without c the position counts as -1: offset 0 empties the text.
void LibString::ToLast(const char& c, const int32& offset)
{
	ToIndex(LastIndex(c) + offset);
}

// Positions outside the text are clamped to it; from > to gives no text.
LibString LibString::Extract(const int32& from, const int32& to) const
{
	int32 length = Length();
	int32 first = from < 0 ? 0 : from;
	int32 last = to >= length ? length - 1 : to;
	if (first > last)
		return LibString();
	LibString part(last - first + 1);
	memcpy(part.fBuffer, fBuffer + first, last - first + 1);
	part.fBuffer[last - first + 1] = '\0';
	return part;
}

LibString LibString::Extract(const char& open, const char& close, const bool& exclude) const
{
	int32 start = Index(open);
	if (start < 0)
		return LibString();
	int32 end = start + 1;
	while (fBuffer[end] != '\0' && fBuffer[end] != close)
		end++;
	bool closed = fBuffer[end] != '\0';
	if (!exclude)
		return Extract(start, closed ? end : end - 1);
	return Extract(start + 1, end - 1);
}

// Finds the n-th word (from 1): its first position and the one after it.
bool LibString::FindWord(const int32& n, int32& start, int32& end) const
{
	if (n < 1)
		return false;
	int32 seen = 0;
	for (int32 i = 0; fBuffer[i] != '\0'; i++) {
		if (LibIsSpace(fBuffer[i]) || (i > 0 && !LibIsSpace(fBuffer[i - 1])))
			continue;
		if (++seen < n)
			continue;
		start = i;
		end = i;
		while (fBuffer[end] != '\0' && !LibIsSpace(fBuffer[end]))
			end++;
		return true;
	}
	return false;
}

bool LibString::Word(const int32& n, LibString& word) const
{
	int32 start;
	int32 end;
	if (!FindWord(n, start, end)) {
		word = "";
		return false;
	}
	word = Extract(start, end - 1);
	return true;
}

bool LibString::RemoveWord(const char* word)
{
	if (word == nullptr)
		return false;
	int32 start;
	int32 end;
	for (int32 n = 1; FindWord(n, start, end); n++) {
		if (int32(strlen(word)) != end - start || strncmp(fBuffer + start, word, end - start) != 0)
			continue;
		// One separating space goes with it: the one before, or for the
		// first word the one after.
		bool spaceAfter = fBuffer[end] != '\0';
		if (start > 0 && (n > 1 || !spaceAfter))
			start--;
		else if (spaceAfter)
			end++;
		Remove(start, end - 1);
		return true;
	}
	return false;
}

void LibString::RemoveAllWords(const char* word)
{
	while (RemoveWord(word)) {
	}
}

int32 LibString::Replace(const char* oldText, const char* newText)
{
	if (oldText == nullptr || *oldText == '\0')
		return -1;
	const char* found = strstr(fBuffer, oldText);
	if (found == nullptr)
		return -1;
	int32 position = int32(found - fBuffer);
	LibString joined(Extract(0, position - 1));
	joined.Concat(newText);
	joined.Concat(found + strlen(oldText));
	Assign(joined.fBuffer, joined.Length());
	return position;
}

void LibString::ReplaceAll(const char* oldText, const char* newText)
{
	if (oldText == nullptr || *oldText == '\0')
		return;
	LibString replacement(newText);
	if (!replacement.Contain(oldText)) {
		while (Replace(oldText, replacement) >= 0) {
		}
		return;
	}
	// A replacement that holds the old text would be found again for ever:
	// replace each occurrence of the original text once, left to right.
	int32 oldLength = int32(strlen(oldText));
	LibString result;
	const char* rest = fBuffer;
	for (const char* found = strstr(rest, oldText); found != nullptr;
	     found = strstr(rest, oldText)) {
		result.Append(rest, int32(found - rest));
		result.Concat(replacement);
		rest = found + oldLength;
	}
	result.Concat(rest);
	Assign(result.fBuffer, result.Length());
}

void LibString::ReplaceAll(const char& a, const char& b)
{
	if (a == '\0' || b == '\0')
		return;
	for (char* here = fBuffer; *here != '\0'; here++) {
		if (*here == a)
			*here = b;
	}
}

void LibString::RemoveRepeatingChar(const char& c)
{
	int32 kept = 0;
	for (int32 i = 0; fBuffer[i] != '\0'; i++) {
		if (fBuffer[i] == c && kept > 0 && fBuffer[kept - 1] == c)
			continue;
		fBuffer[kept++] = fBuffer[i];
	}
	fBuffer[kept] = '\0';
}

void LibString::StripLeadingSpaces()
{
	int32 start = 0;
	while (LibIsSpace(fBuffer[start]))
		start++;
	ShiftFrom(0, start);
}

void LibString::StripTrailingSpaces()
{
	int32 end = Length();
	while (end > 0 && LibIsSpace(fBuffer[end - 1]))
		end--;
	fBuffer[end] = '\0';
}

// Keeps only the characters `keep` accepts, in order.
void LibString::KeepOnly(bool (*keep)(const char&))
{
	int32 kept = 0;
	for (int32 i = 0; fBuffer[i] != '\0'; i++) {
		if (keep(fBuffer[i]))
			fBuffer[kept++] = fBuffer[i];
	}
	fBuffer[kept] = '\0';
}

void LibString::StripAllSpaces()
{
	KeepOnly([](const char& c) { return !LibIsSpace(c); });
}

void LibString::StripLeadingChar(const char& c)
{
	if (c == '\0')
		return;
	int32 start = 0;
	while (fBuffer[start] == c)
		start++;
	ShiftFrom(0, start);
}

void LibString::StripTrailingChar(const char& c)
{
	if (c == '\0')
		return;
	int32 end = Length();
	while (end > 0 && fBuffer[end - 1] == c)
		end--;
	fBuffer[end] = '\0';
}

void LibString::StripPunct()
{
	KeepOnly([](const char& c) { return c == '_' || !LibIsPunct(c); });
}

void LibString::ToLowerCase()
{
	LibToLowerCase(fBuffer);
}

void LibString::ToUpperCase()
{
	LibToUpperCase(fBuffer);
}

void LibString::ToProperCase()
{
	LibToProperCase(fBuffer);
}
