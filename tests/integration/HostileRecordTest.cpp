// Installers and descriptions made to harm: records edited by hand, names
// holding "/", a second run on the same folder, stop signals before the run,
// answer files without end, amounts past any disk, archives that lie about
// their size. Each is refused before anything changes, with the field or
// path named, or installed with the name made safe; the tree outside the
// expected places is compared with a snapshot taken before.
#include "HostileRecordFixture.h"

using namespace hostile_test;

namespace {

// Records edited by hand: each is refused before anything is written, with
// the field and its value named, exit code 8.
TEST_F(HostileRecordTest, EditedRecordsAreRefusedBeforeAnyChange)
{
	struct Case {
		const char* what;
		std::function<void(BMessage&)> edit;
		const char* field;
	};
	auto subDir = [](std::optional<std::string> sub) {
		return [sub](BMessage& record) {
			EditCustomFolder(record, [&](BMessage& folder) {
				folder.RemoveName("custom_sub_dir");
				if (sub)
					folder.AddString("custom_sub_dir", sub->c_str());
				folder.ReplaceBool("custom_replace_existing", true);
			});
			record.ReplaceBool("opt_save_replaced", false);
		};
	};
	auto created = [](const char* name) {
		return [name](BMessage& record) { record.ReplaceString("opt_created_folder", name); };
	};
	const Case cases[] = {
	        {"custom folder: the home folder itself (empty)", subDir(""),
	         "custom_folder[0].custom_sub_dir"},
	        {"custom folder: the home folder itself (\".\")", subDir("."),
	         "custom_folder[0].custom_sub_dir"},
	        {"custom folder: the home folder itself (absent)", subDir(std::nullopt),
	         "custom_folder[0].custom_sub_dir"},
	        {"custom folder: outside every standard folder", subDir("../../outside"),
	         "custom_folder[0].custom_sub_dir"},
	        {"custom folder: a step out and back", subDir("docs/../../boot"),
	         "custom_folder[0].custom_sub_dir"},
	        {"installation folder \".\"", created("."), "opt_created_folder"},
	        {"installation folder \"..\"", created(".."), "opt_created_folder"},
	        {"installation folder \"../../x\"", created("../../x"), "opt_created_folder"},
	        {"installation folder with a line feed", created("Docs\nMore"), "opt_created_folder"},
	        {"script tag with a line feed",
	         [](BMessage& record) {
		         record.ReplaceString("edit_bootscript_tag", "Docs\necho injected");
	         },
	         "edit_bootscript_tag"},
	        {"item named \"..\"",
	         [](BMessage& record) {
		         EditItem(record, 0,
		                  [](BMessage& item) { item.ReplaceString("file_name", "files/.."); });
	         },
	         "install_file[0].file_name"},
	};
	const std::string built = Build("Docs", ProductHead("Docs") + R"(
edit_bootscript = true
edit_bootscript_tag = "Docs"
edit_bootscript_contents = "echo docs"

[[custom_folder]]
custom_folder_name = "Manuals"
custom_root_dir = "User"
custom_sub_dir = "manuals"
custom_replace_existing = false
)");
	WriteFile(world.Temp() + "/outside/keep.txt", "outside\n");
	WriteFile(world.Temp() + "/x/keep.txt", "x\n");
	WriteFile(world.Apps() + "/Docs/keep.txt", "an earlier installation\n");
	for (const Case& test : cases) {
		SCOPED_TRACE(test.what);
		const std::string installer = world.Temp() + "/installers/edited";
		fs::copy_file(built, installer, fs::copy_options::overwrite_existing);
		EditRecord(installer, test.edit);
		const auto before = Snapshot(world.Temp());
		const RunResult run = Install(installer);
		EXPECT_EQ(run.code, 8) << run.output << run.errors;
		EXPECT_NE(run.errors.find("field `" + std::string(test.field) + "`"), std::string::npos)
		        << run.errors;
		EXPECT_EQ(Changes(before, Snapshot(world.Temp())), "");
	}
}

// A product name may hold "/": it names no folder or file as a path.
TEST_F(HostileRecordTest, ProductNameWithSlashInstallsUnderASafeName)
{
	struct Case {
		const char* what;
		std::string description;
		std::function<void(BMessage&)> edit;
		std::string folder;
		std::string deinstaller;
	};
	const std::string head = "version = \"1.0\"\nrelease_date = \"2024-01-01\"\n";
	const Case cases[] = {
	        {"the folder named by the product", "app_name = \"AC/DC\"\n" + head, nullptr, "AC-DC",
	         "AC-DC 1.0 Deinstaller"},
	        {"a folder of its own", "app_name = \"AC/DC\"\nopt_created_folder = \"ACDC\"\n" + head,
	         nullptr, "ACDC", "AC-DC 1.0 Deinstaller"},
	        {"an edited name climbing out", ProductHead("Legit"),
	         [](BMessage& record) { record.ReplaceString("app_name", "../../x/legit"); }, "Legit",
	         "..-..-x-legit 1.0 Deinstaller"},
	};
	int n = 0;
	for (const Case& test : cases) {
		SCOPED_TRACE(test.what);
		const std::string installer = Build("named" + std::to_string(n++), test.description);
		if (test.edit)
			EditRecord(installer, test.edit);
		const auto before = Snapshot(world.Temp());
		const RunResult run = Install(installer);
		ASSERT_EQ(run.code, 0) << run.output << run.errors;
		const std::string folder = world.Apps() + "/" + test.folder;
		EXPECT_TRUE(Exists(folder + "/notes.txt"));
		EXPECT_TRUE(Exists(folder + "/" + test.deinstaller))
		        << testing::PrintToString(Tree(folder));
		std::string changes = Changes(before, Snapshot(world.Temp()));
		for (const std::string& entry : Tree(folder))
			changes.erase(
			        changes.find("added boot/apps/" + test.folder + "/" + entry + "\n"),
			        std::string("added boot/apps/" + test.folder + "/" + entry + "\n").size());
		EXPECT_EQ(changes, "added boot/apps/" + test.folder + "\n");
		fs::remove_all(folder);
	}
}

// A custom folder that would empty a standard folder is refused by vantry-build.
TEST_F(HostileRecordTest, BuildRefusesHostileDescriptions)
{
	struct Case {
		const char* what;
		std::string fields;
		const char* field;
	};
	const std::string folder = "\n[[custom_folder]]\ncustom_folder_name = \"Home\"\n"
	                           "custom_root_dir = \"User\"\ncustom_replace_existing = true\n";
	const Case cases[] = {
	        {"the home folder replaced (sub folder absent)", folder, "custom_folder[0]"},
	        {"the home folder replaced (\".\")", folder + "custom_sub_dir = \".\"\n",
	         "custom_folder[0].custom_sub_dir"},
	        {"a sub folder climbing out", folder + "custom_sub_dir = \"a/../..\"\n",
	         "custom_folder[0].custom_sub_dir"},
	        {"an amount past any disk (bytes)",
	         "req_disk_space_needed = true\nreq_disk_space_amount = 9223372036854775807\n",
	         "req_disk_space_amount"},
	        {"an amount past any disk (GB)",
	         "req_disk_space_needed = true\nreq_disk_space_amount = \"17179869184 GB\"\n",
	         "req_disk_space_amount"},
	        {"a script tag of two lines",
	         "edit_profile = true\nedit_profile_tag = \"A\\nB\"\nedit_profile_contents = \"x\"\n",
	         "edit_profile_tag"},
	};
	int n = 0;
	for (const Case& test : cases) {
		SCOPED_TRACE(test.what);
		const std::string product = world.ProductFolder("refused" + std::to_string(n));
		WriteFile(product + "/files/notes.txt", "notes\n");
		WriteFile(product + "/product.toml", ProductHead("Refused") + test.fields + kPlainItem);
		const std::string output = world.Temp() + "/installers/refused" + std::to_string(n++);
		const RunResult built =
		        world.Run({VANTRY_BUILD_TOOL, product + "/product.toml", "-o", output});
		EXPECT_EQ(built.code, 1) << built.errors;
		EXPECT_NE(built.errors.find("field `" + std::string(test.field)), std::string::npos)
		        << built.errors;
		EXPECT_FALSE(Exists(output));
	}
}

// A file whose size the kernel reports as 0 but that has content is never
// packed as an empty file: vantry-build names it and stops.
TEST_F(HostileRecordTest, BuildRefusesFilesLargerThanTheirSize)
{
	const std::string product = world.ProductFolder("proc");
	fs::create_directories(product + "/files");
	fs::create_symlink("/proc/self/status", product + "/files/status");
	WriteFile(product + "/product.toml",
	          ProductHead("Proc") + "\n[[install_file]]\nfile_name = \"files/status\"\n");
	const std::string output = world.Temp() + "/installers/proc";
	const RunResult built = world.Run({VANTRY_BUILD_TOOL, product + "/product.toml", "-o", output});
	EXPECT_EQ(built.code, 1);
	EXPECT_NE(built.errors.find("files/status"), std::string::npos) << built.errors;
	EXPECT_NE(built.errors.find("holds more than the 0 bytes"), std::string::npos) << built.errors;
	EXPECT_FALSE(Exists(output));

	// A text the description takes from such a file is read to its end.
	fs::create_symlink("/proc/version", product + "/licence");
	const std::string texts = world.Build(
	        "texts",
	        ProductHead("Texts") + "license = { file = \"../proc/licence\" }\n" + kPlainItem,
	        {{"files/notes.txt", "notes\n"}});
	// The record outlives the text read from it.
	const BMessage record = ReadRecord(texts);
	const char* licence = record.FindString("license");
	ASSERT_NE(licence, nullptr);
	EXPECT_EQ(std::string(licence), ReadFile("/proc/version"));
}

// One installation at a time per installation folder: the second names the
// holder and exits 9; a lock left by a killed run holds nothing.
TEST_F(HostileRecordTest, SecondInstallationOfOneFolderWaitsForNone)
{
	const std::string installer = Build("Locked", ProductHead("Locked"));
	const std::string lockPath = world.Apps() + "/.vantry-lock-Locked";
	WriteFile(world.Apps() + "/Locked/being-filled.txt", "the first run's work\n");

	const int held = open(lockPath.c_str(), O_RDWR | O_CREAT, 0644);
	ASSERT_GE(held, 0);
	ASSERT_EQ(flock(held, LOCK_EX), 0);
	const std::string pid = std::to_string(getpid());
	ASSERT_EQ(write(held, pid.data(), pid.size()), ssize_t(pid.size()));
	const auto before = Snapshot(world.Temp());
	const RunResult second = Install(installer);
	EXPECT_EQ(second.code, 9) << second.output << second.errors;
	EXPECT_NE(second.output.find("process " + pid), std::string::npos) << second.output;
	EXPECT_EQ(Changes(before, Snapshot(world.Temp())), "");

	// The holder ends (as a killed run does): its file stays, its lock does not.
	close(held);
	const RunResult after = Install(installer);
	EXPECT_EQ(after.code, 0) << after.output << after.errors;
	EXPECT_TRUE(Exists(world.Apps() + "/Locked/notes.txt"));
	EXPECT_FALSE(Exists(lockPath)) << "the lock file goes with the run";
}

// Two installers of one product: the second, started while the first fills
// the folder, leaves it alone and names the first; the first completes.
TEST_F(HostileRecordTest, TwoInstallersOfOneProductTakeTurns)
{
	std::string noise(32 << 20, '\0');
	for (size_t i = 0; i < noise.size(); i++)
		noise[i] = char((i * 2654435761u) >> 13);
	const std::string installer =
	        world.Build("Twice", ProductHead("Twice") + "opt_compression = 1\n" + kPlainItem,
	                    {{"files/notes.txt", noise}});
	const std::string lock = world.Apps() + "/.vantry-lock-Twice";
	pid_t first = -1;
	std::string output;
	// The first run is held still while it holds its lock; one that ends
	// before it is caught is tried again.
	for (int attempt = 0; attempt < 5 && first < 0; attempt++) {
		fs::remove_all(world.Apps() + "/Twice");
		output = world.Temp() + "/run-first-" + std::to_string(attempt) + ".out";
		const pid_t child = world.Start({installer, "--unattended", "--dest", world.Apps(), "--yes",
		                                 "--items", "notes.txt"},
		                                output, world.Temp() + "/run-first.err");
		// The lock file names its holder once the lock is taken.
		const std::string holder = std::to_string(child) + "\n";
		int status = 0;
		while (ReadFile(lock) != holder && waitpid(child, &status, WNOHANG) == 0)
			usleep(200);
		kill(child, SIGSTOP);
		// Stopped for sure, not only signalled.
		if (waitpid(child, &status, WUNTRACED) == child && WIFSTOPPED(status) &&
		    ReadFile(lock) == holder) {
			first = child;
			break;
		}
		kill(child, SIGCONT);
		waitpid(child, &status, 0);
	}
	ASSERT_GT(first, 0) << "the first run was never caught holding its lock";
	const auto during = Snapshot(world.Apps());
	const RunResult second = Install(installer);
	EXPECT_EQ(second.code, 9) << second.output << second.errors;
	EXPECT_NE(second.output.find("process " + std::to_string(first)), std::string::npos)
	        << second.output;
	EXPECT_EQ(Changes(during, Snapshot(world.Apps())), "");
	kill(first, SIGCONT);
	int status = 0;
	waitpid(first, &status, 0);
	EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadFile(output);
	EXPECT_EQ(ReadFile(world.Apps() + "/Twice/notes.txt"), noise);
	EXPECT_FALSE(Exists(world.Trash() + "/Twice")) << "the first run's folder stays in place";
}

} // namespace
