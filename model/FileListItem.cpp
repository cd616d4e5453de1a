// FileListItem: an entry's path, kind and icon, and its install_file fields.
#include "FileListItem.h"

#include <cstring>

#include "Bitmap.h"
#include "Entry.h"
#include "LibBitmap.h"
#include "LibEntry.h"
#include "LibFile.h"
#include "Message.h"

namespace {

LibBitmap* new_empty_icon()
{
	auto* icon = new LibBitmap(B_MINI_ICON);
	memset(icon->Bits(), B_TRANSPARENT_MAGIC_CMAP8, (size_t)icon->BitsLength());
	return icon;
}

// The entry's times with links followed; 0 where they cannot be read.
void entry_times(const char* path, time_t* created, time_t* modified, time_t* accessed)
{
	*created = *modified = *accessed = 0;
	BEntry entry(path, true);
	if (entry.InitCheck() != B_OK)
		return;
	entry.GetCreationTime(created);
	entry.GetModificationTime(modified);
	entry.GetAccessTime(accessed);
}

} // namespace

FileListItem::FileListItem(const bool& indented, const bool& showFullPath)
    : BListItem(0, true), fShowFullPath(showFullPath), fIndented(indented), fIcon(new_empty_icon()),
      fType(kFileType), fTruncateMode(0), fEntrySize(-1)
{
	SetDisplayText();
}

FileListItem::FileListItem(const char* path, const bool& indented, const bool& showFullPath)
    : FileListItem(indented, showFullPath)
{
	SetPath(path);
}

FileListItem::FileListItem(const FileListItem& other, const bool& indented)
    : BListItem(0, true), fShowFullPath(other.fShowFullPath), fIndented(indented),
      fIcon(new_empty_icon()), fPath(other.fPath), fGivenPath(other.fGivenPath), fType(other.fType),
      fTruncateMode(0), fEntrySize(other.fEntrySize)
{
	fIcon->SetBits(other.fIcon->Bits(), other.fIcon->BitsLength(), 0, B_CMAP8);
	SetDisplayText();
}

FileListItem::~FileListItem()
{
	delete fIcon;
}

const char* FileListItem::Path() const
{
	const char* path = fPath.Path();
	return path != nullptr ? path : fGivenPath.String();
}

void FileListItem::SetPath(const char* path)
{
	fEntrySize = -1; // a size counted for another entry
	if (path != nullptr)
		fIcon->SetTo(nullptr, path, B_MINI_ICON);
	fPath.SetTo(path);
	fGivenPath = path != nullptr ? path : "";
	SetDisplayText();
}

void FileListItem::SetType(const FileType& type)
{
	fType = type;
}

void FileListItem::SetIcon(const BBitmap* icon)
{
	if (icon != nullptr && icon->ColorSpace() == B_CMAP8 &&
	    icon->BitsLength() == fIcon->BitsLength())
		fIcon->SetBits(icon->Bits(), icon->BitsLength(), 0, B_CMAP8);
}

void FileListItem::SetShowFullPath(const bool& showFullPath)
{
	fShowFullPath = showFullPath;
	SetDisplayText();
}

void FileListItem::SetTruncateMode(const uint32& mode)
{
	fTruncateMode = mode;
	SetDisplayText();
}

void FileListItem::SetDisplayText()
{
	const char* leaf = fPath.Leaf();
	if (leaf == nullptr) {
		const char* slash = strrchr(fGivenPath.String(), '/');
		leaf = slash != nullptr ? slash + 1 : fGivenPath.String();
	}
	fDisplayText = fShowFullPath ? Path() : leaf;
}

void FileListItem::SetEntrySize(const int32& size)
{
	fEntrySize = size;
}

void FileListItem::Execute()
{
	LibOpenEntry(Path());
}

void FileListItem::Write(BMessage& message)
{
	message.AddString("file_name", Path());
	message.AddInt8("file_type", fType);
	message.AddInt32("file_size", fEntrySize >= 0 ? fEntrySize : LibEntrySize(Path(), true));
	time_t created, modified, accessed;
	entry_times(Path(), &created, &modified, &accessed);
	message.AddInt64("file_creation", created);
	message.AddInt64("file_modified", modified);
	message.AddInt64("file_accessed", accessed);
	BMessage icon;
	fIcon->Archive(&icon, true);
	icon.ReplaceString("class", "LibBitmap");
	message.AddMessage("file_icon", &icon);
}

void FileListItem::Read(const BMessage& message)
{
	const char* path = nullptr;
	if (message.FindString("file_name", &path) == B_OK) {
		// A record's relative name is the product's, not a file below the
		// folder the reader runs in: it is kept as written.
		fPath.Unset();
		if (path[0] == '/')
			fPath.SetTo(path);
		fGivenPath = path;
	}
	int8 type;
	if (message.FindInt8("file_type", &type) == B_OK)
		fType = (FileType)type;
	// The archive is only read: it is not copied out of the item.
	if (std::shared_ptr<const BMessage> archive = message.FindNested("file_icon")) {
		BBitmap icon(const_cast<BMessage*>(archive.get()));
		// A damaged archive leaves the icon there was.
		if (icon.InitCheck() == B_OK && icon.ColorSpace() == B_CMAP8 &&
		    icon.Bounds() == fIcon->Bounds())
			fIcon->ImportBits(&icon);
	}
	SetDisplayText();
}
