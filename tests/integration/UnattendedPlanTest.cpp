// --plan: what an installation would do, told without changing one entry of
// the world, and the exit code the installation then really ends with; what
// it says it would place and move is where the installation puts it.
#include <sys/file.h>

#include "InstallTestSupport.h"
#include "JsonCheck.h"

using namespace install_test;

namespace {

std::string PlannedProduct(const std::string& extra)
{
	return ProductHead("Planned") + "opt_save_replaced = true\n" + extra + R"(
edit_bootscript = true
edit_bootscript_tag = "Planned"
edit_bootscript_contents = "echo planned"

)" + UserFolder("Target", "target") +
	       UserFolder("Links", "links") + R"(
[[install_file]]
file_name = "files/app"

[[install_file]]
file_name = "files/a.txt"
[install_file.install_meta]
destination = "Target"
destination_exists = "Prompt"
link = "Links"
link_exists = "Replace"

[[install_file]]
file_name = "files/docs"
[install_file.install_meta]
destination = "Target"
destination_exists = "Rename"
)";
}

const std::map<std::string, std::string> kFiles = {
        {"files/app", "app v1"}, {"files/a.txt", "aaaa"}, {"files/docs/x.txt", "xx"}};

struct PlanCase {
	const char* name;
	const char* extra;    // product fields
	bool installedBefore; // an earlier installation of the product is there
	const char* answers;  // null: none
	int code;             // of the plan and of the installation alike
	// Lines the plan prints, {F} the installation folder, {T} the target,
	// {L} the links' folder, {H} the home folder.
	std::vector<std::string> lines;
	// Another run holds the installation folder's lock throughout.
	bool locked = false;
};

void PrintTo(const PlanCase& test, std::ostream* stream)
{
	*stream << test.name;
}

std::string Expand(std::string text, const InstallWorld& world)
{
	const std::pair<std::string, std::string> marks[] = {{"{F}", world.Apps() + "/Planned"},
	                                                     {"{T}", world.Home() + "/target"},
	                                                     {"{L}", world.Home() + "/links"},
	                                                     {"{H}", world.Home()}};
	for (const auto& [mark, value] : marks) {
		for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at))
			text.replace(at, mark.size(), value);
	}
	return text;
}

// "PATH -> TO" or "PATH (what)": the path.
std::string PathOf(const std::string& line)
{
	for (const char* end : {" -> ", " ("}) {
		const size_t at = line.find(end);
		if (at != std::string::npos)
			return line.substr(0, at);
	}
	return line;
}

class UnattendedPlanTest : public testing::TestWithParam<PlanCase> {};

TEST_P(UnattendedPlanTest, ChangesNothingAndEndsAsTheInstallation)
{
	const PlanCase& test = GetParam();
	InstallWorld world;
	const std::string installer = world.Build("planned", PlannedProduct(test.extra), kFiles);
	const std::vector<std::string> arguments = {"--dest", world.Apps(), "--items",
	                                            "app,a.txt,docs"};
	if (test.installedBefore) {
		const RunResult first = world.Install(installer, arguments, "collision replace all\n");
		ASSERT_EQ(first.code, 0) << first.output;
	}
	std::vector<std::string> plan = {installer, "--plan"};
	plan.insert(plan.end(), arguments.begin(), arguments.end());
	if (test.answers != nullptr) {
		WriteFile(world.Temp() + "/answers-plan.txt", test.answers);
		plan.insert(plan.end(), {"--answers", world.Temp() + "/answers-plan.txt"});
	}

	int lock = -1;
	if (test.locked) {
		lock = open((world.Apps() + "/.vantry-lock-Planned").c_str(), O_RDWR | O_CREAT, 0600);
		ASSERT_EQ(flock(lock, LOCK_EX), 0);
		ASSERT_EQ(write(lock, "4242\n", 5), 5);
	}
	const auto before = TreeState(world.Temp());
	const RunResult planned = world.Run(plan);
	EXPECT_EQ(Changes(before, TreeState(world.Temp())), "") << planned.output;
	EXPECT_EQ(planned.code, test.code) << planned.output << planned.errors;
	const std::vector<std::string> printed = Lines(planned.output);
	for (const std::string& line : test.lines)
		EXPECT_TRUE(std::find(printed.begin(), printed.end(), Expand(line, world)) != printed.end())
		        << Expand(line, world) << "\n--- printed:\n"
		        << planned.output;

	// The JSON plan is the same plan.
	plan.push_back("--json");
	const RunResult document = world.Run(plan);
	const auto members = JsonCheck(document.output).Members();
	ASSERT_TRUE(members.has_value()) << document.output;
	EXPECT_EQ(members->at("exit_code"), std::to_string(test.code));
	EXPECT_EQ(Changes(before, TreeState(world.Temp())), "");

	// The installation itself: same end, and it puts things where the plan said.
	std::vector<std::string> install = plan;
	install[1] = "--unattended";
	install.pop_back();
	const RunResult run = world.Run(install);
	EXPECT_EQ(run.code, test.code) << run.output;
	if (lock >= 0)
		close(lock);
	if (test.code != 0)
		return;
	for (const std::string& line : Labelled(planned.output, "place"))
		EXPECT_TRUE(Exists(PathOf(line))) << line;
	for (const std::string& line : Labelled(planned.output, "link"))
		EXPECT_TRUE(fs::is_symlink(PathOf(line))) << line;
	for (const char* label : {"replace", "rename"}) {
		for (const std::string& line : Labelled(planned.output, label))
			EXPECT_TRUE(Exists(line.substr(line.find(" -> ") + 4))) << line;
	}
}

INSTANTIATE_TEST_SUITE_P(
        Runs, UnattendedPlanTest,
        testing::Values(
                PlanCase{"Fresh",
                         "",
                         false,
                         nullptr,
                         0,
                         {"place: {F} (folder)",
                          "place: {F}/Planned 1.0 Deinstaller (the deinstaller)",
                          "place: {F}/Log (the log)", "place: {F}/app (file, 6 bytes, 0644)",
                          "place: {T}/a.txt (file, 4 bytes, 0644)",
                          "place: {T}/docs (folder, 0 bytes, 0755)",
                          "place: {T}/docs/x.txt (file, 2 bytes, 0644)",
                          "link: {L}/a.txt -> {T}/a.txt",
                          "script: section Planned in {H}/config/boot/UserBootscript",
                          "result: planned; nothing was changed; the installation would end: "
                          "completed (0)"}},
                PlanCase{"OverEarlierInstallationWithCollisions",
                         "",
                         true,
                         "collision replace all\n",
                         0,
                         {"earlier installation: {F} (version 1.0) -> trash",
                          "collision: The file 'a.txt' already exists. Do you wish to replace "
                          "existing",
                          "replace: {T}/a.txt -> {F}/Saved Files/a.txt",
                          "replace: {L}/a.txt -> {F}/Saved Files/a.txt copy",
                          "rename: {T}/docs -> {T}/docs copy",
                          "place: {T}/docs/x.txt (file, 2 bytes, 0644)",
                          "link: {L}/a.txt -> {T}/a.txt"}},
                PlanCase{"CollisionWithoutAnswer",
                         "",
                         true,
                         nullptr,
                         6,
                         {"collision: {T}/a.txt is in the way of the item a.txt, and the "
                          "product asks what to do",
                          "result: planned; nothing was changed; the installation would end: "
                          "stopped: a question had no answer (6)"}},
                PlanCase{"FolderInUse",
                         "",
                         false,
                         nullptr,
                         9,
                         {"error: the installation folder '{F}' is being installed by another "
                          "installer (process 4242)",
                          "result: planned; nothing was changed; the installation would end: "
                          "the installation folder is in use by another installer (9)"},
                         true},
                PlanCase{"NotEnoughSpace",
                         "req_disk_space_needed = true\nreq_disk_space_required = true\n"
                         "req_disk_space_amount = \"100000 GB\"\n",
                         false,
                         nullptr,
                         3,
                         {"result: planned; nothing was changed; the installation would end: "
                          "not enough disk space (3)"}}),
        [](const testing::TestParamInfo<PlanCase>& info) { return info.param.name; });

} // namespace
