// links: vantry_support
// Upgrading a product with 1 % of its files changed against installing the
// new version fresh, on the same disk in the same run: the upgrade sets the
// earlier installation aside, installs the new version, compares every
// earlier entry with its manifest and merges. Size from BENCH_SCALE (a factor
// of 200 MB in 4 000 files).
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "BenchSupport.h"

namespace {

namespace fs = std::filesystem;

const int kItems = 4;
const double kMegabytes = 200;
const int kFiles = 4000;
const int kRounds = 3;

// Text-like bytes: they deflate to about two thirds.
std::string Data(const size_t& size, std::mt19937_64& random)
{
	static const char kSymbols[] = "abcdefghijklmnopqrstuvwxyz .,\n-_";
	std::string bytes(size, '\0');
	for (size_t i = 0; i < size; i += 8) {
		uint64_t bits = random();
		for (size_t j = i; j < size && j < i + 8; j++, bits >>= 5)
			bytes[j] = kSymbols[bits & 31];
	}
	return bytes;
}

// The product at `version`; from version 2.0 on one file in a hundred differs.
std::string WriteProduct(const std::string& folder, const std::string& version, const int& files,
                         const size_t& average)
{
	std::mt19937_64 random(42);
	std::string description = "app_name = \"Big\"\nversion = \"" + version +
	                          "\"\nopt_created_folder = \"Big\"\nopt_compression = 1\n"
	                          "opt_include_deinstall = true\ncomplete_display_folder = false\n";
	for (int item = 0; item < kItems; item++) {
		const std::string name = "part" + std::to_string(item);
		for (int i = item; i < files; i += kItems) {
			const std::string sub = folder + "/files/" + name + "/d" + std::to_string(i / 400);
			fs::create_directories(sub);
			std::string bytes = Data(average / 5 + random() % (average * 8 / 5 + 1), random);
			if (version != "1.0" && i % 100 == 0)
				bytes.replace(0, 12, "version " + version);
			std::ofstream(sub + "/f" + std::to_string(i) + ".txt", std::ios::binary) << bytes;
		}
		description += "[[install_file]]\nfile_name = \"files/" + name + "\"\n";
	}
	std::ofstream(folder + "/product.toml") << description;
	return folder + "/product.toml";
}

std::string ItemList()
{
	std::string list;
	for (int item = 0; item < kItems; item++)
		list.append(item > 0 ? ",part" : "part").append(std::to_string(item));
	return list;
}

} // namespace

int main(int argc, char** argv)
{
	const std::string work = argc > 1 ? argv[1] : fs::temp_directory_path().string();
	const std::string base = work + "/upgrade-bench";
	fs::remove_all(base);
	fs::create_directories(base);
	const std::string tools = fs::canonical("/proc/self/exe").parent_path().parent_path().string();
	const std::string builder = tools + "/tools/vantry-build/vantry-build";
	const int files = int(kFiles * BenchScale());
	const size_t average = size_t(kMegabytes * 1024 * 1024 / kFiles);
	printf("product: %.0f MB in %d files, %d items, 1 %% changed in version 2\n",
	       kMegabytes * BenchScale(), files, kItems);
	std::vector<std::string> installers;
	for (const char* version : {"1.0", "2.0"}) {
		const std::string folder = base + "/product-" + version;
		const std::string installer = base + "/installer-" + version;
		if (RunMeasured({builder, WriteProduct(folder, version, files, average), "-o", installer},
		                {})
		            .status != 0) {
			fprintf(stderr, "vantry-build failed for version %s\n", version);
			return 1;
		}
		fs::remove_all(folder);
		installers.push_back(installer);
	}

	const std::string root = base + "/root";
	const std::vector<std::string> env = {"VANTRY_ROOT=" + root, "HOME=" + root + "/home",
	                                      "XDG_DATA_HOME=" + root + "/data", "VANTRY_OPENER=true"};
	auto install = [&](const std::string& installer, const std::vector<std::string>& extra) {
		std::vector<std::string> command = {installer, "--unattended", "--dest",  root + "/apps",
		                                    "--yes",   "--items",      ItemList()};
		command.insert(command.end(), extra.begin(), extra.end());
		return RunMeasured(command, env, (base + "/transcript.txt").c_str());
	};
	auto emptyRoot = [&] {
		fs::remove_all(root);
		fs::create_directories(root + "/home/config/boot");
		fs::create_directories(root + "/apps");
		RunMeasured({"sync"}, {});
	};
	// The best of three of each, taken in turns, so that a busy moment of
	// the machine weighs on neither alone.
	Measure fresh;
	Measure upgrade;
	fresh.seconds = upgrade.seconds = 1e9;
	for (int round = 0; round < kRounds; round++) {
		emptyRoot();
		const Measure once = install(installers[1], {});
		emptyRoot();
		const Measure first = install(installers[0], {});
		RunMeasured({"sync"}, {});
		const Measure upgraded = install(installers[1], {"--upgrade"});
		if (once.status != 0 || first.status != 0 || upgraded.status != 0) {
			fprintf(stderr, "an installation failed (%d, %d, %d); see %s/transcript.txt\n",
			        once.status, first.status, upgraded.status, base.c_str());
			return 1;
		}
		if (once.seconds < fresh.seconds)
			fresh = once;
		if (upgraded.seconds < upgrade.seconds)
			upgrade = upgraded;
	}
	printf("fresh installation of 2.0:   %8.2f s (cpu %.2f s), peak %6ld KB\n", fresh.seconds,
	       fresh.cpuSeconds, fresh.peakKb);
	printf("upgrade from 1.0 to 2.0:     %8.2f s (cpu %.2f s), peak %6ld KB\n", upgrade.seconds,
	       upgrade.cpuSeconds, upgrade.peakKb);
	printf("ratio (upgrade / fresh installation): %.2f\n", upgrade.seconds / fresh.seconds);
	printf("cpu ratio (upgrade / fresh installation): %.2f\n",
	       upgrade.cpuSeconds / fresh.cpuSeconds);
	if (getenv("BENCH_KEEP") == nullptr)
		fs::remove_all(base);
	return 0;
}
