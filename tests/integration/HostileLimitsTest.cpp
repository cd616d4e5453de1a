// Hostile runs: stop signals before the run, answer files without end,
// amounts past any disk, archives that lie about their size, folders that
// turn out to be standard ones. Each is refused before anything changes.
#include "HostileRecordFixture.h"

using namespace hostile_test;

namespace {

// SIGINT and SIGTERM end an installer blocked before its run (its first
// line waits on a full output pipe) with exit code 5, and change nothing.
TEST_F(HostileRecordTest, StopSignalsEndAnInstallerBlockedBeforeItsRun)
{
	const std::string installer = Build("Blocked", ProductHead("Blocked"));
	for (const int signal : {SIGINT, SIGTERM}) {
		SCOPED_TRACE(strsignal(signal));
		const auto before = Snapshot(world.Temp());
		const RunResult run =
		        world.SignalWhileBlocked({installer, "--unattended", "--dest", world.Apps(),
		                                  "--yes", "--items", "notes.txt"},
		                                 signal, 20);
		EXPECT_EQ(run.code, 5) << "the installer did not end on the signal: " << run.errors;
		EXPECT_NE(run.errors.find("Installer: stopped by SIGINT or SIGTERM"), std::string::npos)
		        << run.errors;
		EXPECT_EQ(Changes(before, Snapshot(world.Temp())), "");
	}
}

// Answer files that are no small regular file are refused with exit code 2.
TEST_F(HostileRecordTest, AnswerFilesThatAreNoSmallFileAreRefused)
{
	const std::string installer = Build("Answers", ProductHead("Answers"));
	const std::string large = world.Temp() + "/large-answers.txt";
	WriteFile(large, std::string(1024 * 1024, '#') + "\n");
	fs::create_directories(world.Temp() + "/answer-folder");
	struct Case {
		std::string path;
		const char* reason;
	};
	// A pipe nobody writes to is refused at once, not waited on.
	const std::string fifo = world.Temp() + "/answers-fifo";
	ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
	const Case cases[] = {
	        {"/dev/zero", "is not a regular file but a device"},
	        {world.Temp() + "/answer-folder", "is not a regular file but a folder"},
	        {fifo, "is not a regular file but a pipe"},
	        {large, "larger than 1 MB"},
	};
	for (const Case& test : cases) {
		SCOPED_TRACE(test.path);
		const auto before = Snapshot(world.Temp());
		const RunResult run =
		        world.RunFor({installer, "--unattended", "--dest", world.Apps(), "--yes", "--items",
		                      "notes.txt", "--answers", test.path},
		                     20);
		EXPECT_EQ(run.code, 2);
		EXPECT_NE(run.output.find(test.path + ": "), std::string::npos) << run.output;
		EXPECT_NE(run.output.find(test.reason), std::string::npos) << run.output;
		EXPECT_EQ(Changes(before, Snapshot(world.Temp())), "");
	}
}

// Amounts past what a 64-bit count holds are not wrapped into small ones:
// the required space is missing, exit code 3, nothing written.
TEST_F(HostileRecordTest, HugeRequiredAmountsStopTheRun)
{
	const std::string built = Build("Huge", ProductHead("Huge") + "req_disk_space_needed = true\n"
	                                                              "req_disk_space_required = true\n"
	                                                              "req_disk_space_amount = 1\n");
	for (const double value : {9223372036854775807.0, 17179869184.0 * 1073741824.0, 1e300}) {
		SCOPED_TRACE(value);
		const std::string installer = world.Temp() + "/installers/huge-edited";
		fs::copy_file(built, installer, fs::copy_options::overwrite_existing);
		EditRecord(installer, [value](BMessage& record) {
			BMessage amount;
			record.FindMessage("req_disk_space_amount", &amount);
			amount.ReplaceDouble("value", value);
			record.ReplaceMessage("req_disk_space_amount", &amount);
		});
		const auto before = Snapshot(world.Temp());
		const RunResult run = Install(installer);
		EXPECT_EQ(run.code, 3) << run.output;
		EXPECT_EQ(Changes(before, Snapshot(world.Temp())), "");
	}
}

// The space check counts what the archive says it unpacks, not the record's
// size; an entry that unpacks past its declared size is stopped.
TEST_F(HostileRecordTest, ArchivesAreMeasuredByWhatTheyUnpack)
{
	const std::string built = Build("Bomb", ProductHead("Bomb"));
	const std::string zeros(4 << 20, '\0');
	struct Case {
		const char* what;
		uint64_t declared;
		int code;
	};
	const Case cases[] = {
	        {"claims a petabyte", uint64_t(1) << 50, 3},
	        {"claims 16 bytes, unpacks 4 MB", 16, 12},
	};
	for (const Case& test : cases) {
		SCOPED_TRACE(test.what);
		const std::string installer = world.Temp() + "/installers/bomb-edited";
		fs::copy_file(built, installer, fs::copy_options::overwrite_existing);
		ReplacePayload(installer, 2100, LyingArchive("notes.txt", zeros, test.declared));
		EditRecord(installer, [](BMessage& record) {
			EditItem(record, 0, [](BMessage& item) { item.ReplaceInt32("file_size", 0, 1); });
		});
		const auto before = Snapshot(world.Temp());
		const RunResult run = Install(installer);
		EXPECT_EQ(run.code, test.code) << run.output << run.errors;
		EXPECT_FALSE(Exists(world.Apps() + "/Bomb/notes.txt"));
		if (test.code != 3)
			EXPECT_NE(run.output.find("failed: " + world.Apps() + "/Bomb/notes.txt"),
			          std::string::npos)
			        << run.output;
		for (const auto& [entry, digest] : Snapshot(world.Temp())) {
			struct stat info;
			// The placed deinstaller is a program of its own size, not an archive entry.
			if (entry.ends_with(" Deinstaller"))
				continue;
			if (lstat((world.Temp() + "/" + entry).c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
			    before.count(entry) == 0)
				EXPECT_LT(info.st_size, 1 << 20) << entry << " was written past its size";
		}
		fs::remove_all(world.Apps() + "/Bomb");
	}
}

// Archives whose parts contradict one another stop the run with every change
// undone, exit code 12, naming the item and the entry.
TEST_F(HostileRecordTest, ContradictoryArchivesAreUndoneNamingTheEntry)
{
	const std::string built = Build("Liar", ProductHead("Liar"));
	RawZip::Entry renamed = RawZip::Stored("notes.txt", "mine");
	renamed.localName = "other.txt";
	struct Case {
		const char* what;
		std::vector<RawZip::Entry> entries;
		const char* message;
	};
	const Case cases[] = {
	        {"a name twice",
	         {RawZip::Stored("notes.txt", "first"), RawZip::Stored("notes.txt", "second")},
	         "the archive holds the entry notes.txt twice"},
	        {"a local header naming another entry",
	         {renamed},
	         "the local header of notes.txt names another entry (other.txt)"},
	};
	for (const Case& test : cases) {
		SCOPED_TRACE(test.what);
		const std::string installer = world.Temp() + "/installers/liar-edited";
		fs::copy_file(built, installer, fs::copy_options::overwrite_existing);
		RawZip zip;
		for (const RawZip::Entry& entry : test.entries)
			zip.Add(entry);
		ReplacePayload(installer, 2100, zip.Bytes());
		const RunResult run = Install(installer);
		EXPECT_EQ(run.code, 12) << run.output << run.errors;
		const std::string failed = "failed: " + world.Apps() + "/Liar/notes.txt: " + test.message;
		EXPECT_NE(run.output.find(failed), std::string::npos) << run.output;
		EXPECT_FALSE(Exists(world.Apps() + "/Liar")) << "every change was undone";
	}
}

} // namespace

namespace {

// Folders that pass the record check but turn out, where the run installs,
// to be a standard folder, to hold one or to hold the installation folder:
// they stay as they are.
TEST_F(HostileRecordTest, StandardFoldersAreNeverReplaced)
{
	struct Case {
		const char* what;
		std::string fields;
		std::string dest;
		int code;
		std::string kept;                // a folder whose content stays (the item aside)
		std::vector<std::string> placed; // what the run must leave in place
	};
	const std::string folder = "\n[[custom_folder]]\ncustom_folder_name = \"Mine\"\n"
	                           "custom_replace_existing = true\n";
	const std::string toMine = "\n[[install_file]]\nfile_name = \"files/notes.txt\"\n"
	                           "install_meta = { destination = \"Mine\" }\n";
	const std::string guard = world.Apps() + "/Guard";
	const Case cases[] = {
	        {"a custom folder holding the user boot folder",
	         folder + "custom_root_dir = \"User\"\ncustom_sub_dir = \"config\"\n" + toMine,
	         world.Apps(),
	         0,
	         world.Home() + "/config",
	         {world.Home() + "/config/notes.txt"}},
	        {"a custom folder that is the installation folder",
	         folder + "custom_root_dir = \"Applications\"\ncustom_sub_dir = \"Guard\"\n" + toMine,
	         world.Apps(),
	         0,
	         "",
	         {guard + "/notes.txt", guard + "/Guard 1.0 Deinstaller"}},
	        {"an installation folder that is a standard folder",
	         "opt_created_folder = \"config\"\n" + std::string(kPlainItem),
	         world.Home(),
	         1,
	         world.Home() + "/config",
	         {}},
	};
	int n = 0;
	for (const Case& test : cases) {
		SCOPED_TRACE(test.what);
		const std::string product = world.ProductFolder("guard" + std::to_string(n));
		WriteFile(product + "/files/notes.txt", "notes\n");
		std::string head = ProductHead("Guard");
		if (test.fields.rfind("opt_created_folder", 0) == 0)
			head.erase(head.find("opt_created_folder"));
		WriteFile(product + "/product.toml", head + "opt_save_replaced = false\n" + test.fields);
		const std::string installer = world.Temp() + "/installers/guard" + std::to_string(n++);
		const RunResult built =
		        world.Run({VANTRY_BUILD_TOOL, product + "/product.toml", "-o", installer});
		ASSERT_EQ(built.code, 0) << built.errors;
		std::map<std::string, std::string> before;
		if (!test.kept.empty()) {
			WriteFile(test.kept + "/keep.txt", "kept\n");
			fs::remove(test.kept + "/notes.txt");
			before = Snapshot(test.kept);
		}
		const RunResult run =
		        world.Install(installer, {"--dest", test.dest, "--yes", "--items", "notes.txt"});
		EXPECT_EQ(run.code, test.code) << run.output << run.errors;
		if (!test.kept.empty()) {
			auto after = Snapshot(test.kept);
			after.erase("notes.txt");
			EXPECT_EQ(Changes(before, after), "");
		}
		for (const std::string& path : test.placed)
			EXPECT_TRUE(Exists(path)) << path;
		if (test.code != 0)
			EXPECT_NE(run.output.find("is the standard folder"), std::string::npos) << run.output;
		fs::remove_all(guard);
	}
}

} // namespace
