// The 256 colours of the BeOS system palette and the nearest-colour map.
#include <atomic>

#include "Bitmap.h"

namespace {

const uint32 kPalette[256] = {
        0x000000, 0x080808, 0x101010, 0x181818, 0x202020, 0x282828, 0x303030, 0x383838, 0x404040,
        0x484848, 0x505050, 0x585858, 0x606060, 0x686868, 0x707070, 0x787878, 0x808080, 0x888888,
        0x909090, 0x989898, 0xa0a0a0, 0xa8a8a8, 0xb0b0b0, 0xb8b8b8, 0xc0c0c0, 0xc8c8c8, 0xd0d0d0,
        0xd8d8d8, 0xe0e0e0, 0xe8e8e8, 0xf0f0f0, 0xf8f8f8, 0x0000ff, 0x0000e5, 0x0000cc, 0x0000b3,
        0x00009a, 0x000081, 0x000069, 0x000050, 0x000037, 0x00001e, 0xff0000, 0xe40000, 0xcb0000,
        0xb20000, 0x990000, 0x800000, 0x690000, 0x500000, 0x370000, 0x1e0000, 0x00ff00, 0x00e400,
        0x00cb00, 0x00b200, 0x009900, 0x008000, 0x006900, 0x005000, 0x003700, 0x001e00, 0x009833,
        0xffffff, 0xcbffff, 0xcbffcb, 0xcbff98, 0xcbff66, 0xcbff33, 0xcbff00, 0x98ffff, 0x98ffcb,
        0x98ff98, 0x98ff66, 0x98ff33, 0x98ff00, 0x66ffff, 0x66ffcb, 0x66ff98, 0x66ff66, 0x66ff33,
        0x66ff00, 0x33ffff, 0x33ffcb, 0x33ff98, 0x33ff66, 0x33ff33, 0x33ff00, 0xff98ff, 0xff98cb,
        0xff9898, 0xff9866, 0xff9833, 0xff9800, 0x0066ff, 0x0066cb, 0xcbcbff, 0xcbcbcb, 0xcbcb98,
        0xcbcb66, 0xcbcb33, 0xcbcb00, 0x98cbff, 0x98cbcb, 0x98cb98, 0x98cb66, 0x98cb33, 0x98cb00,
        0x66cbff, 0x66cbcb, 0x66cb98, 0x66cb66, 0x66cb33, 0x66cb00, 0x33cbff, 0x33cbcb, 0x33cb98,
        0x33cb66, 0x33cb33, 0x33cb00, 0xff66ff, 0xff66cb, 0xff6698, 0xff6666, 0xff6633, 0xff6600,
        0x006698, 0x006666, 0xcb98ff, 0xcb98cb, 0xcb9898, 0xcb9866, 0xcb9833, 0xcb9800, 0x9898ff,
        0x9898cb, 0x989898, 0x989866, 0x989833, 0x989800, 0x6698ff, 0x6698cb, 0x669898, 0x669866,
        0x669833, 0x669800, 0x3398ff, 0x3398cb, 0x339898, 0x339866, 0x339833, 0x339800, 0xe68600,
        0xff33cb, 0xff3398, 0xff3366, 0xff3333, 0xff3300, 0x006633, 0x006600, 0xcb66ff, 0xcb66cb,
        0xcb6698, 0xcb6666, 0xcb6633, 0xcb6600, 0x9866ff, 0x9866cb, 0x986698, 0x986666, 0x986633,
        0x986600, 0x6666ff, 0x6666cb, 0x666698, 0x666666, 0x666633, 0x666600, 0x3366ff, 0x3366cb,
        0x336698, 0x336666, 0x336633, 0x336600, 0xff00ff, 0xff00cb, 0xff0098, 0xff0066, 0xff0033,
        0xffaf13, 0x0033ff, 0x0033cb, 0xcb33ff, 0xcb33cb, 0xcb3398, 0xcb3366, 0xcb3333, 0xcb3300,
        0x9833ff, 0x9833cb, 0x983398, 0x983366, 0x983333, 0x983300, 0x6633ff, 0x6633cb, 0x663398,
        0x663366, 0x663333, 0x663300, 0x3333ff, 0x3333cb, 0x333398, 0x333366, 0x333333, 0x333300,
        0xffcb66, 0xffcb98, 0xffcbcb, 0xffcbff, 0x003398, 0x003366, 0x003333, 0x003300, 0xcb00ff,
        0xcb00cb, 0xcb0098, 0xcb0066, 0xcb0033, 0xffe346, 0x9800ff, 0x9800cb, 0x980098, 0x980066,
        0x980033, 0x980000, 0x6600ff, 0x6600cb, 0x660098, 0x660066, 0x660033, 0x660000, 0x3300ff,
        0x3300cb, 0x330098, 0x330066, 0x330033, 0x330000, 0xffcb33, 0xffcb00, 0xffff00, 0xffff33,
        0xffff66, 0xffff98, 0xffffcb, 0xffffff,
};

// The app_server's weighted distance between two colours.
int32 distance(rgb_color a, rgb_color b)
{
	int32 rmean = (int32(a.red) + b.red) / 2;
	int32 dr = int32(a.red) - b.red;
	int32 dg = int32(a.green) - b.green;
	int32 db = int32(a.blue) - b.blue;
	return (((512 + rmean) * dr * dr) >> 8) + 4 * dg * dg + (((767 - rmean) * db * db) >> 8);
}

// The opaque entry nearest `color` (index 255 is transparent and never chosen).
uint8 nearest(rgb_color color, const color_map& map)
{
	int32 best = 0;
	int32 bestDistance = INT32_MAX;
	for (int32 i = 0; i < 255; i++) {
		int32 d = distance(color, map.color_list[i]);
		if (d < bestDistance) {
			best = i;
			bestDistance = d;
		}
	}
	return uint8(best);
}

// A 15-bit colour's channel widened to 8 bits.
uint8 widen(uint32 five)
{
	return uint8((five << 3) | (five >> 2));
}

// The palette and its inversion map; the nearest map stays empty.
color_map* build_palette()
{
	auto* map = new color_map();
	map->id = 0;
	for (int32 i = 0; i < 256; i++) {
		uint32 rgb = kPalette[i];
		map->color_list[i] = rgb_color{uint8(rgb >> 16), uint8(rgb >> 8), uint8(rgb), 255};
	}
	map->color_list[255].alpha = 0;
	for (int32 i = 0; i < 256; i++) {
		rgb_color c = map->color_list[i];
		map->inversion_map[i] = nearest(
		        rgb_color{uint8(255 - c.red), uint8(255 - c.green), uint8(255 - c.blue), 255},
		        *map);
	}
	return map;
}

// Nearest index + 1 of each 15-bit colour, 0 until first asked: the whole map
// takes 8 million distances, which a program's start cannot afford.
std::atomic<uint16> sNearest[32768];

} // namespace

const color_map* system_palette()
{
	static const color_map* map = build_palette();
	return map;
}

uint8 system_color_index(uint32 index)
{
	index &= 32767;
	const uint16 known = sNearest[index].load(std::memory_order_relaxed);
	if (known != 0)
		return uint8(known - 1);
	rgb_color c = {widen((index >> 10) & 31), widen((index >> 5) & 31), widen(index & 31), 255};
	const uint8 found = nearest(c, *system_palette());
	sNearest[index].store(uint16(found + 1), std::memory_order_relaxed);
	return found;
}

const color_map* system_colors()
{
	static const color_map* map = [] {
		auto* full = new color_map(*system_palette());
		for (uint32 index = 0; index < 32768; index++)
			full->index_map[index] = system_color_index(index);
		return full;
	}();
	return map;
}
