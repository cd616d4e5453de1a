// BBitmap: pixels in a colour space (CMAP8 with the system palette, RGB32,
// RGBA32 ...), archived to and from messages in the platform's form.
#pragma once

#include <vector>

#include "Archivable.h"
#include "GraphicsDefs.h"
#include "Rect.h"

class BMessage;

// Creation flags.
enum : uint32 {
	B_BITMAP_CLEAR_TO_WHITE = 0x00000001,
	B_BITMAP_ACCEPTS_VIEWS = 0x00000002,
	B_BITMAP_IS_AREA = 0x00000004,
	B_BITMAP_IS_LOCKED = 0x00000008 | B_BITMAP_IS_AREA,
	B_BITMAP_IS_CONTIGUOUS = 0x00000010 | B_BITMAP_IS_LOCKED,
	B_BITMAP_IS_OFFSCREEN = 0x00000020,
	B_BITMAP_WILL_OVERLAY = 0x00000040 | B_BITMAP_IS_OFFSCREEN,
	B_BITMAP_RESERVE_OVERLAY_CHANNEL = 0x00000080,
};

enum { B_ANY_BYTES_PER_ROW = -1 };

class BBitmap : public BArchivable {
public:
	BBitmap(BRect bounds, color_space space, bool acceptsViews = false,
	        bool needsContiguous = false);
	BBitmap(BRect bounds, uint32 flags, color_space space, int32 bytesPerRow = B_ANY_BYTES_PER_ROW);
	BBitmap(const BBitmap* source, bool acceptsViews = false, bool needsContiguous = false);
	// Rebuilds an archived bitmap; InitCheck tells whether the archive was sound.
	explicit BBitmap(BMessage* archive);
	~BBitmap() override;
	BBitmap(const BBitmap&) = delete;
	BBitmap& operator=(const BBitmap&) = delete;

	status_t InitCheck() const { return fInitStatus; }
	bool IsValid() const { return fInitStatus == B_OK; }
	BRect Bounds() const { return fBounds; }
	void* Bits() { return fBits.data(); }
	const void* Bits() const { return fBits.data(); }
	int32 BitsLength() const { return int32(fBits.size()); }
	int32 BytesPerRow() const { return fBytesPerRow; }
	color_space ColorSpace() const { return fColorSpace; }
	uint32 Flags() const { return fFlags; }

	// Copies `length` bytes in colour space `space` to the bitmap from byte
	// `offset`, converting RGB32 and RGBA32 data to CMAP8 when needed.
	void SetBits(const void* data, int32 length, int32 offset, color_space space);
	status_t ImportBits(const BBitmap* source);

	// Writes "class", "_frame", "_cspace", "_bmflags", "_rowbytes" and "_data".
	status_t Archive(BMessage* into, bool deep = true) const override;
	static BArchivable* Instantiate(BMessage* archive);

	// Our addition: the colour of one pixel (palette looked up for CMAP8).
	rgb_color ColorAt(int32 x, int32 y) const;

	// Bytes per row for a width, rows padded to 4 bytes.
	static int32 BytesPerRowFor(color_space space, int32 width);

private:
	status_t Allocate(BRect bounds, color_space space, int32 bytesPerRow, uint32 flags);

	std::vector<uint8> fBits;
	BRect fBounds;
	color_space fColorSpace;
	int32 fBytesPerRow;
	uint32 fFlags;
	status_t fInitStatus;
};

// The 256 colours of the system palette with the lookup tables.
struct color_map {
	int32 id;
	rgb_color color_list[256];
	uint8 inversion_map[256];
	uint8 index_map[32768];
};

const color_map* system_colors();
// What drawing needs without the nearest map, which is slow to build: the
// palette with its inversion map, and the nearest index of one 15-bit colour.
const color_map* system_palette();
uint8 system_color_index(uint32 index);
