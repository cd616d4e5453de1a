// The named colours shared by the toolkit and the windows' drawing code, and
// the nearest colour of the system palette.
#pragma once

#include "GraphicsDefs.h"
#include "SupportDefs.h"

extern const rgb_color black_color;
extern const rgb_color red_color;
extern const rgb_color green_color;
extern const rgb_color blue_color;
extern const rgb_color dark_green_color;
extern const rgb_color light_green_color;
extern const rgb_color light_blue_color;
extern const rgb_color medium_blue_color;
extern const rgb_color dark_blue_color;
extern const rgb_color dark_grey_color;
extern const rgb_color grey160_color;
extern const rgb_color shadow_color;
extern const rgb_color dark_shadow_color;
extern const rgb_color light_shadow_color;
extern const rgb_color grey_color;
extern const rgb_color light_grey_color;
extern const rgb_color white_color;
extern const rgb_color pale_yellow_color;

// The entry of the system palette the main screen picks for the colour.
rgb_color lib_nearest_system_color(const rgb_color& color);
rgb_color lib_nearest_system_color(const uint8& red, const uint8& green, const uint8& blue,
                                   const uint8& alpha = 255);
