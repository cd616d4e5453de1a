// Installing on the Linux layout (no VANTRY_ROOT): menu entries for links into
// the applications folder, the boot script run through autostart, sections in
// the file the login shell reads, and nothing made outside the product's folders.
#include <set>

#include "DeinstallRemoval.h"
#include "DeinstallScripts.h"
#include "InstallTestSupport.h"
#include "ScopedEnv.h"
#include "TagScan.h"
#include "Volume.h"
#include "VolumeRoster.h"

using namespace install_test;

namespace {

const std::string kTally = std::string(kTallySections) +
                           R"(edit_profile_contents = "export PATH=\"${VANTRY_INSTALL_DIR}:$PATH\""

[[install_file]]
file_name = "files/tally"
install_meta = { destination = "User Selected", link = "User Deskbar" }

[[install_file]]
file_name = "files/Tally Notes.txt"
install_meta = { destination = "User Selected", link = "User Deskbar", deinstallable = false }
)";

const char kItems[] = "tally,Tally Notes.txt";

bool HaveTool(const std::string& tool)
{
	return system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// desktop-file-validate's verdict: empty when the entry is valid.
std::string Validate(const std::string& entry)
{
	const std::string report = entry + ".report";
	const int status =
	        system(("desktop-file-validate '" + entry + "' > '" + report + "' 2>&1").c_str());
	std::string text = ReadFile(report);
	fs::remove(report);
	return status == 0 ? std::string() : "failed: " + text;
}

class LinuxLayoutTest : public testing::Test {
protected:
	void SetUp() override
	{
		home = world.Temp() + "/linux-home";
		config = home + "/.config";
		data = home + "/.local/share";
		fs::create_directories(home + "/Apps");
		fs::create_directories(world.Temp() + "/tmp");
		world.SetEnv("VANTRY_ROOT", std::nullopt);
		world.SetEnv("HOME", home);
		world.SetEnv("XDG_CONFIG_HOME", config);
		world.SetEnv("XDG_DATA_HOME", data);
		world.SetEnv("TMPDIR", world.Temp() + "/tmp");
		world.SetEnv("SHELL", "/bin/bash");
		// A product folder with an executable script and a document.
		const std::string product = world.ProductFolder("tally");
		WriteFile(product + "/files/tally", "#!/bin/sh\necho tally\n");
		chmod((product + "/files/tally").c_str(), 0755);
		WriteFile(product + "/files/Tally Notes.txt", "notes\n");
		installer = world.Build("tally", ProductHead("Tally") + kTally);
		folder = home + "/Apps/Tally";
	}

	RunResult Install()
	{
		return world.Install(installer, {"--dest", home + "/Apps", "--items", kItems, "--yes"});
	}

	InstallWorld world;
	std::string home;
	std::string config;
	std::string data;
	std::string installer;
	std::string folder;
};

TEST_F(LinuxLayoutTest, LinksIntoTheApplicationsFolderBecomeValidMenuEntries)
{
	const RunResult run = Install();
	ASSERT_EQ(run.code, 0) << run.output << run.errors;
	const std::string applications = data + "/applications";
	struct Case {
		const char* file;
		const char* exec;
		const char* terminal;
		bool tagged;
	};
	const std::string quoted = "\"" + folder + "/Tally Notes.txt\"";
	const Case cases[] = {
	        {"vantry-tally-tally.desktop", "", "Terminal=true", true},
	        {"vantry-tally-tally-notes-txt.desktop", "xdg-open ", "Terminal=false", false},
	};
	for (const Case& c : cases) {
		const std::string entry = applications + "/" + c.file;
		ASSERT_TRUE(Exists(entry)) << c.file << "\n" << ReadFile(folder + "/Log");
		const std::string text = ReadFile(entry);
		const std::string target =
		        std::string(c.file).find("notes") != std::string::npos ? quoted : folder + "/tally";
		EXPECT_NE(text.find(std::string("\nExec=") + c.exec + target + "\n"), std::string::npos)
		        << text;
		EXPECT_NE(text.find(c.terminal), std::string::npos) << text;
		EXPECT_EQ(DeinstallTag(entry).has_value(), c.tagged) << c.file;
		if (HaveTool("desktop-file-validate"))
			EXPECT_EQ(Validate(entry), "") << text;
	}
	EXPECT_FALSE(Exists(applications + "/tally")) << "no raw link beside the entries";
}

TEST_F(LinuxLayoutTest, SectionsGoWhereTheLoginRunsThemWithTheFolderFilledIn)
{
	WriteFile(home + "/.bash_profile", "# mine\n");
	const RunResult run = Install();
	ASSERT_EQ(run.code, 0) << run.output << run.errors;

	const std::string login = ReadFile(home + "/.bash_profile");
	EXPECT_NE(
	        login.find("#BEGIN_TallyPath\nexport PATH=\"" + folder + ":$PATH\"\n#END_TallyPath\n"),
	        std::string::npos)
	        << login;
	EXPECT_NE(login.find("export TALLY_HOME=\"" + folder + "\""), std::string::npos) << login;
	EXPECT_EQ(login.rfind("# mine\n", 0), 0u);
	EXPECT_FALSE(Exists(home + "/.profile")) << "bash does not read it while .bash_profile exists";

	const std::string script = config + "/autostart/UserBootscript";
	struct stat info;
	ASSERT_EQ(stat(script.c_str(), &info), 0);
	EXPECT_NE(info.st_mode & 0100, 0u) << "the boot script is executable";
	EXPECT_NE(ReadFile(script).find("\"" + folder + "/tally\" --boot"), std::string::npos);
	const std::string entry = script + ".desktop";
	ASSERT_TRUE(Exists(entry));
	EXPECT_NE(ReadFile(entry).find("Exec=/bin/sh " + script + "\n"), std::string::npos)
	        << ReadFile(entry);
	if (HaveTool("desktop-file-validate"))
		EXPECT_EQ(Validate(entry), "");
	EXPECT_NE(ReadFile(folder + "/Log")
	                  .find("Added script tab TallyPath to " + home + "/.bash_profile"),
	          std::string::npos);
}

TEST_F(LinuxLayoutTest, OnlyTheFoldersTheProductUsesAreMade)
{
	const RunResult run = Install();
	ASSERT_EQ(run.code, 0) << run.output << run.errors;
	std::vector<std::string> made;
	for (const std::string& entry : Tree(home)) {
		if (entry.rfind("Apps/Tally/", 0) == 0)
			continue;
		made.push_back(entry);
	}
	const std::vector<std::string> expected = {
	        ".config",
	        ".config/autostart",
	        ".config/autostart/UserBootscript",
	        ".config/autostart/UserBootscript.desktop",
	        ".config/environment.d",
	        ".config/environment.d/60-vantry-tally.conf",
	        ".local",
	        ".local/share",
	        ".local/share/applications",
	        ".local/share/applications/vantry-tally-tally-notes-txt.desktop",
	        ".local/share/applications/vantry-tally-tally.desktop",
	        ".profile",
	        ".profile.orig",
	        "Apps",
	        "Apps/Tally",
	};
	std::vector<std::string> withoutCaches;
	for (const std::string& entry : made) {
		// The menu cache tool, where installed, adds its cache.
		if (entry != ".local/share/applications/mimeinfo.cache")
			withoutCaches.push_back(entry);
	}
	EXPECT_EQ(withoutCaches, expected);
}

TEST_F(LinuxLayoutTest, DeinstallingTakesEverythingTheProductAddedAway)
{
	WriteFile(home + "/.bash_profile", "# mine\n");
	const RunResult run = Install();
	ASSERT_EQ(run.code, 0) << run.output << run.errors;
	{
		// The deinstaller's own search, removal and script editing, in the
		// user's environment; the search starts at the home folder.
		ScopedEnv noRoot("VANTRY_ROOT", nullptr);
		ScopedEnv homeVariable("HOME", home);
		ScopedEnv configVariable("XDG_CONFIG_HOME", config);
		ScopedEnv dataVariable("XDG_DATA_HOME", data);
		ScopedEnv shell("SHELL", "/bin/zsh");
		TagScan scan(home, InstallWorld::Tag("Tally", "1.0"));
		ASSERT_EQ(scan.Run(), B_OK);
		const std::vector<std::string> found = scan.Found();
		EXPECT_EQ(std::set<std::string>(found.begin(), found.end()),
		          (std::set<std::string>{folder + "/tally",
		                                 data + "/applications/vantry-tally-tally.desktop"}));
		DeinstallRemoval removal("");
		ASSERT_EQ(removal.Remove(found), B_OK);
		DeinstallScriptTags tags;
		tags.boot = "Tally";
		tags.setupEnvironment = "TallyEnv";
		tags.profile = "TallyPath";
		RemoveScriptSections(tags, nullptr);
	}
	EXPECT_EQ(ReadFile(home + "/.bash_profile"), "# mine\n");
	EXPECT_FALSE(Exists(config + "/environment.d/60-vantry-tally.conf"));
	EXPECT_FALSE(Exists(config + "/autostart/UserBootscript.desktop"));
	EXPECT_EQ(ReadFile(config + "/autostart/UserBootscript"), "#!/bin/sh\n");
	EXPECT_FALSE(Exists(data + "/applications/vantry-tally-tally.desktop"));
	EXPECT_FALSE(Exists(folder + "/tally"));
	EXPECT_TRUE(Exists(data + "/Trash/files/tally")) << "moved to the user's trash";
	// What was not to be removed stays: the notes and their menu entry.
	EXPECT_TRUE(Exists(folder + "/Tally Notes.txt"));
	EXPECT_TRUE(Exists(data + "/applications/vantry-tally-tally-notes-txt.desktop"));
}

TEST_F(LinuxLayoutTest, TheSampleProductComesAndGoesWithoutATrace)
{
	const std::string hello = world.Temp() + "/installers/hello";
	const RunResult built = world.Run(
	        {VANTRY_BUILD_TOOL, std::string(VANTRY_SOURCE_DIR) + "/examples/hello/product.toml",
	         "-o", hello});
	ASSERT_EQ(built.code, 0) << built.errors;
	const std::vector<std::string> before = Tree(home);
	RunResult run = world.Install(
	        hello, {"--dest", home + "/Apps", "--type", "Full", "--yes", "--accept-licence"});
	ASSERT_EQ(run.code, 0) << run.output << run.errors;
	const std::string folder = home + "/Apps/Hello";
	const std::string environment = config + "/environment.d/60-vantry-hello.conf";
	EXPECT_NE(ReadFile(home + "/.profile").find("export PATH=\"$PATH:" + folder + "\""),
	          std::string::npos)
	        << ReadFile(home + "/.profile");
	const std::string assignments = ReadFile(environment);
	EXPECT_NE(assignments.find("\n#BEGIN_Hello\nPATH=\"$PATH:" + folder + "\"\n#END_Hello\n"),
	          std::string::npos)
	        << assignments;
	EXPECT_EQ(assignments.rfind("#", 0), 0u) << "a comment says whose the file is";
	// What the completion message promises: a login shell finds the program.
	const auto found = [&] { return world.Run({"/bin/bash", "-lc", "command -v hello"}).output; };
	EXPECT_EQ(found(), folder + "/hello\n");
	{
		ScopedEnv noRoot("VANTRY_ROOT", nullptr);
		ScopedEnv homeVariable("HOME", home);
		ScopedEnv configVariable("XDG_CONFIG_HOME", config);
		ScopedEnv dataVariable("XDG_DATA_HOME", data);
		TagScan scan(home, "Hello;1.0.0;2024-06-01;The Vantry authors;hello@example.org;");
		ASSERT_EQ(scan.Run(), B_OK);
		ASSERT_FALSE(scan.Found().empty());
		DeinstallRemoval removal("");
		ASSERT_EQ(removal.Remove(scan.Found()), B_OK);
		DeinstallScriptTags tags;
		tags.profile = "Hello";
		RemoveScriptSections(tags, nullptr);
	}
	EXPECT_EQ(found(), "");
	EXPECT_FALSE(Exists(environment));
	// Left: the installation folder with its log and deinstaller, the items
	// the product keeps (not deinstallable), the emptied login file (its
	// removal keeps no backup), the custom folder the documents were in, the
	// environment folder, the trash.
	std::vector<std::string> added;
	for (const std::string& entry : Tree(home)) {
		if (std::find(before.begin(), before.end(), entry) == before.end() &&
		    entry.rfind(".local/share/Trash", 0) != 0 && entry.rfind("Apps/Hello", 0) != 0)
			added.push_back(entry);
	}
	EXPECT_EQ(added, (std::vector<std::string>{".config", ".config/environment.d", ".local",
	                                           ".local/share", ".profile", "Documents",
	                                           "Documents/Hello"}));
	EXPECT_EQ(ReadFile(home + "/.profile"), "\n");
}

TEST_F(LinuxLayoutTest, BootVolumeWithoutDestinationInstallsIntoTheUsersHome)
{
	// The boot volume is the one that holds the home folder the installer sees.
	char name[B_FILE_NAME_LENGTH] = "";
	{
		ScopedEnv noRoot("VANTRY_ROOT", nullptr);
		ScopedEnv homeVariable("HOME", home);
		BVolume boot;
		ASSERT_EQ(BVolumeRoster().GetBootVolume(&boot), B_OK);
		ASSERT_EQ(boot.GetName(name), B_OK);
	}
	RunResult run = world.Install(installer, {"--volume", name, "--items", kItems, "--yes"});
	ASSERT_EQ(run.code, 0) << run.output << run.errors;
	EXPECT_TRUE(Exists(home + "/Tally/tally")) << run.output;

	run = world.Install(installer, {"--volume", "no such volume", "--items", kItems, "--yes"});
	EXPECT_EQ(run.code, 2);
	EXPECT_NE(run.output.find("no volume is named \"no such volume\"; the volumes are "),
	          std::string::npos)
	        << run.output;
	EXPECT_NE(run.output.find(std::string("\"") + name + "\""), std::string::npos)
	        << "the boot volume is offered";
}

} // namespace
