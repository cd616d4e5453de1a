// What every benchmark program shares: the scale factor, the argument and
// environment vectors of the programs it measures, and their measuring.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

extern char** environ;

// BENCH_SCALE, or 1 when unset or not a positive number.
inline double BenchScale()
{
	const char* text = getenv("BENCH_SCALE");
	double value = text != nullptr ? atof(text) : 1.0;
	return value > 0 ? value : 1.0;
}

// The argv and envp of a child: this process's environment plus `extra`. The
// arguments must outlive the vectors.
struct ChildVectors {
	std::vector<std::string> environment;
	std::vector<char*> argv;
	std::vector<char*> envp;

	ChildVectors(const std::vector<std::string>& arguments, const std::vector<std::string>& extra)
	{
		for (char** variable = environ; *variable != nullptr; variable++)
			environment.push_back(*variable);
		environment.insert(environment.end(), extra.begin(), extra.end());
		for (std::string& variable : environment)
			envp.push_back(variable.data());
		envp.push_back(nullptr);
		for (const std::string& argument : arguments)
			argv.push_back(const_cast<char*>(argument.c_str()));
		argv.push_back(nullptr);
	}
};

// How long a program ran, its peak memory and its exit status.
struct Measure {
	double seconds = 0;
	// User and system time: what a busy machine's other work does not add to.
	double cpuSeconds = 0;
	long peakKb = 0;
	int status = -1;
};

// Waits for a child started at `start` and measures it.
inline Measure WaitMeasured(pid_t child, const std::chrono::steady_clock::time_point& start)
{
	Measure measure;
	int status = 0;
	struct rusage usage = {};
	wait4(child, &status, 0, &usage);
	measure.seconds =
	        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
	measure.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
	                     double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
	measure.peakKb = usage.ru_maxrss;
	measure.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
	return measure;
}

// Runs a program with its standard output in `output` and measures it.
inline Measure RunMeasured(const std::vector<std::string>& arguments,
                           const std::vector<std::string>& extraEnv,
                           const char* output = "/dev/null")
{
	ChildVectors vectors(arguments, extraEnv);
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output, O_WRONLY | O_CREAT | O_TRUNC,
	                                 0644);
	Measure measure;
	const auto start = std::chrono::steady_clock::now();
	pid_t child = -1;
	if (posix_spawnp(&child, vectors.argv[0], &actions, nullptr, vectors.argv.data(),
	                 vectors.envp.data()) != 0) {
		posix_spawn_file_actions_destroy(&actions);
		return measure;
	}
	posix_spawn_file_actions_destroy(&actions);
	return WaitMeasured(child, start);
}
