// Bitmaps: the archive form of the platform, the system palette and
// conversions into it.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "Bitmap.h"
#include "Message.h"
#include "Screen.h"
#include "TypeConstants.h"

namespace {

class LibBitmap : public BBitmap {
public:
	using BBitmap::BBitmap;
};

std::string fixture(const char* name)
{
	std::ifstream in(std::string(VANTRY_FIXTURES) + "/" + name, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace

TEST(BitmapTest, Archive_WritesThePlatformsFields)
{
	LibBitmap bitmap(BRect(0, 0, 9, 9), B_CMAP8);
	uint8 bits[120];
	for (int i = 0; i < 120; i++)
		bits[i] = uint8(i);
	bitmap.SetBits(bits, 120, 0, B_CMAP8);
	BMessage archive;
	ASSERT_EQ(bitmap.Archive(&archive), B_OK);
	EXPECT_STREQ(archive.FindString("class"), "LibBitmap") << "the most derived class";
	EXPECT_EQ(archive.FindRect("_frame"), BRect(0, 0, 9, 9));
	EXPECT_EQ(archive.FindInt32("_cspace"), 4);
	EXPECT_EQ(archive.FindInt32("_rowbytes"), 12) << "rows padded to 4 bytes";
	const void* data = nullptr;
	ssize_t size = 0;
	ASSERT_EQ(archive.FindData("_data", B_RAW_TYPE, &data, &size), B_OK);
	EXPECT_EQ(size, 120);

	BBitmap copy(&archive);
	ASSERT_EQ(copy.InitCheck(), B_OK);
	EXPECT_EQ(memcmp(copy.Bits(), bits, 120), 0);
}

TEST(BitmapTest, Unarchive_ReadsARealR5Archive)
{
	std::string flat = fixture("bitmap-128_SmallPlus.msg");
	ASSERT_FALSE(flat.empty());
	BMessage archive;
	ASSERT_EQ(archive.Unflatten(flat.data(), ssize_t(flat.size())), B_OK);
	BBitmap bitmap(&archive);
	ASSERT_EQ(bitmap.InitCheck(), B_OK);
	EXPECT_EQ(bitmap.Bounds(), BRect(0, 0, 9, 9));
	EXPECT_EQ(bitmap.ColorSpace(), B_CMAP8);
	EXPECT_EQ(bitmap.BytesPerRow(), 12);
	EXPECT_EQ(bitmap.BitsLength(), 120);
	BArchivable* instance = BBitmap::Instantiate(&archive);
	EXPECT_NE(instance, nullptr);
	delete instance;
}

TEST(BitmapTest, Unarchive_RefusesDamagedArchives)
{
	struct Case {
		const char* what;
		BRect frame;
		int32 space;
		int32 rowBytes;
		ssize_t dataSize;
	};
	const Case cases[] = {
	        {"data shorter than the rows", BRect(0, 0, 9, 9), 4, 12, 100},
	        {"row bytes below the width", BRect(0, 0, 9, 9), 4, 8, 120},
	        {"unknown colour space", BRect(0, 0, 9, 9), 0x77, 12, 120},
	        {"inverted frame", BRect(0, 0, -5, 9), 4, 12, 120},
	        {"too large", BRect(0, 0, 100000, 100000), 4, 100004, 120},
	};
	for (const Case& c : cases) {
		BMessage archive;
		archive.AddString("class", "BBitmap");
		archive.AddRect("_frame", c.frame);
		archive.AddInt32("_cspace", c.space);
		archive.AddInt32("_bmflags", 1);
		archive.AddInt32("_rowbytes", c.rowBytes);
		std::string data(size_t(c.dataSize), '\0');
		archive.AddData("_data", B_RAW_TYPE, data.data(), c.dataSize);
		BBitmap bitmap(&archive);
		EXPECT_NE(bitmap.InitCheck(), B_OK) << c.what;
	}
}

TEST(BitmapTest, SystemPalette_KnownEntriesAndNearestColours)
{
	BScreen screen;
	EXPECT_EQ(screen.ColorForIndex(0), (rgb_color{0, 0, 0, 255}));
	EXPECT_EQ(screen.ColorForIndex(63), (rgb_color{255, 255, 255, 255}));
	EXPECT_EQ(screen.ColorForIndex(255).alpha, 0) << "the transparent entry";
	EXPECT_EQ(screen.ColorForIndex(229), (rgb_color{0xff, 0xe3, 0x46, 255}));
	struct Case {
		rgb_color color;
		uint8 index;
	};
	const Case cases[] = {
	        {{255, 255, 255, 255}, 63},
	        {{0, 0, 0, 255}, 0},
	        {{0, 0, 255, 255}, 32},
	        {{255, 0, 0, 255}, 42},
	        {{128, 128, 128, 255}, 16},
	        // The 15-bit map decides: 216 is stored as 27 << 3 | 27 >> 2 = 222,
	        // nearer 224 (index 28) than 216 (index 27), as on the platform.
	        {{216, 216, 216, 255}, 28},
	        {{10, 10, 10, 0}, B_TRANSPARENT_MAGIC_CMAP8},
	};
	for (const Case& c : cases)
		EXPECT_EQ(screen.IndexForColor(c.color), c.index)
		        << int(c.color.red) << "," << int(c.color.green) << "," << int(c.color.blue);
}

TEST(BitmapTest, SetBits_ConvertsRgbToThePalette)
{
	BBitmap bitmap(BRect(0, 0, 2, 1), B_CMAP8);
	// Blue, green, red, alpha in memory; the last pixel is the transparent magic.
	const uint8 pixels[] = {0, 0, 255, 255, 255,  0,    0,    255, 255, 255, 255, 255,
	                        0, 0, 0,   255, 0x77, 0x74, 0x77, 0,   128, 128, 128, 255};
	bitmap.SetBits(pixels, sizeof(pixels), 0, B_RGB32);
	const uint8* bits = static_cast<const uint8*>(bitmap.Bits());
	EXPECT_EQ(bits[0], 42);
	EXPECT_EQ(bits[1], 32);
	EXPECT_EQ(bits[2], 63);
	EXPECT_EQ(bits[4], 0) << "second row starts after the padding";
	EXPECT_EQ(bits[5], B_TRANSPARENT_MAGIC_CMAP8);
	EXPECT_EQ(bitmap.ColorAt(1, 0), (rgb_color{0, 0, 255, 255}));

	BBitmap rgb(BRect(0, 0, 2, 1), B_RGB32);
	ASSERT_EQ(rgb.ImportBits(&bitmap), B_OK);
	EXPECT_EQ(rgb.ColorAt(0, 0), (rgb_color{255, 0, 0, 255}));
}
