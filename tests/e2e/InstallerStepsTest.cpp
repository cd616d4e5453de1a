// The installer window's steps driven by clicks and keys: where it opens, install
// types, a damaged installer, group tips and the product view.
#include <fstream>

#include "InstallerFixture.h"

using namespace std::chrono_literals;
using e2e::InstallerLayout;
using e2e::InstallerTest;
using namespace install_test;

namespace {

const int kGroupRow = 19;

std::string SmallProduct(const std::string& extra, const bool& withGroups)
{
	std::string text = ProductHead("Small") + extra;
	if (withGroups)
		text += R"(
[[groups]]
group_name = "Basic"
group_description = "Only the tool, for a quick start without documentation."
[[groups]]
group_name = "Empty"
)";
	text += "\n[[install_file]]\nfile_name = \"files/tool.txt\"\n";
	if (withGroups)
		text += "groups = [\"Basic\"]\n";
	text += "\n[[install_file]]\nfile_name = \"files/docs.txt\"\n";
	return text;
}

const std::map<std::string, std::string> kSmallFiles = {{"files/tool.txt", "tool"},
                                                        {"files/docs.txt", "docs"}};

TEST_F(InstallerTest, WithoutLicenceTheWindowOpensOnTheChoices)
{
	Launch(fWorld.Build("Small", SmallProduct("", true), kSmallFiles));
	State state;
	ASSERT_TRUE(WaitForState([](State& s) { return s.count("step") != 0; }, 0, &state)) << Output();
	EXPECT_EQ(state["step"], "2");
	EXPECT_EQ(state["licence_shown"], "0");
	EXPECT_EQ(state["button"], "Install");
	EXPECT_EQ(state["instruction"], "Select destination folder and press Install");
	EXPECT_EQ(state["selected"], "0");
	EXPECT_EQ(state["button_enabled"], "1");
}

TEST_F(InstallerTest, WithoutInstallTypesNothingIsSelectedAndTheButtonWaits)
{
	Launch(fWorld.Build("Small", SmallProduct("license = \"Terms.\"\n", false), kSmallFiles));
	State state;
	ASSERT_TRUE(WaitForState([](State& s) { return s.count("step") != 0; }, 0, &state));
	EXPECT_EQ(state["step"], "1");
	EXPECT_EQ(state["selected"], "");
	EXPECT_EQ(state["group"], "-1");
	EXPECT_EQ(state["button_enabled"], "0");
	// An item chosen by hand enables it.
	size_t mark = fProbe.Mark();
	Click(InstallerLayout::kButtonX, InstallerLayout::kButtonY);
	EXPECT_FALSE(WaitForState([](State& s) { return s["step"] == "2"; }, mark, nullptr, 1s));
}

TEST_F(InstallerTest, AGroupSelectsItsItemsAndAnEmptyGroupDisablesTheButton)
{
	Launch(fWorld.Build("Small", SmallProduct("", true), kSmallFiles));
	// The list marks the row at once and sends its message after: a state
	// reported in between (a hover) shows the row with the old items, so the
	// wait is for the whole outcome.
	struct Case {
		int row;
		const char* selected;
		const char* enabled;
	};
	for (const Case& c : {Case{1, "", "0"}, Case{0, "0", "1"}}) {
		const size_t mark = fProbe.Mark();
		Click(InstallerLayout::kGroupX, InstallerLayout::kListTop + kGroupRow * c.row + 9);
		State state;
		EXPECT_TRUE(WaitForState(
		        [&](State& s) {
			        return s["group"] == std::to_string(c.row) && s["selected"] == c.selected &&
			               s["button_enabled"] == c.enabled;
		        },
		        mark, &state, 5s))
		        << "group " << c.row << ": selected " << state["selected"] << ", button enabled "
		        << state["button_enabled"] << "\n"
		        << Output();
	}
}

TEST_F(InstallerTest, ADamagedInstallerShowsTheConfigurationErrorAndAnEmptyWindow)
{
	const std::string installer = fWorld.Build("Small", SmallProduct("", true), kSmallFiles);
	// The record's header, after the program, loses its magic.
	std::string bytes = ReadFile(installer);
	const size_t stub = size_t(fs::file_size(VANTRY_PROBE));
	const size_t record = bytes.rfind("1BOF", bytes.find("app_name", stub));
	ASSERT_NE(record, std::string::npos);
	bytes[record] = 'X';
	std::ofstream(installer, std::ios::binary | std::ios::trunc) << bytes;

	const std::vector<std::string> env = WindowEnvironment();
	fTitle = "Small";
	ASSERT_TRUE(fProbe.Start(installer, env));
	int left, top, width, height;
	ASSERT_TRUE(WaitForAlert("Error obtaining configuration in installer. The installer was "
	                         "improperly built.",
	                         &left, &top, &width, &height, 0))
	        << Output();
	ClickDefaultButton(left, top, width, height);
	// The window then opens, empty.
	State state;
	ASSERT_TRUE(WaitForState([](State& s) { return s.count("step") != 0; }, 0, &state));
	EXPECT_TRUE(fProbe.WaitUntil(DrawnTitled("Small"), 10s)) << Output();
	EXPECT_EQ(state["selected"], "");
	EXPECT_EQ(state["group"], "-1");
	EXPECT_EQ(state["step"], "1");
}

TEST_F(InstallerTest, HoveringAGroupShowsItsDescription)
{
	// Without a window manager the window takes the keyboard itself.
	Launch(fWorld.Build("Small", SmallProduct("", true), kSmallFiles), {}, false);
	size_t mark = fProbe.Mark();
	ASSERT_EQ(Tool({"xdotool", "mousemove", std::to_string(fX + InstallerLayout::kGroupX),
	                std::to_string(fY + InstallerLayout::kListTop + 9), "mousemove", "--sync",
	                std::to_string(fX + InstallerLayout::kGroupX + 2),
	                std::to_string(fY + InstallerLayout::kListTop + 10)}),
	          0);
	EXPECT_TRUE(fProbe.WaitUntil(
	        [](const std::vector<std::string>& words) {
		        return words.size() >= 2 && words[0] == "shown" && words[1] != "Small";
	        },
	        10s, nullptr, mark))
	        << Output();
}

TEST_F(InstallerTest, SelectedRowsTakeTheDesktopsColoursAndTheListSaysHowItSelects)
{
	const std::string resources = fHome + "/resources";
	WriteFile(resources, "*selectBackground: #c03000\n");
	ASSERT_EQ(Tool({"xrdb", "-display", fServer.Display(), "-merge", resources}), 0);
	Launch(fWorld.Build("Small", SmallProduct("", true), kSmallFiles));
	const int itemRow = 18;
	const int second = InstallerLayout::kListTop + itemRow + 9;
	const char* const hint = "Click selects one; Ctrl-/Shift-click adds more";
	struct Step {
		int x;
		int y;
		std::vector<std::string> keys;
		const char* selected;
		const char* instruction;
	};
	const Step steps[] = {
	        {InstallerLayout::kItemX, second, {}, "1", hint},
	        {InstallerLayout::kItemX, second - itemRow, {"ctrl"}, "0,1", hint},
	        {InstallerLayout::kItemX, second, {}, "1", hint},
	        // The group list takes the keyboard: the step's own instruction again.
	        {InstallerLayout::kGroupX,
	         InstallerLayout::kListTop + 9,
	         {},
	         "1",
	         "Select destination folder and press Install"},
	};
	for (const Step& step : steps) {
		const size_t mark = fProbe.Mark();
		Click(step.x, step.y, step.keys);
		State state;
		EXPECT_TRUE(WaitForState(
		        [&](State& s) {
			        return s["selected"] == step.selected && s["instruction"] == step.instruction;
		        },
		        mark, &state, 10s))
		        << step.selected << ": " << state["selected"] << " " << state["instruction"];
		if (&step != &steps[2])
			continue;
		// The second item alone: the desktop's colour, with light text.
		std::this_thread::sleep_for(300ms);
		e2e::Image shot;
		ASSERT_TRUE(Screenshot(&shot));
		EXPECT_TRUE(shot.Is(fX + 420, fY + second, 0xc0, 0x30, 0x00));
		EXPECT_TRUE(shot.Is(fX + 420, fY + second - itemRow, 255, 255, 255));
		int light = 0;
		for (int y = fY + second - 6; y <= fY + second + 6; y++) {
			for (int x = fX + 300; x < fX + 400; x++) {
				int r, g, b;
				shot.Pixel(x, y, &r, &g, &b);
				light += r > 200 && g > 200 && b > 200 ? 1 : 0;
			}
		}
		EXPECT_GT(light, 20) << "the selected item's name reads in white";
	}
}

TEST_F(InstallerTest, AnEnlargedWindowShowsMoreOfTheLicenceAndNeverShrinksBelowItsFrame)
{
	// Forty paragraphs of three lines wrapped by hand at 40 columns.
	std::string licence;
	for (int i = 0; i < 40; i++)
		licence += "Paragraph " + std::to_string(i) +
		           " of the terms, wrapped\\nby hand at forty columns as licences\\noften "
		           "are.\\n\\n";
	Launch(fWorld.Build("Small", SmallProduct("license = \"" + licence + "\"\n", true),
	                    kSmallFiles));
	State first;
	ASSERT_TRUE(WaitForState([](State& s) { return s["step"] == "1"; }, 0, &first)) << Output();
	EXPECT_EQ(first["frame"], "456x258");
	std::string id;
	Tool({"xdotool", "search", "--name", "^Small$"}, &id);
	id = id.substr(0, id.find('\n'));
	struct Case {
		const char* size[2];
		const char* frame;
	};
	const Case cases[] = {{{"900", "700"}, "900x700"}, {{"300", "200"}, "456x258"}};
	for (const Case& test : cases) {
		const size_t mark = fProbe.Mark();
		ASSERT_EQ(Tool({"xdotool", "windowsize", id, test.size[0], test.size[1]}), 0);
		State state;
		EXPECT_TRUE(
		        WaitForState([&](State& s) { return s["frame"] == test.frame; }, mark, &state, 10s))
		        << test.frame << ": " << state["frame"];
		if (std::string(test.frame) != "900x700")
			continue;
		// More rows show, and the joined paragraphs wrap to fewer lines.
		EXPECT_GT(std::stoi(state["licence_rows"]), 2 * std::stoi(first["licence_rows"]));
		EXPECT_LT(std::stoi(state["licence_lines"]), 40 * 3);
		EXPECT_LT(std::stoi(state["licence_lines"]), std::stoi(first["licence_lines"]));
	}
}

// The product's name is written in pure blue; the picture has none of it.
bool NameShown(const e2e::Image& shot, const int& x, const int& y)
{
	int left = x + 10, top = y + 16, right = x + 160, bottom = y + 216;
	return shot.BoundsOf(0, 0, 255, &left, &top, &right, &bottom) && left >= x + 10 &&
	       right <= x + 160 && top >= y + 16 && bottom <= y + 216;
}

TEST_F(InstallerTest, ClickingTheProductViewSwitchesBetweenPictureAndText)
{
	const std::string product = ProductHead("Small") + "about_image = \"about.png\"\n" +
	                            SmallProduct("", true).substr(ProductHead("Small").size());
	std::map<std::string, std::string> files = kSmallFiles;
	files["about.png"] = ReadFile(std::string(VANTRY_SOURCE_DIR) + "/examples/hello/about.png");
	Launch(fWorld.Build("Small", product, files));
	e2e::Image shot;
	ASSERT_TRUE(Screenshot(&shot));
	EXPECT_FALSE(NameShown(shot, fX, fY));
	Click(InstallerLayout::kProductX, InstallerLayout::kProductY);
	EXPECT_TRUE(WaitForScreen([&](const e2e::Image& image) { return NameShown(image, fX, fY); }, 5s,
	                          &shot));
	Click(InstallerLayout::kProductX, InstallerLayout::kProductY);
	EXPECT_TRUE(WaitForScreen([&](const e2e::Image& image) { return !NameShown(image, fX, fY); },
	                          5s, &shot));
}

} // namespace
