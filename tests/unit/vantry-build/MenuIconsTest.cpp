// Scaling menu icons down: colours averaged by alpha so clear pixels leave
// no dark fringe, partial pixels weighted by how much of them is covered.
#include "MenuIcons.h"

#include <gtest/gtest.h>

namespace {

// A `size` x `size` RGBA picture from a function of the pixel's position.
template <typename Pixel> std::vector<uint8> Picture(const int32& size, Pixel pixel)
{
	std::vector<uint8> pixels;
	for (int32 y = 0; y < size; y++)
		for (int32 x = 0; x < size; x++) {
			const std::array<uint8, 4> rgba = pixel(x, y);
			pixels.insert(pixels.end(), rgba.begin(), rgba.end());
		}
	return pixels;
}

TEST(MenuIconsTest, ScalingAveragesCoveredAreaWeightedByAlpha)
{
	using RGBA = std::array<uint8, 4>;
	// Left half opaque red, right half clear black.
	const auto halves = [](int32 x, int32) {
		return x < 2 ? RGBA{255, 0, 0, 255} : RGBA{0, 0, 0, 0};
	};
	// Columns alternate opaque white and clear black.
	const auto stripes = [](int32 x, int32) {
		return x % 2 == 0 ? RGBA{255, 255, 255, 255} : RGBA{0, 0, 0, 0};
	};
	// One opaque blue pixel in the top left corner of 3 x 3.
	const auto corner = [](int32 x, int32 y) {
		return x == 0 && y == 0 ? RGBA{0, 0, 255, 255} : RGBA{0, 0, 0, 0};
	};
	struct Case {
		const char* what;
		std::vector<uint8> pixels;
		int32 size;
		int32 to;
		std::vector<uint8> expected;
	};
	const Case cases[] = {
	        {"halves",
	         Picture(4, halves),
	         4,
	         2,
	         {255, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 0, 0}},
	        // Half covered by white, half by clear: white at half alpha, not grey.
	        {"stripes", Picture(2, stripes), 2, 1, {255, 255, 255, 128}},
	        // The corner pixel covers 4/9 of the first target pixel's 1.5 x 1.5 area.
	        {"corner",
	         Picture(3, corner),
	         3,
	         2,
	         {0, 0, 255, 113, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
	};
	for (const Case& c : cases)
		EXPECT_EQ(scale_rgba(c.pixels, c.size, c.to), c.expected) << c.what;
}

} // namespace
