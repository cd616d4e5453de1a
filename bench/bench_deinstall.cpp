// links: vantry_deinstaller
// The deinstaller's volume search over a tree of 200 000 entries (times
// BENCH_SCALE) of which 1 % carry the product's tag, against
// `getfattr -R -P --absolute-names -n user.InstallBy` of the same tree in the
// same run; prints the time ratio and peak memory of each.
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "TagScan.h"

#include "BenchSupport.h"

namespace {

const char kRecord[] = "Bench;1.0;2024-01-01;Vantry;bench@example.org;";
const int kPerFolder = 100;
const int kRounds = 3;

// Folders of a hundred empty files in two levels; every hundredth entry tagged.
int write_tree(const std::string& root, int entries)
{
	int made = 0;
	int tagged = 0;
	for (int top = 0; made < entries; top++) {
		const std::string upper = root + "/t" + std::to_string(top);
		std::filesystem::create_directories(upper);
		made++;
		for (int sub = 0; sub < kPerFolder && made < entries; sub++) {
			const std::string folder = upper + "/s" + std::to_string(sub);
			std::filesystem::create_directories(folder);
			made++;
			for (int i = 0; i < kPerFolder - 2 && made < entries; i++, made++) {
				const std::string file = folder + "/f" + std::to_string(i);
				const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
				if (fd < 0)
					return -1;
				close(fd);
				if (made % 100 == 0) {
					setxattr(file.c_str(), "user.InstallBy", kRecord, strlen(kRecord), 0);
					tagged++;
				}
			}
		}
	}
	return tagged;
}

Measure spawn_and_measure(const std::vector<std::string>& arguments)
{
	ChildVectors vectors(arguments, {});
	std::vector<char*>& argv = vectors.argv;
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
	posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
	Measure run;
	auto start = std::chrono::steady_clock::now();
	pid_t child = -1;
	const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
	posix_spawn_file_actions_destroy(&actions);
	if (spawned != 0)
		return run;
	return WaitMeasured(child, start);
}

// The search as the deinstaller runs it; exits 0 when it found `expected`.
int scan_child(const char* root, int expected)
{
	TagScan scan(root, kRecord);
	scan.SetThreads(std::max(2u, std::thread::hardware_concurrency()));
	if (scan.Run() != B_OK)
		return 1;
	return (int)scan.Found().size() == expected ? 0 : 2;
}

Measure best(const std::vector<Measure>& runs)
{
	Measure result = runs.front();
	for (const Measure& run : runs) {
		if (run.seconds < result.seconds)
			result = run;
	}
	return result;
}

} // namespace

int main(int argc, char** argv)
{
	if (argc == 4 && strcmp(argv[1], "--scan") == 0)
		return scan_child(argv[2], atoi(argv[3]));

	const int entries = std::max(1000, (int)(200000 * BenchScale()));
	const std::string base = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
	std::filesystem::create_directories(base);
	std::string work = base + "/vantry-bench-deinstall-XXXXXX";
	if (mkdtemp(work.data()) == nullptr)
		return 1;
	const std::string tree = work + "/tree";
	const int tagged = write_tree(tree, entries);
	if (tagged < 0) {
		fprintf(stderr, "could not write the tree in %s\n", tree.c_str());
		return 1;
	}
	printf("tree: %d entries, %d tagged (BENCH_SCALE=%g)\n", entries, tagged, BenchScale());
	// Each tool once to warm the caches, then the best of three, alternating.
	std::vector<Measure> reference, ours;
	for (int round = 0; round <= kRounds; round++) {
		Measure g = spawn_and_measure(
		        {"getfattr", "-R", "-P", "--absolute-names", "-n", "user.InstallBy", tree});
		Measure s = spawn_and_measure({argv[0], "--scan", tree, std::to_string(tagged)});
		if (round == 0)
			continue;
		reference.push_back(g);
		ours.push_back(s);
	}
	const Measure g = best(reference);
	const Measure s = best(ours);
	if (g.status < 0)
		printf("getfattr:      not found (install the attr package)\n");
	else
		printf("getfattr -R:   %.3f s, peak %.1f MB\n", g.seconds, g.peakKb / 1024.0);
	printf("TagScan:       %.3f s, peak %.1f MB (exit %d)\n", s.seconds, s.peakKb / 1024.0,
	       s.status);
	if (g.status >= 0 && g.seconds > 0)
		printf("ratio TagScan / getfattr: %.2f\n", s.seconds / g.seconds);
	std::filesystem::remove_all(work);
	return s.status == 0 ? 0 : 1;
}
