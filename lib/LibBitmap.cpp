// LibBitmap: icons from attributes, resources, or drawn per kind.
#include "LibBitmap.h"

#include <sys/stat.h>

#include <cstring>
#include <memory>
#include <string>

#include "Entry.h"
#include "Node.h"
#include "NodeInfo.h"
#include "Path.h"
#include "Resources.h"
#include "Volume.h"
#include "VolumeRoster.h"

namespace {

// System palette indexes of the default icons.
const uint8 kClear = B_TRANSPARENT_MAGIC_CMAP8;
const uint8 kBlack = 0;
const uint8 kDarkGrey = 12;
const uint8 kGrey = 24;
const uint8 kLightGrey = 28;
const uint8 kWhite = 63;
const uint8 kYellow = 216;
const uint8 kBlue = 32;
const uint8 kLightBlue = 96;

class IconCanvas {
public:
	IconCanvas(uint8* bits, int32 size) : fBits(bits), fSize(size), fUnit(size / 16) {}

	void Clear() { memset(fBits, kClear, size_t(fSize) * fSize); }
	// A rectangle in sixteenths of the icon, both edges included.
	void Fill(int32 left, int32 top, int32 right, int32 bottom, uint8 color)
	{
		for (int32 y = top * fUnit; y < (bottom + 1) * fUnit && y < fSize; y++) {
			for (int32 x = left * fUnit; x < (right + 1) * fUnit && x < fSize; x++)
				fBits[y * fSize + x] = color;
		}
	}
	void Frame(int32 left, int32 top, int32 right, int32 bottom, uint8 color)
	{
		Fill(left, top, right, top, color);
		Fill(left, bottom, right, bottom, color);
		Fill(left, top, left, bottom, color);
		Fill(right, top, right, bottom, color);
	}

private:
	uint8* fBits;
	int32 fSize;
	int32 fUnit;
};

void DrawFile(IconCanvas& canvas)
{
	canvas.Fill(3, 1, 12, 14, kWhite);
	canvas.Frame(3, 1, 12, 14, kBlack);
	canvas.Fill(10, 1, 12, 3, kLightGrey);
	canvas.Frame(10, 1, 12, 3, kDarkGrey);
	for (int32 line = 5; line <= 11; line += 2)
		canvas.Fill(5, line, 10, line, kGrey);
}

void DrawFolder(IconCanvas& canvas)
{
	canvas.Fill(1, 3, 6, 4, kYellow);
	canvas.Frame(1, 3, 6, 4, kBlack);
	canvas.Fill(1, 5, 14, 13, kYellow);
	canvas.Frame(1, 5, 14, 13, kBlack);
}

void DrawApp(IconCanvas& canvas)
{
	for (int32 row = 0; row < 7; row++)
		canvas.Fill(7 - row, 1 + row, 8 + row, 1 + row, kBlue);
	for (int32 row = 0; row < 7; row++)
		canvas.Fill(1 + row, 8 + row, 14 - row, 8 + row, kBlue);
	canvas.Fill(6, 6, 9, 9, kLightBlue);
}

void DrawVolume(IconCanvas& canvas)
{
	canvas.Fill(1, 5, 14, 11, kGrey);
	canvas.Frame(1, 5, 14, 11, kBlack);
	canvas.Fill(3, 8, 4, 9, kBlue);
}

bool IsMountPoint(const std::string& path)
{
	BVolumeRoster roster;
	BVolume volume;
	while (roster.GetNextVolume(&volume) == B_OK) {
		const char* root = volume.HostRootPath();
		if (root != nullptr && path == root)
			return true;
	}
	return false;
}

} // namespace

LibBitmap::LibBitmap(const icon_size& size)
    : BBitmap(BRect(0, 0, float(size) - 1, float(size) - 1), B_CMAP8)
{
}

LibBitmap::~LibBitmap() {}

status_t LibBitmap::SetTo(BNode* node, const char* path, const icon_size& size)
{
	if (!IsValid() || Bounds().IntegerWidth() + 1 != int32(size))
		return B_BAD_VALUE;
	std::unique_ptr<uint8[]> bits(new uint8[size_t(size) * size]);
	status_t status = GetTrackerIcon(node, path, size, bits.get());
	if (status != B_OK)
		return status;
	uint8* target = static_cast<uint8*>(Bits());
	for (int32 y = 0; y < int32(size); y++)
		memcpy(target + y * BytesPerRow(), bits.get() + y * int32(size), size_t(size));
	return B_OK;
}

status_t LibBitmap::SetTo(BNode* node, const BEntry& entry, const icon_size& size)
{
	BPath path;
	if (entry.GetPath(&path) != B_OK)
		return B_ENTRY_NOT_FOUND;
	return SetTo(node, path.Path(), size);
}

status_t LibBitmap::GetTrackerIcon(BNode* node, const char* path, const icon_size& size,
                                   uint8* bits)
{
	if (bits == nullptr || (size != B_LARGE_ICON && size != B_MINI_ICON))
		return B_BAD_VALUE;
	std::unique_ptr<BNode> opened;
	if (node == nullptr && path != nullptr) {
		// A link shows the icon of what it points to.
		BEntry entry(path, true);
		opened = std::make_unique<BNode>(&entry);
		node = opened.get();
	}
	if (node != nullptr && node->InitCheck() == B_OK && GetOwnIcon(node, size, bits))
		return B_OK;
	if (path == nullptr)
		return B_BAD_VALUE;
	BEntry entry(path, true);
	if (!entry.Exists())
		return B_ENTRY_NOT_FOUND;
	BPath target;
	entry.GetPath(&target);
	if (entry.IsFile() && GetResourceIcon(target.Path(), size, bits))
		return B_OK;
	GetDefaultIcon(KindOf(target.Path()), size, bits);
	return B_OK;
}

bool LibBitmap::GetOwnIcon(BNode* node, const icon_size& size, uint8* bits)
{
	BNodeInfo info(node);
	return info.InitCheck() == B_OK && info.GetIconBits(bits, size) == B_OK;
}

bool LibBitmap::GetResourceIcon(const char* path, const icon_size& size, uint8* bits)
{
	BResources resources(path, false);
	if (resources.InitCheck() != B_OK)
		return false;
	bool large = size == B_LARGE_ICON;
	type_code type = large ? 'ICON' : 'MICN';
	size_t expected = size_t(size) * size;
	size_t found = 0;
	const void* data =
	        resources.LoadResource(type, large ? "BEOS:L:STD_ICON" : "BEOS:M:STD_ICON", &found);
	if (data == nullptr || found != expected)
		data = resources.LoadResource(type, 101, &found);
	if (data == nullptr || found != expected)
		return false;
	memcpy(bits, data, expected);
	return true;
}

LibBitmap::IconKind LibBitmap::KindOf(const char* path)
{
	struct stat st;
	if (path == nullptr || stat(path, &st) != 0)
		return kFileIcon;
	if (S_ISDIR(st.st_mode))
		return IsMountPoint(path) ? kVolumeIcon : kFolderIcon;
	if (S_ISREG(st.st_mode) && (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0)
		return kAppIcon;
	return kFileIcon;
}

void LibBitmap::GetDefaultIcon(const IconKind& kind, const icon_size& size, uint8* bits)
{
	IconCanvas canvas(bits, int32(size));
	canvas.Clear();
	switch (kind) {
		case kFolderIcon: DrawFolder(canvas); break;
		case kAppIcon: DrawApp(canvas); break;
		case kVolumeIcon: DrawVolume(canvas); break;
		default: DrawFile(canvas); break;
	}
}
