// HostScale: the one factor between the points of the BeOS frames, fonts and
// pictures and the screen's pixels, so that a window looks the same on a
// screen of any density. Only the window system's side (and BScreen) use it.
#pragma once

#include <string>

// What the factor is decided from; empty texts and zero sizes are unknown.
struct ScaleSources {
	std::string vantry;   // VANTRY_SCALE: overrides everything
	std::string gdk;      // GDK_SCALE
	std::string qt;       // QT_SCALE_FACTOR
	std::string xftDpi;   // the X resource Xft.dpi; 96 is 1
	int screenPixels = 0; // the screen's width in pixels
	int screenMm = 0;     // and in millimetres
};

// The first of the sources that names a factor, rounded to a quarter: from
// 0.5 to 4 for VANTRY_SCALE, from 1 to 4 for the others; 1 when none does.
float scale_factor(const ScaleSources& sources);

// The factor of this process, decided once from its environment and display.
float host_scale();
// Points to pixels: the pixel a point falls in.
int host_pixels(const float& points);
// Pixels to points.
float host_points(const float& pixels);
