// LibStringIterator: field splitting with one separator or a set of them.
#include "LibStringIterator.h"

#include <cstdio>
#include <cstring>

LibStringIterator::LibStringIterator() : fPosition(0) {}

LibStringIterator::LibStringIterator(const char* text) : LibString(text), fPosition(0) {}

LibStringIterator::LibStringIterator(const LibString& text) : LibString(text), fPosition(0) {}

LibStringIterator::LibStringIterator(const LibStringIterator& other)
    : LibString(other), fPosition(other.fPosition)
{
}

LibStringIterator::LibStringIterator(const int32& capacity) : LibString(capacity), fPosition(0) {}

LibStringIterator::~LibStringIterator() {}

void LibStringIterator::PrintToStream() const
{
	LibString::PrintToStream();
	fprintf(stderr, "position %d\n", int(fPosition));
}

LibStringIterator& LibStringIterator::operator=(const char* text)
{
	LibString::operator=(text);
	fPosition = 0;
	return *this;
}

LibStringIterator& LibStringIterator::operator=(const LibString& text)
{
	LibString::operator=(text);
	fPosition = 0;
	return *this;
}

LibStringIterator& LibStringIterator::operator=(const LibStringIterator& other)
{
	LibString::operator=(other);
	fPosition = other.fPosition;
	return *this;
}

bool LibStringIterator::ReadField(const char* separators, const bool& lastFieldCounts,
                                  LibString& field)
{
	const char* text = String();
	int32 length = Length();
	// A cursor set outside the text reads as one at the end.
	int32 start = (fPosition < 0 || fPosition > length) ? length : fPosition;
	int32 end = start + int32(strcspn(text + start, separators));
	field = Extract(start, end - 1);
	if (text[end] != '\0') {
		fPosition = end + 1;
		return true;
	}
	if (!lastFieldCounts)
		return false;
	fPosition = end;
	return end > start;
}

bool LibStringIterator::GetNextField(const char& separator, LibString& field)
{
	const char separators[2] = {separator, '\0'};
	return ReadField(separators, true, field);
}

bool LibStringIterator::GetNextField(const char* separators, LibString& field)
{
	return ReadField(separators != nullptr ? separators : "", false, field);
}

bool LibStringIterator::GetIndexField(const char& separator, const int32& index, LibString& field)
{
	if (index < 0)
		return false;
	Reset(0);
	LibString current;
	for (int32 i = 0; i <= index; i++) {
		if (!GetNextField(separator, current))
			return false;
	}
	field = current;
	return true;
}
