// The fixture of the installer window's end-to-end tests: products built with
// vantry-build in a hermetic world, the real Installer shown on a private
// Xvfb and driven by clicks and keys, its results read from the disk.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "InstallTestSupport.h"
#include "ProbeFixture.h"

namespace e2e {

// Points of the installer window, in its own coordinates.
struct InstallerLayout {
	static constexpr int kButtonX = 377;
	static constexpr int kButtonY = 233;
	static constexpr int kGroupX = 175 + 30;
	static constexpr int kListTop = 10 + 33 + 2;
	static constexpr int kItemX = 275 + 60;
	static constexpr int kProductX = 85;
	static constexpr int kProductY = 116;
	static constexpr int kOptionsX = 439;
	static constexpr int kOptionsY = 235;
	static constexpr int kFolderX = 165 + 22;
	static constexpr int kFolderY = 10 + 185;
	static constexpr int kVolumeX = 165 + 10 + 130;
	static constexpr int kVolumeY = 10 + 156;
};

class InstallerTest : public ProbeTest {
protected:
	void SetUp() override
	{
		for (const char* tool : {"Xvfb", "xdotool", "import"}) {
			if (!have_tool(tool))
				GTEST_SKIP() << tool << " is not installed";
		}
		ASSERT_TRUE(fServer.Start(10s, ScreenSize())) << "Xvfb did not report a display";
		fHome = fWorld.Temp() + "/e2e";
		std::filesystem::create_directories(fHome);
	}

	void TearDown() override
	{
		if (HasFailure() && fServer.Display() != ":-1")
			KeepScreenshot();
	}

	// Starts the installer and waits for its window's first frame; `focus`
	// gives it the keyboard as a window manager would. A `wrapper` program,
	// when given, is started instead with its arguments and the installer's path.
	// The world's environment with the test's display and the window's event reports.
	std::vector<std::string> WindowEnvironment()
	{
		std::vector<std::string> env = fWorld.Environment();
		env.insert(env.end(),
		           {"DISPLAY=" + fServer.Display(), "VANTRY_EVENTS=1", "VANTRY_HEADLESS=0"});
		return env;
	}

	void Launch(const std::string& installer, const std::vector<std::string>& extra = {},
	            const bool& focus = true, const std::vector<std::string>& wrapper = {})
	{
		std::vector<std::string> env = WindowEnvironment();
		env.insert(env.end(), extra.begin(), extra.end());
		fTitle = std::filesystem::path(installer).filename().string();
		if (wrapper.empty()) {
			ASSERT_TRUE(fProbe.Start(installer, env));
		} else {
			std::vector<std::string> arguments(wrapper.begin() + 1, wrapper.end());
			arguments.push_back(installer);
			ASSERT_TRUE(fProbe.Start(wrapper[0], env, arguments));
		}
		e2e::Event drawn;
		ASSERT_TRUE(fProbe.WaitUntil(DrawnTitled(fTitle.c_str()), 30s, &drawn)) << Output();
		ASSERT_GE(drawn.words.size(), 7u);
		fX = std::stoi(drawn.words[2]);
		fY = std::stoi(drawn.words[3]);
		fWidth = std::stoi(drawn.words[4]);
		fHeight = std::stoi(drawn.words[5]);
		if (focus)
			Focus(fTitle);
	}

	// Waits for the alert whose text contains `text`; its window's origin.
	bool WaitForAlert(const std::string& text, int* left, int* top, int* width, int* height,
	                  size_t since, const std::chrono::seconds& timeout = 60s)
	{
		e2e::Event shown;
		auto isAlert = [&](const std::vector<std::string>& words) {
			if (words.empty() || words[0] != "alert-shown")
				return false;
			std::string line;
			for (size_t i = 1; i < words.size(); i++)
				line += (i > 1 ? " " : "") + words[i];
			return line.find(text) != std::string::npos;
		};
		if (!fProbe.WaitUntil(isAlert, timeout, &shown, since))
			return false;
		// Its window is the one drawn after it was shown.
		size_t at = since;
		while (at < fProbe.Lines().size() && fProbe.Lines()[at] != shown.line)
			at++;
		const std::string title = fTitle;
		auto otherDrawn = [title](const std::vector<std::string>& words) {
			return words.size() >= 6 && words[0] == "drawn" &&
			       (words.size() == 6 || words[6] != title);
		};
		if (!fProbe.WaitUntil(otherDrawn, 10s, nullptr, at + 1))
			return false;
		return AlertFrame(left, top, width, height, at + 1);
	}

	// The frame of the last window drawn that is not the installer's.
	bool AlertFrame(int* left, int* top, int* width, int* height, size_t since)
	{
		const auto& lines = fProbe.Lines();
		for (size_t i = lines.size(); i-- > since;) {
			std::istringstream words(lines[i]);
			std::string tag, kind, serial;
			int x, y, w, h;
			std::string title;
			if (!(words >> tag >> kind >> serial >> x >> y >> w >> h))
				continue;
			std::getline(words, title);
			if (kind != "drawn" || title == " " + fTitle)
				continue;
			*left = x;
			*top = y;
			*width = w;
			*height = h;
			return true;
		}
		return false;
	}

	// The fields of an "installer-state" event line.
	using State = std::map<std::string, std::string>;

	static State ParseState(const std::string& line)
	{
		State state;
		const size_t start = line.find("installer-state ");
		if (start == std::string::npos)
			return state;
		std::istringstream fields(line.substr(start + 16));
		for (std::string field; std::getline(fields, field, '|');) {
			const size_t equals = field.find('=');
			if (equals != std::string::npos)
				state[field.substr(0, equals)] = field.substr(equals + 1);
		}
		return state;
	}

	// Waits for a state, reported at or after line `since`, that `check`
	// accepts; the last state seen goes to `last`.
	bool WaitForState(const std::function<bool(State&)>& check, size_t since, State* last = nullptr,
	                  std::chrono::milliseconds timeout = 20s)
	{
		State seen;
		auto matches = [&](const std::vector<std::string>& words) {
			if (words.empty() || words[0] != "installer-state")
				return false;
			std::string line = "installer-state";
			for (size_t i = 1; i < words.size(); i++)
				line += " " + words[i];
			seen = ParseState(line);
			return check(seen);
		};
		const bool found = fProbe.WaitUntil(matches, timeout, nullptr, since);
		if (last != nullptr)
			*last = seen;
		return found;
	}

	// Presses the rightmost (default) button of an alert drawn at that frame.
	// A click that comes while a loaded server is still mapping the alert can
	// be lost, so it is repeated until the alert reports its answer.
	void ClickDefaultButton(const int& left, const int& top, const int& width, const int& height)
	{
		for (int attempt = 0; attempt < 3; attempt++) {
			const size_t mark = fProbe.Mark();
			ClickAt(left, top, width - 10 - 30, height - 34 + 12);
			if (fProbe.WaitFor({"alert-answered"}, 5s, nullptr, mark))
				return;
		}
		ADD_FAILURE() << "the alert at " << left << "," << top << " took no click\n" << Output();
	}

	void ClickButton() { Click(InstallerLayout::kButtonX, InstallerLayout::kButtonY); }

	// Waits for the program to end; its exit status.
	int WaitForEnd()
	{
		int status = -1;
		EXPECT_TRUE(fProbe.Exited(120s, &status)) << Output();
		return status;
	}

	install_test::InstallWorld fWorld;
	std::string fTitle;
	// The window's size in pixels when it was first drawn.
	int fWidth = 0;
	int fHeight = 0;
};

} // namespace e2e
