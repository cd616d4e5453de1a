// File panels: which entries a folder panel lists, the filter's view of
// them, and the chosen references sent to the target.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "FilePanel.h"
#include "InterfaceTestSupport.h"
#include "RefFilter.h"

namespace {

const uint32 kChosen = 'chsn';
const uint32 kDirectoryFlavor = 0x04;

class TypeFilter : public BRefFilter {
public:
	bool Filter(const entry_ref* ref, BNode* node, struct stat* st, const char* type) override
	{
		seen.insert(std::string(ref->name) + "=" + type);
		return std::string(type) == "application/x-vnd.Be-directory";
	}

	std::set<std::string> seen;
};

class FilePanelTest : public testing::Test {
protected:
	void SetUp() override
	{
		std::string pattern = testing::TempDir() + "vantry-panel-XXXXXX";
		ASSERT_NE(mkdtemp(pattern.data()), nullptr);
		fRoot = pattern;
		std::filesystem::create_directories(fRoot + "/apps/Vantry");
		std::filesystem::create_directories(fRoot + "/home");
		std::ofstream(fRoot + "/notes.txt") << "x";
	}

	void TearDown() override { std::filesystem::remove_all(fRoot); }

	std::string fRoot;
};

} // namespace

TEST_F(FilePanelTest, FolderPanel_ListsFoldersThatPassTheFilter)
{
	TypeFilter filter;
	BFilePanel panel(B_OPEN_PANEL, nullptr, nullptr, kDirectoryFlavor, false, nullptr, &filter);
	panel.SetPanelDirectory(fRoot.c_str());
	EXPECT_EQ(panel.ListedEntries(), (std::vector<std::string>{"apps", "home"}));
	EXPECT_EQ(filter.seen.count("apps=application/x-vnd.Be-directory"), 1u);
	EXPECT_EQ(filter.seen.count("notes.txt=application/x-vnd.Be-directory"), 0u)
	        << "files never reach the filter of a folder panel";

	BFilePanel files(B_OPEN_PANEL);
	files.SetPanelDirectory(fRoot.c_str());
	EXPECT_EQ(files.ListedEntries(), (std::vector<std::string>{"apps", "home", "notes.txt"}))
	        << "a file panel shows folders to move through";
}

TEST_F(FilePanelTest, FolderPanel_ListsHiddenEntriesLastAndMakesNumberedNewFolders)
{
	std::filesystem::create_directories(fRoot + "/.config");
	BFilePanel panel(B_OPEN_PANEL, nullptr, nullptr, kDirectoryFlavor, false);
	panel.SetPanelDirectory(fRoot.c_str());
	panel.SetNewFolderLabel("Neuer Ordner");
	EXPECT_EQ(panel.MakeFolder(), "Neuer Ordner");
	EXPECT_EQ(panel.MakeFolder(), "Neuer Ordner 2");
	EXPECT_EQ(panel.ListedEntries(), (std::vector<std::string>{"Neuer Ordner", "Neuer Ordner 2",
	                                                           "apps", "home", ".config"}));
}

TEST_F(FilePanelTest, Choosing_SendsTheReferencesAndKeepsThemForReading)
{
	auto* window = new RecordingWindow();
	window->Show();
	BMessenger target(nullptr, window);
	BMessage message(kChosen);
	BFilePanel panel(B_OPEN_PANEL, &target, nullptr, kDirectoryFlavor, false, &message);
	panel.SetPanelDirectory((fRoot + "/apps/Vantry").c_str());
	EXPECT_STREQ(panel.PanelDirectoryPath(), (fRoot + "/apps/Vantry").c_str());

	// Nothing selected in a folder panel: the folder shown is the choice.
	ASSERT_EQ(panel.ChooseEntries({}), B_OK);
	BMessage chosen;
	ASSERT_TRUE(window->WaitFor(kChosen, &chosen));
	entry_ref ref;
	ASSERT_EQ(chosen.FindRef("refs", &ref), B_OK);
	EXPECT_STREQ(ref.name, "Vantry");
	EXPECT_EQ(ref.directory_path, fRoot + "/apps");

	panel.Rewind();
	ASSERT_EQ(panel.GetNextSelectedRef(&ref), B_OK);
	EXPECT_STREQ(ref.name, "Vantry");
	EXPECT_EQ(panel.GetNextSelectedRef(&ref), B_ENTRY_NOT_FOUND);

	panel.SetPanelDirectory(fRoot.c_str());
	EXPECT_EQ(panel.ChooseEntries({"home", "apps"}), B_BAD_VALUE) << "single selection";
	EXPECT_EQ(panel.ChooseEntries({"missing"}), B_ENTRY_NOT_FOUND);
	close_window(window);
}

TEST_F(FilePanelTest, EntryRefForPath_NamesTheFolderAndLeaf)
{
	entry_ref ref;
	ASSERT_EQ(entry_ref_for_path((fRoot + "/apps/").c_str(), &ref), B_OK);
	EXPECT_STREQ(ref.name, "apps");
	EXPECT_EQ(ref.directory_path, fRoot);
	EXPECT_EQ(entry_ref_for_path((fRoot + "/nowhere/x").c_str(), &ref), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(entry_ref_for_path("", &ref), B_BAD_VALUE);
}
