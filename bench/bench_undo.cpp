// links: vantry_support
// Undoing an item of many files against installing it, in one run: the
// first item (30 000 small files in 100 folders; BENCH_SCALE multiplies the
// count) is placed, the second fails on a file where its folder should be,
// and the run is undone. The times come from the status lines the installer
// prints as it goes: installing is from "Installing 1 of 2" to "Installing
// 2 of 2", the undo from there to "Installation Undone".
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchSupport.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const int kFolders = 100;
const int kFilesPerFolder = 300;

std::string WriteProduct(const std::string& folder, const int& files)
{
	for (int i = 0; i < files; i++) {
		const std::string sub =
		        folder + "/files/many/d" + std::to_string(i / (files / kFolders + 1));
		if (i % (files / kFolders + 1) == 0)
			fs::create_directories(sub);
		std::ofstream(sub + "/f" + std::to_string(i) + ".txt") << "file " << i << "\n";
	}
	std::ofstream(folder + "/files/last.txt") << "last\n";
	std::ofstream(folder + "/product.toml")
	        << "app_name = \"Many\"\nopt_created_folder = \"Many\"\nopt_include_deinstall = false\n"
	           "complete_display_folder = false\n"
	           "[[custom_folder]]\ncustom_folder_name = \"Blocked\"\ncustom_root_dir = \"User\"\n"
	           "custom_sub_dir = \"blocker/sub\"\n"
	           "[[install_file]]\nfile_name = \"files/many\"\n"
	           "[[install_file]]\nfile_name = \"files/last.txt\"\n"
	           "install_meta = { destination = \"Blocked\" }\n";
	return folder + "/product.toml";
}

// Runs the program with its standard output read line by line; the time
// each line whose text starts with one of `marks` came.
std::vector<double> MarkedLines(const std::vector<std::string>& arguments,
                                const std::vector<std::string>& extra,
                                const std::vector<std::string>& marks, int& status)
{
	std::vector<double> times(marks.size(), -1);
	int pipeFds[2];
	if (pipe(pipeFds) != 0)
		return times;
	ChildVectors vectors(arguments, extra);
	const Clock::time_point start = Clock::now();
	const pid_t child = fork();
	if (child == 0) {
		dup2(pipeFds[1], STDOUT_FILENO);
		close(pipeFds[0]);
		execve(vectors.argv[0], vectors.argv.data(), vectors.envp.data());
		_exit(127);
	}
	close(pipeFds[1]);
	FILE* output = fdopen(pipeFds[0], "r");
	char line[4096];
	while (output != nullptr && fgets(line, sizeof(line), output) != nullptr) {
		const double now = std::chrono::duration<double>(Clock::now() - start).count();
		for (size_t i = 0; i < marks.size(); i++) {
			if (times[i] < 0 && std::string(line).rfind(marks[i], 0) == 0)
				times[i] = now;
		}
	}
	if (output != nullptr)
		fclose(output);
	int wait = 0;
	waitpid(child, &wait, 0);
	status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
	return times;
}

} // namespace

int main(int argc, char** argv)
{
	const std::string work = argc > 1 ? argv[1] : fs::temp_directory_path().string();
	const std::string base = work + "/undo-bench";
	fs::remove_all(base);
	fs::create_directories(base);
	const std::string tools = fs::canonical("/proc/self/exe").parent_path().parent_path().string();
	const int files = int(kFolders * kFilesPerFolder * BenchScale());
	const std::string description = WriteProduct(base + "/product", files);
	const std::string installer = base + "/many-installer";
	int status = -1;
	MarkedLines({tools + "/tools/vantry-build/vantry-build", description, "-o", installer}, {}, {},
	            status);
	if (status != 0) {
		fprintf(stderr, "vantry-build failed\n");
		return 1;
	}
	fs::remove_all(base + "/product");

	const std::string root = base + "/root";
	fs::create_directories(root + "/home/config/boot");
	fs::create_directories(root + "/apps");
	std::ofstream(root + "/home/blocker") << "a file where a folder should be\n";
	const std::vector<double> times =
	        MarkedLines({installer, "--unattended", "--dest", root + "/apps", "--yes", "--items",
	                     "many,last.txt"},
	                    {"VANTRY_ROOT=" + root, "HOME=" + root + "/home", "VANTRY_OPENER=true"},
	                    {"status: Installing 1 of 2", "status: Installing 2 of 2",
	                     "status: Installation Undone"},
	                    status);
	const int kUndoneStatus = 12;
	if (status != kUndoneStatus || times[0] < 0 || times[1] < 0 || times[2] < 0) {
		fprintf(stderr, "the run ended with %d, not undone (%d); the installer is %s\n", status,
		        kUndoneStatus, installer.c_str());
		return 1;
	}
	if (fs::exists(root + "/apps/Many")) {
		fprintf(stderr, "the undo left %s/apps/Many\n", root.c_str());
		return 1;
	}
	const double installing = times[1] - times[0];
	const double undoing = times[2] - times[1];
	printf("item of %d files: installed in %.2f s, undone in %.2f s\n", files, installing, undoing);
	printf("ratio (undo / install): %.2f\n", undoing / installing);
	if (getenv("BENCH_KEEP") == nullptr)
		fs::remove_all(base);
	return 0;
}
