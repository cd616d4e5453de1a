// `make demo` on a machine without a display: the sample product is built and
// installed unattended into a temporary root, licence agreed by name, and the
// listing marks what the deinstaller will find.
#include "InstallTestSupport.h"

using namespace install_test;

TEST(DemoTest, InstallsTheSampleWithoutADisplay)
{
	InstallWorld world;
	world.SetEnv("DISPLAY", std::nullopt);
	world.SetEnv("WAYLAND_DISPLAY", std::nullopt);
	const RunResult run = world.Run(
	        {std::string(VANTRY_SOURCE_DIR) + "/scripts/demo-install", VANTRY_BINARY_DIR});
	EXPECT_EQ(run.code, 0) << run.output << run.errors;
	for (const char* line : {"licence: agreed (--accept-licence)", "result: completed (0)",
	                         "* apps/Hello/hello", "(the installer exited with 0)"})
		EXPECT_NE(run.output.find(line), std::string::npos) << line << "\n" << run.output;
}
