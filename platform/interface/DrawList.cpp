// DrawList: recorded drawing and the pixels of bitmaps drawn.
#include "DrawList.h"

#include "Bitmap.h"

std::shared_ptr<const RgbaImage> RgbaImage::FromBitmap(const BBitmap& bitmap)
{
	auto image = std::make_shared<RgbaImage>();
	if (!bitmap.IsValid())
		return image;
	image->width = int32(bitmap.Bounds().IntegerWidth()) + 1;
	image->height = int32(bitmap.Bounds().IntegerHeight()) + 1;
	image->pixels.resize(size_t(image->width) * image->height * 4);
	const uint8* bits = static_cast<const uint8*>(bitmap.Bits());
	uint8* out = image->pixels.data();
	for (int32 y = 0; y < image->height; y++) {
		for (int32 x = 0; x < image->width; x++, out += 4) {
			rgb_color c = bitmap.ColorAt(x, y);
			bool transparent = c.alpha == 0;
			if (bitmap.ColorSpace() == B_CMAP8)
				transparent =
				        bits[size_t(y) * bitmap.BytesPerRow() + x] == B_TRANSPARENT_MAGIC_CMAP8;
			else if (c.red == 0x77 && c.green == 0x74 && c.blue == 0x77)
				transparent = true;
			out[0] = c.red;
			out[1] = c.green;
			out[2] = c.blue;
			out[3] = transparent ? 0 : (bitmap.ColorSpace() == B_RGBA32 ? c.alpha : 255);
		}
	}
	return image;
}

rgb_color RgbaImage::PixelAt(int32 x, int32 y) const
{
	if (x < 0 || y < 0 || x >= width || y >= height)
		return rgb_color{0, 0, 0, 0};
	const uint8* p = pixels.data() + (size_t(y) * width + x) * 4;
	return rgb_color{p[0], p[1], p[2], p[3]};
}

void DrawList::Append(const DrawList& other, BPoint offset)
{
	for (DrawCommand command : other.fCommands) {
		command.rect.OffsetBy(offset.x, offset.y);
		command.start += offset;
		command.end += offset;
		fCommands.push_back(std::move(command));
	}
}

std::vector<std::string> DrawList::Strings() const
{
	std::vector<std::string> strings;
	for (const DrawCommand& command : fCommands) {
		if (command.op == DrawCommand::kDrawString)
			strings.push_back(command.text);
	}
	return strings;
}
