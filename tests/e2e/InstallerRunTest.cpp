// A run seen from the window: the progress bar follows the bytes placed and is
// full only at the end; Stop ends the run at a safe point, says so and ends
// the program, leaving no item half-written.
#include <random>

#include "InstallerFixture.h"

using namespace std::chrono_literals;
using e2e::InstallerTest;
using namespace install_test;

namespace {

const int kItems = 8;

std::string Noise(const size_t& size, const unsigned& seed)
{
	std::mt19937 random(seed);
	std::string bytes(size, '\0');
	for (char& byte : bytes)
		byte = char(random());
	return bytes;
}

std::string ItemName(const int& i)
{
	return "item" + std::to_string(i);
}

std::string BulkProduct()
{
	std::string text =
	        ProductHead("Bulk") + "opt_compression = 1\n[[groups]]\ngroup_name = \"All\"\n";
	for (int i = 0; i < kItems; i++)
		text += "\n[[install_file]]\nfile_name = \"files/" + ItemName(i) +
		        "\"\ngroups = [\"All\"]\n";
	return text;
}

std::map<std::string, std::string> BulkFiles(const size_t& itemSize)
{
	std::map<std::string, std::string> files;
	for (int i = 0; i < kItems; i++) {
		files["files/" + ItemName(i) + "/data.bin"] = Noise(itemSize, unsigned(i));
		files["files/" + ItemName(i) + "/note.txt"] = "note of " + ItemName(i);
	}
	return files;
}

TEST_F(InstallerTest, TheProgressBarGrowsWithThePlacedBytesAndFillsAtTheEnd)
{
	Launch(fWorld.Build("Bulk", BulkProduct(), BulkFiles(1 << 20)));
	const size_t mark = fProbe.Mark();
	ClickButton();
	int left, top, width, height;
	ASSERT_TRUE(WaitForAlert("successfully completed", &left, &top, &width, &height, mark))
	        << Output();
	ClickDefaultButton(left, top, width, height);
	// Every line the program writes comes before its loop ends.
	EXPECT_TRUE(fProbe.WaitFor({"loop-ended"}, 30s, nullptr, mark)) << Output();
	EXPECT_EQ(WaitForEnd(), 0);

	// Step 3 is the run, step 4 its completion.
	std::vector<double> progress;
	double completed = -1;
	for (size_t i = mark; i < fProbe.Lines().size(); i++) {
		const State state = ParseState(fProbe.Lines()[i]);
		if (state.count("progress") == 0)
			continue;
		if (state.at("step") == "3")
			progress.push_back(std::stod(state.at("progress")));
		else if (state.at("step") == "4" && completed < 0)
			completed = std::stod(state.at("progress"));
	}
	ASSERT_FALSE(progress.empty()) << Output();
	EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end())) << Output();
	EXPECT_EQ(completed, 1.0) << Output();
	// Before the end it is never full, and it shows some share between.
	EXPECT_LT(progress.back(), 1.0) << Output();
	const auto between = std::count_if(progress.begin(), progress.end(),
	                                   [](const double& value) { return value > 0 && value < 1; });
	EXPECT_GT(between, 0) << Output();
}

TEST_F(InstallerTest, AFreshHomeInstallsIntoTheOfferedFolderAndTheEndIsCentredWithQuit)
{
	// The desktop's own layout, whose home has no Applications folder yet.
	fWorld.SetEnv("VANTRY_ROOT", std::nullopt);
	const std::string product = ProductHead("Fresh") +
	                            "license = \"Terms.\"\nopt_default_folder = \"Applications\"\n"
	                            "[[groups]]\ngroup_name = \"All\"\n[[install_file]]\n"
	                            "file_name = \"files/tool.txt\"\ngroups = [\"All\"]\n";
	Launch(fWorld.Build("Fresh", product, {{"files/tool.txt", "tool"}}));
	const std::string offered = fWorld.Home() + "/Applications";
	ASSERT_FALSE(Exists(offered));
	size_t mark = fProbe.Mark();
	ClickButton();
	// The path is cut at its beginning to fit.
	ASSERT_TRUE(WaitForState(
	        [](State& s) {
		        return s["step"] == "2" && s["destination"].ends_with("/Applications");
	        },
	        mark))
	        << Output();
	mark = fProbe.Mark();
	ClickButton();
	int left, top, width, height;
	ASSERT_TRUE(WaitForAlert("successfully completed", &left, &top, &width, &height, mark))
	        << Output();
	State state;
	ASSERT_TRUE(WaitForState([](State& s) { return s["step"] == "4"; }, mark, &state)) << Output();
	EXPECT_EQ(state["button"], "Quit");
	EXPECT_EQ(state["button_enabled"], "1");
	// Centred on the window, give or take the rounding of a half pixel.
	EXPECT_LE(std::abs((left + width / 2) - (fX + 456 / 2)), 1) << left << " " << width;
	EXPECT_LE(std::abs((top + height / 2) - (fY + 258 / 2)), 1) << top << " " << height;
	ClickDefaultButton(left, top, width, height);
	EXPECT_EQ(WaitForEnd(), 0);
	EXPECT_EQ(ReadFile(offered + "/Fresh/tool.txt"), "tool");
}

#ifdef VANTRY_XCLOSE
TEST_F(InstallerTest, ClosingTheWindowAtAQuestionStopsAndTheUndoRunsTheBarBack)
{
	// 30 000 files placed, then a question about an entry in the way.
	std::map<std::string, std::string> files = {{"files/late.txt", "new"}};
	for (int i = 0; i < 30000; i++)
		files["files/many/d" + std::to_string(i / 300) + "/f" + std::to_string(i)] = "x";
	const std::string product = ProductHead("Many") + R"(opt_compression = 1
[[groups]]
group_name = "All"
)" + UserFolder("Target", "target") +
	                            R"([[install_file]]
file_name = "files/many"
groups = ["All"]
[[install_file]]
file_name = "files/late.txt"
groups = ["All"]
install_meta = { destination = "Target", destination_exists = "Prompt", link = "None" }
)";
	WriteFile(fWorld.Home() + "/target/late.txt", "mine");
	Launch(fWorld.Build("Many", product, files));
	size_t mark = fProbe.Mark();
	ClickButton();
	int left, top, width, height;
	// Placing 30 000 files takes a minute or more on a busy machine.
	ASSERT_TRUE(WaitForAlert("late.txt", &left, &top, &width, &height, mark, 300s)) << Output();
	std::string id;
	Tool({"xdotool", "search", "--name", "^Many$"}, &id);
	mark = fProbe.Mark();
	ASSERT_EQ(Tool({VANTRY_XCLOSE, id.substr(0, id.find('\n'))}), 0);
	const auto stopping = [](State& s) {
		return s["instruction"] == "Stopping: undoing the installation...";
	};
	EXPECT_TRUE(WaitForState(stopping, mark, nullptr, 1s)) << "the undo shows within a second";
	ASSERT_TRUE(WaitForAlert("Installation was stopped before it could complete.", &left, &top,
	                         &width, &height, mark, 300s))
	        << Output();
	std::vector<double> progress;
	for (size_t i = mark; i < fProbe.Lines().size(); i++) {
		const State state = ParseState(fProbe.Lines()[i]);
		if (state.count("progress") != 0)
			progress.push_back(std::stod(state.at("progress")));
	}
	ASSERT_FALSE(progress.empty()) << Output();
	EXPECT_GT(progress.front(), 0) << "the bar starts where the run stood";
	EXPECT_TRUE(std::is_sorted(progress.rbegin(), progress.rend())) << "and only runs back";
	EXPECT_EQ(progress.back(), 0) << Output();
	ClickDefaultButton(left, top, width, height);
	EXPECT_EQ(WaitForEnd(), 0);
	EXPECT_FALSE(Exists(fWorld.Apps() + "/Many")) << "the placed item was undone";
	EXPECT_EQ(ReadFile(fWorld.Home() + "/target/late.txt"), "mine");
}
#endif

TEST_F(InstallerTest, StopEndsTheRunAtASafePointAndThenTheProgram)
{
	const std::map<std::string, std::string> files = BulkFiles(6 << 20);
	Launch(fWorld.Build("Bulk", BulkProduct(), files));
	const size_t mark = fProbe.Mark();
	ClickButton();
	ASSERT_TRUE(WaitForState([](State& s) { return s["button"] == "Stop"; }, mark)) << Output();
	const size_t stopped = fProbe.Mark();
	ClickButton();
	EXPECT_TRUE(WaitForState(
	        [](State& s) { return s["instruction"] == "Stopping: undoing the installation..."; },
	        stopped, nullptr, 1s))
	        << Output();
	int left, top, width, height;
	ASSERT_TRUE(WaitForAlert("Installation was stopped before it could complete.", &left, &top,
	                         &width, &height, mark, 300s))
	        << Output();
	ClickDefaultButton(left, top, width, height);
	EXPECT_EQ(WaitForEnd(), 0);

	// Every item is whole at its place or not there at all.
	int placed = 0;
	for (int i = 0; i < kItems; i++) {
		const std::string item = fWorld.Home() + "/Bulk/" + ItemName(i);
		if (!Exists(item))
			continue;
		placed++;
		EXPECT_EQ(ReadFile(item + "/data.bin"), files.at("files/" + ItemName(i) + "/data.bin"))
		        << ItemName(i);
		EXPECT_EQ(ReadFile(item + "/note.txt"), "note of " + ItemName(i)) << ItemName(i);
	}
	EXPECT_LT(placed, kItems) << "the run ended before Stop was pressed";
}

} // namespace
