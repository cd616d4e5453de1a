// Existence, folders, removal, links, typing, sizes, path search and unique names.
#include "LibFile.h"
#include "LibPathParts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "Directory.h"
#include "Entry.h"
#include "FindDirectory.h"
#include "LibStringIterator.h"
#include "LinkAttributes.h"
#include "Mime.h"
#include "Node.h"

namespace {

// Adds without passing the signed 32-bit limit.
int32 AddSizes(const int64& sum, const int64& more)
{
	int64 total = sum + more;
	return total > INT32_MAX ? INT32_MAX : (int32)total;
}

std::atomic<int32> sUniqueCounter{0};
std::atomic<int32> sLinkCounter{0};

} // namespace

bool LibExists(const char* path)
{
	if (path == nullptr || path[0] == '\0')
		return false;
	return access(path, F_OK) == 0;
}

bool Libmkdir(const char* path)
{
	if (path == nullptr || path[0] == '\0' || LibExists(path))
		return false;
	std::error_code error;
	// The mode is what the user's umask leaves of 0777.
	std::filesystem::create_directories(path, error);
	return !error;
}

bool LibSyncVolume(const char* path)
{
	if (path == nullptr || path[0] == '\0')
		return false;
	const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
	const int parent = fd >= 0 ? -1 : open(LibParentOf(path).c_str(), O_RDONLY | O_CLOEXEC);
	const int used = fd >= 0 ? fd : parent;
	if (used < 0)
		return false;
	const bool synced = syncfs(used) == 0;
	close(used);
	return synced;
}

bool LibChangeDirectory(const char* path)
{
	if (!LibExists(path))
		return false;
	return chdir(path) == 0;
}

bool Libmimeset(const char* path)
{
	if (path == nullptr || path[0] == '\0')
		return false;
	return update_mime_info(path, false, true, true) == B_OK;
}

bool LibSymLink(const char* target, const char* linkPath)
{
	if (target == nullptr || linkPath == nullptr || target[0] == '\0' || linkPath[0] == '\0')
		return false;
	std::string place = linkPath;
	if (LibIsFolder(place))
		place += "/" + LibLeafOf(target);
	// Made beside its place and renamed over it, so a failure keeps what was there.
	std::string temporary = LibParentOf(place) + "/.vantry-link-" + std::to_string(getpid()) + "-" +
	                        std::to_string(sLinkCounter.fetch_add(1));
	if (symlink(target, temporary.c_str()) != 0)
		return false;
	if (host_rename_entry(temporary, place) != 0) {
		unlink(temporary.c_str());
		return false;
	}
	return true;
}

int32 LibEntrySize(const char* path, const bool& attributes)
{
	if (path == nullptr)
		return 0;
	BNode node(path);
	if (node.InitCheck() != B_OK)
		return 0;
	off_t dataSize = 0;
	node.GetSize(&dataSize);
	int32 total = AddSizes(0, dataSize);
	if (attributes) {
		char name[B_ATTR_NAME_LENGTH + 1];
		while (node.GetNextAttrName(name) == B_OK) {
			attr_info info;
			if (node.GetAttrInfo(name, &info) == B_OK)
				total = AddSizes(total, info.size);
		}
	}
	if (!node.IsDirectory())
		return total;
	BDirectory folder(path);
	BEntry entry;
	while (folder.GetNextEntry(&entry) == B_OK)
		total = AddSizes(total, LibEntrySize(entry.HostPath(), attributes));
	return total;
}

bool LibFindEnvFile(const char* variable, const char* file, BPath& path)
{
	if (variable == nullptr || file == nullptr || file[0] == '\0')
		return false;
	const char* value = getenv(variable);
	if (value == nullptr)
		return false;
	LibStringIterator list(value);
	LibString folder;
	while (list.GetNextField(':', folder)) {
		std::string candidate = folder.Length() == 0 ? "." : folder.String();
		candidate += "/";
		candidate += file;
		if (!LibExists(candidate.c_str()))
			continue;
		BPath found(candidate.c_str());
		if (found.InitCheck() != B_OK)
			continue;
		path = found;
		return true;
	}
	return false;
}

bool LibUniqueName(BPath& path, const char* prefix)
{
	BPath result = path;
	if (result.InitCheck() != B_OK || result.Path() == nullptr || result.Path()[0] == '\0') {
		if (find_directory(B_COMMON_TEMP_DIRECTORY, &result) != B_OK)
			return false;
	}
	int32 counter = 0;
	int32 expected = sUniqueCounter.load();
	do {
		counter = expected + 1 > 10000 ? 1 : expected + 1;
	} while (!sUniqueCounter.compare_exchange_weak(expected, counter));
	char leaf[B_FILE_NAME_LENGTH];
	int length = snprintf(leaf, sizeof(leaf), "%s%ld%ld%ld", prefix == nullptr ? "" : prefix,
	                      (long)counter, (long)getpid(), (long)time(nullptr));
	if (length < 0 || length >= (int)sizeof(leaf) || strchr(leaf, '/') != nullptr)
		return false;
	if (result.Append(leaf) != B_OK)
		return false;
	path = result;
	return true;
}

bool LibReadText(const std::string& path, std::string& text)
{
	std::ifstream in(path, std::ios::binary);
	if (!in)
		return false;
	std::ostringstream content;
	content << in.rdbuf();
	text = content.str();
	return !in.bad();
}
