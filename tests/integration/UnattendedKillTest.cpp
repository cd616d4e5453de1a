// Installations over an earlier one killed outright (SIGKILL) at many points
// of their journal: the next start undoes the killed run first, so the tree
// is exactly as it was before (contents, modes, dates, attributes, links),
// and a start that completes leaves what an undisturbed installation leaves.
#include <sys/resource.h>

#include "KillSupport.h"

using namespace install_test;

namespace {

std::string KillProduct(const bool& saveReplaced)
{
	return ProductHead("Kill") + "opt_save_replaced = " + (saveReplaced ? "true" : "false") + R"(
opt_compression = 1
edit_profile = true
edit_profile_tag = "KILL"
edit_profile_contents = "export KILL=1"

[[install_file]]
file_name = "files/tool"
[install_file.install_meta]
destination = "User Add-Ons"
link = "User Selected"

[[install_file]]
file_name = "files/data.bin"
[install_file.install_meta]
destination = "User Selected"

[[install_file]]
file_name = "files/prefs"
[install_file.install_meta]
destination = "User Settings"
destination_exists = "Prompt"
)";
}

const std::map<std::string, std::string>& KillFiles()
{
	static const std::map<std::string, std::string> files = {
	        {"files/tool/run.bin", Noise(2 << 20, 1)},
	        {"files/tool/notes.txt", "new notes"},
	        {"files/data.bin", Noise(4 << 20, 2)},
	        {"files/prefs", "new prefs"}};
	return files;
}

const std::vector<std::string> kArguments = {"--items", "tool,data.bin,prefs"};

// The tree with every date left out and the world's own folder written as
// {T}: what two worlds that did the same things hold alike.
std::map<std::string, std::string> Outcome(const std::string& root)
{
	std::map<std::string, std::string> entries;
	auto neutral = [&root](std::string text) {
		for (size_t at = text.find(root); at != std::string::npos; at = text.find(root, at))
			text.replace(at, root.size(), "{T}");
		return text;
	};
	for (const std::string& entry : Tree(root)) {
		// A run killed after it kept its changes may leave its lock file (or
		// its copies), which the next run takes over: not part of the outcome.
		if (IsHarnessEntry(entry) || entry.find("/.vantry-lock-") != std::string::npos ||
		    entry.find("/.vantry-journal-") != std::string::npos)
			continue;
		const std::string path = root + "/" + entry;
		struct stat info;
		lstat(path.c_str(), &info);
		std::string state = std::to_string(info.st_mode);
		// The deinstaller carries its installation's identity, new each run.
		const bool dated = entry.ends_with("/Log") || entry.ends_with(".trashinfo") ||
		                   entry.ends_with(" Deinstaller");
		if (S_ISLNK(info.st_mode))
			state += " -> " + neutral(fs::read_symlink(path).string());
		else if (S_ISREG(info.st_mode) && !dated)
			state += " " + std::to_string(std::hash<std::string>()(neutral(ReadFile(path))));
		for (const std::string& name : AttrNames(path))
			state += " " + name;
		entries[entry] = state;
	}
	return entries;
}

class UnattendedKillTest : public testing::TestWithParam<bool> {
protected:
	// The world before the second run: an earlier installation, and entries
	// of the new items' names in their folders.
	std::string Prepare(InstallWorld& world)
	{
		const std::string installer = world.Build("kill", KillProduct(GetParam()), KillFiles());
		EXPECT_EQ(world.Install(installer, {"--dest", world.Apps(), "--yes", "--items", "data.bin"})
		                  .code,
		          0);
		WriteFile(world.Home() + "/config/add-ons/tool/old.txt", "old tool");
		WriteFile(world.Home() + "/config/settings/prefs", "old prefs");
		WriteFile(world.Home() + "/.profile", "export OLD=1\n");
		setxattr((world.Home() + "/.profile").c_str(), "user.note", "kept", 4, 0);
		fs::create_symlink("config/settings/prefs", world.Home() + "/prefs-link");
		return installer;
	}

	std::vector<std::string> Arguments(InstallWorld& world, const bool& yes)
	{
		std::vector<std::string> arguments = {"--dest", world.Apps(), "--items",
		                                      "tool,data.bin,prefs"};
		if (yes)
			arguments.push_back("--yes");
		return arguments;
	}

	// Starts the installation and kills it once its journal holds `lines`
	// lines. A kill may come after the run kept its changes and dropped its
	// journal: the installation is then complete, its last touches (the
	// log's type, hidden work folders) perhaps not.
	KillEnding KillAt(InstallWorld& world, const std::string& installer, const int& lines)
	{
		std::vector<std::string> command = {installer, "--unattended"};
		for (const std::string& argument : Arguments(world, true))
			command.push_back(argument);
		return KillWhenJournalHas(world, command, world.Apps() + "/.vantry-journal-Kill", lines);
	}

	// What an installation that nothing disturbed leaves.
	std::map<std::string, std::string> Undisturbed()
	{
		InstallWorld world;
		const std::string installer = Prepare(world);
		EXPECT_EQ(world.Install(installer, Arguments(world, true)).code, 0);
		return Outcome(world.Temp());
	}
};

TEST_P(UnattendedKillTest, TheNextStartUndoesAKilledRunThenInstallsAsIfUndisturbed)
{
	const auto expected = Undisturbed();
	InstallWorld world;
	const std::string installer = Prepare(world);
	const auto before = TreeState(world.Temp());
	int killed = 0;
	for (int point = 2;; point++) {
		SCOPED_TRACE("killed at journal line " + std::to_string(point));
		const KillEnding ending = KillAt(world, installer, point);
		if (ending == kCompleted)
			EXPECT_EQ(Outcome(world.Temp()), expected);
		if (ending != kKilled)
			break;
		killed++;
		// A start without answers undoes the killed run, then stops at its
		// question and undoes itself: the tree is as it was.
		const RunResult checked = world.Install(installer, Arguments(world, false));
		EXPECT_EQ(checked.code, 6) << checked.output << checked.errors;
		EXPECT_NE(checked.output.find("was found and undone first"), std::string::npos)
		        << checked.output;
		EXPECT_EQ(TreeState(world.Temp()), before);
		if (HasFailure())
			return;
	}
	EXPECT_GE(killed, 4) << "the run was killed at too few points";

	// On a busy machine the kill may come too late: another world is tried.
	for (int attempt = 0; attempt < 3; attempt++) {
		InstallWorld again;
		const std::string second = Prepare(again);
		if (KillAt(again, second, killed / 2 + 2) != kKilled)
			continue;
		const RunResult completed = again.Install(second, Arguments(again, true));
		ASSERT_EQ(completed.code, 0) << completed.output;
		EXPECT_NE(completed.output.find("was found and undone first"), std::string::npos);
		EXPECT_EQ(Outcome(again.Temp()), expected);
		return;
	}
	ADD_FAILURE() << "no run could be killed before it completed";
}

INSTANTIATE_TEST_SUITE_P(SavedAndTrashed, UnattendedKillTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
	                         return info.param ? "SavedFiles" : "Trash";
                         });

} // namespace

namespace {

// A journal another user could have planted in a shared folder is never
// followed: what it names stays, and the run stops before any change.
TEST(PlantedJournalTest, IsNeverFollowed)
{
	struct Case {
		const char* name;
		uid_t owner;
		mode_t mode;
	};
	const Case cases[] = {{"AnotherUsers", 65534, 0600}, {"WritableByOthers", geteuid(), 0666}};
	for (const Case& test : cases) {
		SCOPED_TRACE(test.name);
		InstallWorld world;
		const std::string installer = world.Build(
		        "kill", ProductHead("Kill") + "[[install_file]]\nfile_name = \"a.txt\"\n",
		        {{"a.txt", "a"}});
		const std::string victim = world.Home() + "/precious.txt";
		WriteFile(victim, "mine");
		const std::string journal = world.Apps() + "/.vantry-journal-Kill";
		WriteFile(journal, "vantry-journal 1\trollback\nmade\t" + victim + "\n");
		// Only root may give a file away; without it that case cannot be made.
		if (chown(journal.c_str(), test.owner, gid_t(-1)) != 0)
			continue;
		ASSERT_EQ(chmod(journal.c_str(), test.mode), 0);
		const RunResult run =
		        world.Install(installer, {"--dest", world.Apps(), "--items", "a.txt", "--yes"});
		EXPECT_EQ(ReadFile(victim), "mine");
		EXPECT_EQ(run.code, 1) << run.output;
		EXPECT_NE(run.output.find(journal), std::string::npos) << run.output;
		EXPECT_FALSE(Exists(world.Apps() + "/Kill"));
	}
}

} // namespace
