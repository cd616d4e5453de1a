// InstallListItem: an install item's groups and size in its message form.
#include "InstallListItem.h"

#include "InterfaceDefs.h"
#include "LibStringIterator.h"
#include "Message.h"

InstallListItem::InstallListItem(const bool& showFullPath)
    : FileListItem(true, showFullPath), fSize(0)
{
	SetTruncateMode(B_TRUNCATE_BEGINNING);
}

InstallListItem::InstallListItem(const char* path, const bool& indented, const bool& showFullPath)
    : FileListItem(path, indented, showFullPath), fSize(0)
{
	SetTruncateMode(B_TRUNCATE_BEGINNING);
}

InstallListItem::InstallListItem(InstallListItem& other, const bool& indented)
    : FileListItem(other, indented), fSize(0), fGroups(other.fGroups)
{
	SetTruncateMode(B_TRUNCATE_BEGINNING);
}

InstallListItem::~InstallListItem() {}

void InstallListItem::SetSize(const long& size)
{
	fSize = (int32)size;
}

void InstallListItem::Write(BMessage& message)
{
	FileListItem::Write(message);
	LibString groups;
	for (LibString* group = fGroups.First(); group != nullptr; group = fGroups.Next()) {
		groups += group->String();
		groups += ";";
	}
	message.AddString("groups", groups.String());
	message.AddInt32("file_size", fSize);
}

void InstallListItem::Read(const BMessage& message)
{
	FileListItem::Read(message);
	const char* groups = nullptr;
	if (message.FindString("groups", &groups) == B_OK) {
		LibStringIterator fields(groups);
		LibString group;
		while (fields.GetNextField(';', group))
			fGroups.Add(group.String());
	}
	int32 size;
	if (message.FindInt32("file_size", 0, &size) == B_OK)
		fSize = size;
}
