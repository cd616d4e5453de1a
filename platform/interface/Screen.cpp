// BScreen: the main screen as the window system reports it.
#include "Screen.h"

#include <mutex>

const screen_id B_MAIN_SCREEN_ID = {0};

namespace {

std::mutex sLock;
BRect sFrame(0, 0, 1023, 767);

}  // namespace

BScreen::BScreen(screen_id id) {}

BScreen::BScreen(BWindow* window) {}

BScreen::~BScreen() {}

BRect BScreen::Frame() const
{
	std::lock_guard<std::mutex> guard(sLock);
	return sFrame;
}

void BScreen::SetDefaultFrame(BRect frame)
{
	if (!frame.IsValid())
		return;
	std::lock_guard<std::mutex> guard(sLock);
	sFrame = frame;
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
	return system_colors()->index_map[index];
}

rgb_color BScreen::ColorForIndex(uint8 index) const
{
	return system_colors()->color_list[index];
}

uint8 BScreen::InvertIndex(uint8 index) const
{
	return system_colors()->inversion_map[index];
}
