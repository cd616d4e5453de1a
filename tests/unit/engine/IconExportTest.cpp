// Item icons written as PNG for the icon theme: the palette's colours, the
// transparent index as clear pixels, a file any PNG reader takes.
#include <gtest/gtest.h>
#include <zlib.h>

#include <vector>

#include "Bitmap.h"
#include "IconExport.h"
#include "TempFolder.h"
#include "TestFiles.h"

namespace {

uint32 Big32(const std::string& bytes, const size_t& at)
{
	return uint32(uint8(bytes[at])) << 24 | uint32(uint8(bytes[at + 1])) << 16 |
	       uint32(uint8(bytes[at + 2])) << 8 | uint32(uint8(bytes[at + 3]));
}

TEST(IconExportTest, PixelsKeepTheirColoursAndTheTransparentIndexIsClear)
{
	BBitmap icon(BRect(0, 0, 15, 15), B_CMAP8);
	uint8* bits = static_cast<uint8*>(icon.Bits());
	for (int32 i = 0; i < 256; i++)
		bits[i] = i < 16 ? B_TRANSPARENT_MAGIC_CMAP8 : uint8(i % 200);
	TempFolder folder;
	ASSERT_TRUE(WriteIconPng(icon, folder / "icon.png"));
	const std::string png = ReadText(folder / "icon.png");
	ASSERT_GT(png.size(), 33u);
	EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
	EXPECT_EQ(png.substr(12, 4), "IHDR");
	EXPECT_EQ(Big32(png, 16), 16u);
	EXPECT_EQ(Big32(png, 20), 16u);
	EXPECT_EQ(png[24], 8);
	EXPECT_EQ(png[25], 6) << "RGBA";
	EXPECT_EQ(Big32(png, 29), uint32(crc32(0, (const Bytef*)png.data() + 12, 17)));

	const size_t idat = png.find("IDAT");
	ASSERT_NE(idat, std::string::npos);
	const uint32 length = Big32(png, idat - 4);
	std::vector<uint8> rows(16 * (1 + 16 * 4));
	uLongf size = uLongf(rows.size());
	ASSERT_EQ(uncompress(rows.data(), &size, (const Bytef*)png.data() + idat + 4, length), Z_OK);
	ASSERT_EQ(size, rows.size());
	const color_map* palette = system_colors();
	struct Case {
		int x, y;
	};
	for (const Case c : {Case{0, 0}, Case{15, 0}, Case{0, 1}, Case{7, 9}, Case{15, 15}}) {
		const uint8 index = bits[c.y * 16 + c.x];
		const uint8* pixel = &rows[size_t(c.y) * 65 + 1 + size_t(c.x) * 4];
		EXPECT_EQ(rows[size_t(c.y) * 65], 0) << "no filter";
		EXPECT_EQ(pixel[3], index == B_TRANSPARENT_MAGIC_CMAP8 ? 0 : 255) << c.x << "," << c.y;
		if (index != B_TRANSPARENT_MAGIC_CMAP8) {
			EXPECT_EQ(pixel[0], palette->color_list[index].red);
			EXPECT_EQ(pixel[1], palette->color_list[index].green);
			EXPECT_EQ(pixel[2], palette->color_list[index].blue);
		}
	}
	EXPECT_EQ(png.substr(png.size() - 8, 4), "IEND");
}

TEST(IconExportTest, NothingIsWrittenForABitmapThatIsNoIcon)
{
	TempFolder folder;
	BBitmap colour(BRect(0, 0, 15, 15), B_RGB32);
	EXPECT_FALSE(WriteIconPng(colour, folder / "icon.png"));
	EXPECT_FALSE(std::filesystem::exists(folder / "icon.png"));
}

} // namespace
