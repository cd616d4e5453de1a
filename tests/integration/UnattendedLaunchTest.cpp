// Completion of an unattended installation: items marked for launch started
// (an executable detached in its folder, a script through the shell, waited
// for), the launch question, the restart question and the shutdown tool.
#include "InstallTestSupport.h"

using namespace install_test;

namespace {

std::string LaunchProduct()
{
	return ProductHead("Launch") + R"(complete_restart = true

[[custom_folder]]
custom_folder_name = "Scripts"
custom_root_dir = "User"
custom_sub_dir = "scripts"
custom_replace_existing = false

[[install_file]]
file_name = "files/where"
install_meta = { auto_launch = true }

[[install_file]]
file_name = "files/setup.sh"
install_meta = { destination = "Scripts", auto_launch = true, auto_launch_reason = "Sets up the product." }
)";
}

class UnattendedLaunchTest : public testing::Test {
protected:
	void SetUp() override
	{
		fs::create_directories(world.ProductFolder("launch") + "/files");
		fs::copy_file("/bin/pwd", world.ProductFolder("launch") + "/files/where");
		installer = world.Build("launch", LaunchProduct(),
		                        {{"files/setup.sh", "sleep 0.3\necho ran > \"$(pwd)/ran.txt\"\n"}});
		folder = world.Apps() + "/Launch";
		scripts = world.Home() + "/scripts";
	}

	// The launched program prints its working folder into the installer's output.
	bool WhereRan(const RunResult& run, const double& seconds = 5)
	{
		return WaitUntil(
		        [&] {
			        for (const std::string& line : Lines(ReadFile(run.outputPath))) {
				        if (line == folder)
					        return true;
			        }
			        return false;
		        },
		        seconds);
	}

	InstallWorld world;
	std::string installer;
	std::string folder;
	std::string scripts;
};

TEST_F(UnattendedLaunchTest, RunsMarkedItemsAndRestartsWhenAsked)
{
	const RunResult run =
	        world.Install(installer, {"--dest", world.Apps(), "--items", "where,setup.sh"},
	                      std::string("launch run\nrestart now\n"));
	ASSERT_EQ(run.code, 0) << run.output << run.errors;
	EXPECT_EQ(ReadFile(scripts + "/ran.txt"), "ran\n")
	        << "the script ran in its own folder and the run waited for it";
	EXPECT_TRUE(WhereRan(run)) << ReadFile(run.outputPath);

	const std::vector<std::string> launches = Labelled(run.output, "launch");
	ASSERT_EQ(launches.size(), 1u) << "only the item with a reason is asked about";
	EXPECT_EQ(launches[0], "Do you wish to run '" + scripts + "/setup.sh' now?");
	EXPECT_NE(run.output.find("  Sets up the product.\n"), std::string::npos);
	EXPECT_LT(run.output.find("launch: "), run.output.find("status: Installation Complete"))
	        << "items start before the run says it is complete";

	const std::vector<std::string> restarts = Labelled(run.output, "restart");
	ASSERT_EQ(restarts.size(), 2u) << run.output;
	EXPECT_EQ(restarts[0], "Installation successfully completed.");
	EXPECT_EQ(restarts[1], "requested");
	EXPECT_TRUE(WaitUntil([&] { return ReadFile(world.Temp() + "/shutdown.txt") == "-r\n"; }, 5));
}

TEST_F(UnattendedLaunchTest, LaterSkipsTheItemAndDefaultsNeverRestart)
{
	const RunResult run =
	        world.Install(installer, {"--dest", world.Apps(), "--items", "where,setup.sh", "--yes"},
	                      std::string("launch later\n"));
	ASSERT_EQ(run.code, 0) << run.output;
	EXPECT_FALSE(Exists(scripts + "/ran.txt"));
	EXPECT_TRUE(WhereRan(run)) << "an item without a reason starts without a question";
	EXPECT_EQ(Labelled(run.output, "restart").size(), 1u) << run.output;
	EXPECT_NE(run.output.find("  answer: Restart Later (by default (--yes))"), std::string::npos)
	        << run.output;
	EXPECT_FALSE(Exists(world.Temp() + "/shutdown.txt"));
}

TEST_F(UnattendedLaunchTest, ItemsNotSelectedNeverStart)
{
	const RunResult run =
	        world.Install(installer, {"--dest", world.Apps(), "--items", "setup.sh", "--yes"});
	ASSERT_EQ(run.code, 0) << run.output;
	EXPECT_EQ(ReadFile(scripts + "/ran.txt"), "ran\n") << "--yes runs the script";
	EXPECT_FALSE(WhereRan(run, 1));
}

} // namespace
