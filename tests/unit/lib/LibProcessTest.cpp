// Programs run and waited for, or detached without a zombie or a waiting thread.
#include "LibProcess.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>

#include "TempFolder.h"
#include "TestFiles.h"

namespace {

bool NoChildLeft()
{
	int status = 0;
	return waitpid(-1, &status, WNOHANG) < 0 && errno == ECHILD;
}

TEST(LibProcessTest, RunReportsExitCodesAndStartFailures)
{
	struct Case {
		std::vector<std::string> arguments;
		status_t status;
		int exitCode;
	};
	const Case cases[] = {
	        {{"/bin/sh", "-c", "exit 0"}, B_OK, 0},
	        {{"sh", "-c", "exit 7"}, B_OK, 7},
	        {{"/bin/sh", "-c", "kill -9 $$"}, B_OK, 128 + 9},
	        {{"/nonexistent/program"}, status_from_errno(ENOENT), -1},
	        {{}, B_BAD_VALUE, -1},
	};
	for (const Case& test : cases) {
		int exitCode = -1;
		EXPECT_EQ(LibProcess(test.arguments).Run(&exitCode), test.status)
		        << (test.arguments.empty() ? "" : test.arguments.back());
		EXPECT_EQ(exitCode, test.exitCode);
	}
	EXPECT_TRUE(NoChildLeft());
}

TEST(LibProcessTest, StartsInTheWorkingFolderWithQuietInputAndItsOutputInAFile)
{
	TempFolder temp;
	LibProcess program({"/bin/sh", "-c", "pwd > where; cat > input; echo said"});
	program.SetWorkingFolder(temp.Path());
	program.SetQuietInput(true);
	WriteText(temp / "output", "an earlier, longer text");
	program.SetOutputFile(temp / "output");
	ASSERT_EQ(program.Run(), B_OK);
	EXPECT_EQ(ReadText(temp / "where"), temp.Path() + "\n");
	EXPECT_EQ(ReadText(temp / "input"), "");
	EXPECT_EQ(ReadText(temp / "output"), "said\n");

	LibProcess nowhere({"/bin/true"});
	nowhere.SetWorkingFolder(temp / "missing");
	EXPECT_EQ(nowhere.Run(), status_from_errno(ENOENT));
}

TEST(LibProcessTest, DetachedProgramIsNoChildOfOurs)
{
	TempFolder temp;
	LibProcess program({"/bin/sh", "-c", "sleep 0.3; echo done > mark"});
	program.SetWorkingFolder(temp.Path());
	pid_t pid = -1;
	ASSERT_EQ(program.Detach(&pid), B_OK);
	EXPECT_GT(pid, 0);
	EXPECT_TRUE(NoChildLeft()) << "the program was handed to the system's reaper";
	EXPECT_NE(getsid(pid), getsid(0)) << "a session of its own";
	EXPECT_TRUE(LibProcess::WaitForDetached(pid, nullptr));
	EXPECT_EQ(ReadText(temp / "mark"), "done\n");

	EXPECT_EQ(LibProcess({"/nonexistent/program"}).Detach(), status_from_errno(ENOENT));
	EXPECT_TRUE(NoChildLeft());
}

TEST(LibProcessTest, WaitingForADetachedProgramEndsWhenAskedTo)
{
	pid_t pid = -1;
	ASSERT_EQ(LibProcess({"/bin/sleep", "5"}).Detach(&pid), B_OK);
	EXPECT_FALSE(LibProcess::WaitForDetached(pid, [] { return false; }));
	kill(pid, SIGKILL);
	EXPECT_TRUE(LibProcess::WaitForDetached(pid, nullptr));
}

} // namespace
