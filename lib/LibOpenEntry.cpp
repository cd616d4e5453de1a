// Opening entries in the desktop's file manager: a detached program started
// with an argument vector, never through a shell.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "LibEntry.h"
#include "LibFile.h"
#include "LibProcess.h"

namespace {

// The program that opens entries: VANTRY_OPENER when set (tests), else xdg-open.
std::string Opener()
{
	const char* opener = getenv("VANTRY_OPENER");
	return opener != nullptr && opener[0] != '\0' ? opener : "xdg-open";
}

// Starts `arguments` in a new session, not as our child.
bool SpawnDetached(const std::vector<std::string>& arguments)
{
	const status_t status = LibProcess(arguments).Detach();
	if (status != B_OK) {
		fprintf(stderr, "Unable to start %s: %s\n", arguments[0].c_str(), status_text(status));
		return false;
	}
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
