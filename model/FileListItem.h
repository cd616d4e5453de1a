// FileListItem: a row of the item list describing a file, folder or link by
// its path, icon and kind, which writes itself to and reads itself from the
// record's `install_file` message.
#pragma once

#include "LibString.h"
#include "ListItem.h"
#include "Path.h"

class BBitmap;
class BMessage;
class LibBitmap;

class FileListItem : public BListItem {
public:
	enum FileType : int8 {
		kFileType = 0,
		kApplicationType = 1,
		kFolderType = 2,
	};

	FileListItem(const bool& indented = true, const bool& showFullPath = false);
	FileListItem(const char* path, const bool& indented = true, const bool& showFullPath = false);
	FileListItem(const FileListItem& other, const bool& indented);
	virtual ~FileListItem();

	void DrawItem(BView* owner, BRect frame, bool complete = false) override;
	void Update(BView* owner, const BFont* font) override;
	virtual void Write(BMessage& message);
	virtual void Read(const BMessage& message);

	// Loads the entry's icon and takes its path as it is.
	void SetPath(const char* path);
	void SetType(const FileType& type);
	// Copies the pixels of a 16 x 16 CMAP8 bitmap into the icon.
	void SetIcon(const BBitmap* icon);
	void SetShowFullPath(const bool& showFullPath);
	void SetTruncateMode(const uint32& mode);
	void SetDisplayText();
	// The size Write records, when the caller has counted it already;
	// without it, Write walks the entry (its data and attributes).
	void SetEntrySize(const int32& size);
	// Asks the roster to open the entry, as a double-click would.
	void Execute();

	const char* Path() const;
	FileType Type() const { return fType; }
	const LibString& DisplayText() const { return fDisplayText; }
	const LibBitmap* Icon() const { return fIcon; }
	bool ShowsFullPath() const { return fShowFullPath; }
	bool IsIndented() const { return fIndented; }
	uint32 TruncateMode() const { return fTruncateMode; }

private:
	FileListItem& operator=(const FileListItem&) = delete;

	float Margin() const { return fIndented ? 16 : 3; }

	bool fShowFullPath;
	bool fIndented;
	LibBitmap* fIcon;
	BPath fPath;
	// The path as given: a record's relative path that does not resolve from
	// the working folder still names the row.
	LibString fGivenPath;
	FileType fType;
	LibString fDisplayText;
	uint32 fTruncateMode;
	int32 fEntrySize; // -1 until given
};
