// Deinstalling one installation of a product whose leaf names repeat across
// its folders, beside a second installation of the same product: no
// question, the other installation untouched, the user's file kept, and the
// trash's records put every entry back where it was.
#include "InstallTestSupport.h"

using namespace install_test;

namespace {

const std::map<std::string, std::string> kFiles = {
        {"files/hello", "#!/bin/sh\necho hello\n"},
        {"files/docs/README", "docs\n"},
        {"files/tools/README", "tools\n"},
        {"files/tools/sub/README", "sub\n"},
};

std::string Product()
{
	std::string text = ProductHead("Twice") + "opt_include_deinstall = true\n";
	for (const char* item : {"hello", "docs", "tools"})
		text += std::string("\n[[install_file]]\nfile_name = \"files/") + item +
		        "\"\n[install_file.install_meta]\ndeinstallable = true\n";
	return text;
}

// The state of every entry below `root` but the folders' dates, which the
// moves themselves change.
std::map<std::string, std::string> Entries(const std::string& root)
{
	std::map<std::string, std::string> entries = TreeState(root);
	for (auto& [entry, state] : entries) {
		if (fs::is_directory(fs::symlink_status(root + "/" + entry)))
			state = "<folder>";
	}
	return entries;
}

// Puts each trashed entry back at the place its record names.
void RestoreTrash(const std::string& volume, const std::string& trash)
{
	for (const auto& record : fs::directory_iterator(trash + "/info")) {
		const std::string text = ReadFile(record.path());
		const size_t start = text.find("\nPath=") + 6;
		std::string path = text.substr(start, text.find('\n', start) - start);
		for (size_t at = path.find("%20"); at != std::string::npos; at = path.find("%20"))
			path.replace(at, 3, " ");
		const std::string name = record.path().stem();
		fs::rename(trash + "/files/" + name, volume + "/" + path);
	}
}

} // namespace

TEST(DeinstallWholeTest, OneInstallationGoesWholeAndComesBackFromTheTrash)
{
	InstallWorld world;
	const std::string data = world.Temp() + "/data";
	const std::string trash = data + "/.Trash-" + std::to_string(geteuid());
	world.SetEnv("VANTRY_VOLUMES", data + ":name=Data");
	const std::string installer = world.Build("twice", Product(), kFiles);
	for (const char* where : {"one", "two"}) {
		fs::create_directories(data + "/" + where);
		const RunResult run = world.Install(
		        installer, {"--dest", data + "/" + where, "--items", "hello,docs,tools", "--yes"});
		ASSERT_EQ(run.code, 0) << run.output << run.errors;
	}
	const std::string one = data + "/one/Twice";
	WriteFile(one + "/docs/mine.txt", "the user's\n");
	const auto installed = Entries(data + "/one");
	const auto other = TreeState(data + "/two");

	// Neither --yes nor answers: nothing may need one.
	const RunResult run =
	        world.Run({one + "/Twice 1.0 Deinstaller", "--unattended", "--volume", "Data"});
	EXPECT_EQ(run.code, 0) << run.output << run.errors;
	EXPECT_TRUE(Labelled(run.output, "collision").empty()) << run.output;
	EXPECT_FALSE(Labelled(run.output, "other").empty()) << run.output;
	EXPECT_EQ(TreeState(data + "/two"), other) << "the other installation stays whole";
	EXPECT_EQ(ReadFile(one + "/docs/mine.txt"), "the user's\n");
	EXPECT_FALSE(Exists(one + "/docs/README"));
	// "tools" held only the product's entries: one entry of the trash.
	EXPECT_EQ(ReadFile(trash + "/files/tools/sub/README"), "sub\n");
	EXPECT_NE(Labelled(run.output, "summary").size(), 0u) << run.output;

	RestoreTrash(data, trash);
	EXPECT_EQ(Entries(data + "/one"), installed);
}

// Folders the installation made for its items go once empty; one the user
// put a file into stays, named with what it holds.
TEST(DeinstallWholeTest, FoldersTheInstallationMadeGoOnceEmpty)
{
	const std::string product = ProductHead("Maker") + R"(
[[install_file]]
file_name = "files/plugin"
[install_file.install_meta]
destination = "User Add-Ons"
deinstallable = true

[[install_file]]
file_name = "files/theme"
[install_file.install_meta]
destination = "User Settings"
deinstallable = true
)";
	for (const bool userFile : {false, true}) {
		SCOPED_TRACE(userFile ? "the user's file in a made folder" : "nothing of the user's");
		InstallWorld world;
		const std::string installer =
		        world.Build("maker", product, {{"files/plugin", "p\n"}, {"files/theme", "t\n"}});
		const auto before = Entries(world.Boot());
		const RunResult installed = world.Install(
		        installer, {"--dest", world.Apps(), "--items", "plugin,theme", "--yes"});
		ASSERT_EQ(installed.code, 0) << installed.output << installed.errors;
		const std::string addOns = world.Home() + "/config/add-ons";
		ASSERT_TRUE(Exists(addOns + "/plugin")) << installed.output;
		if (userFile)
			WriteFile(addOns + "/mine.txt", "mine\n");

		const RunResult run =
		        world.Run({world.Apps() + "/Maker/Maker 1.0 Deinstaller", "--unattended"});
		EXPECT_EQ(run.code, 0) << run.output << run.errors;
		if (userFile) {
			EXPECT_EQ(ReadFile(addOns + "/mine.txt"), "mine\n");
			const std::vector<std::string> kept = Labelled(run.output, "kept");
			EXPECT_NE(std::find(kept.begin(), kept.end(), addOns + " (it holds \"mine.txt\")"),
			          kept.end())
			        << run.output;
			continue;
		}
		// Nothing is left of the installation but the trash (and the
		// register's folder, emptied).
		auto after = Entries(world.Boot());
		for (auto it = after.begin(); it != after.end();)
			it = it->first.rfind("home/Desktop", 0) == 0 || it->first.rfind("var/lib", 0) == 0
			             ? after.erase(it)
			             : std::next(it);
		EXPECT_EQ(after, before) << run.output;
	}
}
