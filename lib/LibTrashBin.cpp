// Trash folders and their records, after the freedesktop trash rules.
#include "LibTrashBin.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "Errors.h"
#include "FindDirectory.h"
#include "LibFile.h"
#include "LibPathParts.h"
#include "LinkAttributes.h"
#include "MountTable.h"
#include "Path.h"

namespace {

std::atomic<int32> sHiddenCounter{0};

const char kRecordSuffix[] = ".trashinfo";
// A trashed leaf plus ".trashinfo" must still be a legal leaf.
const size_t kLeafLimit = B_FILE_NAME_LENGTH - 1 - (sizeof(kRecordSuffix) - 1);

bool LinuxLayout()
{
	const char* root = getenv("VANTRY_ROOT");
	return root == nullptr || root[0] == '\0';
}

// Percent-encodes a path for the "Path=" key of a record.
std::string EncodedPath(const std::string& path)
{
	static const char kHex[] = "0123456789ABCDEF";
	std::string text;
	for (unsigned char c : path) {
		if (isalnum(c) || strchr("/-_.~", c) != nullptr) {
			text += (char)c;
			continue;
		}
		text += '%';
		text += kHex[c >> 4];
		text += kHex[c & 15];
	}
	return text;
}

// A folder made for the trash, or one already there that is not a link and
// belongs to this user alone: a folder another user made or can enter would
// hand them what is trashed into it.
bool TrashFolder(const std::string& path, const mode_t& mode)
{
	mkdir(path.c_str(), mode);
	struct stat st;
	return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
	       (st.st_mode & 077) == 0 && access(path.c_str(), W_OK) == 0;
}

// A folder of the home trash: in the user's own home, only no link.
bool HomeTrashFolder(const std::string& path)
{
	mkdir(path.c_str(), 0700);
	struct stat st;
	return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && access(path.c_str(), W_OK) == 0;
}

// A volume's shared ".Trash" counts only as a real folder with the sticky bit,
// so that no user can take away another's folder in it.
bool SharedTrashUsable(const std::string& shared)
{
	struct stat st;
	return lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) != 0;
}

// The trash folder below a volume's top with its "files" and "info".
bool UsableTrash(const std::string& folder)
{
	return TrashFolder(folder, 0700) && TrashFolder(folder + "/files", 0700) &&
	       TrashFolder(folder + "/info", 0700);
}

} // namespace

LibTrashBin::LibTrashBin(const char* path) : fStatus(B_NO_INIT)
{
	if (path == nullptr || path[0] != '/') {
		fStatus = B_BAD_VALUE;
		return;
	}
	char canonical[PATH_MAX];
	std::string folder = LibParentOf(path);
	VolumeRecord volume;
	if (realpath(folder.c_str(), canonical) != nullptr &&
	    mount_table_find_path(canonical, &volume) && !volume.boot && SetToVolume(volume.root))
		return;
	SetToHome();
}

void LibTrashBin::SetToFolder(const char* folder)
{
	fInfo.clear();
	fTop.clear();
	fFiles = folder != nullptr ? folder : "";
	struct stat st;
	if (fFiles.empty() || stat(fFiles.c_str(), &st) != 0)
		fStatus = fFiles.empty() ? B_BAD_VALUE : status_from_errno(errno);
	else
		fStatus = S_ISDIR(st.st_mode) ? B_OK : B_NOT_A_DIRECTORY;
}

void LibTrashBin::SetToHome()
{
	BPath trash;
	fStatus = find_directory(B_TRASH_DIRECTORY, &trash, true);
	if (fStatus != B_OK)
		return;
	fFiles = trash.Path();
	fTop.clear();
	// The BeOS layout's trash keeps no records.
	fInfo = LinuxLayout() ? LibParentOf(fFiles) + "/info" : std::string();
	if (!fInfo.empty() && !HomeTrashFolder(fInfo))
		fStatus = B_NOT_ALLOWED;
}

bool LibTrashBin::SetToVolume(const std::string& top)
{
	const std::string uid = std::to_string(geteuid());
	const std::string shared = top + "/.Trash";
	std::string folder = shared + "/" + uid;
	if (!SharedTrashUsable(shared) || !UsableTrash(folder)) {
		folder = top + "/.Trash-" + uid;
		if (!UsableTrash(folder))
			return false;
	}
	fFiles = folder + "/files";
	fInfo = folder + "/info";
	fTop = top;
	fStatus = B_OK;
	return true;
}

std::string LibTrashBin::RecordPath(const std::string& name) const
{
	return fInfo + "/" + name + kRecordSuffix;
}

bool LibTrashBin::Occupied(const std::string& name) const
{
	return LibEntryExists(fFiles + "/" + name) ||
	       (!fInfo.empty() && LibEntryExists(RecordPath(name)));
}

std::string LibTrashBin::FreeName(const std::string& leaf) const
{
	for (int32 n = 0;; n++) {
		std::string name = LibCopyName(leaf, n, kLeafLimit);
		if (!Occupied(name))
			return name;
	}
}

status_t LibTrashBin::Put(const char* path, const std::string& name)
{
	if (fStatus != B_OK)
		return fStatus;
	if (path == nullptr || name.empty() || name.find('/') != std::string::npos)
		return B_BAD_VALUE;
	if (!LibEntryExists(path))
		return B_ENTRY_NOT_FOUND;
	const std::string target = fFiles + "/" + name;
	if (LibEntryExists(target))
		return B_FILE_EXISTS;
	std::string original = path;
	if (!fTop.empty() && original.compare(0, fTop.size() + 1, fTop + "/") == 0)
		original = original.substr(fTop.size() + 1);
	if (!fInfo.empty()) {
		status_t status = WriteNewFile(RecordPath(name), RecordText(original));
		if (status != B_OK)
			return status;
	}
	const status_t status = MoveWhole(path, target);
	if (status != B_OK && !fInfo.empty())
		unlink(RecordPath(name).c_str());
	return status;
}

status_t LibTrashBin::MoveWhole(const std::string& path, const std::string& target) const
{
	// On one volume a single rename: the entry is at one place or the other.
	if (host_rename_entry(path, target) == 0)
		return B_OK;
	if (errno != EXDEV)
		return status_from_errno(errno);
	// Across volumes the copy is made under a hidden name and takes the
	// target's name whole; the source goes only then, so a kill leaves the
	// entry whole where it was, in the trash, or in both.
	const std::string hidden = fFiles + "/.vantry-trash-" + std::to_string(getpid()) + "-" +
	                           std::to_string(sHiddenCounter.fetch_add(1));
	errno = 0;
	if (!LibCopy(path.c_str(), hidden.c_str())) {
		const int error = errno;
		LibUnlink(hidden.c_str());
		return error != 0 ? status_from_errno(error) : B_ERROR;
	}
	if (LibEntryExists(target) || host_rename_entry(hidden, target) != 0) {
		const status_t status = LibEntryExists(target) ? B_FILE_EXISTS : status_from_errno(errno);
		LibUnlink(hidden.c_str());
		return status;
	}
	errno = 0;
	if (!LibUnlink(path.c_str())) {
		// The entry stays where it was: the copy in the trash goes again.
		const int error = errno;
		LibUnlink(target.c_str());
		return error != 0 ? status_from_errno(error) : B_ERROR;
	}
	return B_OK;
}

status_t LibTrashBin::Remove(const std::string& name)
{
	if (fStatus != B_OK)
		return fStatus;
	if (name.empty() || name.find('/') != std::string::npos)
		return B_BAD_VALUE;
	errno = 0;
	if (!LibUnlink((fFiles + "/" + name).c_str()))
		return errno != 0 ? status_from_errno(errno) : B_ERROR;
	if (!fInfo.empty())
		unlink(RecordPath(name).c_str());
	return B_OK;
}

std::string LibTrashBin::RecordText(const std::string& original)
{
	time_t now = time(nullptr);
	struct tm local;
	localtime_r(&now, &local);
	char date[32];
	strftime(date, sizeof(date), "%Y-%m-%dT%H:%M:%S", &local);
	return "[Trash Info]\nPath=" + EncodedPath(original) + "\nDeletionDate=" + date + "\n";
}

status_t LibTrashBin::WriteNewFile(const std::string& path, const std::string& text)
{
	int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
	if (fd < 0)
		return errno == EEXIST ? B_FILE_EXISTS : status_from_errno(errno);
	bool ok = write(fd, text.data(), text.size()) == (ssize_t)text.size();
	ok = fsync(fd) == 0 && ok;
	const int error = errno;
	ok = close(fd) == 0 && ok;
	if (ok)
		return B_OK;
	unlink(path.c_str());
	return status_from_errno(error);
}
