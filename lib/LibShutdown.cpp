// LibShutdown: the restart/power-off command, guarded so that only a tool
// inside the BeOS-layout root (or an explicit permission) ever runs.
#include "LibSystem.h"

#include <limits.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "FindDirectory.h"

extern char** environ;

namespace {

std::string RealPath(const char* path)
{
	char resolved[PATH_MAX];
	if (path == nullptr || realpath(path, resolved) == nullptr)
		return "";
	return resolved;
}

// Reaps the tool when it ends, so no zombie stays behind.
void Reap(pid_t child)
{
	int status = 0;
	while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
	}
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

	char* argv[] = {const_cast<char*>(tool.c_str()), const_cast<char*>("-r"), nullptr};
	if (!restart)
		argv[1] = nullptr;
	posix_spawnattr_t attributes;
	posix_spawnattr_init(&attributes);
	// In its own session, so it outlives us and our terminal.
	posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
	pid_t child = -1;
	int error = posix_spawn(&child, tool.c_str(), nullptr, &attributes, argv, environ);
	posix_spawnattr_destroy(&attributes);
	if (error != 0)
		return status_from_errno(error);
	std::thread(Reap, child).detach();
	return B_OK;
}
