// BScreen: the main screen's frame, colour space and the system palette.
#pragma once

#include "Bitmap.h"
#include "GraphicsDefs.h"
#include "Rect.h"

class BWindow;

struct screen_id {
	int32 id;
};

extern const screen_id B_MAIN_SCREEN_ID;

class BScreen {
public:
	explicit BScreen(screen_id id = B_MAIN_SCREEN_ID);
	explicit BScreen(BWindow* window);
	~BScreen();

	// B_OK when a display is there; B_ERROR without one.
	status_t InitCheck() const;
	bool IsValid() const;
	screen_id ID() const { return B_MAIN_SCREEN_ID; }
	// The screen's frame, (0, 0, width - 1, height - 1), as the display
	// reports it. Without a window system: the frame set by SetDefaultFrame
	// (1024 by 768 at first).
	BRect Frame() const;
	// The colour space of the display's depth (B_RGB32 for 24 and 32 bits);
	// B_RGB32 without a display.
	color_space ColorSpace() const;
	const color_map* ColorMap() const { return system_colors(); }
	// The palette entry nearest the colour, by the app_server's weighted distance.
	uint8 IndexForColor(rgb_color color) const;
	uint8 IndexForColor(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255) const;
	rgb_color ColorForIndex(uint8 index) const;
	uint8 InvertIndex(uint8 index) const;
	status_t WaitForRetrace() const { return B_OK; }

	// Our additions: the window system reports the screen's size; tests set one.
	static void SetDefaultFrame(BRect frame);
	// The colour space a display of `depth` bits per pixel shows.
	static color_space SpaceForDepth(int32 depth);
};
