// The installer's command line: the window mode without a display, usage and
// answer-file mistakes, the licence, item and type names, volumes, and the
// exit code of each outcome before the run starts.
#include "InstallTestSupport.h"

using namespace install_test;

namespace {

std::string SmallProduct(const std::string& extra = "")
{
	return ProductHead("Small") + "license = \"Use it well.\"\n" + extra + BasicAndDocsItems();
}

const std::map<std::string, std::string> kSmallFiles = {{"files/tool.txt", "tool"},
                                                        {"files/guide.txt", "guide"}};

class UnattendedCommandLineTest : public testing::Test {
protected:
	void SetUp() override { installer = world.Build("small", SmallProduct(), kSmallFiles); }

	InstallWorld world;
	std::string installer;
};

TEST_F(UnattendedCommandLineTest, WithoutUnattendedOrDisplayNothingIsInstalled)
{
	world.SetEnv("DISPLAY", std::nullopt);
	world.SetEnv("WAYLAND_DISPLAY", std::nullopt);
	const RunResult run = world.Run({installer});
	EXPECT_EQ(run.code, 2);
	EXPECT_NE(run.errors.find("no display to show the installer window"), std::string::npos)
	        << run.errors;
	EXPECT_FALSE(Exists(world.Apps() + "/Small"));
}

TEST_F(UnattendedCommandLineTest, HelpListsTheExitCodes)
{
	const RunResult run = world.Run({installer, "--help"});
	EXPECT_EQ(run.code, 0);
	EXPECT_NE(run.output.find("--answers FILE"), std::string::npos);
	EXPECT_NE(run.output.find("4 ended by a requirement"), std::string::npos);
}

struct MistakeCase {
	const char* name;
	std::vector<std::string> arguments; // after --unattended; {A} is the apps folder
	const char* answers;                // null: none
	int exitCode;
	const char* message; // a text the error output or transcript holds
};

// Test names show the case, not its bytes.
void PrintTo(const MistakeCase& test, std::ostream* stream)
{
	*stream << test.name;
}

class UnattendedMistakeTest : public UnattendedCommandLineTest,
                              public testing::WithParamInterface<MistakeCase> {};

TEST_P(UnattendedMistakeTest, RefusesBeforeAnythingIsInstalled)
{
	const MistakeCase& test = GetParam();
	std::vector<std::string> arguments;
	for (const std::string& argument : test.arguments)
		arguments.push_back(argument == "{A}" ? world.Apps() : argument);
	const RunResult run = world.Install(installer, arguments, OptionalText(test.answers));
	EXPECT_EQ(run.code, test.exitCode) << run.output << run.errors;
	EXPECT_NE((run.output + run.errors).find(test.message), std::string::npos)
	        << run.output << run.errors;
	EXPECT_FALSE(Exists(world.Apps() + "/Small"));
	EXPECT_TRUE(Labelled(run.output, "status").empty()) << "no run was started";
}

const std::vector<MistakeCase> kMistakes = {
        {"NoDestination", {"--yes"}, nullptr, 2, "needs --dest FOLDER or --volume NAME"},
        {"UnknownArgument", {"--dest", "{A}", "--fast"}, nullptr, 2, "unknown argument '--fast'"},
        {"TypeAndItems",
         {"--dest", "{A}", "--type", "Basic", "--items", "tool.txt"},
         nullptr,
         2,
         "cannot be used together"},
        {"UnknownType",
         {"--dest", "{A}", "--yes", "--accept-licence", "--type", "Full"},
         nullptr,
         2,
         "no install type is named \"Full\"; the types are \"Basic\", \"Docs\""},
        {"UnknownItem",
         {"--dest", "{A}", "--yes", "--accept-licence", "--items", "tool.txt,manual.txt"},
         nullptr,
         2,
         "no item is named \"manual.txt\""},
        {"UnknownLanguage",
         {"--dest", "{A}", "--yes", "--lang", "pt"},
         nullptr,
         2,
         "no language has the code \"pt\""},
        {"LicenceNotAgreed", {"--dest", "{A}"}, nullptr, 7, "licence: not agreed"},
        {"YesDoesNotAgreeToTheLicence",
         {"--dest", "{A}", "--yes"},
         nullptr,
         7,
         "or with --accept-licence"},
        {"LicenceDeclined",
         {"--dest", "{A}", "--yes"},
         "licence decline\n",
         7,
         "licence: declined (from the answers)"},
        {"AnswerFileMistake",
         {"--dest", "{A}"},
         "licence agree\ncollision maybe\n",
         2,
         ":2: 'maybe' is no answer to collision: use replace or keep"},
        {"AnswerFileUnknownKind",
         {"--dest", "{A}"},
         "reboot now\n",
         2,
         ":1: a line starts with licence, collision, requirement, launch or restart"},
        {"UnknownVolume",
         {"--volume", "Floppy", "--yes", "--accept-licence"},
         nullptr,
         2,
         "no volume is named \"Floppy\""},
        {"DestinationOnNoVolume",
         {"--dest", "/", "--yes", "--accept-licence"},
         nullptr,
         2,
         "lies on no volume the installer knows"},
};

INSTANTIATE_TEST_SUITE_P(Mistakes, UnattendedMistakeTest, testing::ValuesIn(kMistakes),
                         [](const testing::TestParamInfo<MistakeCase>& info) {
	                         return info.param.name;
                         });

TEST_F(UnattendedCommandLineTest, AgreedLicenceAndTypeInstall)
{
	const RunResult run = world.Install(
	        installer, {"--dest", world.Apps(), "--type", "Docs"},
	        std::string("# the product's licence\nlicense agree   # either spelling\n"));
	ASSERT_EQ(run.code, 0) << run.output;
	EXPECT_EQ(Labelled(run.output, "licence"),
	          (std::vector<std::string>{"agreed (from the answers)"}));
	EXPECT_TRUE(Exists(world.Apps() + "/Small/guide.txt"));
	EXPECT_FALSE(Exists(world.Apps() + "/Small/tool.txt"));
}

TEST_F(UnattendedCommandLineTest, MissingDestinationFolderIsAnInstallationFolderError)
{
	const RunResult run = world.Install(
	        installer, {"--dest", world.Apps() + "/missing", "--yes", "--accept-licence"});
	EXPECT_EQ(run.code, 1) << run.output;
	EXPECT_EQ(Labelled(run.output, "error"),
	          (std::vector<std::string>{
	                  "Failure to find selected installation folder. Unable to install files."}));
	EXPECT_EQ(Labelled(run.output, "result"),
	          (std::vector<std::string>{"installation folder error (1)"}));
	EXPECT_NE(run.output.find("\n  " + world.Apps() + "/missing: No such file or directory\n"),
	          std::string::npos)
	        << "the folder and the reason are named: " << run.output;
}

TEST_F(UnattendedCommandLineTest, VolumesAreOfferedAsTheVolumeMenuOffersThem)
{
	const std::string stick = world.Temp() + "/stick";
	const std::string disc = world.Temp() + "/disc";
	fs::create_directories(stick + "/home");
	fs::create_directories(disc);
	world.SetEnv("VANTRY_VOLUMES", stick + ":removable,name=Stick;" + disc + ":ro,name=Disc");

	RunResult run = world.Install(installer, {"--volume", "Disc", "--yes", "--accept-licence"});
	EXPECT_EQ(run.code, 2);
	EXPECT_NE(run.output.find("the volume \"Disc\" is not offered: it is read-only"),
	          std::string::npos)
	        << run.output;
	run = world.Install(installer, {"--volume", "Stick", "--yes", "--accept-licence"});
	EXPECT_EQ(run.code, 2);
	EXPECT_NE(run.output.find("may not be installed on a removable volume"), std::string::npos)
	        << run.output;

	const std::string allowed =
	        world.Build("removable", SmallProduct("req_removable_vol_ok = true\n"), kSmallFiles);
	run = world.Install(allowed, {"--volume", "Stick", "--yes", "--accept-licence"});
	ASSERT_EQ(run.code, 0) << run.output;
	EXPECT_TRUE(Exists(stick + "/home/Small/tool.txt")) << "the volume's home folder is used";
	EXPECT_NE(ReadFile(stick + "/home/Small/Log").find("\tOn volume Stick."), std::string::npos);
}

TEST_F(UnattendedCommandLineTest, InstallerWithoutProductIsDamaged)
{
	const std::string stub =
	        (fs::path(VANTRY_BUILD_TOOL).parent_path().parent_path().parent_path() /
	         "app/Installer")
	                .string();
	ASSERT_TRUE(Exists(stub)) << stub;
	const std::string copy = world.Temp() + "/bare-installer";
	fs::copy_file(stub, copy);
	fs::permissions(copy, fs::perms::owner_all);
	const RunResult run = world.Run({copy, "--unattended", "--dest", world.Apps(), "--yes"});
	EXPECT_EQ(run.code, 8) << run.output;
	EXPECT_EQ(Labelled(run.output, "error"),
	          (std::vector<std::string>{"Error obtaining configuration in installer. The installer "
	                                    "was improperly built."}));
}

} // namespace
