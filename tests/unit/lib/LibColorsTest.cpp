// Named colours, the nearest palette colour, rectangles by size, bitmap
// pictures and the secondary mouse button.
#include <gtest/gtest.h>

#include <memory>

#include "Bitmap.h"
#include "LibColors.h"
#include "LibInterface.h"
#include "LibToolkitTestSupport.h"
#include "Picture.h"
#include "View.h"

using namespace toolkit_test;

namespace {

struct NearestCase {
	const char* name;
	rgb_color color;
	rgb_color nearest;
};

TEST(LibColorsTest, NearestSystemColourIsAPaletteEntry)
{
	const std::vector<NearestCase> cases = {
	        {"black", black_color, {0, 0, 0, 255}},
	        {"white", white_color, {255, 255, 255, 255}},
	        {"dark grey", dark_grey_color, {0x80, 0x80, 0x80, 255}},
	        {"red", red_color, {0xff, 0, 0, 255}},
	        {"pale yellow", pale_yellow_color, {0xff, 0xff, 0xcb, 255}},
	        {"off grey", {130, 129, 127, 255}, {0x80, 0x80, 0x80, 255}},
	};
	for (const NearestCase& c : cases) {
		SCOPED_TRACE(c.name);
		EXPECT_EQ(lib_nearest_system_color(c.color), c.nearest);
		EXPECT_EQ(lib_nearest_system_color(c.color.red, c.color.green, c.color.blue), c.nearest);
	}
}

TEST(LibColorsTest, NamedColoursHaveTheirValues)
{
	EXPECT_EQ(dark_green_color, (rgb_color{97, 130, 109, 255}));
	EXPECT_EQ(medium_blue_color, (rgb_color{140, 179, 240, 255}));
	EXPECT_EQ(dark_shadow_color, (rgb_color{108, 108, 108, 255}));
	EXPECT_EQ(light_grey_color, (rgb_color{242, 242, 242, 255}));
	EXPECT_EQ(grey160_color, (rgb_color{160, 160, 160, 255}));
}

TEST(LibInterfaceTest, RectFromSize)
{
	EXPECT_EQ(LibRect(10, 20, 100, 25), BRect(10, 20, 110, 45));
	EXPECT_EQ(LibRect(0, 0, 0, 0), BRect(0, 0, 0, 0));
}

TEST(LibInterfaceTest, BitmapPictureDrawsAtTheOrigin)
{
	const uint8 bits[4] = {0, 63, 255, 0};
	std::unique_ptr<BPicture> picture(LibBitmapToPicture(BRect(0, 0, 1, 1), bits, B_CMAP8));
	ASSERT_NE(picture, nullptr);
	ASSERT_EQ(picture->Drawing().CountCommands(), 1);
	const DrawCommand& draw = picture->Drawing().CommandAt(0);
	EXPECT_EQ(draw.rect, BRect(0, 0, 1, 1));
	EXPECT_EQ(draw.mode, B_OP_OVER);
	EXPECT_EQ(draw.image->PixelAt(1, 0), (rgb_color{255, 255, 255, 255}));
	EXPECT_EQ(draw.image->PixelAt(0, 1).alpha, 0);
	EXPECT_EQ(LibBitmapToPicture(nullptr), nullptr);
	EXPECT_EQ(LibBitmapToPicture(BRect(0, 0, 1, 1), nullptr, B_CMAP8), nullptr);
}

TEST(LibInterfaceTest, MouseButton3MeansOnlyTheSecondaryButton)
{
	WindowPtr<TestWindow> window(new TestWindow());
	BView* view = new BView(BRect(0, 0, 50, 50), "v", B_FOLLOW_NONE, 0);
	window->AddChild(view);
	const std::pair<uint32, bool> cases[] = {
	        {0, false},
	        {B_PRIMARY_MOUSE_BUTTON, false},
	        {B_SECONDARY_MOUSE_BUTTON, true},
	        {B_PRIMARY_MOUSE_BUTTON | B_SECONDARY_MOUSE_BUTTON, false},
	        {B_TERTIARY_MOUSE_BUTTON, false}};
	for (const auto& [buttons, expected] : cases) {
		window->MouseAt(BPoint(5, 5), buttons);
		EXPECT_EQ(LibIsMouseButton3(view), expected) << buttons;
	}
	EXPECT_FALSE(LibIsMouseButton3(nullptr));
}

} // namespace
