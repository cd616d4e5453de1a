// An upgrade killed outright (SIGKILL) at every line of its journal: the
// next start undoes it, leaving exactly the earlier version's tree with the
// user's changes, the trash and the register as they were.
#include <sys/resource.h>

#include "KillSupport.h"

using namespace install_test;

namespace {

std::string Product(const std::string& version)
{
	return AppAndPrefsProduct("Upk", "UPK", version, "opt_save_replaced = false\n",
	                          "destination_exists = \"Prompt\"\n");
}

std::map<std::string, std::string> Files(const std::string& version)
{
	std::map<std::string, std::string> files = {
	        {"files/app/config.txt", "config " + version},
	        {"files/app/big.bin", Noise(1 << 20, version == "1.0" ? 1 : 2)},
	        {"files/app/same.txt", "same"},
	        {"files/prefs", "prefs " + version}};
	files[version == "1.0" ? "files/app/old.txt" : "files/app/new.txt"] = version;
	for (int i = 0; i < 8; i++)
		files["files/app/sub/" + std::to_string(i) + ".txt"] = version + std::to_string(i);
	return files;
}

KillEnding KillAt(InstallWorld& world, const std::string& installer, const int& lines)
{
	return KillWhenJournalHas(world,
	                          {installer, "--unattended", "--dest", world.Apps(), "--items",
	                           "app,prefs", "--yes", "--upgrade"},
	                          world.Apps() + "/.vantry-journal-Upk", lines);
}

TEST(UpgradeKillTest, EveryKilledUpgradeIsUndoneToTheEarlierTreeWithTheUsersChanges)
{
	InstallWorld world;
	const std::string first = world.Build("upk-1", Product("1.0"), Files("1.0"));
	const std::string second = world.Build("upk-2", Product("2.0"), Files("2.0"));
	ASSERT_EQ(world.Install(first, {"--dest", world.Apps(), "--items", "app,prefs", "--yes"}).code,
	          0);
	const std::string folder = world.Apps() + "/Upk";
	WriteFile(folder + "/app/config.txt", "config mine");
	WriteFile(folder + "/app/sub/mine.txt", "my own");
	ASSERT_EQ(chmod((folder + "/app/same.txt").c_str(), 0600), 0);
	const auto before = TreeState(world.Temp());
	const auto registered = TreeState(world.Register());
	ASSERT_EQ(registered.size(), 1u);

	int killed = 0;
	for (int point = 2;; point++) {
		SCOPED_TRACE("killed at journal line " + std::to_string(point));
		const KillEnding ending = KillAt(world, second, point);
		if (ending != kKilled)
			break;
		killed++;
		// A start without answers undoes the killed run, then stops at the
		// question about the settings file: the tree is as it was.
		const RunResult checked = world.Install(
		        second, {"--dest", world.Apps(), "--items", "app,prefs", "--upgrade"});
		EXPECT_EQ(checked.code, 6) << checked.output << checked.errors;
		EXPECT_NE(checked.output.find("was found and undone first"), std::string::npos)
		        << checked.output;
		EXPECT_EQ(Changes(before, TreeState(world.Temp())), "");
		EXPECT_EQ(Changes(registered, TreeState(world.Register())), "");
		if (HasFailure())
			return;
	}
	EXPECT_GE(killed, 20) << "the upgrade was killed at too few points";

	// Once undisturbed, the upgrade completes over the restored tree.
	const RunResult completed = world.Install(
	        second, {"--dest", world.Apps(), "--items", "app,prefs", "--yes", "--upgrade"});
	ASSERT_EQ(completed.code, 0) << completed.output;
	EXPECT_EQ(ReadFile(folder + "/app/config.txt"), "config mine");
	EXPECT_EQ(ReadFile(folder + "/app/config.txt.new"), "config 2.0");
	EXPECT_EQ(ReadFile(folder + "/app/sub/mine.txt"), "my own");
	EXPECT_EQ(ReadFile(folder + "/app/new.txt"), "2.0");
	EXPECT_FALSE(Exists(folder + "/app/old.txt"));
}

} // namespace
