// Copying and moving entries in-process: links copied as links, attributes,
// type, permissions and times kept, nothing half-made left after a failure.
#include "LibFile.h"
#include "LibPathParts.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "Entry.h"
#include "LinkAttributes.h"
#include "Mime.h"
#include "Node.h"

namespace {

std::atomic<int32> sTemporaryCounter{0};

// A hidden name beside `path` for building an entry before it takes its place.
std::string TemporaryBeside(const std::string& path)
{
	return LibParentOf(path) + "/.vantry-copy-" + std::to_string(getpid()) + "-" +
	       std::to_string(sTemporaryCounter.fetch_add(1));
}

void RemoveTree(const std::string& path)
{
	LibUnlink(path.c_str());
}

// Copies every attribute with its type; a target that keeps none is not an error.
bool CopyAttributes(const std::string& source, const std::string& target)
{
	BNode from(source.c_str());
	BNode to(target.c_str());
	if (from.InitCheck() != B_OK || to.InitCheck() != B_OK)
		return false;
	char name[B_ATTR_NAME_LENGTH + 1];
	std::vector<char> value;
	while (from.GetNextAttrName(name) == B_OK) {
		attr_info info;
		if (from.GetAttrInfo(name, &info) != B_OK)
			return false;
		value.resize((size_t)info.size + 1);
		ssize_t read = from.ReadAttr(name, info.type, 0, value.data(), (size_t)info.size);
		if (read < 0)
			return false;
		ssize_t written = to.WriteAttr(name, info.type, 0, value.data(), (size_t)read);
		if (written == B_NOT_SUPPORTED)
			return true;
		if (written != read)
			return false;
	}
	return true;
}

bool CopyData(int from, int to)
{
	std::vector<char> buffer(256 * 1024);
	for (;;) {
		ssize_t count = read(from, buffer.data(), buffer.size());
		if (count < 0 && errno == EINTR)
			continue;
		if (count < 0)
			return false;
		if (count == 0)
			return true;
		for (ssize_t done = 0; done < count;) {
			ssize_t written = write(to, buffer.data() + done, (size_t)(count - done));
			if (written < 0 && errno == EINTR)
				continue;
			if (written <= 0)
				return false;
			done += written;
		}
	}
}

void CopyTimes(const std::string& target, const struct stat& st)
{
	struct timespec times[2] = {st.st_atim, st.st_mtim};
	utimensat(AT_FDCWD, target.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

bool CopyFresh(const std::string& source, const std::string& target);

bool CopyFile(const std::string& source, const std::string& target, const struct stat& st)
{
	int from = open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
	if (from < 0)
		return false;
	int to = open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
	if (to < 0) {
		close(from);
		return false;
	}
	bool ok = CopyData(from, to);
	close(from);
	ok = close(to) == 0 && ok;
	ok = ok && CopyAttributes(source, target);
	ok = ok && chmod(target.c_str(), st.st_mode & 01777) == 0;
	if (ok)
		CopyTimes(target, st);
	return ok;
}

bool CopyLink(const std::string& source, const std::string& target)
{
	std::vector<char> text(PATH_MAX + 1);
	ssize_t length = readlink(source.c_str(), text.data(), text.size() - 1);
	if (length < 0)
		return false;
	text[(size_t)length] = '\0';
	return symlink(text.data(), target.c_str()) == 0 && CopyAttributes(source, target);
}

// Calls `step` with the name of each entry of `folder` until one fails;
// false when the folder cannot be read or a step failed.
bool EachEntry(const std::string& folder, const std::function<bool(const std::string&)>& step)
{
	DIR* entries = opendir(folder.c_str());
	if (entries == nullptr)
		return false;
	bool ok = true;
	while (struct dirent* item = readdir(entries)) {
		if (strcmp(item->d_name, ".") != 0 && strcmp(item->d_name, "..") != 0 &&
		    !step(item->d_name)) {
			ok = false;
			break;
		}
	}
	closedir(entries);
	return ok;
}

bool CopyFolder(const std::string& source, const std::string& target, const struct stat& st)
{
	if (mkdir(target.c_str(), 0700) != 0)
		return false;
	bool ok = EachEntry(source, [&](const std::string& name) {
		return CopyFresh(source + "/" + name, target + "/" + name);
	});
	ok = ok && CopyAttributes(source, target);
	ok = ok && chmod(target.c_str(), st.st_mode & 01777) == 0;
	if (ok)
		CopyTimes(target, st);
	return ok;
}

// Copies `source` to `target`, which must not exist; links are never followed.
bool CopyFresh(const std::string& source, const std::string& target)
{
	struct stat st;
	if (lstat(source.c_str(), &st) != 0)
		return false;
	if (S_ISLNK(st.st_mode))
		return CopyLink(source, target);
	if (S_ISREG(st.st_mode))
		return CopyFile(source, target, st);
	if (S_ISDIR(st.st_mode))
		return CopyFolder(source, target, st);
	if (S_ISFIFO(st.st_mode))
		return mkfifo(target.c_str(), st.st_mode & 0777) == 0;
	return false;
}

// Builds the copy under a hidden name, then renames it into place.
bool CopyReplacing(const std::string& source, const std::string& target)
{
	std::string temporary = TemporaryBeside(target);
	if (!CopyFresh(source, temporary) || host_rename_entry(temporary, target) != 0) {
		// The caller reports why the copy failed (a full disk), not the cleanup.
		const int error = errno;
		RemoveTree(temporary);
		errno = error;
		return false;
	}
	return true;
}

// Copies `source` to exactly `target`: a new entry, a replaced file, or a
// folder merged into an existing one. Every entry arrives whole or not at all.
bool CopyTo(const std::string& source, const std::string& target)
{
	struct stat sourceStat;
	struct stat targetStat;
	if (lstat(source.c_str(), &sourceStat) != 0)
		return false;
	if (lstat(target.c_str(), &targetStat) != 0)
		return CopyReplacing(source, target);
	bool sourceFolder = S_ISDIR(sourceStat.st_mode);
	bool targetFolder = S_ISDIR(targetStat.st_mode);
	if (sourceFolder != targetFolder)
		return false;
	if (!sourceFolder)
		return CopyReplacing(source, target);
	if (sourceStat.st_dev == targetStat.st_dev && sourceStat.st_ino == targetStat.st_ino)
		return false;
	const bool ok = EachEntry(source, [&](const std::string& name) {
		return CopyTo(source + "/" + name, target + "/" + name);
	});
	return ok && CopyAttributes(source, target);
}

std::string RealPath(const std::string& path)
{
	char resolved[PATH_MAX];
	return realpath(path.c_str(), resolved) == nullptr ? std::string() : std::string(resolved);
}

// True when `target` would lie inside the folder `source` (or be it): a copy
// into itself would never end.
bool InsideSource(const std::string& source, const std::string& target)
{
	struct stat st;
	if (lstat(source.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
		return false;
	std::string from = RealPath(source);
	std::string folder = RealPath(LibParentOf(target));
	if (from.empty() || folder.empty())
		return false;
	std::string to = folder == "/" ? "/" + LibLeafOf(target) : folder + "/" + LibLeafOf(target);
	return to == from || to.compare(0, from.size() + 1, from + "/") == 0;
}

// Where a copy or move to `destination` lands: inside it when it is a folder.
std::string Placement(const std::string& source, const std::string& destination)
{
	if (LibIsFolder(destination))
		return destination + "/" + LibLeafOf(source);
	return destination;
}

bool CheckArguments(const char* source, const char* destination)
{
	if (source == nullptr || destination == nullptr || source[0] == '\0' || destination[0] == '\0')
		return false;
	struct stat st;
	return lstat(source, &st) == 0;
}

// The device of the volume that holds (or would hold) `path`.
int32 VolumeOf(const std::string& path)
{
	entry_ref ref;
	if (get_ref_for_path(path.c_str(), &ref) != B_OK)
		return -1;
	return ref.device;
}

bool FolderIsEmpty(const std::string& path)
{
	DIR* folder = opendir(path.c_str());
	if (folder == nullptr)
		return false;
	bool empty = true;
	while (struct dirent* item = readdir(folder)) {
		if (strcmp(item->d_name, ".") != 0 && strcmp(item->d_name, "..") != 0) {
			empty = false;
			break;
		}
	}
	closedir(folder);
	return empty;
}

bool MoveAcrossVolumes(const std::string& source, const std::string& target)
{
	struct stat st;
	if (lstat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && !FolderIsEmpty(target))
		return false;
	if (!CopyTo(source, target))
		return false;
	// Entries that came without a type (from a volume without attributes) get one.
	update_mime_info(target.c_str(), true, true, false);
	if (!LibUnlink(source.c_str())) {
		fprintf(stderr, "LibMove: copied but could not remove the source\n");
		return false;
	}
	return true;
}

} // namespace

bool LibCopy(const char* source, const char* destination)
{
	if (!CheckArguments(source, destination))
		return false;
	std::string target = Placement(source, destination);
	if (InsideSource(source, target))
		return false;
	return CopyTo(source, target);
}

bool LibMove(const char* source, const char* destination)
{
	if (!CheckArguments(source, destination))
		return false;
	std::string target = Placement(source, destination);
	if (InsideSource(source, target))
		return false;
	int32 from = VolumeOf(LibParentOf(source) + "/" + LibLeafOf(source));
	int32 to = VolumeOf(target);
	if (from < 0 || to < 0)
		return false;
	if (from == to) {
		if (host_rename_entry(source, target) == 0)
			return true;
		if (errno != EXDEV)
			return false;
	}
	return MoveAcrossVolumes(source, target);
}
