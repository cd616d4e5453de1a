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

// A fresh folder below the test's temporary folder, removed at the end.
class TempFolder {
public:
	TempFolder()
	{
		std::string pattern = testing::TempDir() + "vantry-build-XXXXXX";
		char* made = mkdtemp(pattern.data());
		fPath = made != nullptr ? made : "";
	}
	~TempFolder()
	{
		std::error_code ignored;
		std::filesystem::remove_all(fPath, ignored);
	}
	const std::string& Path() const { return fPath; }
	std::string operator/(const std::string& leaf) const { return fPath + "/" + leaf; }

	// Writes `text` to the file at `relative`, making its folders.
	std::string Write(const std::string& relative, const std::string& text) const
	{
		std::string path = fPath + "/" + relative;
		std::filesystem::create_directories(std::filesystem::path(path).parent_path());
		std::ofstream(path, std::ios::binary) << text;
		return path;
	}

private:
	std::string fPath;
};

inline std::string read_file(const std::string& path)
{
	std::ifstream stream(path, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
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
		std::vector<char*> argv;
		for (const std::string& argument : arguments)
			argv.push_back(const_cast<char*>(argument.c_str()));
		argv.push_back(nullptr);
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
