// Image headers: the size each kind declares, and the headers refused before
// any decoder sees them (damaged, truncated, or asking for huge images).
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "ImageHeader.h"

namespace {

typedef std::vector<uint8_t> Bytes;

Bytes Concat(std::initializer_list<Bytes> parts)
{
	Bytes out;
	for (const Bytes& part : parts)
		out.insert(out.end(), part.begin(), part.end());
	return out;
}

Bytes Little(uint32_t value, int bytes)
{
	Bytes out;
	for (int i = 0; i < bytes; i++)
		out.push_back(uint8_t(value >> (8 * i)));
	return out;
}

Bytes Big(uint32_t value, int bytes)
{
	Bytes out;
	for (int i = bytes - 1; i >= 0; i--)
		out.push_back(uint8_t(value >> (8 * i)));
	return out;
}

Bytes PngHead(uint32_t width, uint32_t height)
{
	return Concat({{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'},
	               Big(13, 4),
	               {'I', 'H', 'D', 'R'},
	               Big(width, 4),
	               Big(height, 4),
	               {8, 6, 0, 0, 0},
	               Big(0, 4),
	               Bytes(40, 0)});
}

Bytes BmpHead(int32_t width, int32_t height, uint16_t bits, uint32_t pixelBytes)
{
	return Concat({{'B', 'M'},
	               Little(54 + pixelBytes, 4),
	               Little(0, 4),
	               Little(54, 4),
	               Little(40, 4),
	               Little(uint32_t(width), 4),
	               Little(uint32_t(height), 4),
	               Little(1, 2),
	               Little(bits, 2),
	               Little(0, 4),
	               Little(pixelBytes, 4),
	               Bytes(16, 0),
	               Bytes(pixelBytes, 0)});
}

// A GIF with a logical screen of 1 by 1, a comment extension, then an image
// descriptor of the given size.
Bytes GifHead(uint16_t width, uint16_t height)
{
	return Concat({{'G', 'I', 'F', '8', '9', 'a'},
	               Little(1, 2),
	               Little(1, 2),
	               {0x80, 0, 0},
	               Bytes(6, 0),
	               {0x21, 0xfe, 3, 'a', 'b', 'c', 0},
	               {0x2c},
	               Little(0, 2),
	               Little(0, 2),
	               Little(width, 2),
	               Little(height, 2),
	               {0, 2, 0, 0x3b}});
}

Bytes JpegHead(uint16_t width, uint16_t height)
{
	return Concat({{0xff, 0xd8},
	               {0xff, 0xe0},
	               Big(16, 2),
	               Bytes(14, 0),
	               {0xff, 0xc0},
	               Big(17, 2),
	               {8},
	               Big(height, 2),
	               Big(width, 2),
	               Bytes(10, 0),
	               {0xff, 0xd9}});
}

struct HeaderCase {
	const char* name;
	Bytes file;
	status_t status;
	ImageHeader::Kind kind;
	int32 width;
	int32 height;
};

TEST(ImageHeaderTest, DeclaredSizesAndRefusals)
{
	Bytes truncatedBmp = BmpHead(4, 4, 24, 48);
	truncatedBmp.resize(truncatedBmp.size() - 10);
	const std::vector<HeaderCase> cases = {
	        {"png", PngHead(300, 200), B_OK, ImageHeader::kPng, 300, 200},
	        {"bmp bottom-up", BmpHead(4, 2, 24, 24), B_OK, ImageHeader::kBmp, 4, 2},
	        {"bmp top-down", BmpHead(4, -2, 32, 32), B_OK, ImageHeader::kBmp, 4, 2},
	        {"gif descriptor size", GifHead(40, 30), B_OK, ImageHeader::kGif, 40, 30},
	        {"jpeg", JpegHead(640, 480), B_OK, ImageHeader::kJpeg, 640, 480},
	        {"png huge", PngHead(100000, 100000), B_BAD_DATA, ImageHeader::kUnknown, 0, 0},
	        {"png too many pixels", PngHead(16384, 16384), B_BAD_DATA, ImageHeader::kUnknown, 0, 0},
	        {"png zero", PngHead(0, 5), B_BAD_DATA, ImageHeader::kUnknown, 0, 0},
	        {"bmp rows missing", truncatedBmp, B_BAD_DATA, ImageHeader::kUnknown, 0, 0},
	        {"bmp huge", BmpHead(1 << 20, 1 << 20, 24, 0), B_BAD_DATA, ImageHeader::kUnknown, 0, 0},
	        {"bmp odd depth", BmpHead(2, 2, 7, 8), B_BAD_DATA, ImageHeader::kUnknown, 0, 0},
	        {"gif huge descriptor", GifHead(65535, 65535), B_BAD_DATA, ImageHeader::kUnknown, 0, 0},
	        {"gif without descriptor",
	         {'G', 'I', 'F', '8', '7', 'a', 1, 0, 1, 0, 0, 0, 0},
	         B_BAD_DATA,
	         ImageHeader::kUnknown,
	         0,
	         0},
	        {"jpeg huge", JpegHead(65535, 65535), B_BAD_DATA, ImageHeader::kUnknown, 0, 0},
	        {"jpeg without frame",
	         {0xff, 0xd8, 0xff, 0xd9},
	         B_BAD_DATA,
	         ImageHeader::kUnknown,
	         0,
	         0},
	        {"text", {'h', 'i'}, B_BAD_TYPE, ImageHeader::kUnknown, 0, 0},
	};
	std::string folder = testing::TempDir();
	for (const HeaderCase& c : cases) {
		SCOPED_TRACE(c.name);
		std::string path = folder + "/header-" + std::to_string(getpid());
		std::ofstream(path, std::ios::binary)
		        .write(reinterpret_cast<const char*>(c.file.data()),
		               std::streamsize(c.file.size()));
		ImageHeader header;
		EXPECT_EQ(header.SetTo(path.c_str()), c.status);
		EXPECT_EQ(header.ImageKind(), c.kind);
		EXPECT_EQ(header.Width(), c.width);
		EXPECT_EQ(header.Height(), c.height);
		unlink(path.c_str());
	}
	ImageHeader header;
	EXPECT_EQ(header.SetTo((folder + "/no-such-image").c_str()), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(header.SetTo(nullptr), B_BAD_VALUE);
}

} // namespace
