// The options that report instead of installing: --version of every program,
// --help naming the product, --list, --extract and --verify, the build
// summary, and the progress lines of an unattended run.
#include "InstallTestSupport.h"
#include "Resources.h"

#include <set>

using namespace install_test;

namespace {

const char kPlan[] = R"(
[[groups]]
group_name = "Basic"
group_description = "Just the tool."
[[groups]]
group_name = "Docs"

[[install_file]]
file_name = "files/tool.txt"
groups = ["Basic"]

[[install_file]]
file_name = "files/guide"
groups = ["Docs"]
install_meta = { destination = "User Settings", link = "User Selected" }
)";

class ReportOptionsTest : public testing::Test {
protected:
	void SetUp() override
	{
		const std::string guide(40000, 'g');
		installer = world.Build("plan", ProductHead("Plan") + kPlan,
		                        {{"files/tool.txt", "tool\n"},
		                         {"files/guide/a.txt", guide},
		                         {"files/guide/b.txt", "b\n"}});
	}

	InstallWorld world;
	std::string installer;
};

TEST_F(ReportOptionsTest, EveryProgramTellsTheOneVersionTheLogRecords)
{
	const fs::path build = fs::path(VANTRY_BUILD_TOOL).parent_path().parent_path().parent_path();
	const std::vector<std::pair<std::string, std::string>> programs = {
	        {installer, "Installer"},
	        {(build / "deinstaller/Deinstaller").string(), "Deinstaller"},
	        {VANTRY_BUILD_TOOL, "vantry-build"},
	        {VANTRY_RES_TOOL, "vantry-res"},
	};
	std::set<std::string> versions;
	for (const auto& [program, name] : programs) {
		const RunResult run = world.Run({program, "--version"});
		EXPECT_EQ(run.code, 0) << name;
		EXPECT_EQ(run.output.rfind(name + " (Vantry ", 0), 0u) << run.output;
		const size_t start = run.output.find("(Vantry ") + strlen("(Vantry ");
		versions.insert(run.output.substr(start, run.output.find(')') - start));
	}
	ASSERT_EQ(versions.size(), 1u) << testing::PrintToString(versions);
	// The log names the version stamped into the installer when it was built.
	const RunResult run = world.Install(installer, {"--dest", world.Apps(), "--type", "Basic"});
	ASSERT_EQ(run.code, 0) << run.errors;
	const std::vector<std::string> log = Lines(ReadFile(world.Apps() + "/Plan/Log"));
	ASSERT_GT(log.size(), 1u);
	EXPECT_EQ(log[1], "\tVersion " + *versions.begin());
}

TEST_F(ReportOptionsTest, HelpNamesTheProductItsTypesAndItems)
{
	const RunResult run = world.Run({installer, "--help"});
	ASSERT_EQ(run.code, 0);
	for (const char* text :
	     {"This installer carries Plan 1.0.", "  Basic  Just the tool.\n", "  Docs\n",
	      "  tool.txt  5.0 bytes\n", "  guide  ", "--accept-licence", "--extract FOLDER"})
		EXPECT_NE(run.output.find(text), std::string::npos) << text << "\n" << run.output;
}

TEST_F(ReportOptionsTest, ListShowsEachItemsPlacement)
{
	const RunResult run = world.Run({installer, "--list"});
	ASSERT_EQ(run.code, 0) << run.errors;
	EXPECT_EQ(Labelled(run.output, "item"), (std::vector<std::string>{"tool.txt", "guide"}));
	for (const char* text :
	     {"install types: Basic, Docs\n",
	      "item: tool.txt\n  size: 5.0 bytes\n  install types: "
	      "Basic\n  destination: User Selected\n  link: None\n",
	      "  install types: Docs\n  destination: User Settings\n  link: User Selected\n"})
		EXPECT_NE(run.output.find(text), std::string::npos) << text << "\n" << run.output;
	EXPECT_FALSE(Exists(world.Apps() + "/Plan"));
}

TEST_F(ReportOptionsTest, ExtractUnpacksWithoutInstallingAndNeverOverwrites)
{
	const std::string out = world.Temp() + "/unpacked";
	RunResult run = world.Run({installer, "--extract", out});
	ASSERT_EQ(run.code, 0) << run.errors;
	EXPECT_EQ(ReadFile(out + "/tool.txt"), "tool\n");
	EXPECT_EQ(ReadFile(out + "/guide/b.txt"), "b\n");
	EXPECT_EQ(ReadFile(out + "/guide/a.txt").size(), 40000u);
	EXPECT_FALSE(Exists(world.Home() + "/config/settings/guide")) << "nothing was installed";

	WriteFile(out + "/tool.txt", "mine");
	run = world.Run({installer, "--extract", out});
	EXPECT_EQ(run.code, 1);
	EXPECT_NE(run.errors.find(out + "/tool.txt already exists"), std::string::npos) << run.errors;
	EXPECT_EQ(ReadFile(out + "/tool.txt"), "mine");

	run = world.Run({installer, "--extract", world.Temp() + "/no/such/folder"});
	EXPECT_EQ(run.code, 1);
	EXPECT_NE(run.errors.find("/no/such/folder: No such file or directory"), std::string::npos)
	        << run.errors;
}

TEST_F(ReportOptionsTest, VerifyNamesTheDamagedItem)
{
	RunResult run = world.Run({installer, "--verify"});
	ASSERT_EQ(run.code, 0) << run.errors;
	EXPECT_EQ(Labelled(run.output, "verified"), (std::vector<std::string>{"tool.txt", "guide"}));

	off_t offset = 0;
	size_t size = 0;
	{
		BResources resources(installer.c_str(), false);
		ASSERT_EQ(resources.GetResourceRange('RAWT', 2101, &offset, &size), B_OK);
	}
	// A byte in the middle of the second payload's compressed data.
	std::fstream file(installer, std::ios::in | std::ios::out | std::ios::binary);
	file.seekg(offset + off_t(size / 2));
	char byte = 0;
	file.read(&byte, 1);
	byte = char(byte ^ 0x55);
	file.seekp(offset + off_t(size / 2));
	file.write(&byte, 1);
	file.close();

	run = world.Run({installer, "--verify"});
	EXPECT_EQ(run.code, 8);
	EXPECT_NE(run.errors.find("the item \"guide\" is damaged"), std::string::npos) << run.errors;
}

TEST_F(ReportOptionsTest, BuildSummaryAndCheck)
{
	const std::string description = world.ProductFolder("plan") + "/product.toml";
	RunResult run = world.Run({VANTRY_BUILD_TOOL, description, "-o", world.Temp() + "/again"});
	ASSERT_EQ(run.code, 0) << run.errors;
	EXPECT_NE(run.output.find("2 items, 39.1 KB packed into "), std::string::npos) << run.output;
	EXPECT_NE(run.output.find("wrote " + world.Temp() + "/again ("), std::string::npos);
	EXPECT_NE(run.output.find("  tool.txt"), std::string::npos);

	run = world.Run({VANTRY_BUILD_TOOL, "--check", description});
	EXPECT_EQ(run.code, 0);
	EXPECT_EQ(run.output, description + ": the description is fine (2 items)\n");
}

TEST_F(ReportOptionsTest, ProgressIsPrintedInBytesWhenNotOnATerminal)
{
	const RunResult run =
	        world.Install(installer, {"--dest", world.Apps(), "--type", "Docs", "--yes"});
	ASSERT_EQ(run.code, 0) << run.output;
	const std::vector<std::string> progress = Labelled(run.output, "progress");
	ASSERT_FALSE(progress.empty()) << run.output;
	EXPECT_EQ(progress.back().substr(0, 5), "100% ") << progress.back();
	EXPECT_LE(progress.size(), 3u) << "at most once a second, and the last";
}

} // namespace
