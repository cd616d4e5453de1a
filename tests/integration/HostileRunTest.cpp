// Runs that hostile surroundings try to turn against the user: a folder name
// that would plant a command in the login scripts, a lock file that is not
// ours, a journal left by a killed run beside the user's own files, a damaged
// deinstaller, an installer that cannot be read. Each leaves the tree as it
// was (or keeps what is the user's) and names the path involved.
#include <sys/wait.h>

#include "InstallTestSupport.h"
#include "Resources.h"
#include "TypeConstants.h"

using namespace install_test;

namespace {

const char kProfileProduct[] = R"(
edit_profile = true
edit_profile_tag = "Planted"
edit_profile_contents = "export PLANTED_HOME=\"${VANTRY_INSTALL_DIR}\""

[[install_file]]
file_name = "files/notes.txt"
)";

class HostileRunTest : public testing::Test {
protected:
	void SetUp() override
	{
		WriteFile(world.Home() + "/precious.txt", "mine\n");
		WriteFile(world.Home() + "/.profile", "export MINE=1\n");
		installer = world.Build("Planted", ProductHead("Planted") + kProfileProduct,
		                        {{"files/notes.txt", "notes\n"}});
	}

	RunResult Install(const std::string& destination)
	{
		return world.Install(installer, {"--dest", destination, "--yes", "--items", "notes.txt"});
	}

	InstallWorld world;
	std::string installer;
};

} // namespace

// A folder whose name holds a line break followed by the section's end marker
// and a command is refused before anything is written, and named escaped.
TEST_F(HostileRunTest, ControlCharactersInTheFolderAreRefusedBeforeAnyChange)
{
	const std::string destination = world.Apps() + "/x\n#END_Planted\ntouch planted\n#";
	fs::create_directories(destination);
	const auto before = TreeState(world.Temp());
	const RunResult run = Install(destination);
	EXPECT_EQ(run.code, 1) << run.output << run.errors;
	EXPECT_NE(run.output.find("x\\n#END_Planted\\ntouch planted\\n#/Planted"), std::string::npos)
	        << run.output;
	EXPECT_EQ(Changes(before, TreeState(world.Temp())), "");
	EXPECT_EQ(ReadFile(world.Home() + "/.profile"), "export MINE=1\n");
}

// Whatever stands at the lock file's place that this installer did not make
// refuses the run (exit 9) and is left exactly as it was.
TEST_F(HostileRunTest, ALockFileThatIsNotOursRefusesTheRun)
{
	const std::string lock = world.Apps() + "/.vantry-lock-Planted";
	struct Case {
		const char* what;
		std::function<bool()> make;
	};
	const std::vector<Case> cases = {
	        {"a hard link to the user's file",
	         [&] { return link((world.Home() + "/precious.txt").c_str(), lock.c_str()) == 0; }},
	        {"a symbolic link",
	         [&] { return symlink((world.Home() + "/precious.txt").c_str(), lock.c_str()) == 0; }},
	        {"a folder", [&] { return mkdir(lock.c_str(), 0755) == 0; }},
	        {"a named pipe", [&] { return mkfifo(lock.c_str(), 0644) == 0; }},
	        {"another user's file",
	         [&] {
		         WriteFile(lock, "1\n");
		         return geteuid() == 0 && chown(lock.c_str(), 65534, 65534) == 0;
	         }},
	};
	for (const Case& row : cases) {
		SCOPED_TRACE(row.what);
		fs::remove_all(lock);
		if (!row.make()) {
			fs::remove_all(lock);
			continue;
		}
		const auto before = TreeState(world.Temp());
		const RunResult run = Install(world.Apps());
		EXPECT_EQ(run.code, 9) << run.output << run.errors;
		EXPECT_NE(run.output.find(lock), std::string::npos) << run.output;
		EXPECT_EQ(Changes(before, TreeState(world.Temp())), "");
		EXPECT_EQ(ReadFile(world.Home() + "/precious.txt"), "mine\n");
	}
	fs::remove_all(lock);
	EXPECT_EQ(Install(world.Apps()).code, 0);
}

// A killed run left its journal; the user then put files of their own into
// the folders it had begun. The next start removes only what the killed run
// made and keeps the rest, named, in place.
TEST_F(HostileRunTest, AnInterruptedRunsUndoKeepsWhatTheUserAdded)
{
	const std::string folder = world.Apps() + "/Planted";
	const std::string item = folder + "/docs";
	fs::create_directories(item + "/inner");
	WriteFile(folder + "/Log", "begun\n");
	// A rewrite of the log was killed half-way: its temporary file is the run's.
	WriteFile(folder + "/.Log.Ab12Cd", "half\n");
	WriteFile(item + "/a.txt", "unpacked\n");
	WriteFile(item + "/inner/b.txt", "unpacked\n");
	struct stat info;
	ASSERT_EQ(lstat(item.c_str(), &info), 0);
	struct timespec unpacked;
	clock_gettime(CLOCK_REALTIME, &unpacked);
	// The killed run had copied a file aside but not yet named the copy.
	const std::string copies = world.Apps() + "/.vantry-journal-Planted.saved";
	WriteFile(copies + "/1", "a copy\n");
	WriteFile(world.Apps() + "/.vantry-journal-Planted",
	          "vantry-journal 1\trollback\nmade\t" + folder + "\nmade\t" + copies + "\nwrote\t" +
	                  folder + "/Log\t-\n" + "unpacked\t" + item + "\t" +
	                  std::to_string(unpacked.tv_sec) + "\t" + std::to_string(unpacked.tv_nsec) +
	                  "\t" + std::to_string(info.st_dev) + "\t" + std::to_string(info.st_ino) +
	                  "\n");
	chmod((world.Apps() + "/.vantry-journal-Planted").c_str(), 0600);
	usleep(20000);
	WriteFile(folder + "/mine.txt", "the user's\n");
	WriteFile(item + "/inner/mine.txt", "the user's too\n");

	const RunResult run = Install(world.Apps());
	EXPECT_EQ(run.code, 0) << run.output << run.errors;
	const std::vector<std::string> kept = Labelled(run.output, "kept");
	ASSERT_EQ(kept.size(), 1u) << run.output;
	EXPECT_EQ(kept[0].rfind(folder + " (it holds entries this installation did not make: ", 0), 0u)
	        << run.output;
	// The kept folder was then an earlier installation in the way: the trash
	// holds it with the user's files and without what the killed run made.
	const std::string trashed = world.Trash() + "/Planted";
	EXPECT_EQ(ReadFile(trashed + "/mine.txt"), "the user's\n");
	EXPECT_EQ(ReadFile(trashed + "/docs/inner/mine.txt"), "the user's too\n");
	EXPECT_FALSE(Exists(trashed + "/Log"));
	EXPECT_FALSE(Exists(trashed + "/.Log.Ab12Cd"));
	EXPECT_FALSE(Exists(trashed + "/docs/a.txt"));
	EXPECT_FALSE(Exists(trashed + "/docs/inner/b.txt"));
	EXPECT_EQ(ReadFile(folder + "/notes.txt"), "notes\n");
	EXPECT_FALSE(Exists(world.Apps() + "/.vantry-journal-Planted"));
	EXPECT_FALSE(Exists(copies));
}

// A deinstaller payload changed after the build is found before any change.
TEST_F(HostileRunTest, ADamagedDeinstallerStopsTheRunBeforeAnyChange)
{
	{
		BResources resources(installer.c_str(), true);
		ASSERT_EQ(resources.InitCheck(), B_OK);
		size_t size = 0;
		const void* data = resources.LoadResource(B_RAW_TYPE, 2001, &size);
		ASSERT_NE(data, nullptr);
		std::string payload(static_cast<const char*>(data), size);
		payload[payload.size() / 2] ^= 0x20;
		ASSERT_EQ(resources.AddResource(B_RAW_TYPE, 2001, payload.data(), payload.size(),
		                                "Deinstaller"),
		          B_OK);
		ASSERT_EQ(resources.Sync(), B_OK);
	}
	const auto before = TreeState(world.Temp());
	const RunResult run = Install(world.Apps());
	EXPECT_EQ(run.code, 11) << run.output << run.errors;
	EXPECT_NE(run.output.find("the deinstaller"), std::string::npos) << run.output;
	EXPECT_EQ(Changes(before, TreeState(world.Temp())), "");

	const RunResult verify = world.Run({installer, "--verify"});
	EXPECT_EQ(verify.code, 8) << verify.output << verify.errors;
	EXPECT_NE(verify.errors.find("deinstaller"), std::string::npos) << verify.errors;
}

// A volume without the user's boot folder gets one, as a missing script does,
// and the log says "Added" only for what was written.
TEST_F(HostileRunTest, ASectionOnAVolumeWithoutItsFolderIsWritten)
{
	const std::string product = ProductHead("Booted") + R"(
edit_bootscript = true
edit_bootscript_tag = "Booted"
edit_bootscript_contents = "booted --now"

[[install_file]]
file_name = "files/notes.txt"
)";
	const std::string booted = world.Build("Booted", product, {{"files/notes.txt", "n\n"}});
	fs::remove_all(world.UserBoot());
	const RunResult run =
	        world.Install(booted, {"--dest", world.Apps(), "--yes", "--items", "notes.txt"});
	EXPECT_EQ(run.code, 0) << run.output << run.errors;
	EXPECT_EQ(ReadFile(world.UserBoot() + "/UserBootscript"),
	          "\n#BEGIN_Booted\nbooted --now\n#END_Booted\n");
	EXPECT_NE(ReadFile(world.Apps() + "/Booted/Log").find("Added script tab Booted"),
	          std::string::npos);
}

// An installer that may be run but not read says so, naming itself.
TEST_F(HostileRunTest, AnUnreadableInstallerSaysSo)
{
	const std::string folder = "/tmp/vantry-unreadable-" + std::to_string(getpid());
	fs::create_directories(folder);
	chmod(folder.c_str(), 0755);
	const std::string copy = folder + "/installer";
	fs::copy_file(installer, copy, fs::copy_options::overwrite_existing);
	chmod(copy.c_str(), 0111);
	const std::string errors = folder + "/errors";
	const pid_t child = fork();
	if (child == 0) {
		const int err = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
		dup2(err, STDERR_FILENO);
		// Root reads every file: the run is made as a user who cannot.
		if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
			_exit(99);
		execl(copy.c_str(), copy.c_str(), "--list", nullptr);
		_exit(127);
	}
	int status = 0;
	waitpid(child, &status, 0);
	const std::string text = ReadFile(errors);
	fs::remove_all(folder);
	ASSERT_TRUE(WIFEXITED(status));
	EXPECT_EQ(WEXITSTATUS(status), 8) << text;
	EXPECT_NE(text.find("cannot read the installer file " + copy + ": Permission denied"),
	          std::string::npos)
	        << text;
	EXPECT_EQ(text.find("resource"), std::string::npos) << text;
}
