// Opening entries in the desktop's file manager: a detached program started
// with an argument vector, never through a shell.
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "LibEntry.h"
#include "LibFile.h"

extern char** environ;

namespace {

// The program that opens entries: VANTRY_OPENER when set (tests), else xdg-open.
std::string Opener()
{
	const char* opener = getenv("VANTRY_OPENER");
	return opener != nullptr && opener[0] != '\0' ? opener : "xdg-open";
}

// Starts `arguments` in a new session and reaps it on a detached thread.
bool SpawnDetached(const std::vector<std::string>& arguments)
{
	std::vector<char*> argv;
	for (const std::string& argument : arguments)
		argv.push_back(const_cast<char*>(argument.c_str()));
	argv.push_back(nullptr);
	posix_spawnattr_t attributes;
	posix_spawnattr_init(&attributes);
	posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
	pid_t child = -1;
	int error = posix_spawnp(&child, argv[0], nullptr, &attributes, argv.data(), environ);
	posix_spawnattr_destroy(&attributes);
	if (error != 0) {
		fprintf(stderr, "Unable to start %s: %s\n", argv[0], strerror(error));
		return false;
	}
	std::thread([child] {
		int status = 0;
		while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
		}
	}).detach();
	return true;
}

std::string AbsolutePath(const char* path)
{
	BPath full(path);
	return full.InitCheck() == B_OK ? full.Path() : path;
}

// A file URI: every byte but the unreserved ones and '/' percent-encoded, so
// the URI holds no ',' (dbus-send splits arrays there) and no spaces.
std::string FileUri(const std::string& path)
{
	static const char kHex[] = "0123456789ABCDEF";
	std::string uri = "file://";
	for (unsigned char c : path) {
		if (isalnum(c) || strchr("/-_.~", c) != nullptr) {
			uri += (char)c;
			continue;
		}
		uri += '%';
		uri += kHex[c >> 4];
		uri += kHex[c & 15];
	}
	return uri;
}

} // namespace

bool LibOpenEntry(const char* path)
{
	if (!LibExists(path))
		return false;
	return SpawnDetached({Opener(), AbsolutePath(path)});
}

bool LibInfoEntry(const char* path)
{
	if (!LibExists(path))
		return false;
	std::string full = AbsolutePath(path);
	BPath dbus;
	if (getenv("VANTRY_OPENER") == nullptr && LibFindEnvFile("PATH", "dbus-send", dbus)) {
		return SpawnDetached({dbus.Path(), "--session", "--type=method_call",
		                      "--dest=org.freedesktop.FileManager1",
		                      "/org/freedesktop/FileManager1",
		                      "org.freedesktop.FileManager1.ShowItemProperties",
		                      "array:string:" + FileUri(full), "string:"});
	}
	LibString folder;
	LibGetParentPath(full.c_str(), folder);
	return SpawnDetached({Opener(), folder.String()});
}
