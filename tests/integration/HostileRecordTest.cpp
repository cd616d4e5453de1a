// Installers and descriptions made to harm: records edited by hand, names
// holding "/", a second run on the same folder, stop signals before the run,
// answer files without end, amounts past any disk, archives that lie about
// their size. Each is refused before anything changes, with the field or
// path named, or installed with the name made safe; the tree outside the
// expected places is compared with a snapshot taken before.
#include <sys/file.h>
#include <zlib.h>

#include <functional>

#include "InstallTestSupport.h"
#include "Message.h"
#include "RawZip.h"
#include "Resources.h"
#include "TypeConstants.h"

using namespace install_test;

namespace {

// Every entry below `root`, with a digest of each file's content; the
// harness's own files (transcripts, answers, installers) left out.
std::map<std::string, std::string> Snapshot(const std::string& root)
{
	std::map<std::string, std::string> entries;
	for (const std::string& entry : Tree(root)) {
		if (IsHarnessEntry(entry))
			continue;
		const std::string path = root + "/" + entry;
		const fs::file_status status = fs::symlink_status(path);
		entries[entry] = fs::is_directory(status) ? "<folder>"
		                 : fs::is_symlink(status)
		                         ? "-> " + fs::read_symlink(path).string()
		                         : std::to_string(std::hash<std::string>()(ReadFile(path)));
	}
	return entries;
}

BMessage ReadRecord(const std::string& installer)
{
	BMessage record;
	BResources resources(installer.c_str(), false);
	size_t size = 0;
	const void* data = resources.LoadResource(B_STRING_TYPE, 2002, &size);
	EXPECT_NE(data, nullptr) << installer;
	if (data != nullptr)
		EXPECT_EQ(record.Unflatten(static_cast<const char*>(data), ssize_t(size)), B_OK);
	return record;
}

// Rewrites the installer's record as someone with a hex editor would.
void EditRecord(const std::string& installer, const std::function<void(BMessage&)>& edit)
{
	BMessage record = ReadRecord(installer);
	edit(record);
	std::string flat;
	ASSERT_EQ(record.Flatten(&flat), B_OK);
	BResources resources(installer.c_str(), true);
	ASSERT_EQ(resources.InitCheck(), B_OK);
	ASSERT_EQ(resources.AddResource(B_STRING_TYPE, 2002, flat.data(), flat.size(),
	                                "VXC:configuration"),
	          B_OK);
	ASSERT_EQ(resources.Sync(), B_OK);
}

void EditItem(BMessage& record, const int32& index, const std::function<void(BMessage&)>& edit);

// Puts a hostile archive in place of payload `id`, under the name of the
// one it replaces, and takes its item's digest out of the record, as a
// record written before digests existed: the archive then reaches the
// extractor.
void ReplacePayload(const std::string& installer, const int32& id, const std::string& archive)
{
	{
		BResources resources(installer.c_str(), true);
		ASSERT_EQ(resources.InitCheck(), B_OK);
		const char* found = nullptr;
		size_t size = 0;
		ASSERT_TRUE(resources.GetResourceInfo(B_RAW_TYPE, id, &found, &size));
		const std::string name = found;
		ASSERT_EQ(
		        resources.AddResource(B_RAW_TYPE, id, archive.data(), archive.size(), name.c_str()),
		        B_OK);
		ASSERT_EQ(resources.Sync(), B_OK);
	}
	if (id >= 2100)
		EditRecord(installer, [id](BMessage& record) {
			EditItem(record, id - 2100, [](BMessage& item) { item.RemoveName("payload_digest"); });
		});
}

// Edits item `index` of install_instructions.
void EditItem(BMessage& record, const int32& index, const std::function<void(BMessage&)>& edit)
{
	BMessage instructions;
	record.FindMessage("install_instructions", &instructions);
	BMessage item;
	instructions.FindMessage("install_file", index, &item);
	edit(item);
	instructions.ReplaceMessage("install_file", index, &item);
	record.ReplaceMessage("install_instructions", &instructions);
}

void EditCustomFolder(BMessage& record, const std::function<void(BMessage&)>& edit)
{
	BMessage folders;
	record.FindMessage("custom_folder", &folders);
	BMessage folder;
	folders.FindMessage("custom_folder", 0, &folder);
	edit(folder);
	folders.ReplaceMessage("custom_folder", 0, &folder);
	record.ReplaceMessage("custom_folder", &folders);
}

void Put32(std::string& out, const uint32_t& value)
{
	for (int i = 0; i < 4; i++)
		out += char((value >> (8 * i)) & 0xff);
}

void Put16(std::string& out, const uint16_t& value)
{
	out += char(value & 0xff);
	out += char(value >> 8);
}

// A one-file ZIP archive holding `content` deflated under `name`, whose
// headers claim `declared` bytes unpacked (ZIP64 sizes when they need them).
std::string LyingArchive(const std::string& name, const std::string& content,
                         const uint64_t& declared)
{
	z_stream stream = {};
	deflateInit2(&stream, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
	std::string data(deflateBound(&stream, uLong(content.size())), '\0');
	stream.next_in = (Bytef*)content.data();
	stream.avail_in = uInt(content.size());
	stream.next_out = (Bytef*)data.data();
	stream.avail_out = uInt(data.size());
	deflate(&stream, Z_FINISH);
	data.resize(stream.total_out);
	deflateEnd(&stream);
	const uint32_t crc = uint32_t(crc32(0, (const Bytef*)content.data(), uInt(content.size())));
	const bool wide = declared >= 0xffffffffu;
	std::string extra;
	if (wide) {
		Put16(extra, 0x0001);
		Put16(extra, 16);
		for (const uint64_t value : {declared, uint64_t(data.size())})
			for (int i = 0; i < 8; i++)
				extra += char((value >> (8 * i)) & 0xff);
	}
	const uint32_t size32 = wide ? 0xffffffffu : uint32_t(declared);
	const uint32_t compressed32 = wide ? 0xffffffffu : uint32_t(data.size());
	auto header = [&](const bool& central) {
		std::string out;
		Put32(out, central ? 0x02014b50 : 0x04034b50);
		if (central)
			Put16(out, 0x031e);
		Put16(out, wide ? 45 : 20);
		Put16(out, 0);
		Put16(out, 8);
		Put16(out, 0);
		Put16(out, 0x21);
		Put32(out, crc);
		Put32(out, compressed32);
		Put32(out, size32);
		Put16(out, uint16_t(name.size()));
		Put16(out, uint16_t(extra.size()));
		if (central) {
			Put16(out, 0);
			Put16(out, 0);
			Put16(out, 0);
			Put32(out, 0100644u << 16);
			Put32(out, 0);
		}
		return out + name + extra;
	};
	std::string archive = header(false) + data;
	const uint32_t directoryAt = uint32_t(archive.size());
	const std::string directory = header(true);
	archive += directory;
	Put32(archive, 0x06054b50);
	Put16(archive, 0);
	Put16(archive, 0);
	Put16(archive, 1);
	Put16(archive, 1);
	Put32(archive, uint32_t(directory.size()));
	Put32(archive, directoryAt);
	Put16(archive, 0);
	return archive;
}

const char kPlainItem[] = R"(
[[install_file]]
file_name = "files/notes.txt"
)";

class HostileRecordTest : public testing::Test {
protected:
	// Builds `description` (plus one item) into an installer.
	std::string Build(const std::string& name, const std::string& description)
	{
		return world.Build(name, description + kPlainItem,
		                   {{"files/notes.txt", "notes of " + name + "\n"}});
	}

	RunResult Install(const std::string& installer, std::vector<std::string> extra = {})
	{
		std::vector<std::string> arguments = {"--dest", world.Apps(), "--yes", "--items",
		                                      "notes.txt"};
		arguments.insert(arguments.end(), extra.begin(), extra.end());
		return world.Install(installer, arguments);
	}

	// Home holds a file of its own that must survive every case.
	void SetUp() override
	{
		WriteFile(world.Home() + "/precious.txt", "mine\n");
		WriteFile(world.UserBoot() + "/UserBootscript", "#!/bin/sh\necho booting\n");
	}

	InstallWorld world;
};

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
