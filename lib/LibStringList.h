// LibStringList: an owning list of texts that loads from and stores to a
// string field of a message.
#pragma once

#include "LibString.h"
#include "LinkList.h"

class BMessage;

class LibStringList : public LinkList<LibString> {
public:
	LibStringList();
	LibStringList(const LibStringList& other);
	~LibStringList() override;
	LibStringList& operator=(const LibStringList& other);

	using LinkList<LibString>::InList;
	using LinkList<LibString>::Remove;

	bool Add(const char* text);
	bool InList(const char* text);
	// The first item whose first `length` characters (-1: all) equal `text`.
	LibString* Find(const char* text, const bool& ignoreCase = false, const int32& length = -1);
	bool Remove(const char* text);
	bool Remove(const LibString& text);

	// Appends every string of the field; the number appended.
	int32 Append(const BMessage& message, const char* field);
	// Replaces the list by the field's strings; false, and no change, when
	// the field holds none.
	bool SetTo(const BMessage& message, const char* field);
	// Adds every item, in order, to the field.
	status_t GetFrom(BMessage& message, const char* field);

	void PrintToStream();
};
