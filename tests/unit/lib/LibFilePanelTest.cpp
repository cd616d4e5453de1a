// LibFilePanel: where it opens, its filter, its saved state and the "Format"
// menu whose marked label goes with what it sends.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "FindDirectory.h"
#include "LibFilePanel.h"
#include "LibToolkitTestSupport.h"
#include "Menu.h"
#include "Node.h"
#include "NodeInfo.h"
#include "Path.h"

using namespace toolkit_test;

namespace {

class LibFilePanelTest : public testing::Test {
protected:
	void SetUp() override
	{
		std::string pattern = testing::TempDir() + "panel-XXXXXX";
		ASSERT_NE(mkdtemp(pattern.data()), nullptr);
		fBase = std::filesystem::canonical(pattern).string();
		std::filesystem::create_directories(fBase + "/docs/inner");
		std::ofstream(fBase + "/docs/notes.txt") << "plain words\n";
		std::ofstream(fBase + "/docs/data.bin") << std::string("\x01\x02\x03\x00\xff", 5);
		fWindow.reset(new TestWindow());
	}
	void TearDown() override
	{
		fWindow.reset();
		std::filesystem::remove_all(fBase);
	}

	std::string fBase;
	WindowPtr<TestWindow> fWindow;
};

TEST_F(LibFilePanelTest, OpensModelessAndStaysOpen)
{
	LibFilePanel panel(B_OPEN_PANEL, fWindow.get(), 'open', 0, false);
	EXPECT_FALSE(panel.IsModal());
	EXPECT_FALSE(panel.HidesWhenDone());
	EXPECT_EQ(panel.RefFilter(), panel.Filter());
	EXPECT_EQ(panel.FormatMenu(), nullptr);
	EXPECT_EQ(panel.MarkedFormat(), nullptr);
}

TEST_F(LibFilePanelTest, PanelFolderFromAPathAStandardFolderOrTheParent)
{
	LibFilePanel panel(B_OPEN_PANEL, fWindow.get(), 'open', 0, false);
	panel.SetPanelDirectory((fBase + "/docs/notes.txt").c_str());
	EXPECT_EQ(std::string(panel.PanelDirectoryPath()), fBase + "/docs");
	panel.SetPanelDirectory((fBase + "/docs/inner").c_str());
	EXPECT_EQ(std::string(panel.PanelDirectoryPath()), fBase + "/docs");
	panel.SetToParentDirectory();
	EXPECT_EQ(std::string(panel.PanelDirectoryPath()), fBase);

	setenv("VANTRY_ROOT", (fBase + "/root").c_str(), 1);
	BPath settings;
	ASSERT_EQ(find_directory(B_USER_SETTINGS_DIRECTORY, &settings, true), B_OK);
	panel.SetPanelDirectory(B_USER_SETTINGS_DIRECTORY);
	EXPECT_STREQ(panel.PanelDirectoryPath(), settings.Path());
	unsetenv("VANTRY_ROOT");
}

TEST_F(LibFilePanelTest, FilterListsOnlyTheChosenTypes)
{
	BNode node((fBase + "/docs/notes.txt").c_str());
	BNodeInfo info(&node);
	if (info.SetType("text/plain") == B_NOT_SUPPORTED)
		GTEST_SKIP() << "the temporary folder keeps no attributes";
	LibFilePanel panel(B_OPEN_PANEL, fWindow.get(), 'open', 0, true);
	panel.SetPanelDirectory((fBase + "/docs/notes.txt").c_str());
	EXPECT_TRUE(panel.ListedEntries().empty());
	panel.AddType("text/plain");
	EXPECT_EQ(panel.ListedEntries(), std::vector<std::string>{"notes.txt"});
	panel.Filter()->AllowAllFiles(true);
	EXPECT_EQ(panel.ListedEntries(), (std::vector<std::string>{"data.bin", "notes.txt"}));
	panel.AddType("application/x-vnd.Be-directory");
	EXPECT_EQ(panel.ListedEntries(), (std::vector<std::string>{"data.bin", "inner", "notes.txt"}));
}

TEST_F(LibFilePanelTest, StateRestoresTheFolder)
{
	LibFilePanel panel(B_OPEN_PANEL, fWindow.get(), 'open', 0, false);
	panel.SetPanelDirectory((fBase + "/docs/inner").c_str());
	BMessage state;
	panel.GetState(state);
	EXPECT_EQ(std::string(state.FindString("directory")), fBase + "/docs");
	LibFilePanel other(B_OPEN_PANEL, fWindow.get(), 'open', 0, false);
	other.SetState(state);
	EXPECT_EQ(std::string(other.PanelDirectoryPath()), fBase + "/docs");
}

TEST_F(LibFilePanelTest, SentMessagesCarryTheMarkedFormat)
{
	LibFilePanel panel(B_OPEN_PANEL, fWindow.get(), 'open', 0, false);
	panel.Filter()->AllowAllFiles(true);
	panel.SetPanelDirectory((fBase + "/docs/notes.txt").c_str());
	ASSERT_EQ(panel.ChooseEntries({"notes.txt"}), B_OK);
	std::vector<BMessage> sent = OfCode(fWindow->Take(), 'open');
	ASSERT_EQ(sent.size(), 1u);
	EXPECT_EQ(sent[0].FindString("marked"), nullptr);
	entry_ref ref;
	ASSERT_EQ(sent[0].FindRef("refs", &ref), B_OK);
	EXPECT_STREQ(ref.name, "notes.txt");

	panel.AddFormatMenuItem("Zip", false);
	panel.AddFormatMenuItem("Tar", true);
	panel.AddFormatMenuItem("Raw", false);
	ASSERT_NE(panel.FormatMenu(), nullptr);
	EXPECT_STREQ(panel.FormatMenu()->Name(), "Format");
	EXPECT_TRUE(panel.FormatMenu()->IsRadioMode());
	EXPECT_EQ(panel.FormatMenu()->CountItems(), 3);
	ASSERT_EQ(panel.ChooseEntries({"notes.txt"}), B_OK);
	sent = OfCode(fWindow->Take(), 'open');
	ASSERT_EQ(sent.size(), 1u);
	EXPECT_STREQ(sent[0].FindString("marked"), "Tar");
}

} // namespace
