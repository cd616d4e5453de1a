// The fixture of the probe's end-to-end tests: a private Xvfb, the probe
// started in it and waited for, xdotool, screenshots kept on failure.
#pragma once

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "E2ESupport.h"

namespace e2e {

using namespace std::chrono_literals;

inline bool have_tool(const char* name)
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
		ASSERT_TRUE(fServer.Start(10s, ScreenSize())) << "Xvfb did not report a display";
		std::string home = testing::TempDir() + "vantry-e2e-XXXXXX";
		ASSERT_NE(mkdtemp(home.data()), nullptr);
		fHome = home;
		ASSERT_TRUE(fProbe.Start(VANTRY_PROBE, Environment(), ProbeArguments()));
		e2e::Event drawn;
		ASSERT_TRUE(fProbe.WaitUntil(DrawnTitled(WindowTitle()), 20s, &drawn)) << Output();
		// "drawn <serial> <x> <y> <w> <h> <title>"
		ASSERT_GE(drawn.words.size(), 7u);
		fX = std::stoi(drawn.words[2]);
		fY = std::stoi(drawn.words[3]);
		Focus(WindowTitle());
	}

	virtual std::string ScreenSize() const { return "1024x768x24"; }
	// What the probe shows: its arguments and the title of its window.
	virtual std::vector<std::string> ProbeArguments() const { return {}; }
	virtual const char* WindowTitle() const { return "Probe"; }

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
		std::vector<std::string> argv = {"xdotool",
		                                 "mousemove",
		                                 "0",
		                                 "0",
		                                 "mousemove",
		                                 "--sync",
		                                 std::to_string(left + x),
		                                 std::to_string(top + y)};
		for (const std::string& key : keys)
			argv.insert(argv.end(), {"keydown", key});
		argv.insert(argv.end(), {"click", "1"});
		for (const std::string& key : keys)
			argv.insert(argv.end(), {"keyup", key});
		ASSERT_EQ(Tool(argv), 0);
	}

	void Click(int x, int y, const std::vector<std::string>& keys = {})
	{
		ClickAt(fX, fY, x, y, keys);
	}

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

} // namespace e2e
