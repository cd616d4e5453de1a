// InstallListItem: an install item's row: the file part, the install types
// that include the item and its size as the authoring tool recorded it.
#pragma once

#include "FileListItem.h"
#include "LibStringList.h"

class InstallListItem : public FileListItem {
public:
	InstallListItem(const bool& showFullPath = false);
	InstallListItem(const char* path, const bool& indented, const bool& showFullPath);
	InstallListItem(InstallListItem& other, const bool& indented);
	~InstallListItem() override;

	void SetSize(const long& size);
	long Size() const { return fSize; }
	LibStringList& Groups() { return fGroups; }

	// The file fields, then `groups` ("Name;" per group) and the second `file_size`.
	void Write(BMessage& message) override;
	// The file fields, the groups split at ";" and the first `file_size`.
	void Read(const BMessage& message) override;

private:
	int32 fSize;
	LibStringList fGroups;
};
