// links: vantry_resources
// Packing and installing what products contain, each case against the stock
// tools in the same run and on the same file system: packing against
// `zip -qr -6`, installing against `unzip -oq` + `mv`, `tar -xzf` and the
// floor, `cp -a` of the unpacked tree. Reports peak memory and the system
// calls the installer makes per file placed (`strace -c -f`).
//
// Cases: "synthetic" (20 000 text-like files, 1 GB), "real" (/usr/include and
// the Python standard library), "large" (one 512 MB file of random bytes),
// "tiny" (50 000 files under 1 KB), packed with deflate; "runtime" (a Java
// runtime, else a compiler's libraries: large binaries) and "source" (headers,
// scripts and texts: over 20 000 small files), packed with Zstandard and also
// measured against the self-extracting archive `makeself --xz` makes, in
// size and packing time. Settings from the environment:
// BENCH_CASES (comma list), BENCH_SCALE (factor of the generated cases),
// BENCH_REPEAT (runs of each command, the fastest counts; default 2),
// BENCH_SYNC (1: every installing reference is followed by `sync`; 0: never;
// default: when the installer itself syncs), BENCH_STRACE (0 skips counting),
// BENCH_BASELINE (another build folder, measured alongside as "before").
#include <fcntl.h>
#include <glob.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "LibAppResource.h"

#include "BenchSupport.h"
#include "BenchTrees.h"

using namespace bench_trees;

namespace {

namespace fs = std::filesystem;

// A measure that takes the better of two runs and adds up sequences.
struct Measure : ::Measure {
	Measure() = default;
	Measure(const ::Measure& measured) : ::Measure(measured) {}

	// The faster of two runs of the same command.
	void KeepFaster(const Measure& other)
	{
		if (status != 0 || (other.status == 0 && other.seconds < seconds))
			*this = other;
	}
	// One more step of a sequence (unzip, then mv, then sync).
	void Then(const Measure& other)
	{
		seconds += other.seconds;
		cpuSeconds += other.cpuSeconds;
		peakKb = std::max(peakKb, other.peakKb);
		status = status != 0 ? status : other.status;
	}
};

struct Settings {
	double scale = 1;
	int repeat = 2;
	int sync = -1; // -1: when the installer syncs
	bool strace = true;
	std::string baseline; // a build folder to compare with, or empty
	std::vector<std::string> cases;
};

struct TreeCount {
	uint64 files = 0; // regular files and links: what is placed one by one
	uint64 folders = 0;
	uint64 bytes = 0;
};

struct SyscallCount {
	uint64 total = 0;
	std::map<std::string, std::pair<uint64, uint64>> calls; // name: calls, errors
};

const char* Env(const char* name, const char* fallback)
{
	const char* value = getenv(name);
	return value != nullptr && value[0] != '\0' ? value : fallback;
}

Settings ReadSettings()
{
	Settings settings;
	settings.scale = std::max(0.001, atof(Env("BENCH_SCALE", "1")));
	settings.repeat = std::max(1, atoi(Env("BENCH_REPEAT", "2")));
	const std::string sync = Env("BENCH_SYNC", "auto");
	settings.sync = sync == "1" ? 1 : sync == "0" ? 0 : -1;
	settings.strace = std::string(Env("BENCH_STRACE", "1")) != "0";
	settings.baseline = Env("BENCH_BASELINE", "");
	std::stringstream list(Env("BENCH_CASES", "synthetic,real,large,tiny,runtime,source"));
	for (std::string name; std::getline(list, name, ',');)
		settings.cases.push_back(name);
	return settings;
}

// Runs a program in `folder` with the extra environment and measures it.
Measure Run(const std::vector<std::string>& arguments, const std::string& folder = "/",
            const std::vector<std::string>& extraEnv = {})
{
	ChildVectors vectors(arguments, extraEnv);
	std::vector<char*>& argv = vectors.argv;
	std::vector<char*>& envp = vectors.envp;

	Measure measure;
	const auto start = std::chrono::steady_clock::now();
	// fork, not posix_spawn: a child that shares our memory until exec would
	// report our pages in its peak.
	const pid_t child = fork();
	if (child < 0)
		return measure;
	if (child == 0) {
		const int null = open("/dev/null", O_WRONLY);
		if (null < 0 || dup2(null, STDOUT_FILENO) < 0 || chdir(folder.c_str()) != 0)
			_exit(127);
		environ = envp.data();
		execvp(argv[0], argv.data());
		_exit(127);
	}
	return WaitMeasured(child, start);
}

void Settle()
{
	sync();
}

TreeCount Count(const std::string& root)
{
	TreeCount count;
	for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
		if (entry.is_symlink() || entry.is_regular_file()) {
			count.files++;
			if (!entry.is_symlink())
				count.bytes += entry.file_size();
		} else if (entry.is_directory())
			count.folders++;
	}
	return count;
}

// Reads `strace -c` output; columns are right-aligned under the header.
SyscallCount ReadStraceSummary(const std::string& path)
{
	SyscallCount count;
	std::ifstream in(path);
	std::string line;
	size_t callsEnd = 0;
	size_t errorsEnd = 0;
	while (std::getline(in, line)) {
		if (line.rfind("% time", 0) == 0) {
			callsEnd = line.find("calls") + 5;
			errorsEnd = line.find("errors") + 6;
			continue;
		}
		if (callsEnd == 0 || line.empty() || line[0] == '-' || line.size() <= errorsEnd)
			continue;
		const size_t callsStart = line.rfind(' ', callsEnd - 1);
		const uint64 calls =
		        strtoull(line.substr(callsStart, callsEnd - callsStart).c_str(), nullptr, 10);
		const uint64 errors =
		        strtoull(line.substr(callsEnd, errorsEnd - callsEnd).c_str(), nullptr, 10);
		std::string name = line.substr(errorsEnd);
		name.erase(0, name.find_first_not_of(' '));
		if (name == "total")
			count.total = calls;
		else
			count.calls[name] = {calls, errors};
	}
	return count;
}

uint64 SyncCalls(const SyscallCount& count)
{
	uint64 calls = 0;
	for (const char* name : {"fsync", "fdatasync", "syncfs", "sync", "sync_file_range"}) {
		auto found = count.calls.find(name);
		if (found != count.calls.end())
			calls += found->second.first;
	}
	return calls;
}

void PrintSyscalls(const SyscallCount& count, const TreeCount& tree)
{
	std::vector<std::pair<uint64, std::string>> order;
	for (const auto& [name, calls] : count.calls)
		order.emplace_back(calls.first, name);
	std::sort(order.rbegin(), order.rend());
	printf("  system calls per file placed: %.1f (%llu calls for %llu files and %llu folders;",
	       double(count.total) / double(std::max<uint64>(1, tree.files)),
	       (unsigned long long)count.total, (unsigned long long)tree.files,
	       (unsigned long long)tree.folders);
	for (size_t i = 0; i < order.size() && i < 6; i++) {
		const auto& calls = count.calls.at(order[i].second);
		printf(" %s %llu", order[i].second.c_str(), (unsigned long long)calls.first);
		if (calls.second > 0)
			printf(" (%llu failed)", (unsigned long long)calls.second);
	}
	printf(")\n");
}

void PrintLine(const char* label, const Measure& measure)
{
	printf("  %-26s %8.2f s  cpu %7.2f s  peak %7.1f MB\n", label, measure.seconds,
	       measure.cpuSeconds, double(measure.peakKb) / 1024);
}

void PrintRatio(const char* ours, const char* reference, const Measure& a, const Measure& b)
{
	printf("  ratio %s / %s: %.2f\n", ours, reference, b.seconds > 0 ? a.seconds / b.seconds : 0);
}

class Case {
public:
	Case(const std::string& name, const std::string& work, const std::string& tools,
	     const Settings& settings)
	    : fName(name), fBase(work + "/" + name), fTools(tools), fSettings(settings),
	      fZstd(name == "runtime" || name == "source")
	{
	}

	bool Bench();

private:
	bool Prepare();
	bool Pack();
	bool Install();
	Measure InstallOnce(const std::string& root, const std::string& installer);
	Measure Reference(const std::vector<std::vector<std::string>>& steps, bool sync);
	bool CountSyscalls(bool* syncs);
	bool Placed(const std::string& root);
	std::vector<std::string> InstallerCommand(const std::string& root,
	                                          const std::string& installer) const;
	std::vector<std::string> InstallerEnv(const std::string& root) const;

	std::string fName;
	std::string fBase;
	std::string fTools;
	const Settings& fSettings;
	// Packed with Zstandard, which unzip does not read: measured against
	// makeself --xz instead.
	bool fZstd;
	TreeCount fTree;
};

bool Case::Bench()
{
	fs::remove_all(fBase);
	fs::create_directories(fBase);
	const bool ok = Prepare() && Pack() && Install();
	fs::remove_all(fBase);
	return ok;
}

bool Case::Prepare()
{
	std::string origin;
	if (!WriteCase(fName, fBase + "/product/files/tree", fSettings.scale, &origin)) {
		fprintf(stderr, "case %s: cannot make its tree\n", fName.c_str());
		return false;
	}
	fTree = Count(fBase + "/product/files/tree");
	printf("== %s: %s, %llu files, %llu folders, %.1f MB\n", fName.c_str(), origin.c_str(),
	       (unsigned long long)fTree.files, (unsigned long long)fTree.folders,
	       double(fTree.bytes) / 1048576);
	std::ofstream(fBase + "/product/product.toml")
	        << "app_name = \"Bench\"\nopt_created_folder = \"Bench\"\nopt_compression = 6\n"
	        << (fZstd ? "compression = \"zstd\"\n" : "")
	        << "opt_include_deinstall = false\ncomplete_display_folder = false\n"
	           "[[install_file]]\nfile_name = \"files/tree\"\n";
	// The reference a self-extracting archive would carry, made untimed.
	return Run({"tar", "-czf", fBase + "/tree.tar.gz", "tree"}, fBase + "/product/files").status ==
	       0;
}

bool Case::Pack()
{
	const std::string builder = fTools + "/tools/vantry-build/vantry-build";
	const std::string before = fSettings.baseline + "/tools/vantry-build/vantry-build";
	Measure zip, ours, baseline, makeself;
	for (int i = 0; i < fSettings.repeat; i++) {
		if (fZstd) {
			fs::remove(fBase + "/makeself.run");
			Settle();
			makeself.KeepFaster(Run({"makeself", "--xz", "--nox11", "--quiet", "tree",
			                         fBase + "/makeself.run", "Bench", "true"},
			                        fBase + "/product/files"));
		}
		if (!fSettings.baseline.empty()) {
			fs::remove(fBase + "/installer-before");
			Settle();
			baseline.KeepFaster(Run(
			        {before, fBase + "/product/product.toml", "-o", fBase + "/installer-before"},
			        fBase));
		}
		fs::remove(fBase + "/tree.zip");
		Settle();
		zip.KeepFaster(
		        Run({"zip", "-qr", "-6", fBase + "/tree.zip", "tree"}, fBase + "/product/files"));
		fs::remove(fBase + "/installer");
		Settle();
		ours.KeepFaster(
		        Run({builder, fBase + "/product/product.toml", "-o", fBase + "/installer"}, fBase));
	}
	if (zip.status != 0 || ours.status != 0) {
		fprintf(stderr, "case %s: zip (%d) or vantry-build (%d) failed\n", fName.c_str(),
		        zip.status, ours.status);
		return false;
	}
	printf(" packing (%.1f MB by zip, %.1f MB of installer)\n",
	       double(fs::file_size(fBase + "/tree.zip")) / 1048576,
	       double(fs::file_size(fBase + "/installer")) / 1048576);
	PrintLine("zip -qr -6", zip);
	PrintLine("vantry-build", ours);
	PrintRatio("vantry-build", "zip -qr -6", ours, zip);
	if (fZstd) {
		if (makeself.status != 0) {
			fprintf(stderr, "case %s: makeself --xz failed (%d)\n", fName.c_str(), makeself.status);
			return false;
		}
		const double installer = double(fs::file_size(fBase + "/installer"));
		const double reference = double(fs::file_size(fBase + "/makeself.run"));
		PrintLine("makeself --xz", makeself);
		PrintRatio("vantry-build", "makeself --xz", ours, makeself);
		printf("  size: installer %.1f MB, makeself --xz %.1f MB, ratio %.3f\n",
		       installer / 1048576, reference / 1048576, installer / reference);
		fs::remove(fBase + "/makeself.run");
	}
	if (!fSettings.baseline.empty()) {
		PrintLine("vantry-build before", baseline);
		PrintRatio("vantry-build", "before", ours, baseline);
	}
	// unzip below works on the archive the installer carries.
	LibAppResource store((fBase + "/installer").c_str(), B_READ_ONLY);
	return store.ExtractEntry(2100, (fBase + "/payload.zip").c_str(), false);
}

std::vector<std::string> Case::InstallerCommand(const std::string& root,
                                                const std::string& installer) const
{
	return {installer, "--unattended", "--dest", root + "/apps", "--yes", "--items", "tree"};
}

std::vector<std::string> Case::InstallerEnv(const std::string& root) const
{
	return {"VANTRY_ROOT=" + root, "HOME=" + root + "/home", "VANTRY_OPENER=true"};
}

bool Case::Placed(const std::string& root)
{
	const std::string tree = root + "/apps/Bench/tree";
	if (!fs::is_directory(tree) || Count(tree).files != fTree.files) {
		fprintf(stderr, "case %s: the installer did not place every file in %s\n", fName.c_str(),
		        tree.c_str());
		return false;
	}
	return true;
}

Measure Case::InstallOnce(const std::string& root, const std::string& installer)
{
	fs::remove_all(root);
	fs::create_directories(root + "/home/config/boot");
	fs::create_directories(root + "/apps");
	Settle();
	return Run(InstallerCommand(root, installer), fBase, InstallerEnv(root));
}

// The steps in sequence, each its own process, after the disk has settled.
Measure Case::Reference(const std::vector<std::vector<std::string>>& steps, bool sync)
{
	const std::string out = fBase + "/out";
	fs::remove_all(out);
	fs::create_directories(out + "/staging");
	fs::create_directories(out + "/dest");
	Settle();
	Measure total;
	total.status = 0;
	for (const std::vector<std::string>& step : steps)
		total.Then(Run(step, out));
	if (sync)
		total.Then(Run({"sync"}));
	return total;
}

bool Case::CountSyscalls(bool* syncs)
{
	const std::string root = fBase + "/traced";
	fs::remove_all(root);
	fs::create_directories(root + "/home/config/boot");
	fs::create_directories(root + "/apps");
	std::vector<std::string> command = {"strace", "-c", "-f", "-o", fBase + "/strace.txt"};
	for (const std::string& argument : InstallerCommand(root, fBase + "/installer"))
		command.push_back(argument);
	if (Run(command, fBase, InstallerEnv(root)).status != 0 || !Placed(root)) {
		fprintf(stderr, "case %s: the traced installation failed\n", fName.c_str());
		return false;
	}
	fs::remove_all(root);
	const SyscallCount count = ReadStraceSummary(fBase + "/strace.txt");
	*syncs = SyncCalls(count) > 0;
	PrintSyscalls(count, fTree);
	return true;
}

bool Case::Install()
{
	bool sync = fSettings.sync == 1;
	printf(" installing\n");
	if (fSettings.strace) {
		bool syncs = false;
		if (!CountSyscalls(&syncs))
			return false;
		if (fSettings.sync == -1)
			sync = syncs;
	}
	const std::string tree = fBase + "/product/files/tree";
	Measure ours, unzip, tar, copy, baseline;
	for (int i = 0; i < fSettings.repeat; i++) {
		const std::string root = fBase + "/root";
		ours.KeepFaster(InstallOnce(root, fBase + "/installer"));
		if (ours.status != 0 || !Placed(root))
			return false;
		if (!fSettings.baseline.empty()) {
			baseline.KeepFaster(InstallOnce(root, fBase + "/installer-before"));
			if (baseline.status != 0 || !Placed(root))
				return false;
		}
		fs::remove_all(root);
		if (!fZstd)
			unzip.KeepFaster(Reference({{"unzip", "-oq", fBase + "/payload.zip", "-d", "staging"},
			                            {"mv", "staging/tree", "dest/"}},
			                           sync));
		tar.KeepFaster(Reference({{"tar", "-xzf", fBase + "/tree.tar.gz", "-C", "dest"}}, sync));
		copy.KeepFaster(Reference({{"cp", "-a", tree, "dest/"}}, sync));
	}
	fs::remove_all(fBase + "/out");
	if ((!fZstd && unzip.status != 0) || tar.status != 0 || copy.status != 0) {
		fprintf(stderr, "case %s: a reference installation failed\n", fName.c_str());
		return false;
	}
	const char* then = sync ? " + sync" : "";
	PrintLine("Installer --unattended", ours);
	if (!fZstd)
		PrintLine((std::string("unzip -oq + mv") + then).c_str(), unzip);
	PrintLine((std::string("tar -xzf") + then).c_str(), tar);
	PrintLine((std::string("cp -a") + then).c_str(), copy);
	if (!fZstd)
		PrintRatio("Installer", "unzip + mv", ours, unzip);
	PrintRatio("Installer", "tar -xzf", ours, tar);
	PrintRatio("Installer", "cp -a", ours, copy);
	if (!fSettings.baseline.empty()) {
		PrintLine("Installer before", baseline);
		PrintRatio("Installer", "before", ours, baseline);
	}
	return true;
}

// tmpfs keeps the disk's noise out of the figures.
std::string WorkFolder(int argc, char** argv)
{
	if (argc > 1)
		return argv[1];
	return fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path().string();
}

} // namespace

int main(int argc, char** argv)
{
	const Settings settings = ReadSettings();
	const std::string work = WorkFolder(argc, argv) + "/cases-bench";
	const std::string tools = fs::canonical("/proc/self/exe").parent_path().parent_path().string();
	printf("in %s, fastest of %d runs, BENCH_SCALE=%g\n", work.c_str(), settings.repeat,
	       settings.scale);
	int status = 0;
	for (const std::string& name : settings.cases) {
		Case one(name, work, tools, settings);
		if (!one.Bench())
			status = 1;
		fflush(stdout);
	}
	fs::remove_all(work);
	return status;
}
