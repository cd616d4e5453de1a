// "Install for all users" from the window: the window runs as a user, its
// placing step runs as root through a stand-in pkexec, in a private mount
// namespace whose system folders are empty memory file systems.
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "InstallerFixture.h"

using namespace std::chrono_literals;
using e2e::InstallerTest;
using namespace install_test;

namespace {

// A user no account has: the window's.
const char kUser[] = "4242";
const int kAllUsersX = 165 + 17;
const int kAllUsersY = 143;

const char kTally[] = R"(
[[groups]]
group_name = "All"

[[install_file]]
file_name = "files/tally"
groups = ["All"]
install_meta = { destination = "Common Bin", destination_exists = "Prompt" }
)";

const char* const kSystemFolders[] = {"/opt",
                                      "/usr/local/share",
                                      "/usr/local/bin",
                                      "/etc/profile.d",
                                      "/etc/environment.d",
                                      "/etc/xdg/autostart",
                                      "/var/lib/vantry",
                                      "/root"};

class InstallerAllUsersTest : public InstallerTest {
protected:
	void SetUp() override
	{
		if (geteuid() != 0)
			GTEST_SKIP() << "the root step needs the test to run as root";
		if (system("unshare --mount --propagation private true >/dev/null 2>&1") != 0)
			GTEST_SKIP() << "no private mount namespace (unshare --mount) here";
		InstallerTest::SetUp();
		if (IsSkipped())
			return;
		struct statvfs volume;
		ASSERT_EQ(statvfs(fWorld.Temp().c_str(), &volume), 0);
		if ((volume.f_flag & ST_NOSUID) != 0)
			GTEST_SKIP() << fWorld.Temp() << " is mounted nosuid: the stand-in pkexec cannot "
			             << "become root there";
		fBin = fWorld.Temp() + "/bin";
		std::filesystem::create_directories(fBin);
		std::filesystem::copy_file(VANTRY_FAKE_PKEXEC, fBin + "/pkexec");
		ASSERT_EQ(chown((fBin + "/pkexec").c_str(), 0, 0), 0);
		ASSERT_EQ(chmod((fBin + "/pkexec").c_str(), 04755), 0);
		fUserHome = fWorld.Temp() + "/user-home";
		std::filesystem::create_directories(fUserHome);
		ASSERT_EQ(chown(fUserHome.c_str(), 4242, 4242), 0);
	}

	// The namespace: system folders hidden, a file in the way of the link;
	// the window as the user; then what the root step left, with owners.
	std::vector<std::string> Wrapper()
	{
		std::string script = "set -e\nmkdir -p /var/lib/vantry\n";
		for (const char* folder : kSystemFolders)
			script += std::string("mount -t tmpfs tmpfs ") + folder + "\n";
		script += "echo prepared > /usr/local/bin/tally\nset +e\n";
		script += std::string("setpriv --reuid=") + kUser + " --regid=" + kUser +
		          " --clear-groups \"$@\"\ncode=$?\n";
		script += "find /opt /usr/local/bin -mindepth 1 -printf '%u %y %p\\n' | sort > '" +
		          fWorld.Temp() + "/left.txt'\ncat /usr/local/bin/tally > '" + fWorld.Temp() +
		          "/tally.txt'\nexit $code\n";
		WriteFile(fWorld.Temp() + "/namespace.sh", script);
		return {"/usr/bin/unshare", "--mount", "--propagation",
		        "private",          "/bin/sh", fWorld.Temp() + "/namespace.sh"};
	}

	std::string fBin;
	std::string fUserHome;
};

TEST_F(InstallerAllUsersTest, TheRootStepPlacesForAllUsersAndAsksThroughTheWindow)
{
	WriteFile(fWorld.ProductFolder("tally") + "/files/tally", "#!/bin/sh\necho tally\n");
	const std::string installer = fWorld.Build("tally", ProductHead("Tally") + kTally);
	// The user reaches the installer and its folder.
	ASSERT_EQ(e2e::run({"chmod", "-R", "a+rX", fWorld.Temp()}, 10s), 0);
	fWorld.SetEnv("VANTRY_ROOT", std::nullopt);
	fWorld.SetEnv("VANTRY_LAYOUT", std::nullopt);
	fWorld.SetEnv("XDG_CONFIG_HOME", std::nullopt);
	fWorld.SetEnv("XDG_DATA_HOME", std::nullopt);
	fWorld.SetEnv("HOME", fUserHome);
	fWorld.SetEnv("PATH", fBin + ":/usr/bin:/bin");
	Launch(installer, {}, true, Wrapper());
	size_t mark = 0;
	ASSERT_TRUE(
	        WaitForState([](State& s) { return s["step"] == "2" && s["all_users"] == "0"; }, mark))
	        << Output();
	mark = fProbe.Mark();
	Click(kAllUsersX, kAllUsersY);
	ASSERT_TRUE(WaitForState(
	        [](State& s) { return s["all_users"] == "1" && s["destination"] == "/opt"; }, mark))
	        << Output();
	mark = fProbe.Mark();
	ClickButton();
	// The root step's question, in the window's own collision box.
	int left, top, width, height;
	ASSERT_TRUE(WaitForAlert("tally", &left, &top, &width, &height, mark)) << Output();
	mark = fProbe.Mark();
	Focus("ReplaceAlert");
	Key("r");
	ASSERT_TRUE(WaitForAlert("successfully completed", &left, &top, &width, &height, mark))
	        << Output();
	ClickDefaultButton(left, top, width, height);
	EXPECT_EQ(WaitForEnd(), 0) << Output();

	const std::vector<std::string> arguments = Lines(ReadFile(fBin + "/pkexec.args"));
	ASSERT_GE(arguments.size(), 3u);
	EXPECT_EQ(arguments[1], installer);
	for (const char* expected : {"--unattended", "--json", "--answers-on-stdin", "/opt", "tally"})
		EXPECT_NE(std::find(arguments.begin(), arguments.end(), expected), arguments.end())
		        << expected;
	EXPECT_EQ(std::find(arguments.begin(), arguments.end(), "--text"), arguments.end());
	// Placed by root; the answer "Replace" saved the file in the way and put
	// the item there.
	EXPECT_EQ(ReadFile(fWorld.Temp() + "/tally.txt"), "#!/bin/sh\necho tally\n");
	const std::string left_behind = ReadFile(fWorld.Temp() + "/left.txt");
	for (const char* entry :
	     {"root d /opt/Tally\n", "root f /opt/Tally/Log\n", "root f /opt/Tally/Saved Files/tally\n",
	      "root f /usr/local/bin/tally\n"})
		EXPECT_NE(left_behind.find(entry), std::string::npos) << entry << "\n" << left_behind;
	EXPECT_EQ(("\n" + left_behind).find(std::string("\n") + kUser + " "), std::string::npos)
	        << left_behind;
}

} // namespace
