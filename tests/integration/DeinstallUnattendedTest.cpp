// The placed deinstaller run unattended on a second volume: what it finds,
// where it puts it, the records that let the file manager put it back, the
// script sections it removes, and what it leaves alone.
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include "InstallTestSupport.h"
#include "TestFiles.h"

using namespace install_test;

namespace {

const char kFiles[] = "files";

std::string Product(const std::string& version, const std::string& scriptTag)
{
	std::string text = ProductHead("Hello", version);
	text += "opt_include_deinstall = true\n"
	        "edit_bootscript = true\n"
	        "edit_bootscript_tag = \"" +
	        scriptTag +
	        "\"\n"
	        "edit_bootscript_contents = \"echo " +
	        scriptTag + "\"\n";
	for (const char* item : {"hello", "lib"}) {
		text += std::string("\n[[install_file]]\nfile_name = \"") + kFiles + "/" + item +
		        "\"\n[install_file.install_meta]\ndeinstallable = true\n";
	}
	text += std::string("\n[[install_file]]\nfile_name = \"") + kFiles +
	        "/ReadMe.txt\"\n[install_file.install_meta]\ndeinstallable = false\n";
	return text;
}

const std::map<std::string, std::string> kProductFiles = {
        {"files/hello", "#!/bin/sh\necho hello\n"},
        {"files/lib/a.txt", "a"},
        {"files/lib/b.txt", "b"},
        {"files/lib/sub/c.txt", "c"},
        {"files/ReadMe.txt", "read me"},
};

class DeinstallUnattendedTest : public testing::Test {
protected:
	void SetUp() override
	{
		data = world.Temp() + "/data";
		fs::create_directories(data + "/apps");
		world.SetEnv("VANTRY_VOLUMES", data + ":name=Data");
		trash = data + "/.Trash-" + std::to_string(getuid());
		WriteFile(world.UserBoot() + "/UserBootscript",
		          "echo mine\n#BEGIN_Other\necho other\n#END_Other\n");
		Install("1.0", "HelloBoot", data + "/apps");
		folder = data + "/apps/Hello";
		deinstaller = folder + "/Hello 1.0 Deinstaller";
	}

	void Install(const std::string& version, const std::string& tag, const std::string& dest)
	{
		const std::string installer =
		        world.Build("hello-" + version, Product(version, tag), kProductFiles);
		const RunResult run = world.Install(
		        installer, {"--dest", dest, "--items", "hello,lib,ReadMe.txt", "--yes"});
		ASSERT_EQ(run.code, 0) << run.output << run.errors;
	}

	RunResult Deinstall(std::vector<std::string> arguments)
	{
		std::vector<std::string> command = {deinstaller, "--unattended", "--volume", "Data"};
		command.insert(command.end(), arguments.begin(), arguments.end());
		return world.Run(command);
	}

	// Every entry below the volume with its content, trash included.
	std::map<std::string, std::string> Snapshot()
	{
		std::map<std::string, std::string> entries;
		for (const std::string& entry : Tree(data)) {
			const std::string path = data + "/" + entry;
			entries[entry] = fs::is_regular_file(fs::symlink_status(path)) ? ReadFile(path) : "/";
		}
		return entries;
	}

	InstallWorld world;
	std::string data;
	std::string trash;
	std::string folder;
	std::string deinstaller;
};

} // namespace

TEST_F(DeinstallUnattendedTest, EveryTaggedEntryAndOnlyThoseGoesToTheTrashWithItsRecord)
{
	// The user moved one file elsewhere on the volume; a later version of
	// the product lies beside the first.
	fs::create_directories(data + "/elsewhere");
	fs::rename(folder + "/lib/b.txt", data + "/elsewhere/b.txt");
	fs::create_directories(data + "/apps/v2");
	Install("2.0", "Hello2Boot", data + "/apps/v2");

	const RunResult run = Deinstall({});
	ASSERT_EQ(run.code, 0) << run.output << run.errors;
	const std::vector<std::string> found = Labelled(run.output, "found");
	const std::vector<std::string> expected = {
	        folder + "/hello",   folder + "/lib",           folder + "/lib/a.txt",
	        folder + "/lib/sub", folder + "/lib/sub/c.txt", data + "/elsewhere/b.txt"};
	EXPECT_EQ(std::set<std::string>(found.begin(), found.end()),
	          std::set<std::string>(expected.begin(), expected.end()));
	for (const std::string& path : expected)
		EXPECT_FALSE(Exists(path)) << path;
	// "lib" held only the product's entries: it went whole, one entry to put back.
	for (const std::string& path :
	     {folder + "/hello", folder + "/lib", data + "/elsewhere/b.txt"}) {
		const std::string leaf = fs::path(path).filename();
		EXPECT_TRUE(Exists(trash + "/files/" + leaf)) << leaf;
		EXPECT_EQ(TrashRecordPath(ReadFile(trash + "/info/" + leaf + ".trashinfo")),
		          path.substr(data.size() + 1))
		        << leaf;
	}
	EXPECT_EQ(ReadFile(trash + "/files/lib/a.txt"), "a");
	EXPECT_TRUE(Exists(trash + "/files/lib/sub/c.txt"));
	EXPECT_FALSE(Exists(trash + "/files/a.txt"));
	EXPECT_EQ(Tree(folder), (std::vector<std::string>{"Hello 1.0 Deinstaller", "Log", "ReadMe.txt",
	                                                  "Saved Files"}));
	EXPECT_EQ(Tree(data + "/apps/v2/Hello"),
	          (std::vector<std::string>{"Hello 2.0 Deinstaller", "Log", "ReadMe.txt", "Saved Files",
	                                    "hello", "lib", "lib/a.txt", "lib/b.txt", "lib/sub",
	                                    "lib/sub/c.txt"}));
	EXPECT_EQ(ReadFile(world.UserBoot() + "/UserBootscript"),
	          "echo mine\n#BEGIN_Other\necho other\n#END_Other\n"
	          "#BEGIN_Hello2Boot\necho Hello2Boot\n#END_Hello2Boot\n");
	EXPECT_EQ(Labelled(run.output, "script"),
	          std::vector<std::string>{"section HelloBoot removed from UserBootscript"});
	EXPECT_EQ(Labelled(run.output, "result"), std::vector<std::string>{"completed (0)"});
}

TEST_F(DeinstallUnattendedTest, ListChangesNothing)
{
	const auto before = Snapshot();
	const std::string script = ReadFile(world.UserBoot() + "/UserBootscript");
	const RunResult run = Deinstall({"--list"});
	ASSERT_EQ(run.code, 0) << run.output << run.errors;
	EXPECT_EQ(Labelled(run.output, "found").size(), 6u) << run.output;
	EXPECT_TRUE(Labelled(run.output, "moved").empty());
	EXPECT_EQ(Snapshot(), before);
	EXPECT_EQ(ReadFile(world.UserBoot() + "/UserBootscript"), script);
}

TEST_F(DeinstallUnattendedTest, AFolderStillHoldingTheUsersFileIsKeptAndListed)
{
	WriteFile(folder + "/lib/sub/mine.txt", "mine");
	const RunResult run = Deinstall({});
	ASSERT_EQ(run.code, 0) << run.output << run.errors;
	EXPECT_EQ(Labelled(run.output, "kept"),
	          (std::vector<std::string>{folder + "/lib/sub (it still holds entries)",
	                                    folder + "/lib (it still holds entries)",
	                                    folder + " (it holds \"ReadMe.txt\")"}));
	EXPECT_EQ(Tree(folder + "/lib"), (std::vector<std::string>{"sub", "sub/mine.txt"}));
}

// In the trash a namesake is no question: each entry keeps its own record
// and takes a free name. A plain folder (--to) asks, and never overwrites
// unasked.
TEST_F(DeinstallUnattendedTest, ANamesakeIsAskedOnlyInAFolderAndNeverOverwrittenUnasked)
{
	const std::string plain = world.Temp() + "/taken";
	struct Case {
		const char* name;
		bool toFolder;
		std::vector<std::string> arguments;
		std::optional<std::string> answers;
		int code;
		size_t questions;
		const char* movedAs;
	} cases[] = {
	        {"trash, no answers", false, {}, std::nullopt, 0, 0, "hello copy"},
	        {"trash, answer replace", false, {}, "collision replace all\n", 0, 0, "hello copy"},
	        {"folder, --yes keeps the namesake", true, {"--yes"}, std::nullopt, 0, 1, "hello copy"},
	        {"folder, answer replace", true, {}, "collision replace all\n", 0, 1, "hello"},
	        {"folder, no answer stops", true, {}, std::nullopt, 6, 1, nullptr},
	};
	for (const Case& test : cases) {
		const std::string into = test.toFolder ? plain : trash + "/files";
		fs::remove_all(trash);
		fs::remove_all(plain);
		WriteFile(into + "/hello", "namesake");
		WriteFile(trash + "/info/hello.trashinfo", "[Trash Info]\nPath=old/hello\n");
		// A volume's trash is used only when it is the user's alone.
		for (const char* part : {"", "/files", "/info"})
			chmod((trash + part).c_str(), 0700);
		std::vector<std::string> arguments = test.arguments;
		if (test.toFolder)
			arguments.insert(arguments.end(), {"--to", plain});
		if (test.answers) {
			WriteFile(world.Temp() + "/answers.txt", *test.answers);
			arguments.insert(arguments.end(), {"--answers", world.Temp() + "/answers.txt"});
		}
		const RunResult run = Deinstall(arguments);
		EXPECT_EQ(run.code, test.code) << test.name << run.output << run.errors;
		EXPECT_EQ(Labelled(run.output, "collision").size(), test.questions)
		        << test.name << run.output;
		if (test.movedAs == nullptr) {
			EXPECT_EQ(ReadFile(folder + "/hello"), kProductFiles.at("files/hello")) << test.name;
			EXPECT_EQ(ReadFile(into + "/hello"), "namesake") << test.name;
			continue;
		}
		EXPECT_EQ(ReadFile(into + "/" + test.movedAs), kProductFiles.at("files/hello"))
		        << test.name;
		if (!test.toFolder)
			EXPECT_EQ(TrashRecordPath(ReadFile(trash + "/info/" + test.movedAs + ".trashinfo")),
			          "apps/Hello/hello")
			        << test.name;
		if (std::string(test.movedAs) != "hello")
			EXPECT_EQ(ReadFile(into + "/hello"), "namesake") << test.name;
		// Put the product back for the next case.
		fs::remove_all(folder);
		Install("1.0", "HelloBoot", data + "/apps");
	}
	// The question speaks the language the installation was made in.
	fs::remove_all(folder);
	const std::string installer =
	        world.Build("hello-1.0", Product("1.0", "HelloBoot"), kProductFiles);
	ASSERT_EQ(world.Install(installer, {"--dest", data + "/apps", "--items", "hello,lib,ReadMe.txt",
	                                    "--yes", "--lang", "de"})
	                  .code,
	          0);
	fs::remove_all(plain);
	WriteFile(plain + "/hello", "namesake");
	const RunResult german = Deinstall({"--to", plain, "--yes"});
	EXPECT_NE(german.output.find("existiert bereits"), std::string::npos) << german.output;
}

TEST_F(DeinstallUnattendedTest, FailuresAndMistakesHaveTheirOwnCodes)
{
	EXPECT_EQ(world.Run({deinstaller, "--unattended", "--volume", "Nowhere"}).code, 3);
	EXPECT_EQ(Deinstall({"--to", data + "/missing"}).code, 2);
	EXPECT_EQ(world.Run({deinstaller, "--list"}).code, 2);
	// Another product's record finds nothing on a volume without its entries.
	const std::string other = world.Temp() + "/other";
	fs::create_directories(other);
	world.SetEnv("VANTRY_VOLUMES", data + ":name=Data;" + other + ":name=Other");
	const RunResult empty = world.Run({deinstaller, "--unattended", "--volume", "Other"});
	EXPECT_EQ(empty.code, 4) << empty.output;
	EXPECT_EQ(Labelled(empty.output, "error"),
	          std::vector<std::string>{
	                  "No files or folders were found to deinstall on this volume."});
}

TEST_F(DeinstallUnattendedTest, AKilledRemovalLeavesEveryEntryWhole)
{
	std::map<std::string, std::string> files;
	for (int i = 0; i < 400; i++)
		files["files/many/f" + std::to_string(i)] = std::string(20000, char('a' + i % 26));
	std::string text = ProductHead("Many", "1.0") +
	                   "opt_include_deinstall = true\n"
	                   "\n[[install_file]]\nfile_name = \"files/many\"\n"
	                   "[install_file.install_meta]\ndeinstallable = true\n";
	const std::string installer = world.Build("many", text, files);
	ASSERT_EQ(world.Install(installer, {"--dest", data + "/apps", "--items", "many", "--yes"}).code,
	          0);
	const std::string many = data + "/apps/Many";
	// A file of the user's keeps the folder in place: its entries move one by one.
	WriteFile(many + "/many/mine.txt", "mine");
	const std::string output = world.Temp() + "/kill.out";
	fs::create_directories(world.Temp() + "/to");
	const pid_t child = world.Start({many + "/Many 1.0 Deinstaller", "--unattended", "--volume",
	                                 "Data", "--to", world.Temp() + "/to"},
	                                output, world.Temp() + "/kill.err");
	ASSERT_TRUE(WaitUntil([&] { return !Labelled(ReadFile(output), "moved").empty(); }, 60));
	kill(child, SIGKILL);
	waitpid(child, nullptr, 0);
	int placed = 0, moved = 0;
	for (const auto& [name, content] : files) {
		const std::string leaf = fs::path(name).filename();
		const bool here = Exists(many + "/many/" + leaf);
		const bool there = Exists(world.Temp() + "/to/" + leaf);
		EXPECT_NE(here, there) << leaf;
		EXPECT_EQ(ReadFile(here ? many + "/many/" + leaf : world.Temp() + "/to/" + leaf), content)
		        << leaf;
		(here ? placed : moved)++;
	}
	EXPECT_GT(moved, 0);
}

// Mistakes are refused before the search, with code 2 and a message that
// names what is wrong, at once: nothing waits on a pipe or for a window
// nobody can see, and nothing moves.
TEST_F(DeinstallUnattendedTest, MistakesAreRefusedAtOnceNamingWhatIsWrong)
{
	const std::string pipe = world.Temp() + "/answers-pipe";
	ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
	fs::create_directories(world.Temp() + "/answers-folder");
	WriteFile(world.Temp() + "/a-file", "x");
	const std::vector<std::string> unattended = {deinstaller, "--unattended", "--volume", "Data"};
	auto with = [&](const std::vector<std::string>& extra) {
		std::vector<std::string> command = unattended;
		command.insert(command.end(), extra.begin(), extra.end());
		return command;
	};
	struct Case {
		std::vector<std::string> command;
		std::string message;
	} cases[] = {
	        {{deinstaller}, "Deinstaller: no display and no terminal: use --unattended"},
	        {with({"--answers", pipe}), pipe + ": is not a regular file but a pipe"},
	        {with({"--answers", world.Temp() + "/answers-folder"}),
	         world.Temp() + "/answers-folder: is not a regular file but a folder"},
	        {with({"--answers", "/dev/null"}), "/dev/null: is not a regular file but a device"},
	        {with({"--to", world.Temp() + "/missing"}),
	         "error: --to " + world.Temp() + "/missing: " + strerror(ENOENT)},
	        {with({"--to", world.Temp() + "/a-file"}),
	         "error: --to " + world.Temp() + "/a-file: it is not a folder"},
	        // It looks like a folder; nothing can be made in it.
	        {with({"--to", "/proc"}), "error: --to /proc: no entry can be made in it ("},
	};
	world.SetEnv("DISPLAY", std::nullopt);
	world.SetEnv("WAYLAND_DISPLAY", std::nullopt);
	for (const Case& test : cases) {
		SCOPED_TRACE(test.command.back());
		const auto before = Snapshot();
		const RunResult run = world.RunFor(test.command, 20);
		EXPECT_EQ(run.code, 2) << run.output << run.errors;
		EXPECT_NE((run.output + run.errors).find(test.message), std::string::npos)
		        << run.output << run.errors;
		EXPECT_TRUE(Labelled(run.output, "found").empty()) << run.output;
		EXPECT_EQ(Snapshot(), before);
	}
}

// SIGINT and SIGTERM end a deinstaller that waits before its search (its
// output blocked) at once with code 5; nothing moves.
TEST_F(DeinstallUnattendedTest, StopSignalsEndADeinstallerBlockedBeforeItsSearch)
{
	for (const int signal : {SIGINT, SIGTERM}) {
		SCOPED_TRACE(strsignal(signal));
		const auto before = Snapshot();
		const RunResult run = world.SignalWhileBlocked(
		        {deinstaller, "--unattended", "--volume", "Data"}, signal, 20);
		EXPECT_EQ(run.code, 5) << "the deinstaller did not end on the signal: " << run.errors;
		EXPECT_NE(run.errors.find("Deinstaller: stopped by SIGINT or SIGTERM"), std::string::npos)
		        << run.errors;
		EXPECT_EQ(Snapshot(), before);
	}
}

// Run as root, the deinstaller leaves a user's entry where it is and names
// its owner, in --list and in the removal, unless --all-owners is given.
TEST_F(DeinstallUnattendedTest, AnotherUsersEntryStaysUnlessEveryOwnerIsAsked)
{
	const uid_t other = 65534;
	if (geteuid() != 0)
		GTEST_SKIP() << "only root gives a file to another user";
	ASSERT_EQ(lchown((folder + "/hello").c_str(), other, other), 0);
	const struct passwd* owner = getpwuid(other);
	const std::vector<std::string> left = {folder + "/hello: owned by " +
	                                       (owner != nullptr ? owner->pw_name : "65534") +
	                                       " (--all-owners moves it)"};
	const auto before = Snapshot();
	const RunResult listed = Deinstall({"--list"});
	EXPECT_EQ(listed.code, 0) << listed.output;
	EXPECT_EQ(Labelled(listed.output, "left"), left);
	EXPECT_EQ(Snapshot(), before);

	const RunResult run = Deinstall({});
	EXPECT_EQ(run.code, 8) << run.output << run.errors;
	EXPECT_EQ(Labelled(run.output, "left"), left);
	EXPECT_EQ(Labelled(run.output, "result"),
	          std::vector<std::string>{"completed; entries were left in place (8)"});
	EXPECT_EQ(ReadFile(folder + "/hello"), kProductFiles.at("files/hello"));
	EXPECT_FALSE(Exists(trash + "/files/hello"));
	EXPECT_FALSE(Exists(folder + "/lib")) << "the user's own entries still go";

	const RunResult all = Deinstall({"--all-owners"});
	EXPECT_EQ(all.code, 0) << all.output << all.errors;
	EXPECT_TRUE(Labelled(all.output, "left").empty()) << all.output;
	EXPECT_FALSE(Exists(folder + "/hello"));
	EXPECT_EQ(ReadFile(trash + "/files/hello"), kProductFiles.at("files/hello"));
}

// A tagged file nested deeper than PATH_MAX cannot be reached by its path:
// its folder is printed as unreadable, the rest goes, and the run ends with
// code 8 instead of claiming it completed.
TEST_F(DeinstallUnattendedTest, AnEntryTheSearchCannotReachEndsTheRunAsIncomplete)
{
	const std::string tag = InstallWorld::Tag("Hello", "1.0");
	const std::string leaf(200, 'd');
	auto openDeepest = [&](const bool& make) {
		int fd = open(data.c_str(), O_RDONLY | O_DIRECTORY);
		for (int i = 0; i < 24 && fd >= 0; i++) {
			if (make)
				mkdirat(fd, leaf.c_str(), 0755);
			const int next = openat(fd, leaf.c_str(), O_RDONLY | O_DIRECTORY);
			close(fd);
			fd = next;
		}
		return fd;
	};
	int deepest = openDeepest(true);
	ASSERT_GE(deepest, 0);
	const int file = openat(deepest, "deep.txt", O_WRONLY | O_CREAT, 0644);
	ASSERT_GE(file, 0);
	ASSERT_EQ(write(file, "deep", 4), 4);
	ASSERT_EQ(fsetxattr(file, "user.InstallBy", tag.data(), tag.size(), 0), 0);
	close(file);
	close(deepest);

	const RunResult run = Deinstall({});
	EXPECT_EQ(run.code, 8) << run.output << run.errors;
	const std::vector<std::string> unreadable = Labelled(run.output, "unreadable");
	ASSERT_EQ(unreadable.size(), 1u) << run.output;
	EXPECT_EQ(unreadable[0].rfind(data + "/" + leaf + "/", 0), 0u) << unreadable[0];
	EXPECT_TRUE(unreadable[0].ends_with(std::string(": ") + strerror(ENAMETOOLONG) + " (skipped)"))
	        << unreadable[0];
	EXPECT_EQ(Labelled(run.output, "result"),
	          std::vector<std::string>{"completed; entries were left in place (8)"});
	EXPECT_FALSE(Exists(folder + "/hello")) << "the reachable entries still go";
	deepest = openDeepest(false);
	ASSERT_GE(deepest, 0);
	char value[256];
	const int left = openat(deepest, "deep.txt", O_RDONLY);
	EXPECT_EQ(fgetxattr(left, "user.InstallBy", value, sizeof(value)), ssize_t(tag.size()));
	close(left);
	close(deepest);
	fs::remove_all(data + "/" + leaf);
}
