// The restart/power-off command runs only a stub tool inside a temporary
// BeOS-layout root: these tests never reach the machine's own shutdown.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "LibSystem.h"
#include "ScopedEnv.h"

namespace fs = std::filesystem;

namespace {

// A stub that writes its arguments to `log` (through a rename, so a reader
// never sees half a line).
void WriteStub(const fs::path& tool, const fs::path& log)
{
	fs::create_directories(tool.parent_path());
	std::ofstream script(tool);
	script << "#!/bin/sh\necho \"args:$*\" > '" << log.string() << ".tmp'\nmv '" << log.string()
	       << ".tmp' '" << log.string() << "'\n";
	script.close();
	chmod(tool.c_str(), 0755);
}

std::string WaitForLog(const fs::path& log)
{
	for (int i = 0; i < 500 && !fs::exists(log); i++)
		std::this_thread::sleep_for(std::chrono::milliseconds(10));
	std::ifstream file(log);
	std::stringstream text;
	text << file.rdbuf();
	return text.str();
}

class LibShutdownTest : public testing::Test {
protected:
	void SetUp() override
	{
		std::string pattern = testing::TempDir() + "/shutdownXXXXXX";
		ASSERT_NE(mkdtemp(pattern.data()), nullptr);
		fBase = pattern;
		fRoot = fBase / "root";
		fs::create_directories(fRoot);
		fRootEnv = std::make_unique<ScopedEnv>("VANTRY_ROOT", fRoot.c_str());
		fAllowEnv = std::make_unique<ScopedEnv>("VANTRY_ALLOW_SHUTDOWN", nullptr);
	}

	void TearDown() override
	{
		fAllowEnv.reset();
		fRootEnv.reset();
		fs::remove_all(fBase);
	}

	fs::path Tool() const { return fRoot / "beos" / "bin" / "shutdown"; }

	fs::path fBase;
	fs::path fRoot;
	std::unique_ptr<ScopedEnv> fRootEnv;
	std::unique_ptr<ScopedEnv> fAllowEnv;
};

} // namespace

TEST_F(LibShutdownTest, RunsTheToolWithTheRestartFlag)
{
	const std::vector<std::pair<bool, std::string>> cases = {{true, "args:-r\n"},
	                                                         {false, "args:\n"}};
	for (const auto& c : cases) {
		fs::path log = fBase / "log";
		fs::remove(log);
		WriteStub(Tool(), log);
		ASSERT_EQ(LibShutdown(c.first), B_OK);
		EXPECT_EQ(WaitForLog(log), c.second) << "restart " << c.first;
	}
}

TEST_F(LibShutdownTest, ReturnsBeforeTheToolEnds)
{
	fs::create_directories(Tool().parent_path());
	fs::path log = fBase / "slow";
	std::ofstream script(Tool());
	script << "#!/bin/sh\nsleep 2\ntouch '" << log.string() << "' 2>/dev/null\n";
	script.close();
	chmod(Tool().c_str(), 0755);
	auto start = std::chrono::steady_clock::now();
	ASSERT_EQ(LibShutdown(false), B_OK);
	EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
	EXPECT_FALSE(fs::exists(log));
}

TEST_F(LibShutdownTest, RefusesToolsOutsideTheRoot)
{
	// The root's tool is a link to a stub elsewhere: it must not run.
	fs::path outsideLog = fBase / "outside.log";
	fs::path outside = fBase / "elsewhere" / "shutdown";
	WriteStub(outside, outsideLog);
	fs::create_directories(Tool().parent_path());
	fs::create_symlink(outside, Tool());
	EXPECT_EQ(LibShutdown(true), B_NOT_ALLOWED);
	std::this_thread::sleep_for(std::chrono::milliseconds(200));
	EXPECT_FALSE(fs::exists(outsideLog));
}

TEST_F(LibShutdownTest, MissingToolIsReported)
{
	EXPECT_EQ(LibShutdown(true), B_ENTRY_NOT_FOUND);
}

TEST_F(LibShutdownTest, Guard_AllowsOnlyPathsInsideTheRootOrByPermission)
{
	fs::path sibling = fBase / "root2" / "shutdown";
	WriteStub(Tool(), fBase / "unused");
	WriteStub(sibling, fBase / "unused");
	fs::path dotted = fRoot / "beos" / ".." / "beos" / "bin" / "shutdown";
	struct Case {
		fs::path tool;
		const char* root;
		const char* allow;
		bool allowed;
	};
	const std::vector<Case> cases = {
	        {Tool(), fRoot.c_str(), nullptr, true},
	        {dotted, fRoot.c_str(), nullptr, true},
	        {sibling, fRoot.c_str(), nullptr, false}, // shares the root's name as a prefix
	        {Tool(), nullptr, nullptr, false},
	        {Tool(), "", nullptr, false},
	        {fBase / "missing", fRoot.c_str(), nullptr, false},
	        {sibling, nullptr, "1", true},
	        {sibling, nullptr, "yes", false},
	};
	for (const Case& c : cases) {
		ScopedEnv root("VANTRY_ROOT", c.root);
		ScopedEnv allow("VANTRY_ALLOW_SHUTDOWN", c.allow);
		EXPECT_EQ(LibShutdownAllowed(c.tool.c_str()), c.allowed)
		        << c.tool << " root " << (c.root ? c.root : "(unset)") << " allow "
		        << (c.allow ? c.allow : "(unset)");
	}
}
