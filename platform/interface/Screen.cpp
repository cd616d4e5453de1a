// BScreen: the main screen as the window system reports it.
#include "Screen.h"

#include <mutex>

#include "HostScale.h"
#include "InterfaceHost.h"

#include <X11/Xlib.h>

const screen_id B_MAIN_SCREEN_ID = {0};

namespace {

std::mutex sLock;
BRect sFrame(0, 0, 1023, 767);
bool sFrameSet = false;
bool sDisplayRead = false;
bool sDisplayThere = false;
color_space sSpace = B_RGB32;

// Reads the display's size and depth once, on the shared connection or one
// of its own, so that any thread may ask. Called with sLock held.
void read_display()
{
	if (sDisplayRead)
		return;
	sDisplayRead = true;
	if (!InterfaceHost::DisplayAvailable())
		return;
	// The host's connection when it may be shared: a second one costs the
	// start a round of setting up.
	Display* shared = InterfaceHost::SharedConnection();
	Display* connection = shared != nullptr ? shared : XOpenDisplay(nullptr);
	if (connection == nullptr)
		return;
	int screen = DefaultScreen(connection);
	int width = DisplayWidth(connection, screen);
	int height = DisplayHeight(connection, screen);
	int depth = DefaultDepth(connection, screen);
	if (shared == nullptr)
		XCloseDisplay(connection);
	if (width <= 0 || height <= 0)
		return;
	sDisplayThere = true;
	sSpace = BScreen::SpaceForDepth(depth);
	// A frame set by the window system or a test wins. Points, not pixels.
	if (!sFrameSet)
		sFrame = BRect(0, 0, host_points(width) - 1, host_points(height) - 1);
}

} // namespace

BScreen::BScreen(screen_id id) {}

BScreen::BScreen(BWindow* window) {}

BScreen::~BScreen() {}

status_t BScreen::InitCheck() const
{
	return IsValid() ? B_OK : B_ERROR;
}

bool BScreen::IsValid() const
{
	std::lock_guard<std::mutex> guard(sLock);
	read_display();
	return sDisplayThere;
}

BRect BScreen::Frame() const
{
	std::lock_guard<std::mutex> guard(sLock);
	read_display();
	return sFrame;
}

color_space BScreen::ColorSpace() const
{
	std::lock_guard<std::mutex> guard(sLock);
	read_display();
	return sSpace;
}

void BScreen::SetDefaultFrame(BRect frame)
{
	if (!frame.IsValid())
		return;
	std::lock_guard<std::mutex> guard(sLock);
	sFrame = frame;
	sFrameSet = true;
}

color_space BScreen::SpaceForDepth(int32 depth)
{
	switch (depth) {
		case 1: return B_GRAY1;
		case 8: return B_CMAP8;
		case 15: return B_RGB15;
		case 16: return B_RGB16;
		case 24:
		case 32: return B_RGB32;
		default: return B_NO_COLOR_SPACE;
	}
}

uint8 BScreen::IndexForColor(rgb_color color) const
{
	return IndexForColor(color.red, color.green, color.blue, color.alpha);
}

uint8 BScreen::IndexForColor(uint8 red, uint8 green, uint8 blue, uint8 alpha) const
{
	if (alpha < 128)
		return B_TRANSPARENT_MAGIC_CMAP8;
	uint32 index = ((red >> 3) << 10) | ((green >> 3) << 5) | (blue >> 3);
	return system_color_index(index);
}

rgb_color BScreen::ColorForIndex(uint8 index) const
{
	return system_palette()->color_list[index];
}

uint8 BScreen::InvertIndex(uint8 index) const
{
	return system_palette()->inversion_map[index];
}
