// links:
// The installer's start: from the start of the process of an installer that
// carries 1 000 items to its window's first complete frame, against the
// smallest FLTK program showing one empty window (startup_window), both on
// the same private Xvfb in the same run; prints the times, peak memory of
// each and their ratio (the goal is 2.0 or less).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdio.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchSupport.h"

namespace {

using Clock = std::chrono::steady_clock;

const int kItems = 1000;
const int kRounds = 7;
const double kGoal = 2.0;

struct Run {
	double seconds = -1;
	long peakKiB = 0;
};

// This process's environment without the variables `extra` sets, then `extra`.
std::vector<std::string> environment_with(const std::vector<std::string>& extra)
{
	std::vector<std::string> result;
	for (char** variable = environ; *variable != nullptr; variable++) {
		const std::string entry = *variable;
		const std::string name = entry.substr(0, entry.find('='));
		const bool replaced = std::any_of(extra.begin(), extra.end(), [&](const std::string& e) {
			return e.compare(0, name.size() + 1, name + "=") == 0;
		});
		if (!replaced && name != "LC_ALL" && name != "LC_MESSAGES")
			result.push_back(entry);
	}
	result.insert(result.end(), extra.begin(), extra.end());
	return result;
}

// Starts `arguments` with descriptor `fd` writing into a pipe; its read end.
pid_t spawn_piped(const std::vector<std::string>& arguments, const std::vector<std::string>& env,
                  const int& fd, int* readEnd)
{
	std::vector<std::string> envCopy = env;
	ChildVectors vectors(arguments, {});
	std::vector<char*> envp;
	for (std::string& variable : envCopy)
		envp.push_back(variable.data());
	envp.push_back(nullptr);
	int pipeEnds[2];
	if (pipe2(pipeEnds, O_CLOEXEC) != 0)
		return -1;
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], fd);
	if (fd != 1)
		posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
	posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
	pid_t child = -1;
	const int spawned = posix_spawnp(&child, vectors.argv[0], &actions, nullptr,
	                                 vectors.argv.data(), envp.data());
	posix_spawn_file_actions_destroy(&actions);
	close(pipeEnds[1]);
	if (spawned != 0) {
		close(pipeEnds[0]);
		return -1;
	}
	*readEnd = pipeEnds[0];
	return child;
}

// Reads lines from `fd` until one contains `marker`; false at the deadline.
bool read_until(const int& fd, const std::string& marker, const Clock::time_point& deadline)
{
	std::string text;
	while (Clock::now() < deadline) {
		const int left =
		        int(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now())
		                    .count());
		pollfd p = {fd, POLLIN, 0};
		if (poll(&p, 1, std::max(left, 1)) <= 0)
			continue;
		char buffer[4096];
		const ssize_t n = read(fd, buffer, sizeof(buffer));
		if (n <= 0)
			return false;
		text.append(buffer, size_t(n));
		if (text.find(marker) != std::string::npos)
			return true;
	}
	return false;
}

// From the spawn to the line `marker` on its standard output; the process is
// then ended and its peak memory read.
Run measure(const std::vector<std::string>& arguments, const std::vector<std::string>& env,
            const std::string& marker)
{
	Run run;
	const Clock::time_point start = Clock::now();
	int output = -1;
	const pid_t child = spawn_piped(arguments, env, 1, &output);
	if (child < 0)
		return run;
	const bool drawn = read_until(output, marker, start + std::chrono::seconds(30));
	const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
	kill(child, SIGKILL);
	int status = 0;
	struct rusage usage = {};
	wait4(child, &status, 0, &usage);
	close(output);
	if (drawn) {
		run.seconds = seconds;
		run.peakKiB = usage.ru_maxrss;
	}
	return run;
}

// A private Xvfb; its display number, or -1.
int start_xvfb(pid_t* server)
{
	int readEnd = -1;
	*server = spawn_piped({"Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten",
	                       "tcp", "-noreset"},
	                      environment_with({}), 3, &readEnd);
	if (*server < 0)
		return -1;
	std::string text;
	const Clock::time_point deadline = Clock::now() + std::chrono::seconds(10);
	while (text.find('\n') == std::string::npos && Clock::now() < deadline) {
		pollfd p = {readEnd, POLLIN, 0};
		if (poll(&p, 1, 50) <= 0)
			continue;
		char buffer[32];
		const ssize_t n = read(readEnd, buffer, sizeof(buffer));
		if (n <= 0)
			break;
		text.append(buffer, size_t(n));
	}
	close(readEnd);
	return text.find('\n') == std::string::npos ? -1 : atoi(text.c_str());
}

// A product of kItems small files in two install types, built into an installer.
bool build_installer(const std::string& work, const std::string& installer)
{
	const std::string product = work + "/product";
	std::filesystem::create_directories(product + "/files");
	std::ofstream description(product + "/product.toml");
	description << "app_name = \"Startup\"\nversion = \"1.0\"\nrelease_date = \"2024-01-01\"\n"
	               "company = \"Vantry\"\nsupport_email = \"bench@example.org\"\n"
	               "opt_created_folder = \"Startup\"\n"
	               "license = \"Read these terms before you install the product.\"\n\n"
	               "[[groups]]\ngroup_name = \"Full\"\ngroup_description = \"Every item.\"\n\n"
	               "[[groups]]\ngroup_name = \"Half\"\ngroup_description = \"Every other item.\"\n";
	for (int i = 0; i < kItems; i++) {
		char name[32];
		snprintf(name, sizeof(name), "item%04d.txt", i);
		std::ofstream(product + "/files/" + name) << "item " << i << "\n";
		description << "\n[[install_file]]\nfile_name = \"files/" << name << "\"\n"
		            << (i % 2 == 0 ? "groups = [\"Full\", \"Half\"]\n" : "groups = [\"Full\"]\n");
	}
	description.close();
	pid_t child = -1;
	const std::vector<std::string> arguments = {VANTRY_BUILD_TOOL, product + "/product.toml", "-o",
	                                            installer};
	ChildVectors vectors(arguments, {});
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
	const int spawned = posix_spawn(&child, vectors.argv[0], &actions, nullptr, vectors.argv.data(),
	                                vectors.envp.data());
	posix_spawn_file_actions_destroy(&actions);
	int status = 0;
	if (spawned != 0 || waitpid(child, &status, 0) != child)
		return false;
	return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

Run best(const std::vector<Run>& runs)
{
	Run result;
	for (const Run& run : runs) {
		if (run.seconds >= 0 && (result.seconds < 0 || run.seconds < result.seconds))
			result = run;
	}
	return result;
}

double median(std::vector<Run> runs)
{
	std::sort(runs.begin(), runs.end(),
	          [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
	return runs.empty() ? -1 : runs[runs.size() / 2].seconds;
}

} // namespace

int main(int argc, char** argv)
{
	const std::string base = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
	std::filesystem::create_directories(base);
	std::string work = base + "/vantry-bench-startup-XXXXXX";
	if (mkdtemp(work.data()) == nullptr)
		return 1;
	pid_t server = -1;
	const int display = start_xvfb(&server);
	if (display < 0) {
		printf("Xvfb:          not found or did not start; nothing measured\n");
		std::filesystem::remove_all(work);
		return 0;
	}
	int status = 1;
	const std::string installer = work + "/Startup";
	if (!build_installer(work, installer)) {
		fprintf(stderr, "vantry-build could not build the product in %s\n", work.c_str());
	} else {
		const std::string boot = work + "/boot";
		for (const char* folder : {"home/config", "apps", "var/tmp"})
			std::filesystem::create_directories(boot + "/" + folder);
		const std::vector<std::string> env = environment_with(
		        {"DISPLAY=:" + std::to_string(display), "VANTRY_ROOT=" + boot,
		         "HOME=" + boot + "/home", "XDG_CONFIG_HOME=" + work + "/xdg/config",
		         "XDG_DATA_HOME=" + work + "/xdg/data", "TMPDIR=" + boot + "/var/tmp",
		         "LANG=C.UTF-8", "VANTRY_EVENTS=1", "VANTRY_HEADLESS=0"});
		printf("product: %d items, installer %.1f MB\n", kItems,
		       double(std::filesystem::file_size(installer)) / 1048576);
		// One start of each warms the caches, then they alternate.
		std::vector<Run> reference, ours;
		for (int round = 0; round <= kRounds; round++) {
			const Run r = measure({VANTRY_REFERENCE_WINDOW}, env, "drawn");
			const Run o = measure({installer}, env, "vantry-event drawn ");
			if (round == 0)
				continue;
			reference.push_back(r);
			ours.push_back(o);
		}
		const Run r = best(reference);
		const Run o = best(ours);
		if (r.seconds < 0 || o.seconds < 0) {
			fprintf(stderr, "a window was not drawn within 30 s (reference %s, installer %s)\n",
			        r.seconds < 0 ? "failed" : "drawn", o.seconds < 0 ? "failed" : "drawn");
		} else {
			printf("empty FLTK window: best %.3f s, median %.3f s, peak %.1f MB\n", r.seconds,
			       median(reference), r.peakKiB / 1024.0);
			printf("Installer:         best %.3f s, median %.3f s, peak %.1f MB\n", o.seconds,
			       median(ours), o.peakKiB / 1024.0);
			const double ratio = o.seconds / r.seconds;
			printf("ratio Installer / empty FLTK window: %.2f (goal %.1f or less: %s)\n", ratio,
			       kGoal, ratio <= kGoal ? "met" : "not met");
			status = 0;
		}
	}
	kill(server, SIGTERM);
	waitpid(server, nullptr, 0);
	std::filesystem::remove_all(work);
	return status;
}
