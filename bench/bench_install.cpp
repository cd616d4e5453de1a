// links: vantry_resources_pack
// Installing a large product unattended against the stock tools doing the
// least an installation needs: `unzip -oq` of the same archives, `mv` of
// each item into place and a `sync`, since the installer makes its items
// durable, on the same disk. The payload check that comes before the first
// change is timed on its own (`--verify`) as a share of the installation, and
// so is the signature check of the same installer signed (when minisign is
// there to make a key), and the plan of the installation (`--plan`), which
// makes the same checks and changes nothing. Size from BENCH_SCALE
// ("1G", "200M", bytes, or a plain factor up to 64 of the default 1 GB and 20 000 files).
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
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

#include "LibAppResource.h"
#include "Resources.h"
#include "TypeConstants.h"

#include "BenchSupport.h"

namespace {

namespace fs = std::filesystem;

const int kItems = 8;
const uint64 kDefaultScale = 1000ull * 1024 * 1024;
const uint64 kFilesPerGigabyte = 20000;

uint64 ReadScale()
{
	const char* text = getenv("BENCH_SCALE");
	if (text == nullptr || text[0] == '\0')
		return kDefaultScale;
	char* end = nullptr;
	const double value = strtod(text, &end);
	const char unit = end != nullptr ? char(toupper(*end)) : '\0';
	const double factor = unit == 'G'   ? 1024.0 * 1024 * 1024
	                      : unit == 'M' ? 1024.0 * 1024
	                      : unit == 'K' ? 1024.0
	                                    : 1.0;
	if (value <= 0)
		return kDefaultScale;
	// A plain small number is a factor of the default size.
	if (unit == '\0' && value <= 64)
		return uint64(value * double(kDefaultScale));
	return uint64(value * factor);
}

// Runs a program and measures its time and its peak memory.
Measure Run(const std::vector<std::string>& arguments, const std::vector<std::string>& extraEnv,
            const char* output = "/dev/null")
{
	return RunMeasured(arguments, extraEnv, output);
}

// Text-like bytes from 32 symbols: they deflate to about two thirds.
void WriteData(const std::string& path, const size_t& size, std::mt19937_64& random)
{
	static const char kSymbols[] = "abcdefghijklmnopqrstuvwxyz .,\n-_";
	std::string bytes(size, '\0');
	for (size_t i = 0; i < size; i += 8) {
		uint64 bits = random();
		for (size_t j = i; j < size && j < i + 8; j++, bits >>= 5)
			bytes[j] = kSymbols[bits & 31];
	}
	std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// The product: kItems folders of files averaging scale / files bytes.
std::string WriteProduct(const std::string& folder, const uint64& scale, uint64& files)
{
	files = std::max<uint64>(kItems * 10, scale * kFilesPerGigabyte / (1024ull * 1024 * 1024));
	const uint64 average = scale / files;
	std::mt19937_64 random(42);
	std::string description = "app_name = \"Large\"\nopt_created_folder = \"Large\"\n"
	                          "opt_compression = 1\nopt_include_deinstall = false\n"
	                          "complete_display_folder = false\n";
	for (int item = 0; item < kItems; item++) {
		const std::string name = "part" + std::to_string(item);
		for (uint64 i = item; i < files; i += kItems) {
			const std::string sub = folder + "/files/" + name + "/d" + std::to_string(i / 800);
			fs::create_directories(sub);
			const size_t size = size_t(average / 5 + random() % (average * 8 / 5 + 1));
			WriteData(sub + "/f" + std::to_string(i) + ".txt", size, random);
		}
		description += "[[install_file]]\nfile_name = \"files/" + name + "\"\n";
	}
	std::ofstream(folder + "/product.toml") << description;
	return folder + "/product.toml";
}

// The status of a run stopped by a payload that does not match its digest.
const int kDamagedPayloadStatus = 11;

// Makes an unencrypted minisign key; its secret key's path, or "" without minisign.
std::string MakeKey(const std::string& folder)
{
	const std::string key = folder + "/bench.key";
	if (Run({"minisign", "-G", "-W", "-p", folder + "/bench.pub", "-s", key}, {}).status != 0)
		return "";
	return key;
}

bool FlipLastPayloadByte(const std::string& installer)
{
	off_t offset = 0;
	size_t size = 0;
	{
		BResources resources(installer.c_str(), false);
		if (resources.GetResourceRange(B_RAW_TYPE, 2100 + kItems - 1, &offset, &size) != B_OK ||
		    size == 0)
			return false;
	}
	const int fd = open(installer.c_str(), O_RDWR);
	if (fd < 0)
		return false;
	unsigned char byte = 0;
	const off_t at = offset + off_t(size) - 1;
	bool flipped = pread(fd, &byte, 1, at) == 1;
	byte ^= 0x20;
	flipped = flipped && pwrite(fd, &byte, 1, at) == 1;
	close(fd);
	return flipped;
}

std::string ItemList()
{
	std::string list;
	for (int item = 0; item < kItems; item++)
		list.append(item > 0 ? ",part" : "part").append(std::to_string(item));
	return list;
}

// The product built signed, or "" without minisign to make a key.
std::string BuildSigned(const std::string& builder, const std::string& base,
                        const std::string& description)
{
	const std::string key = MakeKey(base);
	const std::string installer = base + "/signed-installer";
	if (key.empty() || Run({builder, description, "-o", installer, "--sign", key}, {}).status != 0)
		return "";
	return installer;
}

// A byte flipped at the end of the last payload of the signed installer
// makes it stop at the signature check, before anything else: that run is
// the cost of the check.
int MeasureSignatureCheck(const std::string& signedInstaller, const std::string& root,
                          const double& installSeconds)
{
	if (signedInstaller.empty()) {
		printf("signature check: not measured (no minisign to make a key)\n");
		return 0;
	}
	if (!FlipLastPayloadByte(signedInstaller)) {
		fprintf(stderr, "cannot change the signed installer\n");
		return 1;
	}
	const Measure check =
	        Run({signedInstaller, "--unattended", "--dest", root + "/apps", "--yes", "--items",
	             ItemList()},
	            {"VANTRY_ROOT=" + root, "HOME=" + root + "/home", "VANTRY_OPENER=true"});
	if (check.status != kDamagedPayloadStatus) {
		fprintf(stderr, "the changed signed installer ended with %d, not %d\n", check.status,
		        kDamagedPayloadStatus);
		return 1;
	}
	printf("signature check alone:  %8.2f s, peak %6ld KB\n", check.seconds, check.peakKb);
	printf("signature check: %.2f times the installation\n", check.seconds / installSeconds);
	return 0;
}

// The reference: unzip of the very archives the installer carries, each
// moved into place, then sync; false when a step failed.
bool MeasureUnzip(const std::string& installer, const std::string& base, Measure& unzip)
{
	std::vector<std::string> archives;
	{
		LibAppResource store(installer.c_str(), B_READ_ONLY);
		for (int item = 0; item < kItems; item++) {
			const std::string archive = base + "/part" + std::to_string(item) + ".zip";
			if (!store.ExtractEntry(2100 + item, archive.c_str(), false)) {
				fprintf(stderr, "cannot read payload %d\n", 2100 + item);
				return false;
			}
			archives.push_back(archive);
		}
	}
	const std::string reference = base + "/reference";
	fs::create_directories(reference + "/staging");
	fs::create_directories(reference + "/dest");
	for (size_t i = 0; i < archives.size(); i++) {
		const Measure one = Run({"unzip", "-oq", archives[i], "-d", reference + "/staging"}, {});
		const Measure move = Run(
		        {"mv", reference + "/staging/part" + std::to_string(i), reference + "/dest/"}, {});
		unzip.seconds += one.seconds + move.seconds;
		unzip.peakKb = std::max(unzip.peakKb, one.peakKb);
		if (one.status != 0 || move.status != 0) {
			fprintf(stderr, "unzip or mv failed\n");
			return false;
		}
	}
	const Measure flush = Run({"sync"}, {});
	unzip.seconds += flush.seconds;
	return true;
}

} // namespace

int main(int argc, char** argv)
{
	const std::string work = argc > 1 ? argv[1] : fs::temp_directory_path().string();
	const std::string base = work + "/install-bench";
	fs::remove_all(base);
	fs::create_directories(base);
	const std::string tools = fs::canonical("/proc/self/exe").parent_path().parent_path().string();
	const std::string builder = tools + "/tools/vantry-build/vantry-build";

	const uint64 scale = ReadScale();
	uint64 files = 0;
	const std::string description = WriteProduct(base + "/product", scale, files);
	printf("product: %.0f MB in %llu files, %d items\n", double(scale) / (1 << 20),
	       (unsigned long long)files, kItems);
	const std::string installer = base + "/large-installer";
	if (Run({builder, description, "-o", installer}, {}).status != 0) {
		fprintf(stderr, "vantry-build failed\n");
		return 1;
	}
	const std::string signedInstaller = BuildSigned(builder, base, description);
	fs::remove_all(base + "/product");

	Measure unzip;
	if (!MeasureUnzip(installer, base, unzip))
		return 1;

	const std::string root = base + "/root";
	fs::create_directories(root + "/home/config/boot");
	fs::create_directories(root + "/apps");
	// The plan first, into the same empty destination the installation gets.
	const Measure plan =
	        Run({installer, "--plan", "--dest", root + "/apps", "--yes", "--items", ItemList()},
	            {"VANTRY_ROOT=" + root, "HOME=" + root + "/home", "VANTRY_OPENER=true"},
	            (base + "/plan.txt").c_str());
	if (plan.status != 0) {
		fprintf(stderr, "the plan failed (%d); see %s/plan.txt\n", plan.status, base.c_str());
		return 1;
	}
	const Measure vantry = Run(
	        {installer, "--unattended", "--dest", root + "/apps", "--yes", "--items", ItemList()},
	        {"VANTRY_ROOT=" + root, "HOME=" + root + "/home", "VANTRY_OPENER=true"},
	        (base + "/transcript.txt").c_str());
	if (vantry.status != 0) {
		fprintf(stderr, "the installer failed (%d); see %s/transcript.txt\n", vantry.status,
		        base.c_str());
		return 1;
	}

	// A byte flipped at the end of the last payload makes the run check
	// every payload and stop before its first change: that run is the cost
	// of the check.
	const std::string damaged = base + "/damaged-installer";
	fs::copy_file(installer, damaged);
	if (!FlipLastPayloadByte(damaged)) {
		fprintf(stderr, "cannot damage a copy of the installer\n");
		return 1;
	}
	const Measure verify =
	        Run({damaged, "--unattended", "--dest", root + "/apps", "--yes", "--items", ItemList()},
	            {"VANTRY_ROOT=" + root, "HOME=" + root + "/home", "VANTRY_OPENER=true"});
	if (verify.status != kDamagedPayloadStatus) {
		fprintf(stderr, "the damaged installer ended with %d, not %d\n", verify.status,
		        kDamagedPayloadStatus);
		return 1;
	}

	printf("unzip -oq + mv + sync:  %8.2f s, peak %6ld KB (largest unzip)\n", unzip.seconds,
	       unzip.peakKb);
	printf("Installer --unattended: %8.2f s, peak %6ld KB\n", vantry.seconds, vantry.peakKb);
	printf("payload check alone:    %8.2f s, peak %6ld KB\n", verify.seconds, verify.peakKb);
	printf("Installer --plan:       %8.2f s, peak %6ld KB\n", plan.seconds, plan.peakKb);
	printf("ratio (Installer / unzip + mv + sync): %.2f\n", vantry.seconds / unzip.seconds);
	printf("payload check: %.1f %% of the installation\n", 100 * verify.seconds / vantry.seconds);
	printf("ratio (Installer --plan / Installer --unattended): %.2f\n",
	       plan.seconds / vantry.seconds);
	const int status = MeasureSignatureCheck(signedInstaller, root, vantry.seconds);
	fs::remove_all(base);
	return status;
}
