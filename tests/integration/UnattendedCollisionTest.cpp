// Entries in the way of items and links, settled by every collision rule:
// asked (with "apply to all" for items and links apart), renamed aside,
// replaced into "Saved Files" or removed; an unanswered question stops.
#include "InstallTestSupport.h"

using namespace install_test;

namespace {

std::string ClashProduct(const bool& saveReplaced)
{
	std::string text = ProductHead("Clash");
	text += std::string("opt_save_replaced = ") + (saveReplaced ? "true" : "false") + "\n";
	text += "\n" + UserFolder("Target", "target") + UserFolder("Links", "links");
	struct Item {
		const char* leaf;
		const char* rule;
		const char* link;
		const char* linkRule;
		bool deinstallable;
	};
	const Item items[] = {
	        {"a.txt", "Prompt", "Links", "Prompt", true},
	        {"b.txt", "Prompt", "Links", "Prompt", true},
	        {"c.txt", "Rename", "Links", "Rename", true},
	        {"d.txt", "Replace", "None", "Replace", false},
	        {"e", "Prompt", "None", "Replace", true},
	};
	for (const Item& item : items) {
		text += std::string("\n[[install_file]]\nfile_name = \"files/") + item.leaf + "\"\n";
		text += "[install_file.install_meta]\ndestination = \"Target\"\n";
		text += std::string("destination_exists = \"") + item.rule + "\"\n";
		text += std::string("link = \"") + item.link + "\"\n";
		text += std::string("link_exists = \"") + item.linkRule + "\"\n";
		text += std::string("deinstallable = ") + (item.deinstallable ? "true" : "false") + "\n";
	}
	return text;
}

const std::map<std::string, std::string> kClashFiles = {
        {"files/a.txt", "new a"}, {"files/b.txt", "new b"},     {"files/c.txt", "new c"},
        {"files/d.txt", "new d"}, {"files/e/new.txt", "new e"},
};

struct CollisionCase {
	const char* name;
	bool saveReplaced;
	const char* answers; // null: no answer file
	bool yes;
	int exitCode;
	size_t questions;
	// The log's run lines, with T for the target folder and L for the links.
	std::vector<std::string> log;
	// Expected content of entries below the home folder ("" = absent,
	// "->X" = a link to X below the installation folder or T).
	std::map<std::string, std::string> entries;
};

// Test names show the case, not its bytes.
void PrintTo(const CollisionCase& test, std::ostream* stream)
{
	*stream << test.name;
}

std::string Expand(std::string text, const std::string& target, const std::string& links,
                   const std::string& folder)
{
	for (const auto& [mark, value] :
	     {std::pair<std::string, std::string>{"{T}", target}, {"{L}", links}, {"{F}", folder}}) {
		for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at))
			text.replace(at, mark.size(), value);
	}
	return text;
}

class UnattendedCollisionTest : public testing::TestWithParam<CollisionCase> {};

TEST_P(UnattendedCollisionTest, SettlesEveryEntryInTheWay)
{
	const CollisionCase& test = GetParam();
	InstallWorld world;
	const std::string installer =
	        world.Build("clash", ClashProduct(test.saveReplaced), kClashFiles);
	const std::string target = world.Home() + "/target";
	const std::string links = world.Home() + "/links";
	const std::string folder = world.Apps() + "/Clash";
	for (const char* leaf : {"a.txt", "b.txt", "c.txt", "d.txt"})
		WriteFile(target + "/" + leaf, std::string("old ") + leaf[0]);
	WriteFile(target + "/e/old.txt", "old e");
	for (const char* leaf : {"a.txt", "b.txt", "c.txt"})
		WriteFile(links + "/" + leaf, std::string("old link ") + leaf[0]);

	std::vector<std::string> arguments = {"--dest", world.Apps(), "--items",
	                                      "a.txt,b.txt,c.txt,d.txt,e"};
	if (test.yes)
		arguments.push_back("--yes");
	const RunResult run = world.Install(installer, arguments, OptionalText(test.answers));
	ASSERT_EQ(run.code, test.exitCode) << run.output << run.errors;
	EXPECT_EQ(Labelled(run.output, "collision").size(), test.questions) << run.output;

	std::vector<std::string> log;
	bool started = false;
	for (const std::string& line : Lines(ReadFile(folder + "/Log"))) {
		if (line.rfind("\tInstallation Started", 0) == 0) {
			started = true;
			continue;
		}
		if (started && line.rfind("\tInstallation Complete", 0) != 0)
			log.push_back(line);
	}
	std::vector<std::string> expected;
	for (const std::string& line : test.log)
		expected.push_back(Expand(line, target, links, folder));
	EXPECT_EQ(log, expected);

	for (const auto& [relative, content] : test.entries) {
		const std::string path = Expand(relative, target, links, folder);
		if (content.empty()) {
			EXPECT_FALSE(Exists(path)) << path;
		} else if (content.rfind("->", 0) == 0) {
			std::error_code error;
			const std::string to = Expand(content.substr(2), target, links, folder);
			EXPECT_EQ(fs::read_symlink(path, error).string(), to) << path;
			// Every placed link is of a deinstallable item and carries its item's tag.
			const std::optional<std::string> tag = DeinstallTag(path);
			EXPECT_TRUE(tag.has_value()) << path;
			EXPECT_EQ(tag, DeinstallTag(to)) << path;
		} else {
			EXPECT_EQ(ReadFile(path), content) << path;
			// Entries that were there before, moved aside or kept, are never tagged.
			if (content.rfind("old", 0) == 0)
				EXPECT_EQ(DeinstallTag(path), std::nullopt) << path;
		}
	}
}

const std::vector<CollisionCase> kCases = {
        {"ReplaceAllItemsKeepAllLinksSaved",
         true,
         "collision replace all\ncollision keep all\n",
         false,
         0,
         2,
         {"\t\tInstalling : a.txt",
          "\t\t\tExisting file saved.",
          "\t\t\tPlaced in {T}",
          "\t\t\tUser desired not to place a link in {L}",
          "\t\tInstalling : b.txt",
          "\t\t\tExisting file saved.",
          "\t\t\tPlaced in {T}",
          "\t\t\tUser desired not to place a link in {L}",
          "\t\tInstalling : c.txt",
          "\t\t\tExisting file renamed",
          "\t\t\tPlaced in {T}",
          "\t\t\tExisting file renamed",
          "\t\t\tPlaced a link in {L}",
          "\t\tInstalling : d.txt",
          "\t\t\tExisting file saved.",
          "\t\t\tPlaced in {T}",
          "\t\t\tThis file will not be removed by the de-installer",
          "\t\tInstalling : e",
          "\t\t\tExisting file saved.",
          "\t\t\tPlaced in {T}"},
         {{"{T}/a.txt", "new a"},
          {"{T}/b.txt", "new b"},
          {"{T}/c.txt", "new c"},
          {"{T}/c.txt copy", "old c"},
          {"{T}/d.txt", "new d"},
          {"{T}/e/new.txt", "new e"},
          {"{T}/e/old.txt", ""},
          {"{F}/Saved Files/a.txt", "old a"},
          {"{F}/Saved Files/b.txt", "old b"},
          {"{F}/Saved Files/d.txt", "old d"},
          {"{F}/Saved Files/e/old.txt", "old e"},
          {"{L}/a.txt", "old link a"},
          {"{L}/b.txt", "old link b"},
          {"{L}/c.txt", "->{T}/c.txt"},
          {"{L}/c.txt copy", "old link c"},
          {"{F}/a.txt", ""}}},
        {"AskAgainUntilApplyToAllRemoved",
         false,
         "collision keep\ncollision replace all\ncollision replace all\n",
         false,
         0,
         3,
         {"\t\tInstalling : a.txt", "\t\t\tUser desired not to place item in {T}",
          "\t\t\tPlaced a link in {L}", "\t\tInstalling : b.txt", "\t\t\tPlaced in {T}",
          "\t\t\tPlaced a link in {L}", "\t\tInstalling : c.txt", "\t\t\tExisting file renamed",
          "\t\t\tPlaced in {T}", "\t\t\tExisting file renamed", "\t\t\tPlaced a link in {L}",
          "\t\tInstalling : d.txt", "\t\t\tExisting file removed.", "\t\t\tPlaced in {T}",
          "\t\t\tThis file will not be removed by the de-installer", "\t\tInstalling : e",
          "\t\t\tRemoved existing folder {T}/e", "\t\t\tPlaced in {T}"},
         {{"{T}/a.txt", "old a"},
          {"{F}/a.txt", "new a"},
          {"{L}/a.txt", "->{F}/a.txt"},
          {"{T}/b.txt", "new b"},
          {"{L}/b.txt", "->{T}/b.txt"},
          {"{T}/d.txt", "new d"},
          {"{T}/e/new.txt", "new e"},
          {"{T}/e/old.txt", ""},
          {"{F}/Saved Files", ""}}},
        {"DefaultsReplaceAndAskEachTime",
         true,
         nullptr,
         true,
         0,
         5,
         {"\t\tInstalling : a.txt",
          "\t\t\tExisting file saved.",
          "\t\t\tPlaced in {T}",
          "\t\t\tExisting file saved.",
          "\t\t\tPlaced a link in {L}",
          "\t\tInstalling : b.txt",
          "\t\t\tExisting file saved.",
          "\t\t\tPlaced in {T}",
          "\t\t\tExisting file saved.",
          "\t\t\tPlaced a link in {L}",
          "\t\tInstalling : c.txt",
          "\t\t\tExisting file renamed",
          "\t\t\tPlaced in {T}",
          "\t\t\tExisting file renamed",
          "\t\t\tPlaced a link in {L}",
          "\t\tInstalling : d.txt",
          "\t\t\tExisting file saved.",
          "\t\t\tPlaced in {T}",
          "\t\t\tThis file will not be removed by the de-installer",
          "\t\tInstalling : e",
          "\t\t\tExisting file saved.",
          "\t\t\tPlaced in {T}"},
         {{"{T}/a.txt", "new a"},
          {"{L}/a.txt", "->{T}/a.txt"},
          {"{F}/Saved Files/a.txt copy", "old link a"},
          {"{F}/Saved Files/a.txt", "old a"}}},
        {"UnansweredQuestionStops",
         true,
         nullptr,
         false,
         6,
         5,
         {},
         {{"{T}/a.txt", "old a"}, {"{T}/b.txt", "old b"}, {"{F}/Saved Files/a.txt", ""}}},
};

INSTANTIATE_TEST_SUITE_P(Rules, UnattendedCollisionTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<CollisionCase>& info) {
	                         return info.param.name;
                         });

TEST(UnattendedCollisionStop, UnansweredQuestionStopsBeforeAnyChange)
{
	InstallWorld world;
	const std::string installer = world.Build("clash", ClashProduct(true), kClashFiles);
	WriteFile(world.Home() + "/target/a.txt", "old a");
	const auto before = TreeState(world.Temp());
	const RunResult run =
	        world.Install(installer, {"--dest", world.Apps(), "--items", "a.txt,b.txt"});
	ASSERT_EQ(run.code, 6) << run.output;
	EXPECT_EQ(Labelled(run.output, "collision"),
	          (std::vector<std::string>{world.Home() + "/target/a.txt is in the way of the item "
	                                                   "a.txt, and the product asks what to do"}));
	EXPECT_EQ(Labelled(run.output, "error"),
	          (std::vector<std::string>{"Installation was stopped before it could complete."}));
	EXPECT_EQ(Labelled(run.output, "result"),
	          (std::vector<std::string>{"stopped: a question had no answer (6)"}));
	EXPECT_TRUE(Labelled(run.output, "status").empty()) << "the run never began";
	EXPECT_EQ(TreeState(world.Temp()), before) << "nothing was changed";
}

} // namespace
