// A run that completes with failures says so: its own status text and exit
// code, each failure named with its path and reason on the transcript and in
// the log, and the other items placed.
#include "InstallTestSupport.h"

using namespace install_test;

namespace {

struct FailureCase {
	const char* name;
	// Product fields beyond the head and the two items.
	std::string fields;
	// Prepares the world before the run.
	void (*prepare)(InstallWorld& world);
	// The path of the failure below the home folder, and its reason.
	std::string failedPath;
	std::string reason;
};

void PrintTo(const FailureCase& test, std::ostream* stream)
{
	*stream << test.name;
}

const char* const kItems = R"(
[[custom_folder]]
custom_folder_name = "Blocked"
custom_root_dir = "User"
custom_sub_dir = "blocker/sub"

[[install_file]]
file_name = "files/good.txt"
[install_file.install_meta]
destination = "User Selected"

[[install_file]]
file_name = "files/placed.txt"
[install_file.install_meta]
destination = "Blocked"
)";

class FailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(FailureTest, CompletesWithItsOwnCodeAndNamesEachFailure)
{
	const FailureCase& test = GetParam();
	InstallWorld world;
	WriteFile(world.Home() + "/blocker", "a file where a folder should be");
	if (test.prepare != nullptr)
		test.prepare(world);
	// A product that keeps what a failed run placed.
	const std::string product =
	        ProductHead("Fails") + "opt_log = true\nopt_rollback = false\n" + test.fields + kItems;
	const std::string installer =
	        world.Build("fails", product, {{"files/good.txt", "good"}, {"files/placed.txt", "x"}});
	const RunResult run = world.Install(
	        installer, {"--dest", world.Apps(), "--items", "good.txt,placed.txt", "--yes"});

	EXPECT_EQ(run.code, 10) << run.output << run.errors;
	const std::string failure = world.Home() + "/" + test.failedPath + ": " + test.reason;
	const std::vector<std::string> failed = Labelled(run.output, "failed");
	EXPECT_NE(std::find(failed.begin(), failed.end(), failure), failed.end()) << run.output;
	const std::vector<std::string> statuses = Labelled(run.output, "status");
	EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Installation Completed With Failures"),
	          statuses.end())
	        << run.output;
	EXPECT_EQ(std::find(statuses.begin(), statuses.end(), "Installation Complete"), statuses.end());
	EXPECT_NE(run.output.find("result: completed with failures (10)"), std::string::npos);
	const std::string log = ReadFile(world.Apps() + "/Fails/Log");
	EXPECT_NE(log.find("\t\t\tFailed: " + failure + "\n"), std::string::npos) << log;
	EXPECT_EQ(ReadFile(world.Apps() + "/Fails/good.txt"), "good") << "the rest is installed";
}

// By default the failure undoes the run: the machine is as it was, and the
// message names the failure and a copy of the log that names it too.
TEST_P(FailureTest, UndoesTheRunByDefault)
{
	const FailureCase& test = GetParam();
	InstallWorld world;
	// The run stops at its first failure: only the one of this case is set up.
	if (test.failedPath.rfind("blocker", 0) == 0)
		WriteFile(world.Home() + "/blocker", "a file where a folder should be");
	if (test.prepare != nullptr)
		test.prepare(world);
	const std::string product = ProductHead("Fails") + "opt_log = true\n" + test.fields + kItems;
	const std::string installer =
	        world.Build("fails", product, {{"files/good.txt", "good"}, {"files/placed.txt", "x"}});
	const auto before = TreeState(world.Home());
	const RunResult run = world.Install(
	        installer, {"--dest", world.Apps(), "--items", "good.txt,placed.txt", "--yes"});

	EXPECT_EQ(run.code, 12) << run.output << run.errors;
	const std::string failure = world.Home() + "/" + test.failedPath + ": " + test.reason;
	const std::vector<std::string> failed = Labelled(run.output, "failed");
	EXPECT_NE(std::find(failed.begin(), failed.end(), failure), failed.end()) << run.output;
	EXPECT_NE(run.output.find("result: failed; every change was undone (12)"), std::string::npos);
	EXPECT_FALSE(Exists(world.Apps() + "/Fails")) << run.output;
	EXPECT_EQ(TreeState(world.Home()), before) << "the home folder is as it was";
	const std::string marker = "A copy of its log is at '";
	const size_t at = run.output.find(marker);
	ASSERT_NE(at, std::string::npos) << run.output;
	const size_t start = at + marker.size();
	const std::string copy = run.output.substr(start, run.output.find('\'', start) - start);
	EXPECT_NE(ReadFile(copy).find("\t\t\tFailed: " + failure + "\n"), std::string::npos) << copy;
}

INSTANTIATE_TEST_SUITE_P(
        Failures, FailureTest,
        testing::Values(FailureCase{"ItemWhoseFolderCannotBeMade", "", nullptr,
                                    "blocker/sub/placed.txt", "Not a directory"},
                        FailureCase{"ScriptThatCannotBeEdited",
                                    "edit_profile = true\nedit_profile_tag = \"FAILS\"\n"
                                    "edit_profile_contents = \"export A=1\"\n",
                                    [](InstallWorld& world) {
	                                    fs::create_directories(world.Home() + "/.profile");
                                    },
                                    ".profile", "Is a directory"}),
        [](const testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

} // namespace
