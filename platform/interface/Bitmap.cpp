// BBitmap: pixel storage, conversion to the system palette and the archive form.
#include "Bitmap.h"

#include <algorithm>
#include <cstring>

#include "Message.h"
#include "TypeConstants.h"

namespace {

// Largest bitmap an archive may ask for, so a damaged one cannot exhaust memory.
const int64 kMaxBitmapBytes = 64 * 1024 * 1024;
const int32 kMaxSide = 16384;

int32 bytes_per_pixel_times8(color_space space)
{
	switch (space) {
		case B_CMAP8:
		case B_GRAY8: return 8;
		case B_RGB32:
		case B_RGBA32:
		case B_RGB32_BIG:
		case B_RGBA32_BIG: return 32;
		case B_RGB24:
		case B_RGB24_BIG: return 24;
		case B_RGB16:
		case B_RGB15:
		case B_RGBA15:
		case B_RGB16_BIG:
		case B_RGB15_BIG: return 16;
		case B_GRAY1: return 1;
		default: return 0;
	}
}

bool is_32bit(color_space space)
{
	return space == B_RGB32 || space == B_RGBA32;
}

uint8 cmap8_for(const uint8* pixel, color_space space)
{
	// RGB32 and RGBA32 are stored blue, green, red, alpha.
	if (space == B_RGBA32 && pixel[3] < 128)
		return B_TRANSPARENT_MAGIC_CMAP8;
	if (pixel[0] == 0x77 && pixel[1] == 0x74 && pixel[2] == 0x77)
		return B_TRANSPARENT_MAGIC_CMAP8;
	uint32 index = ((pixel[2] >> 3) << 10) | ((pixel[1] >> 3) << 5) | (pixel[0] >> 3);
	return system_color_index(index);
}

} // namespace

BBitmap::BBitmap(BRect bounds, color_space space, bool acceptsViews, bool needsContiguous)
    : fColorSpace(space), fBytesPerRow(0), fFlags(0), fInitStatus(B_NO_INIT)
{
	uint32 flags = (acceptsViews ? uint32(B_BITMAP_ACCEPTS_VIEWS) : 0) |
	               (needsContiguous ? uint32(B_BITMAP_IS_CONTIGUOUS) : 0);
	fInitStatus = Allocate(bounds, space, B_ANY_BYTES_PER_ROW, flags);
}

BBitmap::BBitmap(BRect bounds, uint32 flags, color_space space, int32 bytesPerRow)
    : fColorSpace(space), fBytesPerRow(0), fFlags(0), fInitStatus(B_NO_INIT)
{
	fInitStatus = Allocate(bounds, space, bytesPerRow, flags);
}

BBitmap::BBitmap(const BBitmap* source, bool acceptsViews, bool needsContiguous)
    : fColorSpace(B_NO_COLOR_SPACE), fBytesPerRow(0), fFlags(0), fInitStatus(B_BAD_VALUE)
{
	if (source == nullptr || !source->IsValid())
		return;
	fInitStatus = Allocate(source->Bounds(), source->ColorSpace(), source->BytesPerRow(),
	                       source->Flags());
	if (fInitStatus == B_OK)
		fBits = source->fBits;
}

BBitmap::BBitmap(BMessage* archive)
    : BArchivable(archive), fColorSpace(B_NO_COLOR_SPACE), fBytesPerRow(0), fFlags(0),
      fInitStatus(B_BAD_VALUE)
{
	BRect frame;
	int32 space = 0;
	if (archive == nullptr || archive->FindRect("_frame", &frame) != B_OK ||
	    archive->FindInt32("_cspace", &space) != B_OK)
		return;
	int32 flags = 0;
	if (archive->FindInt32("_bmflags", &flags) != B_OK)
		flags = archive->FindBool("_view_ok") ? int32(B_BITMAP_ACCEPTS_VIEWS) : 0;
	int32 rowBytes = B_ANY_BYTES_PER_ROW;
	archive->FindInt32("_rowbytes", &rowBytes);
	fInitStatus = Allocate(frame, color_space(space), rowBytes, uint32(flags));
	if (fInitStatus != B_OK)
		return;
	const void* data = nullptr;
	ssize_t size = 0;
	if (archive->FindData("_data", B_RAW_TYPE, &data, &size) != B_OK)
		return;
	if (size < ssize_t(fBits.size())) {
		fInitStatus = B_BAD_DATA;
		return;
	}
	memcpy(fBits.data(), data, fBits.size());
}

BBitmap::~BBitmap() {}

status_t BBitmap::Allocate(BRect bounds, color_space space, int32 bytesPerRow, uint32 flags)
{
	if (!bounds.IsValid() || bytes_per_pixel_times8(space) == 0)
		return B_BAD_VALUE;
	int32 width = int32(bounds.IntegerWidth()) + 1;
	int32 height = int32(bounds.IntegerHeight()) + 1;
	if (width > kMaxSide || height > kMaxSide || bounds.left < -kMaxSide || bounds.top < -kMaxSide)
		return B_BAD_VALUE;
	int32 minimum = BytesPerRowFor(space, width);
	if (bytesPerRow == B_ANY_BYTES_PER_ROW)
		bytesPerRow = minimum;
	if (bytesPerRow < minimum || int64(bytesPerRow) * height > kMaxBitmapBytes)
		return B_BAD_VALUE;
	fBounds = bounds;
	fColorSpace = space;
	fBytesPerRow = bytesPerRow;
	fFlags = flags;
	uint8 fill = 0;
	if ((flags & B_BITMAP_CLEAR_TO_WHITE) != 0)
		fill = space == B_CMAP8 ? 63 : 0xff;
	fBits.assign(size_t(bytesPerRow) * height, fill);
	return B_OK;
}

int32 BBitmap::BytesPerRowFor(color_space space, int32 width)
{
	int32 raw = (width * bytes_per_pixel_times8(space) + 7) / 8;
	return (raw + 3) & ~3;
}

void BBitmap::SetBits(const void* data, int32 length, int32 offset, color_space space)
{
	if (data == nullptr || length <= 0 || offset < 0 || !IsValid())
		return;
	if (offset >= BitsLength())
		return;
	const uint8* source = static_cast<const uint8*>(data);
	if (space == fColorSpace) {
		memcpy(fBits.data() + offset, source, std::min(length, BitsLength() - offset));
		return;
	}
	if (fColorSpace != B_CMAP8 || !is_32bit(space))
		return;
	// Pixels run on across rows: each source pixel fills the next destination pixel.
	int32 width = int32(fBounds.IntegerWidth()) + 1;
	int32 pixel = offset;
	for (int32 i = 0; i + 4 <= length; i += 4, pixel++) {
		int32 row = pixel / width;
		int32 column = pixel % width;
		size_t target = size_t(row) * fBytesPerRow + column;
		if (target >= fBits.size())
			return;
		fBits[target] = cmap8_for(source + i, space);
	}
}

status_t BBitmap::ImportBits(const BBitmap* source)
{
	if (source == nullptr || !source->IsValid() || !IsValid())
		return B_BAD_VALUE;
	if (source->Bounds().IntegerWidth() != fBounds.IntegerWidth() ||
	    source->Bounds().IntegerHeight() != fBounds.IntegerHeight())
		return B_BAD_VALUE;
	if (source->ColorSpace() == fColorSpace && source->BytesPerRow() == fBytesPerRow) {
		fBits = source->fBits;
		return B_OK;
	}
	int32 width = int32(fBounds.IntegerWidth()) + 1;
	int32 height = int32(fBounds.IntegerHeight()) + 1;
	for (int32 y = 0; y < height; y++) {
		for (int32 x = 0; x < width; x++) {
			rgb_color c = source->ColorAt(x, y);
			uint8 bgra[4] = {c.blue, c.green, c.red, c.alpha};
			uint8* target = fBits.data() + size_t(y) * fBytesPerRow;
			if (fColorSpace == B_CMAP8)
				target[x] = cmap8_for(bgra, B_RGBA32);
			else if (is_32bit(fColorSpace))
				memcpy(target + x * 4, bgra, 4);
			else
				return B_BAD_VALUE;
		}
	}
	return B_OK;
}

rgb_color BBitmap::ColorAt(int32 x, int32 y) const
{
	int32 width = int32(fBounds.IntegerWidth()) + 1;
	int32 height = int32(fBounds.IntegerHeight()) + 1;
	if (!IsValid() || x < 0 || y < 0 || x >= width || y >= height)
		return rgb_color{0, 0, 0, 0};
	const uint8* row = fBits.data() + size_t(y) * fBytesPerRow;
	switch (fColorSpace) {
		case B_CMAP8: return system_palette()->color_list[row[x]];
		case B_GRAY8: return rgb_color{row[x], row[x], row[x], 255};
		case B_RGB32: return rgb_color{row[x * 4 + 2], row[x * 4 + 1], row[x * 4], 255};
		case B_RGBA32: return rgb_color{row[x * 4 + 2], row[x * 4 + 1], row[x * 4], row[x * 4 + 3]};
		case B_RGB24: return rgb_color{row[x * 3 + 2], row[x * 3 + 1], row[x * 3], 255};
		default: return rgb_color{0, 0, 0, 0};
	}
}

status_t BBitmap::Archive(BMessage* into, bool deep) const
{
	status_t status = BArchivable::Archive(into, deep);
	if (status != B_OK)
		return status;
	if (!IsValid())
		return B_NO_INIT;
	into->AddRect("_frame", fBounds);
	into->AddInt32("_cspace", int32(fColorSpace));
	into->AddInt32("_bmflags", int32(fFlags));
	into->AddInt32("_rowbytes", fBytesPerRow);
	// R5 leaves the pixels out of archives of contiguous bitmaps, which then
	// come back blank; every archive here carries them.
	return into->AddData("_data", B_RAW_TYPE, fBits.data(), ssize_t(fBits.size()), true);
}

BArchivable* BBitmap::Instantiate(BMessage* archive)
{
	if (!validate_instantiation(archive, "BBitmap"))
		return nullptr;
	return new BBitmap(archive);
}
