// Installing for every user: run as root, in a private mount namespace whose
// system folders are empty memory file systems, the installer places its
// program, menu entry, icon, login and session sections and autostart entry
// in the system folders, and the deinstaller takes all of it away again.
#include "InstallTestSupport.h"

using namespace install_test;

namespace {

const std::string kTally = std::string("\nopt_default_folder = \"Applications\"") + kTallySections +
                           R"(edit_profile_contents = "export PATH=\"$PATH:${VANTRY_INSTALL_DIR}\""

[[install_file]]
file_name = "files/tally"
install_meta = { destination = "User Selected", link = "Common Bin" }

[install_file.menu]
comment = "Counts things"
categories = ["Utility"]
icon = "tally.svg"
)";

// The folders an install for every user writes into, each hidden behind an
// empty memory file system while the test runs.
const char* const kSystemFolders[] = {"/opt",           "/usr/local/share",   "/usr/local/bin",
                                      "/etc/profile.d", "/etc/environment.d", "/etc/xdg/autostart"};

class SystemInstallTest : public testing::Test {
protected:
	void SetUp() override
	{
		if (geteuid() != 0)
			GTEST_SKIP() << "an install for every user needs root";
		if (system("unshare --mount --propagation private true >/dev/null 2>&1") != 0)
			GTEST_SKIP() << "no private mount namespace (unshare --mount) here";
		for (const char* folder : kSystemFolders) {
			if (!fs::is_directory(folder))
				GTEST_SKIP() << folder << " is missing: nothing to hide it behind";
		}
		const std::string product = world.ProductFolder("tally");
		WriteFile(product + "/files/tally", "#!/bin/sh\necho tally\n");
		chmod((product + "/files/tally").c_str(), 0755);
		WriteFile(product + "/tally.svg",
		          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16\" height=\"16\"/>\n");
		installer = world.Build("tally", ProductHead("Tally") + kTally);
		home = world.Temp() + "/root-home";
		fs::create_directories(home);
		// Root's own layout, as `sudo ./installer` sees it.
		world.SetEnv("VANTRY_ROOT", std::nullopt);
		world.SetEnv("VANTRY_LAYOUT", std::nullopt);
		world.SetEnv("HOME", home);
		world.SetEnv("XDG_CONFIG_HOME", std::nullopt);
		world.SetEnv("XDG_DATA_HOME", std::nullopt);
		world.SetEnv("SHELL", "/bin/bash");
	}

	// Runs `steps` (shell commands) in a namespace whose system folders and
	// root's home are empty memory file systems; each step's output goes to
	// OUT/NAME.
	RunResult InNamespace(const std::string& steps)
	{
		std::string script = "set -e\n";
		for (const char* folder : kSystemFolders)
			script += std::string("mount -t tmpfs tmpfs ") + folder + "\n";
		script += "mount -t tmpfs tmpfs '" + home + "'\n";
		script += "OUT='" + world.Temp() + "'\n" + steps;
		WriteFile(world.Temp() + "/steps.sh", script);
		return world.Run({"/usr/bin/unshare", "--mount", "--propagation", "private", "/bin/sh",
		                  world.Temp() + "/steps.sh"});
	}

	InstallWorld world;
	std::string installer;
	std::string home;
};

// Every file below the system folders, one per line.
const char kListing[] = "find /opt /usr/local/share /usr/local/bin /etc/profile.d "
                        "/etc/environment.d /etc/xdg/autostart -mindepth 1 \\( -type f -o "
                        "-type l \\) | sort";

TEST_F(SystemInstallTest, RootInstallsIntoTheSystemFoldersAndTheDeinstallerRemovesIt)
{
	const std::string deinstaller = "/opt/Tally/Tally 1.0 Deinstaller";
	const RunResult run = InNamespace(
	        "'" + installer +
	        "' --unattended --dest /opt --items tally --yes > \"$OUT/install.out\" 2>&1\n" +
	        kListing + " > \"$OUT/installed.txt\"\n" +
	        "cat /etc/profile.d/vantry-tally.sh > \"$OUT/profile.txt\"\n" +
	        "bash -lc 'echo \":$PATH:\"; echo \"$TALLY_HOME\"' > \"$OUT/login.txt\" 2>&1\n" + "'" +
	        deinstaller + "' --unattended --yes > \"$OUT/deinstall.out\" 2>&1\n" + kListing +
	        " > \"$OUT/left.txt\"\n");
	ASSERT_EQ(run.code, 0) << run.output << run.errors << ReadFile(world.Temp() + "/install.out")
	                       << ReadFile(world.Temp() + "/deinstall.out");
	const std::vector<std::string> installed = Lines(ReadFile(world.Temp() + "/installed.txt"));
	for (const std::string& path :
	     {std::string("/opt/Tally/tally"), std::string("/opt/Tally/Log"), deinstaller,
	      std::string("/usr/local/bin/tally"),
	      std::string("/usr/local/share/applications/vantry-tally-tally.desktop"),
	      std::string("/usr/local/share/icons/hicolor/scalable/apps/vantry-tally-tally.svg"),
	      std::string("/etc/profile.d/vantry-tally.sh"),
	      std::string("/etc/environment.d/60-vantry-tally.conf"),
	      std::string("/etc/xdg/autostart/UserBootscript"),
	      std::string("/etc/xdg/autostart/UserBootscript.desktop")})
		EXPECT_NE(std::find(installed.begin(), installed.end(), path), installed.end())
		        << path << "\n"
		        << ReadFile(world.Temp() + "/installed.txt");
	EXPECT_NE(ReadFile(world.Temp() + "/profile.txt").find("export PATH=\"$PATH:/opt/Tally\""),
	          std::string::npos);
	// A login shell of any user has the product's PATH and variables.
	const std::vector<std::string> login = Lines(ReadFile(world.Temp() + "/login.txt"));
	ASSERT_EQ(login.size(), 2u) << ReadFile(world.Temp() + "/login.txt");
	EXPECT_NE(login[0].find(":/opt/Tally:"), std::string::npos) << login[0];
	EXPECT_EQ(login[1], "/opt/Tally");
	// Nothing went into root's own home but the installer's trash folder, if any.
	EXPECT_EQ(ReadFile(world.Temp() + "/install.out").find(home), std::string::npos)
	        << ReadFile(world.Temp() + "/install.out");
	// Left: the boot script it empties, whose entry goes with its last
	// section, and the menu cache refreshed without the product.
	std::vector<std::string> left;
	for (const std::string& path : Lines(ReadFile(world.Temp() + "/left.txt"))) {
		// What was removed went to root's trash on its volume.
		if (path.find("/.Trash-0/") == std::string::npos)
			left.push_back(path);
	}
	EXPECT_EQ(left, (std::vector<std::string>{"/etc/xdg/autostart/UserBootscript",
	                                          "/usr/local/share/applications/mimeinfo.cache"}))
	        << ReadFile(world.Temp() + "/deinstall.out");
}

} // namespace
