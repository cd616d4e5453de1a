// LibString: construction, growth, conversion and comparison. The editing
// operations are in LibStringEdit.cpp.
#include "LibString.h"

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "LibCharClass.h"
#include "LibTextCase.h"
#include "LibWildCard.h"

// A cleared value reads as this empty text; its capacity 0 makes the next
// growth allocate, so it is never written beyond its NUL.
static char sEmptyText[1] = {'\0'};

static const char* Safe(const char* text)
{
	return text != nullptr ? text : "";
}

LibString::LibString() : fBuffer(sEmptyText), fCapacity(0)
{
	SetBuffer(0);
}

LibString::LibString(const int32& length) : fBuffer(sEmptyText), fCapacity(0)
{
	SetBuffer(length);
}

LibString::LibString(const char* text) : fBuffer(sEmptyText), fCapacity(0)
{
	Assign(Safe(text), int32(strlen(Safe(text))));
}

LibString::LibString(const LibString& other) : fBuffer(sEmptyText), fCapacity(0)
{
	*this = other;
}

LibString::~LibString()
{
	Clear();
}

void LibString::PrintToStream() const
{
	fprintf(stderr, "LibString:: <%s>, buffer %ld\n", fBuffer, long(fCapacity));
}

int32 LibString::Length() const
{
	return int32(strlen(fBuffer));
}

void LibString::SetBuffer(const int32& length)
{
	int32 capacity = (length < 0 ? 0 : length) + 1;
	char* buffer = new char[capacity];
	buffer[0] = '\0';
	Adopt(buffer, capacity);
}

void LibString::Clear()
{
	if (fBuffer != sEmptyText)
		delete[] fBuffer;
	fBuffer = sEmptyText;
	fCapacity = 0;
}

// Takes over a new buffer; the old one is freed only now, so the text being
// copied may live in it.
void LibString::Adopt(char* buffer, const int32& capacity)
{
	Clear();
	fBuffer = buffer;
	fCapacity = capacity;
}

void LibString::Assign(const char* text, const int32& length)
{
	char* buffer = new char[length + 1];
	memcpy(buffer, text, length);
	buffer[length] = '\0';
	Adopt(buffer, length + 1);
}

void LibString::Append(const char* text, const int32& length)
{
	int32 oldLength = Length();
	int32 newLength = oldLength + length;
	if (newLength < fCapacity) {
		// The source may be this very text: it ends at oldLength, so it
		// does not overlap the place it is copied to.
		memcpy(fBuffer + oldLength, text, length);
		fBuffer[newLength] = '\0';
		return;
	}
	char* buffer = new char[newLength + 1];
	memcpy(buffer, fBuffer, oldLength);
	memcpy(buffer + oldLength, text, length);
	buffer[newLength] = '\0';
	Adopt(buffer, newLength + 1);
}

// Replaces the text with a printf result of any length.
void LibString::PrintArgs(const char* format, va_list args)
{
	va_list measure;
	va_copy(measure, args);
	int length = vsnprintf(nullptr, 0, Safe(format), measure);
	va_end(measure);
	if (length < 0)
		length = 0;
	std::vector<char> text(length + 1, '\0');
	vsnprintf(text.data(), text.size(), Safe(format), args);
	Assign(text.data(), length);
}

void LibString::Print(const char* format, ...)
{
	va_list args;
	va_start(args, format);
	PrintArgs(format, args);
	va_end(args);
}

LibString& LibString::operator=(const char* text)
{
	if (text == nullptr)
		return *this;
	Assign(text, int32(strlen(text)));
	return *this;
}

LibString& LibString::operator=(const LibString& other)
{
	if (&other == this)
		return *this;
	int32 length = other.Length();
	int32 capacity = other.fCapacity > length ? other.fCapacity : length + 1;
	char* buffer = new char[capacity];
	memcpy(buffer, other.fBuffer, length + 1);
	Adopt(buffer, capacity);
	return *this;
}

LibString& LibString::operator=(const int32& value)
{
	Print("%ld", long(value));
	return *this;
}

LibString& LibString::operator=(const float& value)
{
	Print("%f", double(value));
	return *this;
}

LibString& LibString::operator=(const double& value)
{
	Print("%f", value);
	return *this;
}

LibString& LibString::operator+=(const int32& value)
{
	LibString number;
	number = value;
	return Concat(number);
}

LibString& LibString::operator+=(const float& value)
{
	LibString number;
	number = value;
	return Concat(number);
}

LibString& LibString::operator+=(const double& value)
{
	LibString number;
	number = value;
	return Concat(number);
}

LibString& LibString::Concat(const char* text)
{
	Append(Safe(text), int32(strlen(Safe(text))));
	return *this;
}

LibString& LibString::Concat(const char& c)
{
	if (c != '\0')
		Append(&c, 1);
	return *this;
}

LibString& LibString::PrePend(const char* text)
{
	LibString joined(text);
	joined.Concat(fBuffer);
	Assign(joined.fBuffer, joined.Length());
	return *this;
}

LibString& LibString::Insert(const int32& position, const char* text)
{
	int32 length = Length();
	if (position < 0)
		return PrePend(text);
	if (position >= length - 1)
		return Concat(text);
	LibString joined(Extract(0, position));
	joined.Concat(text);
	joined.Concat(fBuffer + position + 1);
	Assign(joined.fBuffer, joined.Length());
	return *this;
}

// Results of any length are kept whole rather than cut at a fixed size.
LibString& LibString::Formatted(const char* format, ...)
{
	va_list args;
	va_start(args, format);
	PrintArgs(format, args);
	va_end(args);
	return *this;
}

void LibString::SetFloat32(const float& value, const int32& decimals)
{
	Print("%.*f", int(decimals), double(value));
}

void LibString::SetFloat64(const double& value, const int32& decimals)
{
	Print("%.*f", int(decimals), value);
}

void LibString::SetHex(const uint8& value)
{
	Print("%02X", unsigned(value));
}

uint8 LibString::GetHex() const
{
	if (Length() != 2)
		return 0;
	return uint8(HexValue(fBuffer[0]) * 16 + HexValue(fBuffer[1]));
}

uint8 LibString::HexValue(const char& c)
{
	if (LibIsDigit(c))
		return uint8(c - '0');
	if (c >= 'a' && c <= 'f')
		return uint8(c - 'a' + 10);
	if (c >= 'A' && c <= 'F')
		return uint8(c - 'A' + 10);
	return 0;
}

// Digits only, but for one sign at the front and one '.' anywhere.
bool LibString::IsNumeric() const
{
	bool seenPoint = false;
	for (int32 i = 0; fBuffer[i] != '\0'; i++) {
		char c = fBuffer[i];
		if (LibIsDigit(c))
			continue;
		if (i == 0 && (c == '+' || c == '-'))
			continue;
		if (c == '.' && !seenPoint) {
			seenPoint = true;
			continue;
		}
		return false;
	}
	return true;
}

// Base-10 conversion saturated at the signed 32-bit limits.
bool LibString::GetInteger(int32& value) const
{
	value = 0;
	if (!IsNumeric())
		return false;
	long long number = strtoll(fBuffer, nullptr, 10);
	if (number > INT32_MAX)
		number = INT32_MAX;
	if (number < INT32_MIN)
		number = INT32_MIN;
	value = int32(number);
	return true;
}

// The saturated 32-bit value cut to the width of T, as a C cast cuts it.
template <typename T> bool LibString::GetNarrowed(T& value) const
{
	int32 number;
	const bool valid = GetInteger(number);
	value = T(number);
	return valid;
}

bool LibString::GetInt8(int8& value) const
{
	return GetNarrowed(value);
}

bool LibString::GetUint8(uint8& value) const
{
	return GetNarrowed(value);
}

bool LibString::GetInt16(int16& value) const
{
	return GetNarrowed(value);
}

bool LibString::GetUint16(uint16& value) const
{
	return GetNarrowed(value);
}

bool LibString::GetInt32(int32& value) const
{
	return GetInteger(value);
}

bool LibString::GetUint32(uint32& value) const
{
	return GetNarrowed(value);
}

bool LibString::GetFloat64(double& value) const
{
	value = 0;
	if (!IsNumeric())
		return false;
	value = strtod(fBuffer, nullptr);
	return true;
}

bool LibString::GetFloat32(float& value) const
{
	double number;
	bool valid = GetFloat64(number);
	value = float(number);
	return valid;
}

void LibString::Read(const char* path, const int32& lineSize)
{
	FILE* file = fopen(Safe(path), "r");
	if (file == nullptr)
		return;
	// fgets needs room for one character and the NUL to make progress.
	std::vector<char> line(lineSize < 2 ? 2 : lineSize);
	while (fgets(line.data(), int(line.size()), file) != nullptr)
		Concat(line.data());
	fclose(file);
}

int32 LibString::Compare(const char* text, const bool& ignoreCase) const
{
	if (text == nullptr)
		return 1;
	for (int32 i = 0;; i++) {
		int32 order = LibCompareChar(fBuffer[i], text[i], ignoreCase);
		if (order != 0 || fBuffer[i] == '\0')
			return order;
	}
}

int32 LibString::Compare(const LibString& text, const bool& ignoreCase) const
{
	return Compare(text.fBuffer, ignoreCase);
}

int32 LibString::CompareSub(const char* text, const bool& ignoreCase, const int32& length,
                            const int32& start) const
{
	if (text == nullptr)
		return 1;
	int32 ownLength = Length();
	const char* own = fBuffer + (start < 0 ? 0 : (start > ownLength ? ownLength : start));
	if (!ignoreCase) {
		if (length < 0)
			return strcmp(own, text);
		return strncmp(own, text, size_t(length));
	}
	int32 limit = length;
	if (limit < 0) {
		int32 a = int32(strlen(own));
		int32 b = int32(strlen(text));
		limit = a > b ? a : b;
	}
	for (int32 i = 0; i < limit; i++) {
		int32 order = LibCompareChar(own[i], text[i], true);
		if (order != 0 || own[i] == '\0')
			return order;
	}
	return 0;
}

int32 LibString::CompareSub(const LibString& text, const bool& ignoreCase, const int32& length,
                            const int32& start) const
{
	return CompareSub(text.fBuffer, ignoreCase, length, start);
}

// Whether `part` stands at `text`, comparing as the case flag says.
static bool MatchesAt(const char* text, const char* part, const bool& ignoreCase)
{
	for (; *part != '\0'; text++, part++) {
		if (*text == '\0' || LibCompareChar(*text, *part, ignoreCase) != 0)
			return false;
	}
	return true;
}

bool LibString::Contain(const char* text, const bool& ignoreCase) const
{
	text = Safe(text);
	if (*text == '\0')
		return true;
	for (const char* here = fBuffer; *here != '\0'; here++) {
		if (MatchesAt(here, text, ignoreCase))
			return true;
	}
	return false;
}

bool LibString::Contain(const LibString& text, const bool& ignoreCase) const
{
	return Contain(text.fBuffer, ignoreCase);
}

bool LibString::Contain(const char& c) const
{
	return Index(c) >= 0;
}

bool LibString::BeginsWith(const char* text, const bool& ignoreCase) const
{
	text = Safe(text);
	return *text != '\0' && MatchesAt(fBuffer, text, ignoreCase);
}

bool LibString::BeginsWith(const LibString& text, const bool& ignoreCase) const
{
	return BeginsWith(text.fBuffer, ignoreCase);
}

bool LibString::EndsWith(const char* text, const bool& ignoreCase) const
{
	text = Safe(text);
	int32 length = Length();
	int32 partLength = int32(strlen(text));
	if (partLength > length)
		return false;
	return MatchesAt(fBuffer + length - partLength, text, ignoreCase);
}

bool LibString::EndsWith(const LibString& text, const bool& ignoreCase) const
{
	return EndsWith(text.fBuffer, ignoreCase);
}

int32 LibString::Index(const char* text) const
{
	if (fBuffer[0] == '\0')
		return -1;
	const char* found = strstr(fBuffer, Safe(text));
	return found != nullptr ? int32(found - fBuffer) : -1;
}

int32 LibString::Index(const LibString& text) const
{
	return Index(text.fBuffer);
}

int32 LibString::Index(const char& c) const
{
	if (c == '\0')
		return -1;
	const char* found = strchr(fBuffer, c);
	return found != nullptr ? int32(found - fBuffer) : -1;
}

int32 LibString::IndexOfAny(const char* set) const
{
	size_t position = strcspn(fBuffer, Safe(set));
	return fBuffer[position] != '\0' ? int32(position) : -1;
}

int32 LibString::Count(const char& c) const
{
	int32 count = 0;
	for (const char* here = fBuffer; *here != '\0'; here++) {
		if (*here == c)
			count++;
	}
	return count;
}

bool LibString::IsBlank() const
{
	for (const char* here = fBuffer; *here != '\0'; here++) {
		if (!LibIsSpace(*here))
			return false;
	}
	return true;
}

int32 LibString::Words() const
{
	int32 count = 0;
	for (int32 i = 0; fBuffer[i] != '\0'; i++) {
		bool startsWord = !LibIsSpace(fBuffer[i]) && (i == 0 || LibIsSpace(fBuffer[i - 1]));
		if (startsWord)
			count++;
	}
	return count;
}

bool LibString::IsWildCard(const char* pattern) const
{
	return LibMatchWildCard(fBuffer, pattern);
}

bool LibString::IsWildCard(const LibString& pattern) const
{
	return LibMatchWildCard(fBuffer, pattern.fBuffer);
}

bool LibString::CompareWildCard(const char* text, const char* pattern)
{
	return LibMatchWildCard(text, pattern);
}
