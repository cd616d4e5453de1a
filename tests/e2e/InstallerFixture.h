// The fixture of the installer window's end-to-end tests: products built with
// vantry-build in a hermetic world, the real Installer shown on a private
// Xvfb and driven by clicks and keys, its results read from the disk.
#pragma once

#include <filesystem>
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

	// Starts the installer and waits for its window's first frame.
	void Launch(const std::string& installer, const std::vector<std::string>& extra = {})
	{
		std::vector<std::string> env = fWorld.Environment();
		env.insert(env.end(),
		           {"DISPLAY=" + fServer.Display(), "VANTRY_EVENTS=1", "VANTRY_HEADLESS=0"});
		env.insert(env.end(), extra.begin(), extra.end());
		fTitle = std::filesystem::path(installer).filename().string();
		ASSERT_TRUE(fProbe.Start(installer, env));
		e2e::Event drawn;
		ASSERT_TRUE(fProbe.WaitUntil(DrawnTitled(fTitle.c_str()), 30s, &drawn)) << Output();
		ASSERT_GE(drawn.words.size(), 7u);
		fX = std::stoi(drawn.words[2]);
		fY = std::stoi(drawn.words[3]);
		Focus(fTitle);
	}

	// Waits for the alert whose text contains `text`; its window's origin.
	bool WaitForAlert(const std::string& text, int* left, int* top, int* width, int* height,
	                  size_t since)
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
		if (!fProbe.WaitUntil(isAlert, 60s, &shown, since))
			return false;
		const std::string title = fTitle;
		auto otherDrawn = [title](const std::vector<std::string>& words) {
			return words.size() >= 7 && words[0] == "drawn" && words[6] != title;
		};
		if (!fProbe.WaitUntil(otherDrawn, 10s, nullptr, since))
			return false;
		return AlertFrame(left, top, width, height, since);
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
};

} // namespace e2e
