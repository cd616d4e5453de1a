// Installing a new version over an earlier one with --upgrade: what the user
// changed or added stays, the new version's entries are placed or put
// beside, dropped entries go to the trash; --repair puts an installation
// back as it was placed; --installed lists the register.
#include <sys/stat.h>

#include "InstallTestSupport.h"

using namespace install_test;

namespace {

struct Version {
	std::string number;
	std::map<std::string, std::string> files;
};

// Version 2 changes config.txt and data.txt, drops old.txt and adds new.txt.
const Version kFirst = {"1.0",
                        {{"files/app/config.txt", "config 1"},
                         {"files/app/data.txt", "data 1"},
                         {"files/app/old.txt", "old 1"},
                         {"files/app/same.txt", "same"},
                         {"files/prefs", "prefs 1"}}};
const Version kSecond = {"2.0",
                         {{"files/app/config.txt", "config 2"},
                          {"files/app/data.txt", "data 2"},
                          {"files/app/new.txt", "new 2"},
                          {"files/app/same.txt", "same"},
                          {"files/prefs", "prefs 2"}}};

// Version 1 alone writes a section of the setup environment.
std::string Product(const std::string& version)
{
	const std::string setup = version == "1.0" ? "edit_setup_env = true\n"
	                                             "edit_setup_env_tag = \"UPGONE\"\n"
	                                             "edit_setup_env_contents = \"export ONE=1\"\n"
	                                           : "";
	return AppAndPrefsProduct("Upg", "UPG", version, setup + "opt_include_deinstall = true\n");
}

class UpgradeTest : public testing::Test {
protected:
	void SetUp() override
	{
		data = world.Temp() + "/data";
		fs::create_directories(data + "/apps");
		world.SetEnv("VANTRY_VOLUMES", data + ":name=Data");
		trash = data + "/.Trash-" + std::to_string(getuid()) + "/files";
		folder = data + "/apps/Upg";
	}

	std::string Installer(const Version& version)
	{
		return world.Build("upg-" + version.number, Product(version.number), version.files);
	}

	RunResult Install(const Version& version, std::vector<std::string> extra = {})
	{
		std::vector<std::string> arguments = {"--dest", data + "/apps", "--items", "app,prefs",
		                                      "--yes"};
		arguments.insert(arguments.end(), extra.begin(), extra.end());
		return world.Install(Installer(version), arguments);
	}

	// The user's work on version 1: one placed file changed, one file added.
	void ChangeAsAUser()
	{
		WriteFile(folder + "/app/config.txt", "config mine");
		WriteFile(folder + "/app/mine.txt", "my own");
		WriteFile(folder + "/notes.txt", "my notes");
	}

	std::vector<std::string> Lines(const RunResult& run, const std::string& label)
	{
		return Labelled(run.output, label);
	}

	InstallWorld world;
	std::string data;
	std::string trash;
	std::string folder;
};

TEST_F(UpgradeTest, KeepsTheUsersWorkPlacesTheNewVersionAndItsDeinstallerRemovesOnlyIt)
{
	ASSERT_EQ(Install(kFirst).code, 0);
	ASSERT_NE(ReadFile(world.UserBoot() + "/UserSetupEnvironment").find("UPGONE"),
	          std::string::npos);
	ChangeAsAUser();
	// The plan names the same decisions and changes nothing.
	const auto before = TreeState(data);
	const RunResult plan =
	        world.Install(Installer(kSecond), {"--plan", "--upgrade", "--dest", data + "/apps",
	                                           "--items", "app,prefs", "--yes"});
	ASSERT_EQ(plan.code, 0) << plan.output << plan.errors;
	EXPECT_EQ(TreeState(data), before);
	const std::vector<std::string> keep = Lines(plan, "keep");
	ASSERT_EQ(keep.size(), 1u) << plan.output;
	EXPECT_EQ(keep[0].rfind(folder + "/app/config.txt (changed", 0), 0u) << keep[0];
	EXPECT_EQ(Lines(plan, "trash"),
	          std::vector<std::string>{folder + "/app/old.txt (the new version no longer has it)"});
	const RunResult upgraded = Install(kSecond, {"--upgrade"});
	ASSERT_EQ(upgraded.code, 0) << upgraded.output << upgraded.errors;

	struct Expected {
		std::string path;
		std::optional<std::string> content;
	};
	const Expected expected[] = {
	        {"app/config.txt", "config mine"},
	        {"app/config.txt.new", "config 2"},
	        {"app/data.txt", "data 2"},
	        {"app/new.txt", "new 2"},
	        {"app/same.txt", "same"},
	        {"app/mine.txt", "my own"},
	        {"notes.txt", "my notes"},
	        {"app/old.txt", std::nullopt},
	        {"Upg 1.0 Deinstaller", std::nullopt},
	        {"Upg 2.0 Deinstaller", ""},
	};
	for (const Expected& entry : expected) {
		SCOPED_TRACE(entry.path);
		const std::string path = folder + "/" + entry.path;
		ASSERT_EQ(Exists(path), entry.content.has_value());
		if (entry.content && !entry.content->empty())
			EXPECT_EQ(ReadFile(path), *entry.content);
	}
	EXPECT_EQ(ReadFile(world.Home() + "/config/settings/prefs"), "prefs 2");
	EXPECT_EQ(DeinstallTag(world.Home() + "/config/settings/prefs"),
	          InstallWorld::Tag("Upg", "2.0"));
	EXPECT_EQ(DeinstallTag(folder + "/app/config.txt.new"), InstallWorld::Tag("Upg", "2.0"));
	EXPECT_EQ(ReadFile(trash + "/old.txt"), "old 1");
	EXPECT_NE(ReadFile(world.Home() + "/.profile").find("export UPG=2.0"), std::string::npos);
	EXPECT_EQ(ReadFile(world.Home() + "/.profile").find("export UPG=1.0"), std::string::npos);
	EXPECT_EQ(ReadFile(world.UserBoot() + "/UserSetupEnvironment").find("UPGONE"),
	          std::string::npos);
	EXPECT_NE(ReadFile(folder + "/Log").find("Installing : app"), std::string::npos);
	const std::vector<std::string> kept = Lines(upgraded, "kept");
	ASSERT_EQ(kept.size(), 1u) << upgraded.output;
	EXPECT_NE(kept[0].find(folder + "/app/config.txt.new"), std::string::npos) << kept[0];
	EXPECT_EQ(Lines(upgraded, "trashed"),
	          std::vector<std::string>{folder + "/app/old.txt (the new version no longer has it)"});
	EXPECT_EQ(Lines(upgraded, "upgrade"), std::vector<std::string>{folder + ": 1.0 to 2.0"});
	// Nothing of the upgrade's work folders is left beside the installation.
	EXPECT_EQ(Tree(data + "/apps"),
	          (std::vector<std::string>{
	                  "Upg", "Upg/Log", "Upg/Saved Files", "Upg/Upg 2.0 Deinstaller", "Upg/app",
	                  "Upg/app/config.txt", "Upg/app/config.txt.new", "Upg/app/data.txt",
	                  "Upg/app/mine.txt", "Upg/app/new.txt", "Upg/app/same.txt", "Upg/notes.txt"}));

	const RunResult removed = world.Run(
	        {folder + "/Upg 2.0 Deinstaller", "--unattended", "--volume", "Data", "--yes"});
	ASSERT_EQ(removed.code, 0) << removed.output << removed.errors;
	// Version 2's entries on the volume go; the user's change and files
	// stay, and with them the folder's log and deinstaller.
	EXPECT_EQ(Tree(folder),
	          (std::vector<std::string>{"Log", "Saved Files", "Upg 2.0 Deinstaller", "app",
	                                    "app/config.txt", "app/mine.txt", "notes.txt"}));
	EXPECT_EQ(ReadFile(world.Home() + "/.profile").find("UPG"), std::string::npos);
	const RunResult listed = world.Run({Installer(kSecond), "--installed"});
	EXPECT_NE(listed.output.find("no installation registered"), std::string::npos) << listed.output;
}

TEST_F(UpgradeTest, TheEarlierInstallationIsReplacedUpgradedOrKeptAsTheCommandLineSays)
{
	struct Case {
		const char* name;
		const Version* first;
		const Version* second;
		std::vector<std::string> options;
		int code;
		const char* label;
		const char* line;
		// Where config.txt's content is after the run.
		const char* config;
	};
	const Case cases[] = {
	        {"ReplaceByDefault",
	         &kFirst,
	         &kSecond,
	         {},
	         0,
	         "note",
	         "holds Upg 1.0: it is replaced (moved to the trash whole, files added to it "
	         "included); --upgrade installs over it instead and keeps what was changed or added",
	         "config 2"},
	        {"Upgrade",
	         &kFirst,
	         &kSecond,
	         {"--upgrade"},
	         0,
	         "upgrade",
	         ": 1.0 to 2.0",
	         "config mine"},
	        {"DowngradeRefused",
	         &kSecond,
	         &kFirst,
	         {"--upgrade"},
	         13,
	         "error",
	         "holds Upg 2.0, newer than this installer's 1.0: nothing was changed (downgrade "
	         "with --allow-downgrade)",
	         "config mine"},
	        {"DowngradeAllowed",
	         &kSecond,
	         &kFirst,
	         {"--upgrade", "--allow-downgrade"},
	         0,
	         "upgrade",
	         ": 2.0 to 1.0",
	         "config mine"},
	};
	for (const Case& test : cases) {
		SCOPED_TRACE(test.name);
		fs::remove_all(data + "/apps");
		fs::create_directories(data + "/apps");
		ASSERT_EQ(Install(*test.first).code, 0);
		ChangeAsAUser();
		const auto before = TreeState(data + "/apps");
		const RunResult run = Install(*test.second, test.options);
		EXPECT_EQ(run.code, test.code) << run.output << run.errors;
		bool found = false;
		for (const std::string& line : Lines(run, test.label))
			found = found || line.find(test.line) != std::string::npos;
		EXPECT_TRUE(found) << run.output;
		EXPECT_EQ(ReadFile(folder + "/app/config.txt"), test.config);
		if (test.code != 0)
			EXPECT_EQ(TreeState(data + "/apps"), before);
	}
}

TEST_F(UpgradeTest, RepairPutsBackADeletedAndAChangedFileAndTheirModes)
{
	ASSERT_EQ(Install(kFirst).code, 0);
	WriteFile(folder + "/notes.txt", "my notes");
	ASSERT_EQ(unlink((folder + "/app/data.txt").c_str()), 0);
	WriteFile(folder + "/app/config.txt", "broken");
	ASSERT_EQ(chmod((folder + "/app/same.txt").c_str(), 0600), 0);
	struct stat before;
	ASSERT_EQ(stat((folder + "/app/old.txt").c_str(), &before), 0);

	const RunResult repaired = Install(kFirst, {"--repair"});
	ASSERT_EQ(repaired.code, 0) << repaired.output << repaired.errors;
	EXPECT_EQ(ReadFile(folder + "/app/data.txt"), "data 1");
	EXPECT_EQ(ReadFile(folder + "/app/config.txt"), "config 1");
	EXPECT_EQ(ReadFile(trash + "/config.txt"), "broken");
	EXPECT_EQ(ReadFile(folder + "/notes.txt"), "my notes");
	struct stat mode;
	ASSERT_EQ(stat((folder + "/app/same.txt").c_str(), &mode), 0);
	EXPECT_EQ(mode.st_mode & 0777, 0644u);
	// What was as installed is not touched.
	struct stat after;
	ASSERT_EQ(stat((folder + "/app/old.txt").c_str(), &after), 0);
	EXPECT_EQ(after.st_ino, before.st_ino);
	EXPECT_EQ(DeinstallTag(folder + "/app/data.txt"), InstallWorld::Tag("Upg", "1.0"));
	std::vector<std::string> restored = Lines(repaired, "restored");
	std::sort(restored.begin(), restored.end());
	EXPECT_EQ(restored,
	          (std::vector<std::string>{folder + "/app/config.txt", folder + "/app/data.txt"}));
	EXPECT_EQ(
	        Lines(repaired, "trashed"),
	        std::vector<std::string>{folder + "/app/config.txt (changed since it was installed)"});
	EXPECT_EQ(Lines(repaired, "mode restored"), std::vector<std::string>{folder + "/app/same.txt"});

	// A repair of another version changes nothing and says why.
	const RunResult other = Install(kSecond, {"--repair"});
	EXPECT_EQ(other.code, 1) << other.output;
	EXPECT_NE(other.output.find("is version 1.0; this installer repairs version 2.0 only"),
	          std::string::npos)
	        << other.output;
}

TEST_F(UpgradeTest, InstalledListsEveryInstallationAndMarksARemovedFolderStale)
{
	const std::string second = data + "/other";
	fs::create_directories(second);
	ASSERT_EQ(Install(kFirst).code, 0);
	ASSERT_EQ(world.Install(Installer(kFirst), {"--dest", second, "--items", "app", "--yes"}).code,
	          0);
	const auto listed = [&] {
		return install_test::Lines(world.Run({Installer(kFirst), "--installed"}).output);
	};
	std::vector<std::string> lines = listed();
	ASSERT_EQ(lines.size(), 2u);
	std::sort(lines.begin(), lines.end());
	for (const std::string& line : lines) {
		EXPECT_EQ(line.rfind("Upg 1.0\t", 0), 0u) << line;
		EXPECT_NE(line.find("\tunsigned"), std::string::npos) << line;
		EXPECT_EQ(line.find("stale"), std::string::npos) << line;
	}
	EXPECT_NE(lines[0].find(folder + "\t"), std::string::npos) << lines[0];
	EXPECT_NE(lines[1].find(second + "/Upg\t"), std::string::npos) << lines[1];

	fs::remove_all(second + "/Upg");
	lines = listed();
	ASSERT_EQ(lines.size(), 2u);
	for (const std::string& line : lines) {
		const bool removed = line.find(second) != std::string::npos;
		EXPECT_EQ(line.find("\tstale: the folder no longer holds this installation") !=
		                  std::string::npos,
		          removed)
		        << line;
	}
}

} // namespace
