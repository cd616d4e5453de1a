// LibShutdown: the restart/power-off command, guarded so that only a tool
// inside the BeOS-layout root (or an explicit permission) ever runs.
#include "LibSystem.h"

#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FindDirectory.h"
#include "LibProcess.h"

namespace {

std::string RealPath(const char* path)
{
	char resolved[PATH_MAX];
	if (path == nullptr || realpath(path, resolved) == nullptr)
		return "";
	return resolved;
}

} // namespace

bool LibShutdownAllowed(const char* toolPath)
{
	const char* allow = getenv("VANTRY_ALLOW_SHUTDOWN");
	if (allow != nullptr && strcmp(allow, "1") == 0)
		return true;
	std::string root = RealPath(getenv("VANTRY_ROOT"));
	std::string tool = RealPath(toolPath);
	if (root.empty() || tool.empty())
		return false;
	if (root != "/")
		root += "/";
	return tool.compare(0, root.size(), root) == 0;
}

status_t LibShutdown(const bool& restart)
{
	char folder[PATH_MAX];
	status_t status = find_directory(B_BEOS_BIN_DIRECTORY, -1, false, folder, sizeof(folder));
	if (status != B_OK)
		return status;
	std::string tool = std::string(folder) + "/shutdown";
	if (access(tool.c_str(), F_OK) != 0)
		return B_ENTRY_NOT_FOUND;
	if (!LibShutdownAllowed(tool.c_str()))
		return B_NOT_ALLOWED;

	std::vector<std::string> arguments = {tool};
	if (restart)
		arguments.push_back("-r");
	// In its own session, so it outlives us and our terminal.
	return LibProcess(arguments).Detach();
}
