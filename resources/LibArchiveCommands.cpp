// The zip, unzip and tar commands, spawned with argument vectors.
#include "LibArchiveCommands.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "FindDirectory.h"
#include "LibProcess.h"
#include "Path.h"

namespace {

bool is_executable(const std::string& path)
{
	struct stat st;
	return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string parent_folder(const char* path)
{
	std::filesystem::path parent = std::filesystem::path(path).parent_path();
	return parent.empty() ? std::string(".") : parent.string();
}

std::string leaf_of(const char* path)
{
	return std::filesystem::path(path).filename().string();
}

// A file operand that a tool could take for an option is given as "./name".
std::string as_operand(const std::string& path)
{
	return !path.empty() && path[0] == '-' ? "./" + path : path;
}

} // namespace

bool LibFindInPath(const char* name, LibString& found)
{
	const char* path = getenv("PATH");
	if (name == nullptr || name[0] == '\0' || path == nullptr)
		return false;
	std::string folders = path;
	size_t start = 0;
	while (start <= folders.size()) {
		size_t end = std::min(folders.find(':', start), folders.size());
		std::string folder = folders.substr(start, end - start);
		start = end + 1;
		if (folder.empty())
			continue; // an empty entry would mean the working directory: not trusted
		std::string candidate = folder + "/" + name;
		if (is_executable(candidate)) {
			found = candidate.c_str();
			return true;
		}
	}
	return false;
}

status_t LibRunTool(const char* tool, const std::vector<std::string>& arguments,
                    const char* workingDirectory, int* exitStatus)
{
	if (tool == nullptr || arguments.empty())
		return B_BAD_VALUE;
	// The tool found in PATH runs; the arguments after its name stay.
	std::vector<std::string> vector = arguments;
	vector[0] = tool;
	LibProcess process(vector);
	if (workingDirectory != nullptr)
		process.SetWorkingFolder(workingDirectory);
	int code = 0;
	const status_t status = process.Run(&code);
	if (status == B_OK && exitStatus != nullptr)
		*exitStatus = code;
	return status;
}

bool LibZip(const char* archive, const BPath& source, int level)
{
	LibString tool;
	if (archive == nullptr || source.Path() == nullptr || !LibFindInPath("zip", tool))
		return false;
	std::string option = "-rq" + std::to_string(std::clamp(level, 0, 9));
	std::vector<std::string> arguments = {"zip", option, as_operand(archive),
	                                      as_operand(source.Leaf())};
	return LibRunTool(tool.String(), arguments, parent_folder(source.Path()).c_str()) == B_OK;
}

bool LibUnzip(const char* archive)
{
	LibString tool;
	if (archive == nullptr || archive[0] == '\0' || !LibFindInPath("unzip", tool))
		return false;
	std::vector<std::string> arguments = {"unzip", "-oq", as_operand(archive)};
	return LibRunTool(tool.String(), arguments, parent_folder(archive).c_str()) == B_OK;
}

bool LibTar(const char* source, const char* archive)
{
	BPath bin;
	if (source == nullptr || archive == nullptr || archive[0] == '\0' ||
	    find_directory(B_BEOS_BIN_DIRECTORY, &bin) != B_OK)
		return false;
	std::string tool = std::string(bin.Path()) + "/tar";
	if (!is_executable(tool))
		return false;
	std::vector<std::string> arguments = {"tar", "-cf", leaf_of(archive), as_operand(source)};
	return LibRunTool(tool.c_str(), arguments, parent_folder(archive).c_str()) == B_OK;
}
