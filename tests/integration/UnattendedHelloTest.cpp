// The sample product installed unattended into a BeOS-layout root: where
// every entry goes, its dates and tags, the log line by line, the status
// texts, the script section, the deinstaller, and a second installation.
#include <sys/stat.h>

#include "InstallTestSupport.h"
#include "Message.h"
#include "Resources.h"

using namespace install_test;

namespace {

const char* const kHelloTag = "Hello;1.0.0;2024-06-01;The Vantry authors;hello@example.org;";

class UnattendedHelloTest : public testing::Test {
protected:
	void SetUp() override
	{
		source = std::string(VANTRY_SOURCE_DIR) + "/examples/hello";
		installer = world.Temp() + "/installers/hello-installer";
		const RunResult built =
		        world.Run({VANTRY_BUILD_TOOL, source + "/product.toml", "-o", installer});
		ASSERT_EQ(built.code, 0) << built.errors;
		folder = world.Apps() + "/Hello";
		docs = world.Home() + "/Documents/Hello";
	}

	RunResult InstallFull(const std::vector<std::string>& extra = {})
	{
		std::vector<std::string> arguments = {"--dest", world.Apps(), "--type",
		                                      "Full",   "--yes",      "--accept-licence"};
		arguments.insert(arguments.end(), extra.begin(), extra.end());
		return world.Install(installer, arguments);
	}

	// The log's lines from "Installation Started" on, without the two dates.
	std::vector<std::string> RunLines()
	{
		std::vector<std::string> lines = Lines(ReadFile(folder + "/Log"));
		std::vector<std::string> run;
		bool started = false;
		for (const std::string& line : lines) {
			if (line.rfind("\tInstallation Started: ", 0) == 0) {
				started = true;
				continue;
			}
			if (started && line.rfind("\tInstallation Complete: ", 0) == 0) {
				run.push_back("<complete>");
				continue;
			}
			if (started)
				run.push_back(line);
		}
		return run;
	}

	InstallWorld world;
	std::string source;
	std::string installer;
	std::string folder;
	std::string docs;
};

TEST_F(UnattendedHelloTest, EveryItemGoesWhereTheProductSays)
{
	const RunResult run = InstallFull();
	ASSERT_EQ(run.code, 0) << run.output << run.errors;

	EXPECT_EQ(Tree(folder), (std::vector<std::string>{"Hello 1.0.0 Deinstaller", "Log",
	                                                  "ReadMe.txt", "Saved Files", "hello"}));
	EXPECT_EQ(Tree(docs),
	          (std::vector<std::string>{"Hello Docs", "Hello Docs/FAQ.txt",
	                                    "Hello Docs/Getting Started.txt", "Hello Docs/guides",
	                                    "Hello Docs/guides/Uninstalling.txt"}));
	EXPECT_EQ(ReadFile(folder + "/ReadMe.txt"), ReadFile(source + "/files/ReadMe.txt"));
	EXPECT_EQ(ReadFile(docs + "/Hello Docs/guides/Uninstalling.txt"),
	          ReadFile(source + "/files/Hello Docs/guides/Uninstalling.txt"));

	struct stat placed;
	struct stat original;
	ASSERT_EQ(stat((folder + "/hello").c_str(), &placed), 0);
	ASSERT_EQ(stat((source + "/files/hello").c_str(), &original), 0);
	EXPECT_NE(placed.st_mode & 0100, 0u) << "the program stays executable";
	EXPECT_EQ(placed.st_mtime, original.st_mtime) << "the item keeps its modification date";
	ASSERT_EQ(stat((docs + "/Hello Docs").c_str(), &placed), 0);
	ASSERT_EQ(stat((source + "/files/Hello Docs").c_str(), &original), 0);
	EXPECT_EQ(placed.st_mtime, original.st_mtime) << "a moved folder keeps its date";
}

TEST_F(UnattendedHelloTest, StatusTextsComeInTheRunsOrder)
{
	const RunResult run = InstallFull();
	ASSERT_EQ(run.code, 0) << run.output;
	EXPECT_EQ(
	        Labelled(run.output, "status"),
	        (std::vector<std::string>{"Checking System Resources...", "Creating deinstaller...",
	                                  "Installing 1 of 3 (ReadMe.txt)", "Installing 2 of 3 (hello)",
	                                  "Installing 3 of 3 (Hello Docs)", "Installation Complete"}));
	EXPECT_EQ(Labelled(run.output, "result"), (std::vector<std::string>{"completed (0)"}));
	// The completion message comes after "Installation Complete", then the folder opens.
	const size_t complete = run.output.find("status: Installation Complete");
	const size_t message = run.output.find("message: Installation successfully completed.");
	ASSERT_NE(message, std::string::npos) << run.output;
	EXPECT_LT(complete, message);
	EXPECT_NE(run.output.find("  Type hello in a terminal to be greeted."), std::string::npos);
	// The file manager is started detached: it may write after the installer ended.
	const std::string opened = world.Temp() + "/opened.txt";
	WaitUntil([&] { return !ReadFile(opened).empty(); }, 5.0);
	EXPECT_EQ(ReadFile(opened), folder + "\n");
}

TEST_F(UnattendedHelloTest, LogRecordsTheInstallationLineByLine)
{
	ASSERT_EQ(InstallFull().code, 0);
	const std::vector<std::string> lines = Lines(ReadFile(folder + "/Log"));
	ASSERT_GT(lines.size(), 33u);
	EXPECT_EQ(lines[0], "VANTRY");
	EXPECT_EQ(lines[1].rfind("\tVersion ", 0), 0u) << lines[1];
	const std::vector<std::string> expected = {"",
	                                           "APPLICATION",
	                                           "\tApplication : Hello",
	                                           "\tVersion : 1.0.0",
	                                           "\tRelease Date : 2024-06-01",
	                                           "\tCompany : The Vantry authors",
	                                           "\tSupport Email : hello@example.org",
	                                           "\tSignature : This installer is not signed",
	                                           "",
	                                           "ABOUT THIS SYSTEM"};
	EXPECT_EQ(std::vector<std::string>(lines.begin() + 4, lines.begin() + 14), expected);
	EXPECT_EQ(lines[15].rfind("\tFree Disk Space : ", 0), 0u) << lines[15];
	const std::vector<std::string> requirements = {"",
	                                               "INSTALLER REQUIREMENTS",
	                                               "\tDisk Space Needed: Yes",
	                                               "\t\tDisk spaced suggested: 1024.0 KB",
	                                               "\tPhysical RAM Needed: No",
	                                               "\tBoot Volume Only: No",
	                                               "\tRemovable Volume Allowed: No",
	                                               "\tShared Volume Allowed: No",
	                                               "\tShared Libraries:",
	                                               "\tDependent Applications:",
	                                               "",
	                                               "INSTALLATION",
	                                               "\tOn volume boot.",
	                                               "\tIn folder " + folder + ".",
	                                               "\tReplaced files moved to " + folder +
	                                                       "/Saved Files",
	                                               ""};
	EXPECT_EQ(std::vector<std::string>(lines.begin() + 16, lines.begin() + 32), requirements);

	EXPECT_EQ(RunLines(),
	          (std::vector<std::string>{"\t\tInstalling : ReadMe.txt", "\t\tInstalling : hello",
	                                    "\t\tInstalling : Hello Docs", "\t\t\tPlaced in " + docs,
	                                    "\tAdded script tab Hello to " + world.Home() + "/.profile",
	                                    "<complete>"}));
	EXPECT_EQ(Attr(folder + "/Log", "mime_type"), "text/plain");
}

TEST_F(UnattendedHelloTest, OnlyDeinstallableEntriesCarryTheTag)
{
	ASSERT_EQ(InstallFull().code, 0);
	std::vector<std::string> tagged;
	for (const std::string& entry : Tree(world.Boot())) {
		const std::optional<std::string> tag = DeinstallTag(world.Boot() + "/" + entry);
		if (!tag)
			continue;
		EXPECT_EQ(*tag, kHelloTag) << entry;
		tagged.push_back(entry);
	}
	EXPECT_EQ(tagged,
	          (std::vector<std::string>{
	                  "apps/Hello/ReadMe.txt", "apps/Hello/hello",
	                  "home/Documents/Hello/Hello Docs", "home/Documents/Hello/Hello Docs/FAQ.txt",
	                  "home/Documents/Hello/Hello Docs/Getting Started.txt",
	                  "home/Documents/Hello/Hello Docs/guides",
	                  "home/Documents/Hello/Hello Docs/guides/Uninstalling.txt"}));
}

TEST_F(UnattendedHelloTest, DeinstallerCarriesTheReducedRecordAndTheLanguage)
{
	ASSERT_EQ(InstallFull({"--lang", "fr"}).code, 0);
	const std::string deinstaller = folder + "/Hello 1.0.0 Deinstaller";
	EXPECT_EQ(Attr(deinstaller, "language"), "fr");
	BResources resources(deinstaller.c_str(), false);
	ASSERT_EQ(resources.InitCheck(), B_OK);
	size_t size = 0;
	const void* data = resources.LoadResource(B_STRING_TYPE, 2002, &size);
	ASSERT_NE(data, nullptr);
	BMessage record;
	ASSERT_EQ(record.Unflatten(static_cast<const char*>(data), ssize_t(size)), B_OK);
	EXPECT_STREQ(record.FindString("app_name"), "Hello");
	EXPECT_STREQ(record.FindString("support_email"), "hello@example.org");
	EXPECT_TRUE(record.FindBool("edit_profile"));
	EXPECT_STREQ(record.FindString("edit_profile_tag"), "Hello");
	EXPECT_FALSE(record.FindBool("edit_bootscript"));
	EXPECT_EQ(record.FindString("edit_bootscript_tag"), nullptr);
	EXPECT_EQ(record.FindString("license"), nullptr) << "only the reduced record travels";
	struct stat info;
	ASSERT_EQ(stat(deinstaller.c_str(), &info), 0);
	EXPECT_NE(info.st_mode & 0100, 0u);
}

TEST_F(UnattendedHelloTest, FrenchRunSpeaksFrench)
{
	const RunResult run = InstallFull({"--lang", "fr"});
	ASSERT_EQ(run.code, 0) << run.output;
	const std::vector<std::string> statuses = Labelled(run.output, "status");
	ASSERT_EQ(statuses.size(), 6u) << run.output;
	EXPECT_EQ(statuses[0], "Vérification des ressources système...");
	EXPECT_EQ(statuses[2], "Installation de 1 sur 3 (ReadMe.txt)");
	EXPECT_EQ(statuses[5], "Installation terminée");
}

TEST_F(UnattendedHelloTest, SecondInstallationTrashesTheFirstAndKeepsOneSection)
{
	ASSERT_EQ(InstallFull().code, 0);
	const std::string firstLog = ReadFile(folder + "/Log");
	const std::string firstScript = ReadFile(world.Home() + "/.profile");
	const RunResult second = InstallFull();
	ASSERT_EQ(second.code, 0) << second.output;

	EXPECT_EQ(ReadFile(world.Trash() + "/Hello/Log"), firstLog)
	        << "the earlier installation folder is in the trash, whole";
	EXPECT_TRUE(Exists(folder + "/Log"));
	// The docs folder was in the way of itself: the rule "Rename" keeps the first.
	EXPECT_TRUE(Exists(docs + "/Hello Docs copy/FAQ.txt"));
	EXPECT_TRUE(Exists(docs + "/Hello Docs/FAQ.txt"));
	std::vector<std::string> run = RunLines();
	EXPECT_EQ(run[3], "\t\t\tExisting file renamed");
	EXPECT_EQ(run[4], "\t\t\tPlaced in " + docs);

	const std::string script = ReadFile(world.Home() + "/.profile");
	size_t sections = 0;
	for (size_t at = script.find("#BEGIN_Hello"); at != std::string::npos;
	     at = script.find("#BEGIN_Hello", at + 1))
		sections++;
	EXPECT_EQ(sections, 1u) << script;
	EXPECT_EQ(ReadFile(world.Home() + "/.profile.orig"), firstScript)
	        << "the script as it stood before the second edit is kept";
}

TEST_F(UnattendedHelloTest, MinimalTypeInstallsOnlyItsItems)
{
	const RunResult run =
	        world.Install(installer, {"--dest", world.Apps(), "--yes", "--accept-licence"});
	ASSERT_EQ(run.code, 0) << run.output;
	EXPECT_EQ(Labelled(run.output, "items"), (std::vector<std::string>{"ReadMe.txt, hello"}));
	EXPECT_FALSE(Exists(docs));
	EXPECT_EQ(Labelled(run.output, "status")[3], "Installing 2 of 2 (hello)");
}

} // namespace
