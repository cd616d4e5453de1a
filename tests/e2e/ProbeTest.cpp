// The interface kit in real windows: the probe program under its own Xvfb,
// driven with xdotool, checked from screenshots and its event lines.
#include "ProbeFixture.h"

using namespace std::chrono_literals;
using e2e::ProbeTest;

namespace {

// The probe's layout, in its window's coordinates.
const int kListLeft = 165 + 10; // the group list, in the box at (165, 10)
const int kListTop = 10 + 33;
const int kMultiLeft = 165 + 110;
const int kRowHeight = 18; // the probe's colour rows

TEST_F(ProbeTest, Frames_ViewCoversBothEdgesOfItsFrame)
{
	e2e::Image shot;
	ASSERT_TRUE(Screenshot(&shot));
	int left, top, right, bottom;
	ASSERT_TRUE(shot.BoundsOf(255, 0, 0, &left, &top, &right, &bottom));
	// The marker's frame is (10, 16, 160, 216): 151 by 201 pixels.
	EXPECT_EQ(left, fX + 10);
	EXPECT_EQ(top, fY + 16);
	EXPECT_EQ(right - left + 1, 151);
	EXPECT_EQ(bottom - top + 1, 201);

	size_t mark = fProbe.Mark();
	Click(10 + 150, 16 + 200);
	EXPECT_TRUE(fProbe.WaitFor({"probe", "marker-click", "150", "200"}, 5s, nullptr, mark))
	        << Output();
}

TEST_F(ProbeTest, List_ClickSelectsTheRowAndDrawsItSelected)
{
	const int rowHeight = 19; // a 12-pixel string item
	size_t mark = fProbe.Mark();
	Click(kListLeft + 20, kListTop + 2 * rowHeight + 9);
	ASSERT_TRUE(fProbe.WaitFor({"probe", "list-selected", "2"}, 5s, nullptr, mark)) << Output();

	// A selected string row shows the selection colour; the others stay white.
	e2e::Image shot;
	auto selectedDrawn = [&](const e2e::Image& image) {
		return image.Is(fX + kListLeft + 60, fY + kListTop + 2 * rowHeight + 2, 53, 132, 228) &&
		       image.Is(fX + kListLeft + 60, fY + kListTop + 2, 255, 255, 255);
	};
	EXPECT_TRUE(WaitForScreen(selectedDrawn, 5s, &shot));

	mark = fProbe.Mark();
	Click(kListLeft + 20, kListTop + 9);
	EXPECT_TRUE(fProbe.WaitFor({"probe", "list-selected", "0"}, 5s, nullptr, mark)) << Output();
}

TEST_F(ProbeTest, MultipleList_ShiftClickExtendsAndItemsDrawThemselves)
{
	size_t mark = fProbe.Mark();
	Click(kMultiLeft + 60, kListTop + 5);
	ASSERT_TRUE(fProbe.WaitFor({"probe", "multi-selected", "0"}, 5s, nullptr, mark)) << Output();
	mark = fProbe.Mark();
	Click(kMultiLeft + 60, kListTop + 2 * kRowHeight + 5, {"shift"});
	ASSERT_TRUE(fProbe.WaitFor({"probe", "multi-selected", "0", "1", "2"}, 5s, nullptr, mark))
	        << Output();

	// Each row draws its colour block at (2, 1) and grey behind it when selected.
	e2e::Image shot;
	auto rowsDrawn = [&](const e2e::Image& image) {
		int x = fX + kMultiLeft;
		int y = fY + kListTop;
		return image.Is(x + 5, y + 5, 0, 0, 255) &&
		       image.Is(x + 5, y + kRowHeight + 5, 0, 160, 0) &&
		       image.Is(x + 5, y + 2 * kRowHeight + 5, 255, 0, 255) &&
		       image.Is(x + 60, y + 2 * kRowHeight + 5, 216, 216, 216) &&
		       image.Is(x + 60, y + 3 * kRowHeight + 5, 255, 255, 255);
	};
	EXPECT_TRUE(WaitForScreen(rowsDrawn, 5s, &shot));
}

TEST_F(ProbeTest, CheckBox_ClickTogglesAndInvokes)
{
	size_t mark = fProbe.Mark();
	Click(165 + 10 + 6, 10 + 150 + 9);
	EXPECT_TRUE(fProbe.WaitFor({"probe", "checked", "1"}, 5s, nullptr, mark)) << Output();
	mark = fProbe.Mark();
	Click(165 + 10 + 6, 10 + 150 + 9);
	EXPECT_TRUE(fProbe.WaitFor({"probe", "checked", "0"}, 5s, nullptr, mark)) << Output();
}

TEST_F(ProbeTest, MenuField_PickingAnItemMarksItAndSendsItsMessage)
{
	size_t mark = fProbe.Mark();
	Click(165 + 160 + 40, 10 + 150 + 10);
	// The menu opens below the field with nothing highlighted; the first Down
	// highlights the first item, so three pick the third.
	ASSERT_TRUE(fProbe.WaitFor({"menu-opened"}, 5s, nullptr, mark)) << Output();
	for (int i = 0; i < 3; i++)
		Key("Down");
	Key("Return");
	ASSERT_TRUE(fProbe.WaitFor({"probe", "language", "2", "marked", "2"}, 5s, nullptr, mark))
	        << Output();
}

TEST_F(ProbeTest, Alert_ClickedAnswerUnblocksTheAskingThread)
{
	size_t mark = fProbe.Mark();
	Click(330 + 40, 223 + 10);
	e2e::Event drawn;
	ASSERT_TRUE(fProbe.WaitUntil(DrawnTitled("Question"), 10s, &drawn, mark)) << Output();
	EXPECT_TRUE(fProbe.WaitFor({"alert-shown", "Replace", "the", "file?"}, 1s, nullptr, mark));
	int left = std::stoi(drawn.words[2]);
	int top = std::stoi(drawn.words[3]);
	int width = std::stoi(drawn.words[4]);
	int height = std::stoi(drawn.words[5]);
	EXPECT_FALSE(fProbe.WaitFor({"probe", "alert-result"}, 200ms, nullptr, mark))
	        << "the asking thread must wait for the answer";
	Focus("Question");
	// The check box sits above the buttons, below the text; "Replace" is the
	// rightmost button, 10 pixels in from the corner.
	ClickAt(left, top, 55 + 8, height - 10 - 24 - 10 - 20 + 9);
	ClickAt(left, top, width - 10 - 30, height - 10 - 12);
	EXPECT_TRUE(fProbe.WaitFor({"alert-answered", "1"}, 5s, nullptr, mark)) << Output();
	EXPECT_TRUE(fProbe.WaitFor({"probe", "alert-result", "1", "apply", "1"}, 5s, nullptr, mark))
	        << Output();
}

TEST_F(ProbeTest, Alert_KeysPressTheDefaultButtonAndShortcuts)
{
	struct Case {
		const char* key;
		const char* answer;
	};
	// Enter presses the default (last) button; the probe gives "Cancel" the key 'c'.
	for (const Case& c : {Case{"Return", "1"}, Case{"c", "0"}}) {
		size_t mark = fProbe.Mark();
		Focus("Probe");
		Click(330 + 40, 223 + 10);
		ASSERT_TRUE(fProbe.WaitUntil(DrawnTitled("Question"), 10s, nullptr, mark)) << Output();
		Focus("Question");
		Key(c.key);
		EXPECT_TRUE(fProbe.WaitFor({"probe", "alert-result", c.answer, "apply", "0"}, 5s, nullptr,
		                           mark))
		        << c.key << "\n"
		        << Output();
	}
}

} // namespace

namespace {

TEST_F(ProbeTest, Quit_CommandQEndsTheProgramWithItsWindowOpen)
{
	size_t mark = fProbe.Mark();
	Focus("Probe");
	Key("alt+q");
	EXPECT_TRUE(fProbe.WaitFor({"loop-ended"}, 5s, nullptr, mark)) << Output();
	EXPECT_TRUE(fProbe.WaitFor({"probe", "exit"}, 5s, nullptr, mark)) << Output();
	int status = -1;
	EXPECT_TRUE(fProbe.Exited(5s, &status));
	EXPECT_EQ(status, 0);
}

} // namespace
