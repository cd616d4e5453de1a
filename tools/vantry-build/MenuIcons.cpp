// Menu icons read, checked and scaled with libpng alone.
#include "MenuIcons.h"

#include <png.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

const int32 kSmallestIcon = 48;

std::string ReadWhole(const std::string& path)
{
	std::ifstream in(path, std::ios::binary);
	std::stringstream text;
	text << in.rdbuf();
	return text.str();
}

bool EndsWith(std::string text, const std::string& end)
{
	std::transform(text.begin(), text.end(), text.begin(),
	               [](unsigned char c) { return char(tolower(c)); });
	return text.size() >= end.size() &&
	       text.compare(text.size() - end.size(), end.size(), end) == 0;
}

status_t ReadSvg(const std::string& path, std::string* svg, std::string* error)
{
	*svg = ReadWhole(path);
	if (svg->find("<svg") != std::string::npos)
		return B_OK;
	*error = "not an SVG picture (no <svg> element): " + path;
	svg->clear();
	return B_BAD_DATA;
}

bool EncodePng(const std::vector<uint8>& pixels, const int32& size, std::string* png)
{
	png_image image = {};
	image.version = PNG_IMAGE_VERSION;
	image.width = png_uint_32(size);
	image.height = png_uint_32(size);
	image.format = PNG_FORMAT_RGBA;
	png_alloc_size_t bytes = 0;
	if (!png_image_write_to_memory(&image, nullptr, &bytes, 0, pixels.data(), 0, nullptr))
		return false;
	png->resize(bytes);
	return png_image_write_to_memory(&image, png->data(), &bytes, 0, pixels.data(), 0, nullptr) !=
	       0;
}

} // namespace

const std::vector<int32>& menu_icon_sizes()
{
	static const std::vector<int32> sizes = {16, 32, 48, 128, 256};
	return sizes;
}

std::vector<uint8> scale_rgba(const std::vector<uint8>& pixels, const int32& size, const int32& to)
{
	std::vector<uint8> scaled(size_t(to) * size_t(to) * 4);
	const double step = double(size) / to;
	for (int32 y = 0; y < to; y++) {
		for (int32 x = 0; x < to; x++) {
			// The source area under the target pixel, with partial pixels weighted.
			double sums[4] = {0, 0, 0, 0};
			double area = 0;
			for (int32 sy = int32(y * step); sy < std::min(size, int32((y + 1) * step + 0.999));
			     sy++) {
				const double cover_y =
				        std::min<double>(sy + 1, (y + 1) * step) - std::max<double>(sy, y * step);
				for (int32 sx = int32(x * step); sx < std::min(size, int32((x + 1) * step + 0.999));
				     sx++) {
					const double cover = cover_y * (std::min<double>(sx + 1, (x + 1) * step) -
					                                std::max<double>(sx, x * step));
					if (cover <= 0)
						continue;
					const uint8* pixel = &pixels[(size_t(sy) * size + sx) * 4];
					const double alpha = pixel[3] / 255.0;
					for (int c = 0; c < 3; c++)
						sums[c] += pixel[c] * alpha * cover;
					sums[3] += alpha * cover;
					area += cover;
				}
			}
			uint8* out = &scaled[(size_t(y) * to + x) * 4];
			// Colours are averaged by their alpha so clear pixels leave no fringe.
			for (int c = 0; c < 3; c++)
				out[c] = sums[3] > 0 ? uint8(std::min(255.0, sums[c] / sums[3] + 0.5)) : 0;
			out[3] = area > 0 ? uint8(std::min(255.0, sums[3] / area * 255 + 0.5)) : 0;
		}
	}
	return scaled;
}

status_t read_menu_icon(const std::string& path, std::string* svg,
                        std::vector<MenuIconImage>* images, std::string* error)
{
	if (EndsWith(path, ".svg"))
		return ReadSvg(path, svg, error);
	png_image image = {};
	image.version = PNG_IMAGE_VERSION;
	if (!png_image_begin_read_from_file(&image, path.c_str())) {
		*error = "not a PNG picture: " + path + " (" + image.message + ")";
		return B_BAD_DATA;
	}
	image.format = PNG_FORMAT_RGBA;
	std::vector<uint8> pixels(PNG_IMAGE_SIZE(image));
	if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
		*error = "damaged PNG picture: " + path + " (" + image.message + ")";
		png_image_free(&image);
		return B_BAD_DATA;
	}
	const int32 size = int32(image.width);
	if (image.width != image.height || size < kSmallestIcon) {
		*error = "the menu icon " + path + " is " + std::to_string(image.width) + " x " +
		         std::to_string(image.height) +
		         " pixels; it must be square and at least 48 x 48, or an SVG";
		return B_BAD_VALUE;
	}
	images->push_back(MenuIconImage{size, ReadWhole(path)});
	for (const int32 to : menu_icon_sizes()) {
		if (to >= size)
			continue;
		MenuIconImage scaled{to, std::string()};
		if (!EncodePng(scale_rgba(pixels, size, to), to, &scaled.png)) {
			*error = "could not scale the menu icon " + path + " to " + std::to_string(to) + " x " +
			         std::to_string(to);
			return B_ERROR;
		}
		images->push_back(scaled);
	}
	return B_OK;
}
