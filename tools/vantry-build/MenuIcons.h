// A menu entry's icon in the forms the icon theme keeps: an SVG as it is,
// a PNG at its own size and scaled down smoothly to the theme's usual sizes.
#pragma once

#include <string>
#include <vector>

#include "SupportDefs.h"

// One PNG of the theme: `size` x `size` pixels, its file's bytes.
struct MenuIconImage {
	int32 size = 0;
	std::string png;
};

// The sizes a larger icon is scaled down to.
const std::vector<int32>& menu_icon_sizes();

// Reads the icon at `path`: an SVG into `svg`, else a square PNG of at least
// 48 x 48 into `images`, its own size first. The error names the path.
status_t read_menu_icon(const std::string& path, std::string* svg,
                        std::vector<MenuIconImage>* images, std::string* error);

// `pixels` (RGBA, `size` x `size`) scaled to `to` x `to` by averaging the
// covered area of each target pixel, weighted by alpha.
std::vector<uint8> scale_rgba(const std::vector<uint8>& pixels, const int32& size, const int32& to);
