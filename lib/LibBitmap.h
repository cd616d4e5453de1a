// LibBitmap: a square CMAP8 bitmap holding the file manager's icon of an
// entry: its own icon attribute or resource, or the default of its kind.
#pragma once

#include "Bitmap.h"
#include "Mime.h"

class BEntry;
class BNode;

class LibBitmap : public BBitmap {
public:
	enum IconKind { kFileIcon, kFolderIcon, kAppIcon, kVolumeIcon };

	// B_LARGE_ICON (32 by 32) or B_MINI_ICON (16 by 16).
	explicit LibBitmap(const icon_size& size = B_LARGE_ICON);
	~LibBitmap() override;

	// `node` may be null: the entry's node is then opened from the path.
	// B_BAD_VALUE when `size` is not the bitmap's.
	status_t SetTo(BNode* node, const char* path, const icon_size& size);
	status_t SetTo(BNode* node, const BEntry& entry, const icon_size& size);

	// The icon bytes the file manager shows for the entry.
	static status_t GetTrackerIcon(BNode* node, const char* path, const icon_size& size,
	                               uint8* bits);
	// The icon of a kind of entry that has none of its own.
	static void GetDefaultIcon(const IconKind& kind, const icon_size& size, uint8* bits);
	static IconKind KindOf(const char* path);

private:
	static bool GetOwnIcon(BNode* node, const icon_size& size, uint8* bits);
	static bool GetResourceIcon(const char* path, const icon_size& size, uint8* bits);
};
