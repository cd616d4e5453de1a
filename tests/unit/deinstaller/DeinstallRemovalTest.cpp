// The removal: files before folders, folders kept while they hold entries,
// failures reported, collisions asked and never overwritten unasked.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "DeinstallRemoval.h"
#include "TempFolder.h"
#include "TestFiles.h"

namespace {

bool Exists(const std::string& path)
{
	struct stat st;
	return lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> Listing(const std::string& folder)
{
	std::vector<std::string> names;
	for (const auto& item : std::filesystem::directory_iterator(folder))
		names.push_back(item.path().filename().string());
	std::sort(names.begin(), names.end());
	return names;
}

// A product folder with a file the user did not select, and a destination.
struct World {
	World()
	{
		mkdir((root / "to").c_str(), 0755);
		mkdir((root / "app").c_str(), 0755);
		mkdir((root / "app/lib").c_str(), 0755);
		WriteText(root / "app/bin", "b");
		WriteText(root / "app/lib/one", "1");
		WriteText(root / "app/lib/two", "2");
	}
	std::string P(const char* leaf) const { return root / leaf; }
	TempFolder root;
};

} // namespace

TEST(DeinstallRemovalTest, MovesEverythingChosenAndKeepsFoldersThatStillHoldEntries)
{
	World world;
	DeinstallRemoval removal(world.P("to"));
	std::vector<std::pair<std::string, int32>> progress;
	removal.SetProgress(
	        [&](const std::string& leaf, const int32& left) { progress.emplace_back(leaf, left); });
	// "app/lib/two" was deselected: "app/lib" and "app" stay.
	const std::vector<std::string> chosen = {world.P("app"), world.P("app/bin"), world.P("app/lib"),
	                                         world.P("app/lib/one")};
	EXPECT_EQ(removal.Remove(chosen), B_OK);
	EXPECT_EQ(Listing(world.P("to")), (std::vector<std::string>{"bin", "one"}));
	EXPECT_EQ(removal.Kept(), (std::vector<std::string>{world.P("app/lib"), world.P("app")}));
	EXPECT_EQ(ReadText(world.P("app/lib/two")), "2");
	EXPECT_TRUE(removal.Failed().empty());
	const std::vector<std::pair<std::string, int32>> expected = {
	        {"one", 4}, {"bin", 3}, {"lib", 2}, {"app", 1}};
	EXPECT_EQ(progress, expected);

	// A folder holding only chosen entries goes whole: one entry to put back.
	DeinstallRemoval all(world.P("to"));
	EXPECT_EQ(all.Remove({world.P("app"), world.P("app/lib"), world.P("app/lib/two")}), B_OK);
	EXPECT_FALSE(Exists(world.P("app")));
	EXPECT_EQ(Listing(world.P("to")), (std::vector<std::string>{"app", "bin", "one"}));
	EXPECT_EQ(ReadText(world.P("to") + "/app/lib/two"), "2");
	EXPECT_EQ(all.Moved().size(), 1u);
	EXPECT_TRUE(all.Kept().empty());
}

TEST(DeinstallRemovalTest, AnEntryThatCannotBeMovedIsReported)
{
	World world;
	DeinstallRemoval removal(world.P("to"));
	const std::vector<std::string> chosen = {world.P("gone"), world.P("app/bin")};
	EXPECT_EQ(removal.Remove(chosen), B_ERROR);
	ASSERT_EQ(removal.Failed().size(), 1u);
	EXPECT_EQ(removal.Failed()[0].first, world.P("gone"));
	EXPECT_EQ(removal.Failed()[0].second, "it is no longer there");
	EXPECT_EQ(Listing(world.P("to")), std::vector<std::string>{"bin"});
}

TEST(DeinstallRemovalTest, CollisionsAreAskedUntilTheAnswerAppliesToAll)
{
	struct Case {
		const char* name;
		bool replace;
		bool all;
		int32 questions;
		std::vector<std::string> listing;
		const char* binText;
	} cases[] = {
	        {"keep, asked each time",
	         false,
	         false,
	         2,
	         {"bin", "bin copy", "lib", "lib copy", "one"},
	         "old"},
	        {"keep for all", false, true, 1, {"bin", "bin copy", "lib", "lib copy", "one"}, "old"},
	        {"replace for all", true, true, 1, {"bin", "lib", "one"}, "b"},
	};
	for (const Case& item : cases) {
		World world;
		for (const char* leaf : {"bin", "one"})
			WriteText(world.P("to") + "/" + leaf, "old");
		mkdir((world.P("to") + "/lib").c_str(), 0755);
		WriteText(world.P("to") + "/lib/kept", "old");
		int32 questions = 0;
		DeinstallRemoval removal(world.P("to"));
		removal.SetQuestion(
		        [&](const std::string& entry, const std::string& target, bool& ask, bool& replace) {
			        EXPECT_TRUE(ask) << item.name;
			        EXPECT_TRUE(Exists(target)) << item.name;
			        questions++;
			        replace = item.replace;
			        ask = !item.all;
			        return true;
		        });
		EXPECT_EQ(removal.Remove({world.P("app/bin"), world.P("app/lib"), world.P("app/lib/one"),
		                          world.P("app/lib/two")}),
		          B_OK)
		        << item.name;
		// "lib" held only chosen entries: it met its namesake whole.
		EXPECT_EQ(questions, item.questions) << item.name;
		EXPECT_EQ(Listing(world.P("to")), item.listing) << item.name;
		EXPECT_EQ(ReadText(world.P("to") + "/bin"), item.binText) << item.name;
	}
}

TEST(DeinstallRemovalTest, AQuestionWithoutAnswerStopsWithTheEntryInPlace)
{
	World world;
	WriteText(world.P("to") + "/one", "old");
	DeinstallRemoval removal(world.P("to"));
	removal.SetQuestion([](const std::string&, const std::string&, bool&, bool&) { return false; });
	EXPECT_EQ(removal.Remove({world.P("app/bin"), world.P("app/lib/one")}), B_CANCELED);
	EXPECT_EQ(ReadText(world.P("app/lib/one")), "1");
	EXPECT_EQ(ReadText(world.P("app/bin")), "b");
	EXPECT_EQ(ReadText(world.P("to") + "/one"), "old");
}

TEST(DeinstallRemovalTest, EntriesOfAnotherOwnerAreLeftUnlessEveryOwnerIsAsked)
{
	// The world's entries belong to the test's user; a removal made for
	// another user finds them foreign.
	const uid_t self = geteuid();
	const struct passwd* entry = getpwuid(self);
	const std::string name = entry != nullptr ? entry->pw_name : std::to_string(self);
	struct Case {
		const char* name;
		uid_t user;
		bool anyOwner;
		bool moved;
	} cases[] = {
	        {"the user's own entries", self, false, true},
	        {"another user's entries", self + 1, false, false},
	        {"another user's, every owner asked", self + 1, true, true},
	};
	for (const Case& test : cases) {
		World world;
		DeinstallRemoval removal(world.P("to"));
		removal.SetOwner(test.user, test.anyOwner);
		const std::vector<std::string> chosen = {world.P("app/bin"), world.P("app/lib"),
		                                         world.P("app/lib/one")};
		EXPECT_EQ(removal.Remove(chosen), B_OK) << test.name;
		EXPECT_TRUE(removal.Failed().empty()) << test.name;
		EXPECT_EQ(Exists(world.P("app/bin")), !test.moved) << test.name;
		EXPECT_EQ(Exists(world.P("to/bin")), test.moved) << test.name;
		if (test.moved) {
			EXPECT_TRUE(removal.Left().empty()) << test.name;
			continue;
		}
		const std::vector<std::pair<std::string, std::string>> left = {
		        {world.P("app/lib/one"), "owned by " + name},
		        {world.P("app/bin"), "owned by " + name}};
		EXPECT_EQ(removal.Left(), left) << test.name;
		// The folder keeps the entry left in it.
		EXPECT_EQ(removal.Kept(), std::vector<std::string>{world.P("app/lib")}) << test.name;
		EXPECT_EQ(Listing(world.P("to")), std::vector<std::string>{}) << test.name;
	}
}

TEST(DeinstallRemovalTest, AFailedMoveNamesWhereTheEntryWasToGo)
{
	struct Case {
		const char* destination;
		const char* entry;
		const char* reason; // "{}" stands for the destination's path
	} cases[] = {
	        {"app/bin", "app/lib/one", "the folder {} cannot take it: "}, // a file
	        {"gone", "app/lib/one", "the folder {} cannot take it: "},
	        // A folder cannot go into itself.
	        {"app/empty", "app/empty", "not moved to {}/empty: "},
	};
	for (const Case& test : cases) {
		World world;
		mkdir(world.P("app/empty").c_str(), 0755);
		const std::string to = world.P(test.destination);
		std::string expected = test.reason;
		expected.replace(expected.find("{}"), 2, to);
		DeinstallRemoval removal(to);
		EXPECT_EQ(removal.Remove({world.P(test.entry)}), B_ERROR) << test.destination;
		ASSERT_EQ(removal.Failed().size(), 1u) << test.destination;
		EXPECT_EQ(removal.Failed()[0].first, world.P(test.entry)) << test.destination;
		const std::string& reason = removal.Failed()[0].second;
		EXPECT_EQ(reason.substr(0, expected.size()), expected) << test.destination;
		EXPECT_GT(reason.size(), expected.size()) << test.destination << ": no system reason";
		EXPECT_TRUE(Exists(world.P(test.entry))) << test.destination;
	}
}
