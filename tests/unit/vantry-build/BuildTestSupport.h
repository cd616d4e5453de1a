// Temporary folders and files for the tests of vantry-build.
#pragma once

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ExecVector.h"
#include "TempFolder.h"
#include "TestFiles.h"

inline std::string read_file(const std::string& path)
{
	return ReadText(path);
}

// Runs a program (found along PATH) with `arguments`, its output discarded
// into `output` when given; returns its exit status, or -1.
inline int run_program(const std::vector<std::string>& arguments, std::string* output = nullptr)
{
	int pipeFds[2];
	if (pipe(pipeFds) != 0)
		return -1;
	pid_t child = fork();
	if (child == 0) {
		dup2(pipeFds[1], 1);
		dup2(pipeFds[1], 2);
		close(pipeFds[0]);
		close(pipeFds[1]);
		std::vector<char*> argv = ExecVector(arguments);
		execvp(argv[0], argv.data());
		_exit(127);
	}
	close(pipeFds[1]);
	std::string text;
	char buffer[4096];
	ssize_t got;
	while ((got = read(pipeFds[0], buffer, sizeof(buffer))) > 0)
		text.append(buffer, (size_t)got);
	close(pipeFds[0]);
	int status = 0;
	if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
		return -1;
	if (output != nullptr)
		*output = text;
	return WEXITSTATUS(status);
}
