// ImageHeader: the kind and size an image file declares, read and checked
// before a decoder is trusted with it, so a damaged or hostile header cannot
// make it allocate gigabytes or read past the file.
#pragma once

#include <cstdio>
#include <string>

#include "SupportDefs.h"

class ImageHeader {
public:
	enum Kind { kUnknown, kPng, kJpeg, kGif, kBmp };

	ImageHeader();
	// Reads the header of the file at `path`. B_BAD_TYPE for what is not one
	// of the four kinds, B_BAD_DATA for a damaged header or one declaring an
	// image too large for a bitmap.
	status_t SetTo(const char* path);

	Kind ImageKind() const { return fKind; }
	int32 Width() const { return fWidth; }
	int32 Height() const { return fHeight; }

	// Largest side and pixel count accepted (the bitmap's own limits).
	static const int32 kMaxSide = 16384;
	static const int64 kMaxPixels = 16 * 1024 * 1024;

private:
	status_t ReadPng(const std::string& head, int64 fileSize);
	status_t ReadGif(const char* path);
	status_t ReadGifDescriptor(FILE* file);
	status_t ReadBmp(const std::string& head, int64 fileSize);
	status_t ReadJpeg(const char* path);
	status_t Accept(Kind kind, int64 width, int64 height);

	Kind fKind;
	int32 fWidth;
	int32 fHeight;
};
