// The interface kit in real windows: the probe program under its own Xvfb,
// driven with xdotool, checked from screenshots and its event lines.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "E2ESupport.h"

using namespace std::chrono_literals;

namespace {

bool have_tool(const char* name)
{
	return e2e::run({"sh", "-c", std::string("command -v ") + name + " >/dev/null"}, 5s) == 0;
}

class ProbeTest : public testing::Test {
protected:
	void SetUp() override
	{
		for (const char* tool : {"Xvfb", "xdotool", "import"}) {
			if (!have_tool(tool))
				GTEST_SKIP() << tool << " is not installed";
		}
		ASSERT_TRUE(fServer.Start(10s)) << "Xvfb did not report a display";
		std::string home = testing::TempDir() + "vantry-e2e-XXXXXX";
		ASSERT_NE(mkdtemp(home.data()), nullptr);
		fHome = home;
		ASSERT_TRUE(fProbe.Start(VANTRY_PROBE, Environment()));
		e2e::Event drawn;
		ASSERT_TRUE(fProbe.WaitFor({"drawn"}, 20s, &drawn)) << Output();
		// "drawn <serial> <x> <y> <w> <h> <title>"
		ASSERT_GE(drawn.words.size(), 7u);
		fX = std::stoi(drawn.words[2]);
		fY = std::stoi(drawn.words[3]);
		Focus("Probe");
	}

	void TearDown() override
	{
		if (HasFailure() && fServer.Display() != ":-1")
			KeepScreenshot();
		std::error_code error;
		if (!fHome.empty())
			std::filesystem::remove_all(fHome, error);
	}

	std::vector<std::string> Environment() const
	{
		return {"DISPLAY=" + fServer.Display(), "VANTRY_EVENTS=1", "HOME=" + fHome,
			"XDG_CONFIG_HOME=" + fHome + "/.config", "VANTRY_HEADLESS=0"};
	}

	int Tool(const std::vector<std::string>& argv, std::string* output = nullptr)
	{
		return e2e::run(argv, 10s, output, {"DISPLAY=" + fServer.Display()});
	}

	// Gives a window the keyboard focus: there is no window manager to do it.
	void Focus(const std::string& title)
	{
		std::string ids;
		Tool({"xdotool", "search", "--name", "^" + title + "$"}, &ids);
		ASSERT_FALSE(ids.empty()) << "no window titled " << title;
		Tool({"xdotool", "windowfocus", ids.substr(0, ids.find('\n'))});
	}

	// Clicks at a point of a window whose content starts at (left, top).
	void ClickAt(int left, int top, int x, int y, const std::vector<std::string>& keys = {})
	{
		// "--sync" waits for a motion, so the pointer first goes somewhere else.
		std::vector<std::string> argv = {"xdotool", "mousemove", "0", "0", "mousemove", "--sync",
			std::to_string(left + x), std::to_string(top + y)};
		for (const std::string& key : keys)
			argv.insert(argv.end(), {"keydown", key});
		argv.insert(argv.end(), {"click", "1"});
		for (const std::string& key : keys)
			argv.insert(argv.end(), {"keyup", key});
		ASSERT_EQ(Tool(argv), 0);
	}

	void Click(int x, int y, const std::vector<std::string>& keys = {}) { ClickAt(fX, fY, x, y, keys); }

	void Key(const std::string& key) { ASSERT_EQ(Tool({"xdotool", "key", key}), 0); }

	bool Screenshot(e2e::Image* image)
	{
		std::string path = fHome + "/shot.ppm";
		if (Tool({"import", "-silent", "-window", "root", "-depth", "8", path}) != 0)
			return false;
		return image->Load(path);
	}

	// Takes screenshots until `check` holds on one; false at the deadline.
	bool WaitForScreen(const std::function<bool(const e2e::Image&)>& check,
		std::chrono::milliseconds timeout, e2e::Image* last)
	{
		e2e::Clock::time_point deadline = e2e::Clock::now() + timeout;
		do {
			if (Screenshot(last) && check(*last))
				return true;
			std::this_thread::sleep_for(50ms);
		} while (e2e::Clock::now() < deadline);
		return false;
	}

	void KeepScreenshot()
	{
		const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
		std::string folder = std::string(VANTRY_ARTIFACTS);
		std::filesystem::create_directories(folder);
		std::string name = folder + "/" + info->test_suite_name() + "." + info->name() + ".png";
		Tool({"import", "-silent", "-window", "root", name});
		ADD_FAILURE() << "screenshot kept in " << name << "\n" << Output();
	}

	static std::function<bool(const std::vector<std::string>&)> DrawnTitled(const char* title)
	{
		return [title](const std::vector<std::string>& words) {
			return words.size() >= 7 && words[0] == "drawn" && words[6] == title;
		};
	}

	std::string Output()
	{
		std::string text;
		for (const std::string& line : fProbe.Lines())
			text += line + "\n";
		return text;
	}

	e2e::XServer fServer;
	e2e::Program fProbe;
	std::string fHome;
	int fX = 0;
	int fY = 0;
};

// The probe's layout, in its window's coordinates.
const int kListLeft = 165 + 10;  // the group list, in the box at (165, 10)
const int kListTop = 10 + 33;
const int kMultiLeft = 165 + 110;
const int kRowHeight = 18;  // the probe's colour rows

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
	const int rowHeight = 19;  // a 12-pixel string item
	size_t mark = fProbe.Mark();
	Click(kListLeft + 20, kListTop + 2 * rowHeight + 9);
	ASSERT_TRUE(fProbe.WaitFor({"probe", "list-selected", "2"}, 5s, nullptr, mark)) << Output();

	// A selected string row is darkened; the others stay white.
	e2e::Image shot;
	auto selectedDrawn = [&](const e2e::Image& image) {
		return image.Is(fX + kListLeft + 60, fY + kListTop + 2 * rowHeight + 2, 180, 180, 180)
			&& image.Is(fX + kListLeft + 60, fY + kListTop + 2, 255, 255, 255);
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
		return image.Is(x + 5, y + 5, 0, 0, 255) && image.Is(x + 5, y + kRowHeight + 5, 0, 160, 0)
			&& image.Is(x + 5, y + 2 * kRowHeight + 5, 255, 0, 255)
			&& image.Is(x + 60, y + 2 * kRowHeight + 5, 216, 216, 216)
			&& image.Is(x + 60, y + 3 * kRowHeight + 5, 255, 255, 255);
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
			<< c.key << "\n" << Output();
	}
}

}  // namespace

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

}  // namespace
