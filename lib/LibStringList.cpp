// LibStringList: text lookups and the exchange with message fields.
#include "LibStringList.h"

#include "Message.h"

LibStringList::LibStringList() {}

LibStringList::LibStringList(const LibStringList& other) : LinkList<LibString>(other) {}

LibStringList::~LibStringList()
{
	Clear();
}

LibStringList& LibStringList::operator=(const LibStringList& other)
{
	LinkList<LibString>::operator=(other);
	return *this;
}

bool LibStringList::Add(const char* text)
{
	LibString* item = new LibString(text);
	if (Insert(item))
		return true;
	delete item;
	return false;
}

bool LibStringList::InList(const char* text)
{
	LibString item(text);
	return InList(&item);
}

LibString* LibStringList::Find(const char* text, const bool& ignoreCase, const int32& length)
{
	if (text == nullptr)
		return nullptr;
	for (LibString* item = First(); item != nullptr; item = Next()) {
		if (item->CompareSub(text, ignoreCase, length, 0) == 0)
			return item;
	}
	return nullptr;
}

bool LibStringList::Remove(const char* text)
{
	if (text == nullptr)
		return false;
	LibString item(text);
	return Remove(&item, false);
}

bool LibStringList::Remove(const LibString& text)
{
	return Remove(text.String());
}

int32 LibStringList::Append(const BMessage& message, const char* field)
{
	if (field == nullptr)
		return 0;
	int32 count = 0;
	const char* text = nullptr;
	while (message.FindString(field, count, &text) == B_OK && Add(text))
		count++;
	return count;
}

bool LibStringList::SetTo(const BMessage& message, const char* field)
{
	if (field == nullptr || !message.HasString(field, 0))
		return false;
	Clear();
	Append(message, field);
	return true;
}

status_t LibStringList::GetFrom(BMessage& message, const char* field)
{
	if (field == nullptr)
		return B_BAD_VALUE;
	for (LibString* item = First(); item != nullptr; item = Next()) {
		status_t status = message.AddString(field, item->String());
		if (status != B_OK)
			return status;
	}
	return B_OK;
}

void LibStringList::PrintToStream()
{
	for (LibString* item = First(); item != nullptr; item = Next())
		item->PrintToStream();
}
