// The factor between points and pixels, from each of its sources in turn.
#include "HostScale.h"

#include <gtest/gtest.h>

namespace {

TEST(HostScaleTest, TheFirstSourceThatNamesAFactorWinsRoundedToAQuarter)
{
	struct Case {
		const char* name;
		ScaleSources sources;
		float factor;
	};
	const Case cases[] = {
	        {"nothing known", {}, 1},
	        {"VANTRY_SCALE over all", {"1.5", "2", "3", "288", 3840, 300}, 1.5f},
	        {"VANTRY_SCALE may shrink", {"0.5"}, 0.5f},
	        {"VANTRY_SCALE at most 4", {"9"}, 4},
	        {"VANTRY_SCALE not a number", {"big", "2"}, 2},
	        {"GDK_SCALE", {"", "2", "3", "288"}, 2},
	        {"QT_SCALE_FACTOR, rounded", {"", "", "1.3", "288"}, 1.25f},
	        {"Xft.dpi 192", {"", "", "", "192"}, 2},
	        {"Xft.dpi 144", {"", "", "", "144"}, 1.5f},
	        {"Xft.dpi below 96", {"", "", "", "72"}, 1},
	        {"4K at 27 inches", {"", "", "", "", 3840, 597}, 1.75f},
	        {"100 dpi", {"", "", "", "", 1280, 325}, 1},
	        {"no width in mm", {"", "", "", "", 3840, 0}, 1},
	};
	for (const Case& test : cases)
		EXPECT_EQ(scale_factor(test.sources), test.factor) << test.name;
}

} // namespace
