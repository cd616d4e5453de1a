// The terminal mode through a pseudo-terminal: the licence, the language,
// the install type and items, the destination, typed as a person types them.
#include <poll.h>
#include <pty.h>

#include "ExecVector.h"
#include "InstallTestSupport.h"

using namespace install_test;

namespace {

const std::string kProduct =
        R"(license = "Line one of the licence.\nLine two."
)" + BasicAndDocsItems();

// An installer running on a pseudo-terminal; the test types and reads.
class Terminal {
public:
	Terminal(InstallWorld& world, const std::vector<std::string>& command)
	{
		winsize size = {24, 80, 0, 0};
		std::vector<std::string> environment = world.Environment();
		fChild = forkpty(&fMaster, nullptr, nullptr, &size);
		if (fChild == 0)
			world.Exec(command, environment);
	}

	~Terminal()
	{
		if (fChild > 0 && !fWaited) {
			kill(fChild, SIGKILL);
			waitpid(fChild, nullptr, 0);
		}
		if (fMaster >= 0)
			close(fMaster);
	}

	// Reads until the output since the last wait holds `text`; false after 20 s.
	bool WaitFor(const std::string& text)
	{
		const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
		while (fOutput.find(text, fSeen) == std::string::npos) {
			if (std::chrono::steady_clock::now() > end || !ReadSome())
				return false;
		}
		fSeen = fOutput.find(text, fSeen) + text.size();
		return true;
	}

	void Type(const std::string& text)
	{
		ASSERT_EQ(write(fMaster, text.data(), text.size()), ssize_t(text.size()));
	}

	// The exit code, once the program ended (the rest of its output read).
	int Wait()
	{
		while (ReadSome()) {
		}
		int status = 0;
		waitpid(fChild, &status, 0);
		fWaited = true;
		return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
	}

	const std::string& Output() const { return fOutput; }

private:
	bool ReadSome()
	{
		pollfd wait = {fMaster, POLLIN, 0};
		if (poll(&wait, 1, 20000) <= 0)
			return false;
		char buffer[4096];
		const ssize_t size = read(fMaster, buffer, sizeof(buffer));
		if (size <= 0)
			return false;
		fOutput.append(buffer, size_t(size));
		return true;
	}

	int fMaster = -1;
	pid_t fChild = -1;
	bool fWaited = false;
	std::string fOutput;
	size_t fSeen = 0;
};

class TerminalModeTest : public testing::Test {
protected:
	void SetUp() override
	{
		installer = world.Build("small", ProductHead("Small") + kProduct,
		                        {{"files/tool.txt", "tool"}, {"files/guide.txt", "guide"}});
	}

	InstallWorld world;
	std::string installer;
};

TEST_F(TerminalModeTest, TypedAnswersInstallTheChosenItems)
{
	Terminal terminal(world, {installer, "--text"});
	// The steps in the window's order, each answered as it comes.
	struct Step {
		const char* prompt;
		std::string typed;
	};
	const std::vector<Step> steps = {
	        {"Read license and select the Agree button", ""},
	        {"[1-2, Enter: 2] ", "1\n"},
	        {"9) Dutch", ""},
	        {"[1-9, Enter: 1] ", "\n"},
	        {"== Group ==", ""},
	        {"[1-2, Enter: 1] ", "2\n"},
	        {"2) [x] guide.txt", ""},
	        {"Enter goes on: ", "1\n"},
	        {"1) [x] tool.txt", ""},
	        {"Enter goes on: ", "\n"},
	        {"Change destination folder [", ""},
	        {"]: ", world.Apps() + "\n"},
	};
	for (const Step& step : steps) {
		ASSERT_TRUE(terminal.WaitFor(step.prompt)) << step.prompt << "\n" << terminal.Output();
		if (!step.typed.empty())
			terminal.Type(step.typed);
	}
	EXPECT_EQ(terminal.Wait(), 0) << terminal.Output();
	EXPECT_NE(terminal.Output().find("result: completed (0)"), std::string::npos)
	        << terminal.Output();
	EXPECT_EQ(ReadFile(world.Apps() + "/Small/tool.txt"), "tool");
	EXPECT_EQ(ReadFile(world.Apps() + "/Small/guide.txt"), "guide");
}

TEST_F(TerminalModeTest, TheOfferedDestinationIsMadeWhenMissing)
{
	const std::string product =
	        ProductHead("Small") + "opt_default_folder = \"Applications\"\n" + kProduct;
	const std::string offered = world.Build(
	        "offered", product, {{"files/tool.txt", "tool"}, {"files/guide.txt", "guide"}});
	fs::remove_all(world.Apps());
	Terminal terminal(world, {offered, "--text"});
	const std::vector<std::string> answers = {
	        "[1-2, Enter: 2] ", "1\n", "[1-9, Enter: 1] ",         "\n", "[1-2, Enter: 1] ", "\n",
	        "Enter goes on: ",  "\n",  "[" + world.Apps() + "]: ", "\n"};
	for (size_t i = 0; i < answers.size(); i += 2) {
		ASSERT_TRUE(terminal.WaitFor(answers[i])) << answers[i] << "\n" << terminal.Output();
		terminal.Type(answers[i + 1]);
	}
	EXPECT_EQ(terminal.Wait(), 0) << terminal.Output();
	EXPECT_EQ(ReadFile(world.Apps() + "/Small/tool.txt"), "tool") << terminal.Output();
}

TEST_F(TerminalModeTest, DecliningTheLicenceInstallsNothing)
{
	Terminal terminal(world, {installer, "--text", "--lang", "fr"});
	ASSERT_TRUE(terminal.WaitFor("Line two.")) << terminal.Output();
	ASSERT_TRUE(terminal.WaitFor("[1-2, Enter: 2] ")) << terminal.Output();
	terminal.Type("2\n");
	EXPECT_EQ(terminal.Wait(), 7) << terminal.Output();
	EXPECT_NE(terminal.Output().find("licence: declined"), std::string::npos);
	EXPECT_FALSE(Exists(world.Apps() + "/Small"));
}

TEST_F(TerminalModeTest, QuestionsOfTheRunAreAskedWithTheirCheckBoxes)
{
	const std::string settings = world.Home() + "/config/settings";
	WriteFile(settings + "/guide.txt", "old guide");
	const std::string prompting = world.Build("prompting", ProductHead("Prompting") + R"(
[[install_file]]
file_name = "files/guide.txt"
install_meta = { destination = "User Settings", destination_exists = "Prompt" }
)",
	                                          {{"files/guide.txt", "new guide"}});
	Terminal terminal(world, {prompting, "--text"});
	struct Step {
		const char* prompt;
		std::string typed;
	};
	const std::vector<Step> steps = {
	        {"[1-9, Enter: 1] ", "\n"},
	        {"1) [ ] guide.txt", ""},
	        {"Enter goes on: ", "1\n"},
	        {"Enter goes on: ", "\n"},
	        {"]: ", world.Apps() + "\n"},
	        {"collision: ", ""},
	        {"2) Replace", ""},
	        {"[1-2, Enter: 2] ", "2\n"},
	        {"Apply to all future collisions? [y/N] ", "y\n"},
	};
	for (const Step& step : steps) {
		ASSERT_TRUE(terminal.WaitFor(step.prompt)) << step.prompt << "\n" << terminal.Output();
		if (!step.typed.empty())
			terminal.Type(step.typed);
	}
	EXPECT_EQ(terminal.Wait(), 0) << terminal.Output();
	EXPECT_NE(terminal.Output().find("answer: Replace, Apply to all future collisions (typed)"),
	          std::string::npos)
	        << terminal.Output();
	EXPECT_EQ(ReadFile(settings + "/guide.txt"), "new guide");
}

TEST_F(TerminalModeTest, LongLicenceIsPagedAndTheChosenLanguageSpeaksFromThenOn)
{
	std::string licence;
	for (int line = 1; line <= 60; line++)
		licence += "Clause " + std::to_string(line) + ".\\n";
	const std::string paged =
	        world.Build("paged",
	                    ProductHead("Paged") + "license = \"" + licence + "\"\n" +
	                            kProduct.substr(kProduct.find('\n')),
	                    {{"files/tool.txt", "tool"}, {"files/guide.txt", "guide"}});
	Terminal terminal(world, {paged, "--text"});
	struct Step {
		const char* prompt;
		std::string typed;
	};
	const std::vector<Step> steps = {
	        {"Clause 21.\r\n-- Enter: more, s: skip to the end --", "\n"},
	        {"Clause 42.\r\n-- Enter: more, s: skip to the end --", "s\n"},
	        {"[1-2, Enter: 2] ", "1\n"},
	        {"[1-9, Enter: 1] ", "2\n"},
	        {"== Groupe ==", ""},
	        {"[1-2, Enter: 1] ", "\n"},
	        {"== Fichiers ==", ""},
	};
	for (const Step& step : steps) {
		ASSERT_TRUE(terminal.WaitFor(step.prompt)) << step.prompt << "\n" << terminal.Output();
		if (!step.typed.empty())
			terminal.Type(step.typed);
	}
	EXPECT_EQ(terminal.Output().find("Clause 43."), std::string::npos) << "the rest was skipped";
}

TEST_F(TerminalModeTest, WithoutATerminalTextModeIsRefused)
{
	const RunResult run = world.Run({installer, "--text"});
	EXPECT_EQ(run.code, 2);
	EXPECT_NE(run.errors.find("--text needs a terminal"), std::string::npos) << run.errors;
}

} // namespace

namespace {

// The terminal mode's output of `installer` run by the user `uid` with
// `environment`, on a terminal whose input has ended.
std::string RunAsUser(const std::string& installer, const uid_t& uid,
                      const std::vector<std::string>& environment)
{
	const std::string folder = "/tmp/vantry-all-users-" + std::to_string(getpid());
	fs::create_directories(folder);
	chmod(folder.c_str(), 0777);
	const std::string copy = folder + "/it's an installer";
	fs::copy_file(installer, copy, fs::copy_options::overwrite_existing);
	chmod(copy.c_str(), 0755);
	const std::string output = folder + "/output";
	// A terminal on which every answer is an end of input.
	const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
	EXPECT_GE(master, 0);
	EXPECT_EQ(grantpt(master), 0);
	EXPECT_EQ(unlockpt(master), 0);
	const std::string terminal = ptsname(master);
	const pid_t child = fork();
	if (child == 0) {
		const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
		const int in = open(terminal.c_str(), O_RDWR | O_NOCTTY);
		dup2(in, STDIN_FILENO);
		dup2(out, STDOUT_FILENO);
		dup2(out, STDERR_FILENO);
		if (uid != 0 && (setgid(uid) != 0 || setuid(uid) != 0))
			_exit(99);
		std::vector<char*> argv = {const_cast<char*>(copy.c_str()), const_cast<char*>("--text"),
		                           nullptr};
		std::vector<char*> envp = ExecVector(environment);
		execve(argv[0], argv.data(), envp.data());
		_exit(127);
	}
	int status = 0;
	const bool ended = WaitUntil(
	        [&] {
		        const char end[] = "\x04\x04";
		        // A full terminal buffer only means the program reads no more.
		        (void)!write(master, end, 2);
		        return waitpid(child, &status, WNOHANG) == child;
	        },
	        20);
	if (!ended) {
		kill(child, SIGKILL);
		waitpid(child, &status, 0);
	}
	close(master);
	const std::string text = ReadFile(output);
	fs::remove_all(folder);
	return text;
}

} // namespace

TEST_F(TerminalModeTest, AUserIsToldHowToInstallForAllUsers)
{
	if (geteuid() != 0)
		GTEST_SKIP() << "the run as another user needs root";
	const std::string hint = "To install for all users, run the installer as root: sudo "
	                         "'/tmp/vantry-all-users-" +
	                         std::to_string(getpid()) + "/it'\\''s an installer'";
	struct Case {
		uid_t uid;
		const char* root; // VANTRY_ROOT, or empty for the Linux layout
		bool told;
	};
	const Case cases[] = {
	        {65534, "", true},
	        {65534, "/tmp", false}, // a BeOS-layout root has no system folders
	        {0, "", false},         // root installs for every user already
	};
	for (const Case& c : cases) {
		std::vector<std::string> environment = {"HOME=/tmp", "LANG=C.UTF-8", "PATH=/usr/bin:/bin",
		                                        "VANTRY_LAYOUT=user"};
		if (c.root[0] != '\0')
			environment.push_back(std::string("VANTRY_ROOT=") + c.root);
		const std::string output = RunAsUser(installer, c.uid, environment);
		ASSERT_NE(output.find("Small 1.0"), std::string::npos) << output;
		EXPECT_EQ(output.find(hint) != std::string::npos, c.told)
		        << "uid " << c.uid << " root '" << c.root << "'\n"
		        << output;
	}
}
