// BTranslationUtils: image files decoded with FLTK's image library and copied
// into bitmaps in the platform's blue, green, red, alpha byte order.
#include "TranslationUtils.h"

#include <FL/Fl_BMP_Image.H>
#include <FL/Fl_GIF_Image.H>
#include <FL/Fl_JPEG_Image.H>
#include <FL/Fl_PNG_Image.H>

#include <memory>
#include <mutex>
#include <new>
#include <string>

#include "Bitmap.h"
#include "ImageHeader.h"

namespace {

// FLTK's decoders keep shared state (the GIF colour table, libjpeg's error
// jump), so one image is decoded at a time.
std::mutex sDecodeLock;

std::unique_ptr<Fl_RGB_Image> DecodeKind(ImageHeader::Kind kind, const char* path)
{
	switch (kind) {
		case ImageHeader::kPng: return std::make_unique<Fl_PNG_Image>(path);
		case ImageHeader::kJpeg: return std::make_unique<Fl_JPEG_Image>(path);
		case ImageHeader::kBmp: return std::make_unique<Fl_BMP_Image>(path);
		case ImageHeader::kGif: {
			// A GIF is a pixmap; the conversion keeps its transparent colour
			// as alpha 0.
			Fl_GIF_Image gif(path);
			if (gif.fail() != 0 || gif.w() <= 0 || gif.h() <= 0)
				return nullptr;
			return std::make_unique<Fl_RGB_Image>(&gif, FL_WHITE);
		}
		default: return nullptr;
	}
}

// The decoders allocate with new; a failed allocation is an image we cannot read.
std::unique_ptr<Fl_RGB_Image> Decode(const ImageHeader& header, const char* path)
{
	try {
		std::unique_ptr<Fl_RGB_Image> image = DecodeKind(header.ImageKind(), path);
		if (image == nullptr || image->w() != header.Width() || image->h() != header.Height())
			return nullptr;
		return image;
	} catch (const std::bad_alloc&) {
		return nullptr;
	}
}

void CopyPixel(const uchar* source, int depth, uint8* target)
{
	uchar red = source[0];
	uchar green = depth >= 3 ? source[1] : source[0];
	uchar blue = depth >= 3 ? source[2] : source[0];
	uchar alpha = 255;
	if (depth == 2)
		alpha = source[1];
	else if (depth == 4)
		alpha = source[3];
	target[0] = blue;
	target[1] = green;
	target[2] = red;
	target[3] = alpha;
}

BBitmap* ToBitmap(Fl_RGB_Image& image)
{
	int width = image.w();
	int height = image.h();
	int depth = image.d();
	if (image.fail() != 0 || width <= 0 || height <= 0 || depth < 1 || depth > 4 ||
	    image.count() < 1 || image.data()[0] == nullptr)
		return nullptr;
	bool hasAlpha = depth == 2 || depth == 4;
	auto bitmap = std::make_unique<BBitmap>(BRect(0, 0, width - 1, height - 1),
	                                        hasAlpha ? B_RGBA32 : B_RGB32);
	if (!bitmap->IsValid())
		return nullptr;
	const uchar* pixels = reinterpret_cast<const uchar*>(image.data()[0]);
	int stride = image.ld() != 0 ? image.ld() : width * depth;
	uint8* bits = static_cast<uint8*>(bitmap->Bits());
	for (int y = 0; y < height; y++) {
		const uchar* row = pixels + size_t(y) * stride;
		uint8* target = bits + size_t(y) * bitmap->BytesPerRow();
		for (int x = 0; x < width; x++)
			CopyPixel(row + x * depth, depth, target + x * 4);
	}
	return bitmap.release();
}

} // namespace

BBitmap* BTranslationUtils::GetBitmap(const char* name, BTranslatorRoster* roster)
{
	return GetBitmapFile(name, roster);
}

BBitmap* BTranslationUtils::GetBitmap(const entry_ref* ref, BTranslatorRoster* roster)
{
	if (ref == nullptr || ref->name == nullptr)
		return nullptr;
	std::string path = ref->directory_path + "/" + ref->name;
	return GetBitmapFile(path.c_str(), roster);
}

BBitmap* BTranslationUtils::GetBitmapFile(const char* name, BTranslatorRoster* roster)
{
	if (name == nullptr || name[0] == '\0')
		return nullptr;
	ImageHeader header;
	if (header.SetTo(name) != B_OK)
		return nullptr;
	std::lock_guard<std::mutex> guard(sDecodeLock);
	std::unique_ptr<Fl_RGB_Image> image = Decode(header, name);
	if (image == nullptr)
		return nullptr;
	return ToBitmap(*image);
}
