// Reading PNG, GIF, BMP and JPEG files into bitmaps: sizes, colour spaces,
// pixels and transparency, and the files that yield no bitmap.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "Bitmap.h"
#include "TranslationUtils.h"

namespace {

typedef std::vector<uint8_t> Bytes;

void PutLittle(Bytes& out, uint32_t value, int bytes)
{
	for (int i = 0; i < bytes; i++)
		out.push_back(uint8_t(value >> (8 * i)));
}

void PutBig(Bytes& out, uint32_t value)
{
	for (int i = 3; i >= 0; i--)
		out.push_back(uint8_t(value >> (8 * i)));
}

// A 24-bit BMP; `rgb` holds rows top to bottom, three bytes a pixel.
Bytes Bmp(int width, int height, const Bytes& rgb)
{
	int rowSize = (width * 3 + 3) & ~3;
	Bytes out = {'B', 'M'};
	PutLittle(out, 54 + rowSize * height, 4);
	PutLittle(out, 0, 4);
	PutLittle(out, 54, 4);
	PutLittle(out, 40, 4);
	PutLittle(out, width, 4);
	PutLittle(out, height, 4);
	PutLittle(out, 1, 2);
	PutLittle(out, 24, 2);
	PutLittle(out, 0, 4);
	PutLittle(out, rowSize * height, 4);
	PutLittle(out, 2835, 4);
	PutLittle(out, 2835, 4);
	PutLittle(out, 0, 4);
	PutLittle(out, 0, 4);
	for (int y = height - 1; y >= 0; y--) {
		for (int x = 0; x < width; x++) {
			const uint8_t* p = &rgb[(y * width + x) * 3];
			out.insert(out.end(), {p[2], p[1], p[0]});
		}
		out.insert(out.end(), rowSize - width * 3, 0);
	}
	return out;
}

void PngChunk(Bytes& out, const char* type, const Bytes& data)
{
	PutBig(out, uint32_t(data.size()));
	Bytes body(type, type + 4);
	body.insert(body.end(), data.begin(), data.end());
	out.insert(out.end(), body.begin(), body.end());
	PutBig(out, uint32_t(crc32(0, body.data(), uInt(body.size()))));
}

// An 8-bit RGBA PNG; `rgba` holds rows top to bottom.
Bytes Png(int width, int height, const Bytes& rgba)
{
	Bytes raw;
	for (int y = 0; y < height; y++) {
		raw.push_back(0);
		raw.insert(raw.end(), rgba.begin() + y * width * 4, rgba.begin() + (y + 1) * width * 4);
	}
	uLongf size = compressBound(uLong(raw.size()));
	Bytes packed(size);
	compress(packed.data(), &size, raw.data(), uLong(raw.size()));
	packed.resize(size);
	Bytes header;
	PutBig(header, uint32_t(width));
	PutBig(header, uint32_t(height));
	header.insert(header.end(), {8, 6, 0, 0, 0});
	Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
	PngChunk(out, "IHDR", header);
	PngChunk(out, "IDAT", packed);
	PngChunk(out, "IEND", {});
	return out;
}

// A 2 by 2 GIF of palette indexes 0, 1 / 2, 3 with index 3 transparent. The
// codes are 3 bits wide throughout: a clear code every two pixels keeps the
// code table from growing.
Bytes Gif()
{
	Bytes out = {'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0xf1, 0, 0};
	out.insert(out.end(), {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9});
	out.insert(out.end(), {0x21, 0xf9, 4, 1, 0, 0, 3, 0});
	out.insert(out.end(), {0x2c, 0, 0, 0, 0, 2, 0, 2, 0, 0});
	const int codes[] = {4, 0, 1, 4, 2, 3, 5};
	Bytes data;
	uint32_t bits = 0;
	int count = 0;
	for (int code : codes) {
		bits |= uint32_t(code) << count;
		count += 3;
		while (count >= 8) {
			data.push_back(uint8_t(bits));
			bits >>= 8;
			count -= 8;
		}
	}
	if (count > 0)
		data.push_back(uint8_t(bits));
	out.push_back(2);
	out.push_back(uint8_t(data.size()));
	out.insert(out.end(), data.begin(), data.end());
	out.insert(out.end(), {0, 0x3b});
	return out;
}

struct Pixel {
	int x, y;
	uint8_t red, green, blue, alpha;
};

const uint8_t* PixelAt(const BBitmap& bitmap, int x, int y)
{
	return static_cast<const uint8_t*>(bitmap.Bits()) + y * bitmap.BytesPerRow() + x * 4;
}

class TranslationUtilsTest : public testing::Test {
protected:
	void SetUp() override
	{
		std::string pattern = testing::TempDir() + "translation-XXXXXX";
		ASSERT_NE(mkdtemp(pattern.data()), nullptr);
		fFolder = pattern;
	}

	std::string Write(const char* name, const Bytes& bytes)
	{
		std::string path = fFolder + "/" + name;
		std::ofstream(path, std::ios::binary)
		        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
		return path;
	}

	std::string fFolder;
};

struct ImageCase {
	const char* name;
	Bytes file;
	int width;
	int height;
	color_space space;
	std::vector<Pixel> pixels;
};

TEST_F(TranslationUtilsTest, ReadsHandMadeImagesPixelForPixel)
{
	const Bytes rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30, 40, 50, 60, 70, 80, 90};
	const Bytes rgba = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 1, 2, 3, 255};
	const std::vector<ImageCase> cases = {
	        {"picture.bmp",
	         Bmp(3, 2, rgb),
	         3,
	         2,
	         B_RGB32,
	         {{0, 0, 255, 0, 0, 255},
	          {2, 0, 0, 0, 255, 255},
	          {1, 1, 40, 50, 60, 255},
	          {2, 1, 70, 80, 90, 255}}},
	        {"picture.png",
	         Png(2, 2, rgba),
	         2,
	         2,
	         B_RGBA32,
	         {{0, 0, 255, 0, 0, 255},
	          {1, 0, 0, 255, 0, 128},
	          {0, 1, 0, 0, 255, 0},
	          {1, 1, 1, 2, 3, 255}}},
	        {"picture.gif",
	         Gif(),
	         2,
	         2,
	         B_RGBA32,
	         {{0, 0, 255, 0, 0, 255}, {1, 0, 0, 255, 0, 255}, {0, 1, 0, 0, 255, 255}}},
	};
	for (const ImageCase& c : cases) {
		SCOPED_TRACE(c.name);
		std::unique_ptr<BBitmap> bitmap(
		        BTranslationUtils::GetBitmap(Write(c.name, c.file).c_str()));
		ASSERT_NE(bitmap, nullptr);
		EXPECT_EQ(bitmap->Bounds(), BRect(0, 0, c.width - 1, c.height - 1));
		EXPECT_EQ(bitmap->ColorSpace(), c.space);
		for (const Pixel& p : c.pixels) {
			const uint8_t* bits = PixelAt(*bitmap, p.x, p.y);
			EXPECT_EQ(bits[2], p.red) << p.x << "," << p.y;
			EXPECT_EQ(bits[1], p.green) << p.x << "," << p.y;
			EXPECT_EQ(bits[0], p.blue) << p.x << "," << p.y;
			EXPECT_EQ(bits[3], p.alpha) << p.x << "," << p.y;
		}
	}
}

TEST_F(TranslationUtilsTest, TransparentGifColourHasNoAlpha)
{
	std::unique_ptr<BBitmap> bitmap(
	        BTranslationUtils::GetBitmapFile(Write("t.gif", Gif()).c_str()));
	ASSERT_NE(bitmap, nullptr);
	EXPECT_EQ(PixelAt(*bitmap, 1, 1)[3], 0);
}

TEST_F(TranslationUtilsTest, ReadsByReference)
{
	Write("ref.bmp", Bmp(1, 1, {7, 8, 9}));
	entry_ref ref(0, 0, "ref.bmp");
	ref.directory_path = fFolder;
	std::unique_ptr<BBitmap> bitmap(BTranslationUtils::GetBitmap(&ref));
	ASSERT_NE(bitmap, nullptr);
	EXPECT_EQ(PixelAt(*bitmap, 0, 0)[0], 9);
	EXPECT_EQ(BTranslationUtils::GetBitmap(static_cast<const entry_ref*>(nullptr)), nullptr);
}

TEST_F(TranslationUtilsTest, JpegFromImageMagick)
{
	if (system("convert -version > /dev/null 2>&1") != 0)
		GTEST_SKIP() << "ImageMagick's convert is not installed";
	std::string path = fFolder + "/red.jpg";
	std::string command = "convert -size 8x4 xc:'#ff0000' '" + path + "'";
	ASSERT_EQ(system(command.c_str()), 0);
	std::unique_ptr<BBitmap> bitmap(BTranslationUtils::GetBitmap(path.c_str()));
	ASSERT_NE(bitmap, nullptr);
	EXPECT_EQ(bitmap->Bounds(), BRect(0, 0, 7, 3));
	EXPECT_EQ(bitmap->ColorSpace(), B_RGB32);
	const uint8_t* bits = PixelAt(*bitmap, 3, 2);
	EXPECT_GT(bits[2], 230);
	EXPECT_LT(bits[1], 30);
	EXPECT_LT(bits[0], 30);
}

TEST_F(TranslationUtilsTest, NoBitmapForWhatIsNotAReadableImage)
{
	Bytes png = Png(2, 2, Bytes(16, 0));
	Bytes truncatedPng(png.begin(), png.begin() + 40);
	Bytes bmp = Bmp(2, 2, Bytes(12, 0));
	Bytes truncatedBmp(bmp.begin(), bmp.begin() + 20);
	const std::vector<std::pair<const char*, Bytes>> cases = {
	        {"text.png", Bytes{'h', 'e', 'l', 'l', 'o'}},
	        {"empty.gif", Bytes{}},
	        {"truncated.png", truncatedPng},
	        {"truncated.bmp", truncatedBmp},
	        {"header-only.gif", Bytes{'G', 'I', 'F', '8', '9', 'a'}},
	};
	for (const auto& [name, bytes] : cases) {
		SCOPED_TRACE(name);
		EXPECT_EQ(BTranslationUtils::GetBitmap(Write(name, bytes).c_str()), nullptr);
	}
	EXPECT_EQ(BTranslationUtils::GetBitmap((fFolder + "/missing.png").c_str()), nullptr);
	EXPECT_EQ(BTranslationUtils::GetBitmap(static_cast<const char*>(nullptr)), nullptr);
	EXPECT_EQ(BTranslationUtils::GetBitmapFile(""), nullptr);
}

} // namespace
