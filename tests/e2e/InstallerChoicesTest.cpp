// The installer window's choices driven by clicks and keys: the language menu
// (every label, remembered on the installer file), the folder panel with its
// Cancel/Replace question, and the volume menu.
#include <dlfcn.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <cstdlib>

#include "InstallerFixture.h"
#include "StringTable.h"
#include "oLocalize.h"

using namespace std::chrono_literals;
using e2e::InstallerLayout;
using e2e::InstallerTest;
using namespace install_test;

namespace {

// Text 1005, which names the folder choosers.
const char* const kPanelTitle = "Change destination folder";

// The panel drawn: "drawn <serial> <x> <y> <w> <h>" and the title's words.
bool PanelDrawn(const std::vector<std::string>& words)
{
	std::string title;
	for (size_t i = 6; i < words.size(); i++)
		title += (i > 6 ? " " : "") + words[i];
	return words.size() > 6 && words[0] == "drawn" && title == kPanelTitle;
}

std::string ChoicesProduct(const std::string& licence)
{
	return ProductHead("Choices") + licence + R"(
[[groups]]
group_name = "Full"
group_description = "Everything."

[[install_file]]
file_name = "files/tool.txt"
groups = ["Full"]
)";
}

const std::map<std::string, std::string> kFiles = {{"files/tool.txt", "tool"}};

bool EndsWith(const std::string& text, const std::string& end)
{
	return text.size() >= end.size() &&
	       text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class InstallerChoicesTest : public InstallerTest {
protected:
	// Opens a pop-up menu by a click and picks its row by keys: the menu
	// opens with nothing highlighted, so the first Down reaches row 0.
	void PickRow(const int& x, const int& y, const int& row)
	{
		const size_t mark = fProbe.Mark();
		Click(x, y);
		ASSERT_TRUE(fProbe.WaitFor({"menu-opened"}, 5s, nullptr, mark)) << Output();
		for (int i = 0; i <= row; i++)
			Key("Down");
		Key("Return");
	}

	// The window's texts of one language, from the tables the installer carries.
	static StringTable Texts(const std::string& code)
	{
		const std::string path = std::string(VANTRY_STRINGS_DIR) + "/installer/" + code + ".txt";
		StringTable table(path.c_str(), 1000, 1203);
		EXPECT_EQ(table.InitCheck(), B_OK) << table.ErrorText();
		return table;
	}

	static std::string Line(const StringTable& table, const int32& id, const int& row)
	{
		std::istringstream lines(table.StringFor(id) != nullptr ? table.StringFor(id) : "");
		std::string line;
		for (int i = 0; i <= row && std::getline(lines, line); i++) {
		}
		return line;
	}

	static std::string Text(const StringTable& table, const int32& id)
	{
		return table.StringFor(id) != nullptr ? table.StringFor(id) : "";
	}

	// Every localized label of the window in `state` against the table;
	// false, and a failure per label, when one differs.
	static bool ExpectLabels(State& state, const std::string& code, const int& row,
	                         const bool& quiet = false)
	{
		const StringTable table = Texts(code);
		const bool choices = state["step"] == "2";
		const std::map<std::string, std::string> expected = {
		        {"license_box", Text(table, 1001)},
		        {"install_box", Text(table, 1002)},
		        {"install_type_label", Text(table, 1003)},
		        {"file_label", Text(table, 1004)},
		        {"folder_tip", Text(table, 1005)},
		        {"volume", Text(table, 1006)},
		        {"button", Text(table, choices ? 1007 : 1008)},
		        {"instruction", Text(table, choices ? 1009 : 1010)},
		        {"language", Line(table, 1000, row)}};
		bool all = true;
		for (const auto& [field, text] : expected) {
			all = all && state[field] == text;
			if (!quiet) {
				EXPECT_EQ(state[field], text) << code << ": " << field;
			}
		}
		return all;
	}

	// Waits for a state showing every label of the language.
	void WaitForLabels(const std::string& code, const int& row, const size_t& since)
	{
		State state;
		if (!WaitForState([&](State& s) { return ExpectLabels(s, code, row, true); }, since, &state,
		                  10s))
			ExpectLabels(state, code, row);
	}
};

TEST_F(InstallerChoicesTest, TheLanguageMenuRelabelsEveryControlAndIsRemembered)
{
	const std::string installer =
	        fWorld.Build("Choices", ChoicesProduct("license = \"Terms.\"\n"), kFiles);
	Launch(installer);
	State state;
	ASSERT_TRUE(WaitForState([](State& s) { return s["step"] == "1"; }, 0, &state)) << Output();
	ExpectLabels(state, "en", 0);

	// The row of the menu and the code it stands for.
	struct Case {
		int row;
		const char* code;
	};
	const Case cases[] = {{3, "de"}, {1, "fr"}, {6, "sv"}, {8, "nl"}, {2, "es"}};
	for (const Case& c : cases) {
		const size_t mark = fProbe.Mark();
		PickRow(InstallerLayout::kOptionsX, InstallerLayout::kOptionsY, c.row);
		WaitForLabels(c.code, c.row, mark);
		LibString remembered;
		ASSERT_EQ(oLocalize::ReadLanguage(installer.c_str(), remembered), B_OK);
		EXPECT_STREQ(remembered.String(), c.code);
	}

	// Step 2 takes its texts in the language chosen last.
	size_t mark = fProbe.Mark();
	ClickButton();
	ASSERT_TRUE(WaitForState([](State& s) { return s["step"] == "2"; }, mark, &state));
	WaitForLabels("es", 2, mark);

	// Started again, the installer speaks it from the first frame.
	fProbe.Stop();
	Launch(installer);
	ASSERT_TRUE(WaitForState([](State& s) { return s["step"] == "1"; }, 0, &state)) << Output();
	ExpectLabels(state, "es", 2);
}

TEST_F(InstallerChoicesTest, TheFolderPanelAsksBeforeTakingAFolderWithAnInstallation)
{
	// The panel opens on the destination (the boot volume's apps); its
	// Parent button shows the rows apps, beos, home, var.
	std::filesystem::create_directories(fWorld.Home() + "/Choices");
	Launch(fWorld.Build("Choices", ChoicesProduct(""), kFiles), {"VANTRY_CHOOSER=panel"});
	State state;
	ASSERT_TRUE(WaitForState([](State& s) { return s["step"] == "2"; }, 0, &state)) << Output();
	ASSERT_TRUE(EndsWith(state["destination"], "/boot/apps")) << state["destination"];

	struct Case {
		int row;
		const char* answer; // the button pressed in the question, or none
		const char* destination;
		bool panelStays;
	};
	const Case cases[] = {{2, "Cancel", "/boot/apps", true},
	                      {2, "Replace", "/boot/home", false},
	                      {1, nullptr, "/boot/beos", false}};
	bool panelShown = false;
	int panelX = 0, panelY = 0;
	for (const Case& c : cases) {
		size_t mark = fProbe.Mark();
		if (!panelShown) {
			Click(InstallerLayout::kFolderX, InstallerLayout::kFolderY);
			e2e::Event drawn;
			ASSERT_TRUE(fProbe.WaitUntil(PanelDrawn, 10s, &drawn, mark)) << Output();
			panelX = std::stoi(drawn.words[2]);
			panelY = std::stoi(drawn.words[3]);
			ClickAt(panelX, panelY, 10 + 40, 266 + 12);
		}
		mark = fProbe.Mark();
		// The row, then Open.
		ClickAt(panelX, panelY, 12 + 40, 32 + 2 + 19 * c.row + 9);
		ClickAt(panelX, panelY, 310 + 40, 266 + 12);
		if (c.answer != nullptr) {
			int left, top, width, height;
			ASSERT_TRUE(
			        WaitForAlert("'Choices' already exists", &left, &top, &width, &height, mark))
			        << Output();
			const bool replace = std::string(c.answer) == "Replace";
			// Replace is the rightmost button, Cancel the one left of it.
			ClickAt(left, top, width - 10 - (replace ? 0 : 75 + 9) - 30, height - 34 + 12);
			ASSERT_TRUE(fProbe.WaitFor({"alert-answered", replace ? "1" : "0"}, 10s, nullptr, mark))
			        << Output();
		}
		const std::string wanted = c.destination;
		EXPECT_TRUE(WaitForState([&](State& s) { return EndsWith(s["destination"], wanted); }, mark,
		                         &state, 10s))
		        << (c.answer != nullptr ? c.answer : "no question") << ": " << state["destination"];
		auto panelHidden = [](const std::vector<std::string>& words) {
			return words.size() > 1 && words[0] == "hidden" && words[1] == "Change";
		};
		const bool hidden =
		        fProbe.WaitUntil(panelHidden, c.panelStays ? 500ms : 10s, nullptr, mark);
		EXPECT_EQ(hidden, !c.panelStays) << (c.answer != nullptr ? c.answer : "no question");
		panelShown = !hidden;
	}
}

// The panel's own behaviour: hidden entries last, a folder made and taken,
// and a path typed into its field.
TEST_F(InstallerChoicesTest, TheFolderPanelListsHiddenEntriesLastMakesFoldersAndTakesATypedPath)
{
	std::filesystem::create_directories(fWorld.Apps() + "/.hidden");
	std::filesystem::create_directories(fWorld.Apps() + "/Zed");
	Launch(fWorld.Build("Choices", ChoicesProduct(""), kFiles), {"VANTRY_CHOOSER=panel"});
	ASSERT_TRUE(WaitForState([](State& s) { return s["step"] == "2"; }, 0)) << Output();
	const auto open = [&](int* x, int* y) {
		const size_t mark = fProbe.Mark();
		Click(InstallerLayout::kFolderX, InstallerLayout::kFolderY);
		e2e::Event drawn;
		ASSERT_TRUE(fProbe.WaitUntil(PanelDrawn, 10s, &drawn, mark)) << Output();
		*x = std::stoi(drawn.words[2]);
		*y = std::stoi(drawn.words[3]);
	};
	struct Case {
		const char* name;
		// Done in the panel before OK, which is pressed at the end.
		std::function<void(int, int)> act;
		std::string destination;
	};
	const Case cases[] = {
	        {"the first row is not the hidden one",
	         [&](int x, int y) { ClickAt(x, y, 12 + 40, 32 + 2 + 9); }, "/boot/apps/Zed"},
	        {"a new folder, made inside the destination and selected",
	         [&](int x, int y) { ClickAt(x, y, 96 + 50, 266 + 12); }, "/boot/apps/Zed/New Folder"},
	        {"a path typed and entered, then the folder shown",
	         [&](int x, int y) {
		         ClickAt(x, y, 200, 14);
		         ASSERT_EQ(Tool({"xdotool", "key", "--repeat", "300", "BackSpace", "type",
		                         fWorld.Home()}),
		                   0);
		         Key("Return");
		         std::this_thread::sleep_for(300ms);
	         },
	         "/boot/home"},
	};
	for (const Case& test : cases) {
		int x = 0, y = 0;
		open(&x, &y);
		const size_t mark = fProbe.Mark();
		test.act(x, y);
		ClickAt(x, y, 310 + 40, 266 + 12);
		State state;
		EXPECT_TRUE(
		        WaitForState([&](State& s) { return EndsWith(s["destination"], test.destination); },
		                     mark, &state, 10s))
		        << test.name << ": " << state["destination"];
	}
	EXPECT_TRUE(std::filesystem::is_directory(fWorld.Apps() + "/Zed/New Folder"));
}

// A chooser program found along PATH answers with the folder it prints.
TEST_F(InstallerChoicesTest, ZenityChoosesTheFolderWhenTheDesktopHasNoOtherChooser)
{
	const std::string tools = fWorld.Temp() + "/tools";
	const std::string chosen = fWorld.Temp() + "/chosen";
	std::filesystem::create_directories(chosen);
	WriteFile(tools + "/zenity", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + tools +
	                                     "/arguments\"\necho \"" + chosen + "\"\n");
	chmod((tools + "/zenity").c_str(), 0755);
	fWorld.SetEnv("PATH", tools + ":" + getenv("PATH"));
	Launch(fWorld.Build("Choices", ChoicesProduct(""), kFiles), {"VANTRY_CHOOSER=zenity"});
	ASSERT_TRUE(WaitForState([](State& s) { return s["step"] == "2"; }, 0)) << Output();
	const size_t mark = fProbe.Mark();
	Click(InstallerLayout::kFolderX, InstallerLayout::kFolderY);
	State state;
	EXPECT_TRUE(WaitForState([&](State& s) { return EndsWith(s["destination"], "/chosen"); }, mark,
	                         &state, 10s))
	        << state["destination"];
	EXPECT_EQ(ReadFile(tools + "/arguments"),
	          "--file-selection\n--directory\n--title=" + std::string(kPanelTitle) +
	                  "\n--filename=" + fWorld.Apps() + "/\n");
}

// With GTK there to be loaded, its chooser is shown; closing it keeps the folder.
TEST_F(InstallerChoicesTest, TheDesktopsGtkChooserIsShownWhenGtkIsThere)
{
	void* gtk = dlopen("libgtk-3.so.0", RTLD_LAZY);
	if (gtk == nullptr)
		gtk = dlopen("libgtk-x11-2.0.so.0", RTLD_LAZY);
	if (gtk == nullptr)
		GTEST_SKIP() << "GTK is not installed";
	dlclose(gtk);
	Launch(fWorld.Build("Choices", ChoicesProduct(""), kFiles));
	State before;
	ASSERT_TRUE(WaitForState([](State& s) { return s["step"] == "2"; }, 0, &before)) << Output();
	size_t mark = fProbe.Mark();
	Click(InstallerLayout::kFolderX, InstallerLayout::kFolderY);
	ASSERT_TRUE(fProbe.WaitFor({"chooser-shown", "gtk"}, 20s, nullptr, mark)) << Output();
	std::string id;
	ASSERT_EQ(Tool({"xdotool", "search", "--sync", "--name", kPanelTitle}, &id), 0);
	mark = fProbe.Mark();
	Tool({"xdotool", "windowfocus", "--sync", id.substr(0, id.find('\n')), "key", "Escape"});
	State after;
	EXPECT_TRUE(WaitForState([](State& s) { return s["step"] == "2"; }, mark, &after, 20s))
	        << Output();
	EXPECT_EQ(after["destination"], before["destination"]);
}

// A folder on another file system when there is one, so that its free space
// differs from the boot volume's.
std::string StickFolder(const std::string& fallback)
{
	char pattern[] = "/dev/shm/vantry-stick-XXXXXX";
	if (access("/dev/shm", W_OK) == 0 && mkdtemp(pattern) != nullptr)
		return pattern;
	std::filesystem::create_directories(fallback);
	return fallback;
}

// "12.5 MB" (or KB, GB, TB) back to bytes.
double ShownBytes(const std::string& text)
{
	const double value = std::strtod(text.c_str(), nullptr);
	if (EndsWith(text, " TB"))
		return value * 1099511627776.0;
	if (EndsWith(text, " GB"))
		return value * 1073741824;
	if (EndsWith(text, " MB"))
		return value * 1048576;
	if (EndsWith(text, " KB"))
		return value * 1024;
	return value;
}

TEST_F(InstallerChoicesTest, ChoosingAVolumeTakesItsHomeAndShowsItsFreeSpace)
{
	const std::string stick = StickFolder(fWorld.Temp() + "/stick");
	fWorld.SetEnv("VANTRY_VOLUMES", stick + ":name=Stick");
	Launch(fWorld.Build("Choices", ChoicesProduct(""), kFiles));
	State state;
	ASSERT_TRUE(WaitForState([](State& s) { return s["step"] == "2"; }, 0, &state)) << Output();
	EXPECT_TRUE(EndsWith(state["destination"], "/boot/apps")) << state["destination"];

	// Row 0 is the boot volume, row 1 the stick.
	const size_t mark = fProbe.Mark();
	PickRow(InstallerLayout::kVolumeX, InstallerLayout::kVolumeY, 1);
	const std::string home = std::filesystem::path(stick).filename().string() + "/home";
	ASSERT_TRUE(
	        WaitForState([&](State& s) { return EndsWith(s["destination"], home); }, mark, &state))
	        << state["destination"] << "\n"
	        << Output();
	struct statvfs info;
	ASSERT_EQ(statvfs(stick.c_str(), &info), 0);
	const double free = double(info.f_bavail) * double(info.f_frsize);
	EXPECT_NEAR(ShownBytes(state["volume_size"]), free, free / 100 + 1048576)
	        << state["volume_size"];
	std::error_code error;
	if (stick.rfind("/dev/shm/", 0) == 0)
		std::filesystem::remove_all(stick, error);
}

} // namespace
