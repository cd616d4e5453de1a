// Header checks of PNG, GIF, BMP and JPEG files.
#include "ImageHeader.h"

#include "ByteOrder.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace {

const size_t kHeadSize = 64;

} // namespace

ImageHeader::ImageHeader() : fKind(kUnknown), fWidth(0), fHeight(0) {}

status_t ImageHeader::SetTo(const char* path)
{
	fKind = kUnknown;
	fWidth = fHeight = 0;
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	std::ifstream in(path, std::ios::binary | std::ios::ate);
	if (!in)
		return B_ENTRY_NOT_FOUND;
	int64 fileSize = int64(in.tellg());
	in.seekg(0);
	std::string head(kHeadSize, '\0');
	in.read(head.data(), std::streamsize(kHeadSize));
	head.resize(size_t(in.gcount()));
	if (head.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0)
		return ReadPng(head, fileSize);
	if (head.size() >= 3 && head.compare(0, 3, "\xff\xd8\xff") == 0)
		return ReadJpeg(path);
	if (head.compare(0, 6, "GIF87a") == 0 || head.compare(0, 6, "GIF89a") == 0)
		return ReadGif(path);
	if (head.compare(0, 2, "BM") == 0)
		return ReadBmp(head, fileSize);
	return B_BAD_TYPE;
}

status_t ImageHeader::ReadPng(const std::string& head, int64 fileSize)
{
	// Signature, IHDR chunk (length, type, width, height ...) and at least
	// the chunks that must follow it.
	if (head.size() < 33 || head.compare(12, 4, "IHDR") != 0 || fileSize < 57)
		return B_BAD_DATA;
	return Accept(kPng, read_u32(head.data() + 16, true), read_u32(head.data() + 20, true));
}

// The decoder sizes its image by the first image descriptor, which may
// differ from the logical screen, so that is the size checked.
status_t ImageHeader::ReadGif(const char* path)
{
	FILE* file = fopen(path, "rb");
	if (file == nullptr)
		return B_ENTRY_NOT_FOUND;
	status_t status = B_BAD_DATA;
	uint8 screen[13];
	if (fread(screen, 1, sizeof(screen), file) == sizeof(screen)) {
		long table = (screen[10] & 0x80) != 0 ? 3L << ((screen[10] & 7) + 1) : 0;
		if (fseek(file, table, SEEK_CUR) == 0)
			status = ReadGifDescriptor(file);
	}
	fclose(file);
	return status;
}

status_t ImageHeader::ReadGifDescriptor(FILE* file)
{
	for (;;) {
		int introducer = fgetc(file);
		if (introducer == 0x2c) {
			uint8 descriptor[8];
			if (fread(descriptor, 1, sizeof(descriptor), file) != sizeof(descriptor))
				return B_BAD_DATA;
			return Accept(kGif, read_u16(descriptor + 4, false), read_u16(descriptor + 6, false));
		}
		if (introducer != 0x21 || fgetc(file) == EOF)
			return B_BAD_DATA;
		// An extension: sub-blocks up to an empty one.
		for (int size = fgetc(file); size != 0; size = fgetc(file)) {
			if (size == EOF || fseek(file, size, SEEK_CUR) != 0)
				return B_BAD_DATA;
		}
	}
}

status_t ImageHeader::ReadBmp(const std::string& head, int64 fileSize)
{
	if (head.size() < 26)
		return B_BAD_DATA;
	uint32 dataOffset = read_u32(head.data() + 10, false);
	uint32 infoSize = read_u32(head.data() + 14, false);
	int64 width = 0;
	int64 height = 0;
	uint32 bits = 0;
	uint32 compression = 0;
	if (infoSize == 12) {
		width = read_u16(head.data() + 18, false);
		height = int16(read_u16(head.data() + 20, false));
		bits = read_u16(head.data() + 24, false);
	} else if (infoSize >= 40 && head.size() >= 34) {
		width = int32(read_u32(head.data() + 18, false));
		height = int32(read_u32(head.data() + 22, false));
		bits = read_u16(head.data() + 28, false);
		compression = read_u32(head.data() + 30, false);
	} else {
		return B_BAD_DATA;
	}
	height = llabs(height);
	if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
		return B_BAD_DATA;
	if (dataOffset < 14 + infoSize || int64(dataOffset) > fileSize)
		return B_BAD_DATA;
	// Uncompressed rows (plain or bit fields) must all be in the file; run-length
	// data is checked by the decoder as it reads.
	bool uncompressed = compression == 0 || compression == 3;
	int64 rowSize = ((width * bits + 31) / 32) * 4;
	if (uncompressed && width > 0 && fileSize - dataOffset < rowSize * height)
		return B_BAD_DATA;
	return Accept(kBmp, width, height);
}

// Walks the segments to the start-of-frame marker, which gives the size.
status_t ImageHeader::ReadJpeg(const char* path)
{
	FILE* file = fopen(path, "rb");
	if (file == nullptr)
		return B_ENTRY_NOT_FOUND;
	status_t status = B_BAD_DATA;
	fseek(file, 2, SEEK_SET);
	uint8 segment[9];
	while (fread(segment, 1, 4, file) == 4) {
		if (segment[0] != 0xff)
			break;
		uint8 marker = segment[1];
		uint32 length = read_u16(segment + 2, true);
		bool frame = marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 &&
		             marker != 0xcc;
		if (frame) {
			if (length >= 8 && fread(segment + 4, 1, 5, file) == 5) {
				uint32 height = read_u16(segment + 5, true);
				uint32 width = read_u16(segment + 7, true);
				status = Accept(kJpeg, width, height);
			}
			break;
		}
		if (length < 2 || marker == 0xd9 || marker == 0xda ||
		    fseek(file, long(length) - 2, SEEK_CUR) != 0)
			break;
	}
	fclose(file);
	return status;
}

status_t ImageHeader::Accept(Kind kind, int64 width, int64 height)
{
	if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide ||
	    width * height > kMaxPixels)
		return B_BAD_DATA;
	fKind = kind;
	fWidth = int32(width);
	fHeight = int32(height);
	return B_OK;
}
