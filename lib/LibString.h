// LibString: the owned, NUL-terminated, growable byte string that every part
// of the installer passes text in, with its editing and searching operations.
#pragma once

#include <cstdarg>

#include "Rect.h"
#include "SupportDefs.h"

class LibString {
public:
	LibString();
	explicit LibString(const int32& length);
	LibString(const char* text);
	LibString(const LibString& other);
	virtual ~LibString();

	virtual operator const char*() const { return fBuffer; }
	// The buffer, writable in place; at most Capacity() - 1 characters fit.
	virtual operator char*() const { return fBuffer; }
	virtual void PrintToStream() const;

	const char* String() const { return fBuffer; }
	int32 Length() const;
	int32 Capacity() const { return fCapacity; }
	char& operator[](const int32& index) { return fBuffer[index]; }
	char operator[](const int32& index) const { return fBuffer[index]; }

	// Frees the buffer and starts again with room for `length` characters.
	void SetBuffer(const int32& length);
	// Frees the buffer; the value then reads as an empty text until assigned.
	void Clear();

	// Assignment, growth and conversion.
	LibString& operator=(const char* text);
	LibString& operator=(const LibString& other);
	LibString& operator=(const int32& value);
	LibString& operator=(const float& value);
	LibString& operator=(const double& value);
	LibString& operator+=(const int32& value);
	LibString& operator+=(const float& value);
	LibString& operator+=(const double& value);
	LibString& operator+=(const char* text) { return Concat(text); }
	LibString& operator+=(const char& c) { return Concat(c); }
	LibString& Concat(const char* text);
	LibString& Concat(const char& c);
	LibString& PrePend(const char* text);
	LibString& Insert(const int32& position, const char* text);
	LibString& Formatted(const char* format, ...) __attribute__((format(printf, 2, 3)));
	void SetFloat32(const float& value, const int32& decimals);
	void SetFloat64(const double& value, const int32& decimals);
	void SetHex(const uint8& value);
	uint8 GetHex() const;
	static uint8 HexValue(const char& c);
	bool GetInt8(int8& value) const;
	bool GetUint8(uint8& value) const;
	bool GetInt16(int16& value) const;
	bool GetUint16(uint16& value) const;
	bool GetInt32(int32& value) const;
	bool GetUint32(uint32& value) const;
	bool GetFloat64(double& value) const;
	bool GetFloat32(float& value) const;
	bool IsNumeric() const;
	void Read(const char* path, const int32& lineSize);
	int32 PackSize() const { return Length() + 4; }

	// Comparison and search. ignoreCase compares upper-cased letters.
	int32 Compare(const char* text, const bool& ignoreCase = false) const;
	int32 Compare(const LibString& text, const bool& ignoreCase = false) const;
	int32 CompareSub(const char* text, const bool& ignoreCase, const int32& length = -1,
	                 const int32& start = 0) const;
	int32 CompareSub(const LibString& text, const bool& ignoreCase, const int32& length = -1,
	                 const int32& start = 0) const;
	bool Contain(const char* text, const bool& ignoreCase = false) const;
	bool Contain(const LibString& text, const bool& ignoreCase = false) const;
	bool Contain(const char& c) const;
	bool BeginsWith(const char* text, const bool& ignoreCase = false) const;
	bool BeginsWith(const LibString& text, const bool& ignoreCase = false) const;
	bool EndsWith(const char* text, const bool& ignoreCase = false) const;
	bool EndsWith(const LibString& text, const bool& ignoreCase = false) const;
	int32 Index(const char* text) const;
	int32 Index(const LibString& text) const;
	int32 Index(const char& c) const;
	int32 IndexOfAny(const char* set) const;
	int32 Count(const char& c) const;
	bool IsBlank() const;
	int32 Words() const;
	bool IsWildCard(const char* pattern) const;
	bool IsWildCard(const LibString& pattern) const;
	static bool CompareWildCard(const char* text, const char* pattern);

	bool operator==(const LibString& other) const { return Compare(other) == 0; }
	bool operator==(const char* other) const { return Compare(other) == 0; }
	bool operator!=(const LibString& other) const { return Compare(other) != 0; }
	bool operator!=(const char* other) const { return Compare(other) != 0; }
	bool operator<(const LibString& other) const { return Compare(other) < 0; }
	bool operator>(const LibString& other) const { return Compare(other) > 0; }

	// Editing in place.
	void Remove(const int32& from, const int32& to);
	void RemoveChar(const int32& position);
	void ShiftFrom(const int32& destination, const int32& source);
	void FromIndex(const int32& position);
	void ToIndex(const int32& position);
	bool FromChar(const char& c, const int32& occurrence, const int32& offset);
	bool ToChar(const char& c, const int32& occurrence, const int32& offset);
	void FromLast(const char& c, const int32& offset);
	void ToLast(const char& c, const int32& offset);
	LibString Extract(const int32& from, const int32& to) const;
	LibString Extract(const char& open, const char& close, const bool& exclude) const;
	bool Word(const int32& n, LibString& word) const;
	bool RemoveWord(const char* word);
	void RemoveAllWords(const char* word);
	int32 Replace(const char* oldText, const char* newText);
	void ReplaceAll(const char* oldText, const char* newText);
	void ReplaceAll(const char& a, const char& b);
	void SwapChar(const char& a, const char& b) { ReplaceAll(a, b); }
	void RemoveRepeatingChar(const char& c);
	void StripLeadingSpaces();
	void StripTrailingSpaces();
	void StripAllSpaces();
	void StripLeadingChar(const char& c);
	void StripTrailingChar(const char& c);
	void StripPunct();
	void ToLowerCase();
	void ToUpperCase();
	void ToProperCase();

	// Fits the text into maxWidth pixels of `font` (anything with
	// StringWidth(const char*)), ending it with "..." when it had to be cut.
	// `bounds` gets left 0 and right the width of the kept characters; the
	// result is the number of characters kept.
	template <class Font> int32 Truncate(const Font& font, const float& maxWidth, BRect& bounds);

private:
	void Adopt(char* buffer, const int32& capacity);
	void Assign(const char* text, const int32& length);
	void PrintArgs(const char* format, va_list args);
	void Print(const char* format, ...) __attribute__((format(printf, 2, 3)));
	void Append(const char* text, const int32& length);
	bool GetInteger(int32& value) const;
	template <typename T> bool GetNarrowed(T& value) const;
	int32 LastIndex(const char& c) const;
	int32 NthIndex(const char& c, const int32& occurrence) const;
	bool FindWord(const int32& n, int32& start, int32& end) const;
	void KeepOnly(bool (*keep)(const char&));

	char* fBuffer;
	int32 fCapacity;
};

template <class Font>
int32 LibString::Truncate(const Font& font, const float& maxWidth, BRect& bounds)
{
	int32 kept = Length();
	bounds.left = 0;
	bounds.right = font.StringWidth(fBuffer);
	if (kept <= 1 || bounds.right < maxWidth)
		return kept;

	LibString shown;
	do {
		ToIndex(--kept - 1);
		shown = *this;
		shown.Concat("...");
	} while (kept > 1 && font.StringWidth(shown) >= maxWidth);
	bounds.right = font.StringWidth(fBuffer);
	*this = shown;
	return kept;
}
