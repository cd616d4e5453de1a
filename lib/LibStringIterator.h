// LibStringIterator: a text walked field by field, with a cursor that
// remembers where the next field starts.
#pragma once

#include "LibString.h"

class LibStringIterator : public LibString {
public:
	LibStringIterator();
	LibStringIterator(const char* text);
	LibStringIterator(const LibString& text);
	LibStringIterator(const LibStringIterator& other);
	explicit LibStringIterator(const int32& capacity);
	~LibStringIterator() override;

	void PrintToStream() const override;

	LibStringIterator& operator=(const char* text);
	LibStringIterator& operator=(const LibString& text);
	LibStringIterator& operator=(const LibStringIterator& other);

	void Reset(const int32& position = 0) { fPosition = position; }
	int32 Position() const { return fPosition; }

	// Empty fields count; a separator at the very end gives no empty last
	// field. True while a field was delivered.
	bool GetNextField(const char& separator, LibString& field);
	// Any character of `separators` ends a field. The last field, which no
	// separator ends, comes with a false result, on every further call too.
	bool GetNextField(const char* separators, LibString& field);
	// Field n (from 0) read from the start; `field` is untouched without it.
	bool GetIndexField(const char& separator, const int32& index, LibString& field);

private:
	// Reads from the cursor up to the first character of `separators`.
	bool ReadField(const char* separators, const bool& lastFieldCounts, LibString& field);

	int32 fPosition;
};
