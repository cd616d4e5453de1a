// The interface kit's colours, patterns and modifier state.
#include "InterfaceDefs.h"

#include <algorithm>
#include <atomic>

const pattern B_SOLID_HIGH = {{0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff}};
const pattern B_MIXED_COLORS = {{0xaa, 0x55, 0xaa, 0x55, 0xaa, 0x55, 0xaa, 0x55}};
const pattern B_SOLID_LOW = {{0, 0, 0, 0, 0, 0, 0, 0}};

namespace {

std::atomic<uint32> sModifiers{0};

// Colours set by set_ui_color, as 0xRRGGBBAA; 0 for none.
const int kColorSlots = 32;
std::atomic<uint32> sSetColors[kColorSlots];

rgb_color make(uint8 r, uint8 g, uint8 b)
{
	return rgb_color{r, g, b, 255};
}

} // namespace

rgb_color ui_color(color_which which)
{
	const uint32 set = which >= 0 && which < kColorSlots ? sSetColors[which].load() : 0;
	if (set != 0)
		return rgb_color{uint8(set >> 24), uint8(set >> 16), uint8(set >> 8), uint8(set)};
	switch (which) {
		case B_PANEL_BACKGROUND_COLOR:
		case B_CONTROL_BACKGROUND_COLOR: return make(216, 216, 216);
		case B_MENU_BACKGROUND_COLOR: return make(219, 219, 219);
		case B_WINDOW_TAB_COLOR: return make(255, 203, 0);
		case B_KEYBOARD_NAVIGATION_COLOR: return make(0, 0, 229);
		case B_DESKTOP_COLOR: return make(51, 102, 152);
		case B_MENU_SELECTION_BACKGROUND_COLOR: return make(115, 120, 184);
		case B_MENU_SELECTED_ITEM_TEXT_COLOR: return make(255, 255, 255);
		case B_DOCUMENT_BACKGROUND_COLOR:
		case B_SHINE_COLOR: return make(255, 255, 255);
		case B_SHADOW_COLOR:
		case B_CONTROL_BORDER_COLOR: return make(128, 128, 128);
		case B_TOOLTIP_BACKGROUND_COLOR: return make(255, 255, 203);
		case B_NAVIGATION_PULSE_COLOR: return make(0, 0, 0);
		case B_CONTROL_HIGHLIGHT_COLOR: return make(102, 152, 203);
		case B_LIST_BACKGROUND_COLOR: return make(255, 255, 255);
		// The desktop's usual selection, until the window system says its own.
		case B_LIST_SELECTED_BACKGROUND_COLOR: return make(53, 132, 228);
		case B_LIST_SELECTED_ITEM_TEXT_COLOR: return make(255, 255, 255);
		default: return make(0, 0, 0);
	}
}

void set_ui_color(const color_which& which, const rgb_color& color)
{
	if (which < 0 || which >= kColorSlots)
		return;
	sSetColors[which] =
	        uint32(color.red) << 24 | uint32(color.green) << 16 | uint32(color.blue) << 8 | 255;
}

rgb_color tint_color(rgb_color color, float tint)
{
	auto channel = [tint](uint8 value) -> uint8 {
		float result;
		if (tint < 1.0f)
			result = 255 - (255 - value) * tint;
		else
			result = value * (2.0f - tint);
		return uint8(std::clamp(result + 0.5f, 0.0f, 255.0f));
	};
	return rgb_color{channel(color.red), channel(color.green), channel(color.blue), color.alpha};
}

uint32 modifiers()
{
	return sModifiers.load();
}

// The window system records the modifier keys of each event here.
void set_host_modifiers(uint32 state)
{
	sModifiers = state;
}
