// links: vantry_resources_pack
// Packing a tree of 20 000 files, 1 GB in all (times BENCH_SCALE), with
// vantry-build against `zip -r -6` of the same tree; prints the time ratio and
// the peak memory of each.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "SupportDefs.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Measure {
	double seconds = 0;
	long peakKb = 0;
	int status = -1;
};

double ReadScale()
{
	const char* text = getenv("BENCH_SCALE");
	double value = text != nullptr ? atof(text) : 1.0;
	return value > 0 ? value : 1.0;
}

Measure Run(const std::vector<std::string>& arguments, const std::string& folder)
{
	std::vector<char*> argv;
	for (const std::string& argument : arguments)
		argv.push_back(const_cast<char*>(argument.c_str()));
	argv.push_back(nullptr);
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
	// zip names entries relative to its working folder.
	posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
	Measure measure;
	const auto start = std::chrono::steady_clock::now();
	pid_t child = -1;
	int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
	posix_spawn_file_actions_destroy(&actions);
	if (spawned != 0)
		return measure;
	int status = 0;
	struct rusage usage = {};
	wait4(child, &status, 0, &usage);
	measure.seconds =
	        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
	measure.peakKb = usage.ru_maxrss;
	measure.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
	return measure;
}

// Text-like data from a small vocabulary: it deflates to about a third.
void WriteTree(const std::string& root, int files, uint64 totalBytes)
{
	std::mt19937_64 random(42);
	const char* words[] = {"install ",   "payload ",  "archive ", "Vantry ",
	                       "attribute ", "resource ", "folder ",  "deinstall "};
	const uint64 average = totalBytes / files;
	std::string block;
	for (int i = 0; i < files; i++) {
		const std::string folder = root + "/d" + std::to_string(i / 200);
		if (i % 200 == 0)
			fs::create_directories(folder);
		uint64 left = average / 5 + random() % (average * 8 / 5 + 1);
		std::ofstream out(folder + "/f" + std::to_string(i) + ".txt", std::ios::binary);
		while (left > 0) {
			block.clear();
			while (block.size() < 65536) {
				const uint64 r = random();
				block += words[r & 7];
				block += std::to_string(r >> 44);
			}
			const size_t n = (size_t)std::min<uint64>(left, block.size());
			out.write(block.data(), (std::streamsize)n);
			left -= n;
		}
	}
}

} // namespace

int main(int argc, char** argv)
{
	const std::string work = argc > 1 ? argv[1] : fs::temp_directory_path().string();
	const std::string base = work + "/pack-bench";
	fs::remove_all(base);
	fs::create_directories(base + "/product/files");
	const std::string tools = fs::canonical("/proc/self/exe").parent_path().parent_path().string();
	const std::string builder = tools + "/tools/vantry-build/vantry-build";

	const double factor = ReadScale();
	const int files = std::max(10, int(20000 * factor));
	const uint64 bytes = uint64(1024.0 * 1024 * 1024 * factor);
	WriteTree(base + "/product/files/tree", files, bytes);
	std::ofstream(base + "/product/product.toml")
	        << "app_name = \"Packed\"\nopt_created_folder = \"Packed\"\nopt_compression = 6\n"
	           "opt_include_deinstall = false\n[[install_file]]\nfile_name = \"files/tree\"\n";
	printf("tree: %d files, %.1f MB (BENCH_SCALE=%g)\n", files, bytes / 1048576.0, factor);

	const Measure zip =
	        Run({"zip", "-r", "-6", "-q", base + "/tree.zip", "tree"}, base + "/product/files");
	const Measure ours =
	        Run({builder, base + "/product/product.toml", "-o", base + "/installer"}, base);
	if (zip.status != 0 || ours.status != 0) {
		fprintf(stderr, "zip (%d) or vantry-build (%d) failed\n", zip.status, ours.status);
		return 1;
	}
	printf("zip -r -6:     %8.2f s, peak %6ld KB, %.1f MB written\n", zip.seconds, zip.peakKb,
	       fs::file_size(base + "/tree.zip") / 1048576.0);
	printf("vantry-build:  %8.2f s, peak %6ld KB, %.1f MB written\n", ours.seconds, ours.peakKb,
	       fs::file_size(base + "/installer") / 1048576.0);
	printf("ratio (vantry-build / zip): %.2f\n", ours.seconds / zip.seconds);
	fs::remove_all(base);
	return 0;
}
