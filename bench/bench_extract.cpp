// links: vantry_resources_pack
// Extraction of a payload of 20 000 files, 1 GB in all (times BENCH_SCALE),
// from an installer's resource with ExtractEntry, against `unzip -oq` of the
// same archive onto the same disk; prints the time ratio and peak memory.
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "LibAppResource.h"

#include "BenchSupport.h"

namespace {

const int32 kItem = 2100;

// Text-like data that deflates to about half its size.
void write_payload(const std::string& root, int files, uint64_t totalBytes)
{
	std::mt19937_64 random(42);
	const char* words[] = {"install ", "payload ",   "archive ",  "Vantry ",
	                       "folder ",  "attribute ", "resource ", "deinstall "};
	uint64_t perFile = totalBytes / files;
	std::string block;
	for (int i = 0; i < files; i++) {
		std::string folder = root + "/d" + std::to_string(i / 200);
		if (i % 200 == 0)
			std::filesystem::create_directories(folder);
		std::ofstream out(folder + "/f" + std::to_string(i), std::ios::binary);
		uint64_t left = perFile;
		while (left > 0) {
			block.clear();
			while (block.size() < 65536) {
				uint64_t r = random();
				block += words[r & 7];
				block += std::to_string(r >> 40);
			}
			size_t n = std::min<uint64_t>(left, block.size());
			out.write(block.data(), n);
			left -= n;
		}
	}
}

Measure spawn_and_measure(const std::vector<std::string>& arguments)
{
	ChildVectors vectors(arguments, {});
	std::vector<char*>& argv = vectors.argv;
	Measure run;
	auto start = std::chrono::steady_clock::now();
	pid_t child = -1;
	if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
		return run;
	return WaitMeasured(child, start);
}

// Writes the payload and packs it into an installer copy and an archive file,
// in a process of its own so that the measuring process stays small.
int prepare_child(const std::string& work, int files, uint64_t bytes)
{
	write_payload(work + "/src/item", files, bytes);
	std::string installer = work + "/Installer";
	std::filesystem::copy_file("/bin/true", installer);
	LibAppResource store(installer.c_str(), B_READ_WRITE);
	if (!store.AddEntry((work + "/src/item").c_str(), kItem, "item", 6)) {
		fprintf(stderr, "packing failed\n");
		return 1;
	}
	store.ExtractEntry(kItem, (work + "/item.zip").c_str(), false);
	std::filesystem::remove_all(work + "/src");
	return 0;
}

int extract_child(const char* installer, const char* destination)
{
	LibAppResource store(installer, B_READ_ONLY);
	return store.ExtractEntry(kItem, destination, true) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
	if (argc == 4 && strcmp(argv[1], "--extract") == 0)
		return extract_child(argv[2], argv[3]);
	if (argc == 5 && strcmp(argv[1], "--prepare") == 0)
		return prepare_child(argv[2], atoi(argv[3]), strtoull(argv[4], nullptr, 10));

	double factor = BenchScale();
	int files = std::max(10, (int)(20000 * factor));
	uint64_t bytes = (uint64_t)(1024.0 * 1024 * 1024 * factor);
	std::string work =
	        (std::filesystem::temp_directory_path() / "vantry-bench-extract-XXXXXX").string();
	if (mkdtemp(work.data()) == nullptr)
		return 1;
	printf("payload: %d files, %.1f MB (BENCH_SCALE=%g)\n", files, bytes / 1048576.0, factor);
	Measure prepared = spawn_and_measure(
	        {argv[0], "--prepare", work, std::to_string(files), std::to_string(bytes)});
	if (prepared.status != 0)
		return 1;
	std::string installer = work + "/Installer";
	std::filesystem::create_directories(work + "/ours");
	std::filesystem::create_directories(work + "/unzip");

	Measure unzip = spawn_and_measure({"unzip", "-oq", work + "/item.zip", "-d", work + "/unzip"});
	Measure ours = spawn_and_measure({argv[0], "--extract", installer, work + "/ours/item"});
	printf("unzip -oq:     %.2f s, peak %.1f MB (exit %d)\n", unzip.seconds, unzip.peakKb / 1024.0,
	       unzip.status);
	printf("ExtractEntry:  %.2f s, peak %.1f MB (exit %d)\n", ours.seconds, ours.peakKb / 1024.0,
	       ours.status);
	if (unzip.seconds > 0)
		printf("ratio ExtractEntry / unzip: %.2f\n", ours.seconds / unzip.seconds);
	std::filesystem::remove_all(work);
	return ours.status == 0 ? 0 : 1;
}
