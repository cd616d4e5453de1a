// The named colours and the palette lookup.
#include "LibColors.h"

#include "Screen.h"

const rgb_color black_color = {0, 0, 0, 255};
const rgb_color red_color = {255, 0, 0, 255};
const rgb_color green_color = {0, 255, 0, 255};
const rgb_color blue_color = {0, 0, 255, 255};
const rgb_color dark_green_color = {97, 130, 109, 255};
const rgb_color light_green_color = {10, 255, 10, 255};
const rgb_color light_blue_color = {215, 230, 255, 255};
const rgb_color medium_blue_color = {140, 179, 240, 255};
const rgb_color dark_blue_color = {77, 113, 191, 255};
const rgb_color dark_grey_color = {128, 128, 128, 255};
const rgb_color grey160_color = {160, 160, 160, 255};
const rgb_color shadow_color = {152, 152, 152, 255};
const rgb_color dark_shadow_color = {108, 108, 108, 255};
const rgb_color light_shadow_color = {194, 194, 194, 255};
const rgb_color grey_color = {216, 216, 216, 255};
const rgb_color light_grey_color = {242, 242, 242, 255};
const rgb_color white_color = {255, 255, 255, 255};
const rgb_color pale_yellow_color = {255, 255, 203, 255};

rgb_color lib_nearest_system_color(const rgb_color& color)
{
	BScreen screen;
	return screen.ColorForIndex(screen.IndexForColor(color));
}

rgb_color lib_nearest_system_color(const uint8& red, const uint8& green, const uint8& blue,
                                   const uint8& alpha)
{
	rgb_color color = {red, green, blue, alpha};
	return lib_nearest_system_color(color);
}
