// A whole installation driven by a person: licence, install type, an item
// left out, a collision answered for all, completion; the placed tree must
// equal an unattended installation of the same selection.
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/xattr.h>

#include <map>
#include <regex>

#include "InstallerFixture.h"

using namespace std::chrono_literals;
using e2e::InstallerLayout;
using e2e::InstallerTest;
using namespace install_test;

namespace {

const int kGroupRow = 19;
const int kItemRow = 18;

std::string WholeProduct()
{
	return ProductHead("Whole") + R"(license = "Use it well, and tell your friends."
opt_log = true
opt_save_replaced = true
opt_include_deinstall = true
edit_bootscript = true
edit_bootscript_tag = "Whole"
edit_bootscript_contents = "echo whole"

[[groups]]
group_name = "Basic"
group_description = "The tool alone."

[[groups]]
group_name = "Full"
group_description = "The tool, its notes, the extras and the documentation."

)" + UserFolder("Target", "target") +
	       R"(
[[install_file]]
file_name = "files/tool"
groups = ["Basic", "Full"]
install_meta = { destination = "Target", destination_exists = "Prompt", link = "None" }

[[install_file]]
file_name = "files/notes.txt"
groups = ["Full"]
install_meta = { destination = "Target", destination_exists = "Prompt", link = "None" }

[[install_file]]
file_name = "files/extra.txt"
groups = ["Full"]

[[install_file]]
file_name = "files/Docs"
groups = ["Full"]
install_meta = { destination = "User Selected", deinstallable = true }
)";
}

const std::map<std::string, std::string> kWholeFiles = {
        {"files/tool", "#!/bin/sh\necho tool\n"},
        {"files/notes.txt", "notes"},
        {"files/extra.txt", "extra"},
        {"files/Docs/guide.txt", "read me"},
        {"files/Docs/more/deep.txt", "deep"},
};

// Builds the product with files of fixed dates, so both worlds pack the same.
std::string BuildWhole(InstallWorld& world)
{
	for (const auto& [name, content] : kWholeFiles) {
		const std::string path = world.ProductFolder("Whole") + "/" + name;
		WriteFile(path, content);
		const timeval times[2] = {{1700000000, 0}, {1700000000, 0}};
		utimes(path.c_str(), times);
	}
	return world.Build("Whole", WholeProduct());
}

void PlaceOldEntries(InstallWorld& world)
{
	WriteFile(world.Home() + "/target/tool", "old tool");
	WriteFile(world.Home() + "/target/notes.txt", "old notes");
}

// One entry as the comparison sees it: kind, mode, content, times and
// attributes, with the world's own folder written as "<root>".
std::string Describe(const std::string& path, const std::string& root, const bool& withTime)
{
	struct stat info;
	if (lstat(path.c_str(), &info) != 0)
		return "missing";
	std::string text = std::to_string(info.st_mode) + " ";
	if (S_ISREG(info.st_mode))
		text += ReadFile(path) + (withTime ? " m" + std::to_string(info.st_mtime) : "");
	if (S_ISLNK(info.st_mode))
		text += fs::read_symlink(path).string();
	char names[4096];
	const ssize_t length = llistxattr(path.c_str(), names, sizeof(names));
	std::vector<std::string> attributes;
	for (ssize_t at = 0; at < length; at += ssize_t(strlen(names + at)) + 1) {
		const std::string name = names + at;
		char value[4096];
		const ssize_t size = lgetxattr(path.c_str(), name.c_str(), value, sizeof(value));
		attributes.push_back(name + "=" + std::string(value, size_t(std::max<ssize_t>(size, 0))));
	}
	std::sort(attributes.begin(), attributes.end());
	for (const std::string& attribute : attributes)
		text += " [" + attribute + "]";
	// Each run is an installation of its own, with an identity of its own.
	text = std::regex_replace(text, std::regex("[0-9a-f]{32}"), "<identity>");
	return std::regex_replace(text, std::regex(root), "<root>");
}

// Every entry of the boot volume, the log with its times taken out.
std::map<std::string, std::string> Placed(InstallWorld& world)
{
	std::map<std::string, std::string> placed;
	for (const std::string& entry : Tree(world.Boot())) {
		const std::string path = world.Boot() + "/" + entry;
		if (entry == "apps/Whole/Log") {
			const std::string log = std::regex_replace(
			        ReadFile(path), std::regex("Free Disk Space : [^\n]*"), "Free Disk Space");
			placed[entry] = std::regex_replace(
			        std::regex_replace(log, std::regex(world.Temp()), "<root>"),
			        std::regex("[0-9]+:[0-9]+(:[0-9]+)?|[0-9]{4}|[A-Z][a-z]{2} +[0-9]+"), "<time>");
			continue;
		}
		// What the window program keeps for itself is no part of the installation.
		if (entry.rfind("home/.fltk", 0) == 0 || entry.rfind("home/config/settings", 0) == 0)
			continue;
		// The register names each installation by its identity, new each run.
		if (entry.rfind("var/lib", 0) == 0)
			continue;
		// Items keep the dates they were packed with; the rest is written by the run.
		const bool item =
		        entry.rfind("home/target/", 0) == 0 || entry.rfind("apps/Whole/Docs", 0) == 0;
		placed[entry] = Describe(path, world.Temp(), item);
	}
	return placed;
}

TEST_F(InstallerTest, WholeInstallationEqualsTheUnattendedOne)
{
	PlaceOldEntries(fWorld);
	const std::string installer = BuildWhole(fWorld);
	Launch(installer);

	// Licence, then the choices.
	size_t mark = fProbe.Mark();
	ClickButton();
	// "Full", then leave the extras out.
	Click(InstallerLayout::kGroupX, InstallerLayout::kListTop + kGroupRow + 9);
	Click(InstallerLayout::kItemX, InstallerLayout::kListTop + 2 * kItemRow + 9, {"ctrl"});
	mark = fProbe.Mark();
	ClickButton();

	int left = 0, top = 0, width = 0, height = 0;
	ASSERT_TRUE(WaitForAlert("already exists", &left, &top, &width, &height, mark)) << Output();
	Focus("ReplaceAlert");
	// The check box sits above the buttons, then Replace by its key.
	ClickAt(left, top, 55 + 8, height - 64 + 9);
	Key("r");
	ASSERT_TRUE(WaitForAlert("successfully completed", &left, &top, &width, &height, mark))
	        << Output();
	ClickDefaultButton(left, top, width, height);
	EXPECT_EQ(WaitForEnd(), 0);

	InstallWorld unattended;
	PlaceOldEntries(unattended);
	const std::string same = BuildWhole(unattended);
	const RunResult run = unattended.Install(
	        same, {"--dest", unattended.Apps(), "--items", "tool,notes.txt,Docs"},
	        "licence agree\ncollision replace all\n");
	ASSERT_EQ(run.code, 0) << run.output << run.errors;

	EXPECT_EQ(ReadFile(fWorld.Home() + "/target/tool"), "#!/bin/sh\necho tool\n");
	EXPECT_EQ(ReadFile(fWorld.Apps() + "/Whole/Saved Files/notes.txt"), "old notes");
	EXPECT_TRUE(Exists(fWorld.Apps() + "/Whole/Docs/more/deep.txt"));
	EXPECT_FALSE(Exists(fWorld.Apps() + "/Whole/extra.txt"));
	EXPECT_EQ(Placed(fWorld), Placed(unattended));
}

} // namespace
