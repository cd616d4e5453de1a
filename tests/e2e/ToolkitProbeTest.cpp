// The support library's toolkit in real windows: rotated text checked from a
// screenshot, a tool-tip's start and end delays, and the screen as the
// machine snapshot reads it under displays of several sizes and depths.
#include "ProbeFixture.h"

using namespace std::chrono_literals;

namespace {

// Milliseconds from `start` until now.
long elapsed_since(e2e::Clock::time_point start)
{
	return long(std::chrono::duration_cast<std::chrono::milliseconds>(e2e::Clock::now() - start)
	                    .count());
}

// The probe's toolkit window: rotated text and a picture button with a tip.
class ToolkitProbeTest : public e2e::ProbeTest {
protected:
	std::vector<std::string> ProbeArguments() const override { return {"toolkit"}; }
	const char* WindowTitle() const override { return "Toolkit"; }
};

// The tip button's frame in the window: 24 by 24 pixels at (160, 20).
const int kTipButtonLeft = 160;
const int kTipButtonTop = 20;
const int kTipButtonSide = 24;
// The tip's colour, pale yellow.
const int kTipRed = 255;
const int kTipGreen = 255;
const int kTipBlue = 203;

TEST_F(ToolkitProbeTest, RotatedText_ReadsUpwardsFromItsStartingPoint)
{
	// "rotated <frame left top right bottom> <start x y> <width> <ascent> <descent>",
	// in the window's coordinates.
	e2e::Event layout;
	ASSERT_TRUE(fProbe.WaitFor({"probe", "rotated"}, 5s, &layout)) << Output();
	ASSERT_EQ(layout.words.size(), 11u);
	std::vector<int> n;
	for (size_t i = 2; i < layout.words.size(); i++)
		n.push_back(std::stoi(layout.words[i]));
	const int frameLeft = fX + n[0], frameTop = fY + n[1];
	const int frameRight = fX + n[2], frameBottom = fY + n[3];
	const int startX = fX + n[4], startY = fY + n[5];
	const int textWidth = n[6], ascent = n[7], descent = n[8];
	ASSERT_GT(textWidth, 3 * ascent) << "the text must be long enough to tell its direction";

	// The view is white; the ink is whatever is dark inside it.
	int left = 0, top = 0, right = 0, bottom = 0;
	auto inkBounds = [&](const e2e::Image& image) {
		left = frameLeft + 1;
		top = frameTop + 1;
		right = frameRight - 1;
		bottom = frameBottom - 1;
		return image.BoundsOfDark(128, &left, &top, &right, &bottom);
	};
	e2e::Image shot;
	ASSERT_TRUE(WaitForScreen(inkBounds, 5s, &shot)) << "no text drawn in the view";

	// Rotated 90 degrees counter-clockwise the text runs up from its start,
	// its ascent to the left of the base line and its descent to the right.
	int inkWidth = right - left + 1;
	int inkHeight = bottom - top + 1;
	EXPECT_GT(inkHeight, 2 * inkWidth)
	        << "ink " << left << "," << top << " - " << right << "," << bottom;
	EXPECT_NEAR(inkHeight, textWidth, 6);
	EXPECT_LE(bottom, startY + 2) << "the text starts at its point and goes up";
	EXPECT_GE(bottom, startY - 4);
	EXPECT_NEAR(top, startY - textWidth, 6);
	EXPECT_GE(left, startX - ascent - 2);
	EXPECT_LT(left, startX - ascent / 2) << "capitals stand left of the base line";
	EXPECT_LE(right, startX + descent + 2);
	EXPECT_GT(right, startX + 1) << "the descenders of 'y' and 'p' reach right of the base line";
}

TEST_F(ToolkitProbeTest, Tip_AppearsAfterItsStartDelayAndVanishesAfterItsEndDelay)
{
	// The probe's button asks for the default start delay (1 s) and an end delay of 2 s.
	size_t mark = fProbe.Mark();
	e2e::Clock::time_point entered = e2e::Clock::now();
	ASSERT_EQ(Tool({"xdotool", "mousemove", "0", "0", "mousemove", "--sync",
	                std::to_string(fX + kTipButtonLeft + kTipButtonSide / 2),
	                std::to_string(fY + kTipButtonTop + kTipButtonSide / 2)}),
	          0);
	ASSERT_TRUE(fProbe.WaitFor({"probe", "tip-request", "1"}, 3s, nullptr, mark)) << Output();
	EXPECT_FALSE(fProbe.WaitFor({"shown", "LibTipWin"}, 500ms, nullptr, mark))
	        << "the tip must wait for its start delay";

	ASSERT_TRUE(fProbe.WaitFor({"shown", "LibTipWin"}, 3s, nullptr, mark)) << Output();
	e2e::Clock::time_point shown = e2e::Clock::now();
	EXPECT_GE(elapsed_since(entered), 950) << "shown before its start delay";

	// It stands 5 pixels right of the button and 1 below its top, one line high.
	e2e::Event drawn;
	ASSERT_TRUE(fProbe.WaitUntil(DrawnTitled("LibTipWin"), 2s, &drawn, mark)) << Output();
	int tipX = std::stoi(drawn.words[2]);
	int tipY = std::stoi(drawn.words[3]);
	int tipWidth = std::stoi(drawn.words[4]);
	EXPECT_EQ(tipX, fX + kTipButtonLeft + kTipButtonSide - 1 + 5);
	EXPECT_EQ(tipY, fY + kTipButtonTop + 1);
	EXPECT_EQ(std::stoi(drawn.words[5]), 14);
	EXPECT_GT(tipWidth, 20) << "as wide as its text";
	e2e::Image shot;
	auto tipOnScreen = [&](const e2e::Image& image) {
		int left, top, right, bottom;
		return image.BoundsOf(kTipRed, kTipGreen, kTipBlue, &left, &top, &right, &bottom) &&
		       left >= tipX && top >= tipY && right < tipX + tipWidth && bottom < tipY + 14;
	};
	EXPECT_TRUE(WaitForScreen(tipOnScreen, 2s, &shot)) << "the tip is drawn where it stands";

	ASSERT_TRUE(fProbe.WaitFor({"hidden", "LibTipWin"}, 4s, nullptr, mark)) << Output();
	EXPECT_GE(elapsed_since(shown), 1800) << "hidden before its end delay";
	auto tipGone = [&](const e2e::Image& image) {
		int left, top, right, bottom;
		return !image.BoundsOf(kTipRed, kTipGreen, kTipBlue, &left, &top, &right, &bottom);
	};
	EXPECT_TRUE(WaitForScreen(tipGone, 2s, &shot)) << "the tip is still on the screen";
}

// The machine snapshot's screen fields from a display, or "no screen".
TEST(ScreenProbeTest, SysInfo_ReadsTheDisplaysSizeAndDepth)
{
	if (!e2e::have_tool("Xvfb"))
		GTEST_SKIP() << "Xvfb is not installed";
	struct Case {
		const char* screen; // Xvfb's screen, or null for no display
		const char* headless;
		const char* expected;
	};
	const Case cases[] = {
	        {"1024x768x24", "0", "screen 1024 768 32 bit color"},
	        {"800x600x16", "0", "screen 800 600 16 bit color"},
	        {"640x480x8", "0", "screen 640 480 8 bit color"},
	        {nullptr, "0", "screen 0 0 No color"},
	        {"1024x768x24", "1", "screen 0 0 No color"},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(std::string(c.screen != nullptr ? c.screen : "no display") + " headless " +
		             c.headless);
		e2e::XServer server;
		std::string display;
		if (c.screen != nullptr) {
			ASSERT_TRUE(server.Start(10s, c.screen)) << "Xvfb did not report a display";
			display = server.Display();
		}
		std::string output;
		ASSERT_EQ(e2e::run({VANTRY_PROBE, "sysinfo"}, 10s, &output,
		                   {"DISPLAY=" + display, std::string("VANTRY_HEADLESS=") + c.headless}),
		          0);
		EXPECT_EQ(output, std::string(c.expected) + "\n");
	}
}

} // namespace
