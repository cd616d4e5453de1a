// Installations stopped at many points, by SIGTERM (a stop request honoured
// at the next safe point) and by SIGKILL (a crash): afterwards no item lies
// half-written at its final place, and every replaced entry that was to be
// saved is whole in "Saved Files" or still in its place.
#include <sys/statfs.h>

#include <random>

#include "InstallTestSupport.h"

using namespace install_test;

namespace {

const int kItems = 6;

// Entries below `root`: relative path to a digest of the content ("<folder>"
// for folders), so a difference reads as a short line.
std::map<std::string, std::string> Snapshot(const std::string& root)
{
	std::map<std::string, std::string> entries;
	if (!Exists(root))
		return entries;
	if (!fs::is_directory(fs::symlink_status(root))) {
		entries[""] = std::to_string(std::hash<std::string>()(ReadFile(root)));
		return entries;
	}
	entries[""] = "<folder>";
	for (const std::string& entry : Tree(root)) {
		const std::string path = root + "/" + entry;
		entries[entry] = fs::is_directory(fs::symlink_status(path))
		                         ? "<folder>"
		                         : std::to_string(std::hash<std::string>()(ReadFile(path)));
	}
	return entries;
}

std::string ItemName(const int& i)
{
	return "item" + std::to_string(i);
}

// Even items go to a standard folder of the boot volume, where an older
// entry of their name waits to be saved; odd items stay in the installation
// folder.
std::string BulkProduct()
{
	std::string text = ProductHead("Bulk") + R"(opt_save_replaced = true
opt_compression = 1
)";
	for (int i = 0; i < kItems; i++) {
		text += "\n[[install_file]]\nfile_name = \"files/" + ItemName(i) + "\"\n";
		text += i % 2 == 0 ? "install_meta = { destination = \"User Add-Ons\", link = \"User "
		                     "Selected\" }\n"
		                   : "install_meta = { destination = \"User Selected\" }\n";
	}
	return text;
}

std::map<std::string, std::string> BulkFiles()
{
	std::map<std::string, std::string> files;
	for (int i = 0; i < kItems; i++) {
		files["files/" + ItemName(i) + "/data.bin"] = Noise(3 << 20, unsigned(i));
		for (int f = 0; f < 12; f++)
			files["files/" + ItemName(i) + "/notes/" + std::to_string(f) + ".txt"] =
			        "note " + std::to_string(f) + " of " + ItemName(i);
	}
	return files;
}

enum class Stop { kTerm, kKill };

struct StopPoint {
	Stop how;
	std::string after; // the transcript line after which the signal comes
	int delayMs;       // for SIGKILL: how long after that line
};

class UnattendedStopTest : public testing::Test {
protected:
	void SetUp() override
	{
		installer = world.Build("bulk", BulkProduct(), BulkFiles());
		target = world.Home() + "/config/add-ons";
		for (int i = 0; i < kItems; i++)
			sources[i] = Snapshot(world.ProductFolder("bulk") + "/files/" + ItemName(i));
	}

	void ResetTree(const std::string& destination)
	{
		fs::remove_all(destination + "/Bulk");
		// A fresh machine: no journal of the last killed run to undo.
		fs::remove_all(destination + "/.vantry-journal-Bulk");
		fs::remove_all(destination + "/.vantry-journal-Bulk.saved");
		fs::remove_all(world.Trash());
		fs::remove_all(target);
		for (int i = 0; i < kItems; i += 2) {
			WriteFile(target + "/" + ItemName(i) + "/old.txt", "old " + ItemName(i));
			WriteFile(target + "/" + ItemName(i) + "/old.bin", Noise(1 << 20, 100u + unsigned(i)));
		}
		for (int i = 0; i < kItems; i += 2)
			olds[i] = Snapshot(target + "/" + ItemName(i));
	}

	// Starts an installation and signals it at `point`; answers the transcript.
	std::string InstallAndStop(const std::string& destination, const StopPoint& point, int& status)
	{
		// A fresh file each time: an old transcript must not be taken for this one.
		const std::string output = world.Temp() + "/stop-" + std::to_string(++fRuns) + ".out";
		const pid_t child = world.Start({installer, "--unattended", "--dest", destination, "--yes",
		                                 "--items", "item0,item1,item2,item3,item4,item5"},
		                                output, world.Temp() + "/stop.err");
		bool seen = false;
		while (!seen) {
			for (const std::string& line : Lines(ReadFile(output))) {
				if (line == point.after)
					seen = true;
			}
			if (!seen && waitpid(child, &status, WNOHANG) == child)
				return ReadFile(output);
			if (!seen)
				usleep(500);
		}
		if (point.how == Stop::kTerm) {
			kill(child, SIGSTOP);
			kill(child, SIGTERM);
			kill(child, SIGCONT);
		} else {
			usleep(useconds_t(point.delayMs) * 1000);
			kill(child, SIGKILL);
		}
		waitpid(child, &status, 0);
		return ReadFile(output);
	}

	// Nothing half-written at a final place; saved entries whole somewhere.
	void ExpectSoundTree(const std::string& destination, const std::string& where)
	{
		const std::string folder = destination + "/Bulk";
		for (int i = 0; i < kItems; i++) {
			const std::string name = ItemName(i);
			const std::string final = (i % 2 == 0 ? target : folder) + "/" + name;
			const std::map<std::string, std::string> placed = Snapshot(final);
			const bool oldSaved =
			        i % 2 == 0 && Snapshot(folder + "/Saved Files/" + name) == olds[i];
			const bool whole =
			        placed.empty() || placed == sources[i] || (i % 2 == 0 && placed == olds[i]);
			EXPECT_TRUE(whole) << where << ": " << final << " is half-written";
			if (i % 2 != 0)
				continue;
			const bool oldInPlace = placed == olds[i];
			EXPECT_TRUE(oldInPlace || oldSaved) << where << ": the old " << name << " is gone";
		}
		// A run killed after its log was closed had placed everything.
		if (ReadFile(folder + "/Log").find("\tInstallation Complete") == std::string::npos)
			return;
		for (int i = 0; i < kItems; i++) {
			const std::string final = (i % 2 == 0 ? target : folder) + "/" + ItemName(i);
			EXPECT_EQ(Snapshot(final), sources[i]) << where << ": " << final;
		}
	}

	void StopAtManyPoints(const std::string& destination)
	{
		std::vector<StopPoint> points = {{Stop::kTerm, "status: Checking System Resources...", 0},
		                                 {Stop::kTerm, "status: Creating deinstaller...", 0}};
		for (int k = 1; k <= kItems; k++) {
			const std::string line = "status: Installing " + std::to_string(k) + " of " +
			                         std::to_string(kItems) + " (" + ItemName(k - 1) + ")";
			points.push_back({Stop::kTerm, line, 0});
			// Items that move out of the installation folder are killed densely,
			// so that some kills fall while the entry in the way is saved and
			// while the item is copied to its place.
			const std::vector<int> delays =
			        (k - 1) % 2 == 0
			                ? std::vector<int>{0, 2, 4, 6, 8, 10, 12, 15, 18, 22, 27, 33, 40}
			                : std::vector<int>{0, 10};
			for (int delay : delays)
				points.push_back({Stop::kKill, line, delay});
		}
		for (const StopPoint& point : points) {
			ResetTree(destination);
			int status = 0;
			const std::string output = InstallAndStop(destination, point, status);
			const std::string where =
			        std::string(point.how == Stop::kTerm ? "SIGTERM" : "SIGKILL") + " after \"" +
			        point.after + "\" +" + std::to_string(point.delayMs) + "ms";
			const bool completed =
			        output.find("status: Installation Complete") != std::string::npos;
			if (point.how == Stop::kTerm && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
				// The printer lags behind the run: the signal came after its end.
				EXPECT_TRUE(completed) << where << "\n" << output;
				EXPECT_NE(output.find("result: completed (0)"), std::string::npos) << where;
			} else if (point.how == Stop::kTerm) {
				ASSERT_TRUE(WIFEXITED(status))
				        << where << ": ended by signal " << WTERMSIG(status) << "\n"
				        << output;
				EXPECT_EQ(WEXITSTATUS(status), 5) << where << "\n" << output;
				const std::vector<std::string> errors = Labelled(output, "error");
				EXPECT_EQ(errors.empty() ? std::string() : errors.back(),
				          "Installation was stopped before it could complete.")
				        << where << "\n"
				        << output;
				EXPECT_EQ(output.find("status: Installation Complete"), std::string::npos)
				        << where << ": a stopped run sends nothing after the stop";
				EXPECT_EQ(ReadFile(destination + "/Bulk/Log").find("\tInstallation Complete"),
				          std::string::npos)
				        << where;
			} else if (WIFEXITED(status)) {
				continue; // the run ended before the signal came
			}
			ExpectSoundTree(destination, where);
		}
	}

	int fRuns = 0;
	InstallWorld world;
	std::string installer;
	std::string target;
	std::map<int, std::map<std::string, std::string>> sources;
	std::map<int, std::map<std::string, std::string>> olds;
};

TEST_F(UnattendedStopTest, StopsOnOneVolumeLeaveNothingHalfWritten)
{
	StopAtManyPoints(world.Apps());
}

TEST_F(UnattendedStopTest, StopsAcrossVolumesLeaveNothingHalfWritten)
{
	// A second real file system makes every move into the home folder a copy.
	struct stat shared;
	struct stat temp;
	if (stat("/dev/shm", &shared) != 0 || stat(world.Temp().c_str(), &temp) != 0 ||
	    shared.st_dev == temp.st_dev || access("/dev/shm", W_OK) != 0)
		GTEST_SKIP() << "no second file system at /dev/shm";
	std::string pattern = "/dev/shm/vantry-stop-XXXXXX";
	ASSERT_NE(mkdtemp(pattern.data()), nullptr);
	world.SetEnv("VANTRY_VOLUMES", pattern);
	StopAtManyPoints(pattern);
	fs::remove_all(pattern);
}

TEST_F(UnattendedStopTest, UnstoppedRunPlacesEverything)
{
	ResetTree(world.Apps());
	const RunResult run = world.Install(installer, {"--dest", world.Apps(), "--yes", "--items",
	                                                "item0,item1,item2,item3,item4,item5"});
	ASSERT_EQ(run.code, 0) << run.output;
	for (int i = 0; i < kItems; i++) {
		const std::string final =
		        (i % 2 == 0 ? target : world.Apps() + "/Bulk") + "/" + ItemName(i);
		EXPECT_EQ(Snapshot(final), sources[i]) << final;
		if (i % 2 == 0)
			EXPECT_EQ(Snapshot(world.Apps() + "/Bulk/Saved Files/" + ItemName(i)), olds[i]);
	}
	// No temporary entry is left beside the final places.
	for (const std::string& entry : Tree(target))
		EXPECT_EQ(entry.find(".vantry-"), std::string::npos) << entry;
}

} // namespace
