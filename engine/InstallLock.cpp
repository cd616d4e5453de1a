// The lock of an installation folder.
#include "InstallLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace {

// A lock file removed by its last holder between our open and our flock is
// no lock anymore: the one at the path is taken instead.
const int kAttempts = 8;

pid_t ReadHolder(const int& fd)
{
	char text[32] = "";
	const ssize_t done = pread(fd, text, sizeof(text) - 1, 0);
	if (done <= 0)
		return 0;
	text[done] = '\0';
	return pid_t(atol(text));
}

bool StillAtPath(const int& fd, const std::string& path)
{
	struct stat held;
	struct stat named;
	return fstat(fd, &held) == 0 && stat(path.c_str(), &named) == 0 &&
	       held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// Only a regular file of the running user with no other name is a lock file:
// a hard link would have us overwrite the file it names, and another user's
// file could be held open against us.
bool IsOwnPlainFile(const int& fd)
{
	struct stat info;
	return fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_nlink == 1 &&
	       info.st_uid == geteuid();
}

} // namespace

InstallLock::InstallLock() : fFd(-1) {}

InstallLock::~InstallLock()
{
	Release();
}

std::string InstallLock::LockPath(const std::string& folder)
{
	const size_t slash = folder.find_last_of('/');
	const std::string parent = slash == std::string::npos ? "." : folder.substr(0, slash);
	const std::string leaf = slash == std::string::npos ? folder : folder.substr(slash + 1);
	return parent + "/.vantry-lock-" + leaf;
}

status_t InstallLock::Probe(const std::string& folder, pid_t& holder)
{
	holder = 0;
	const int fd = open(LockPath(folder).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
	if (fd < 0)
		return B_OK;
	// A shared lock is refused only while a run holds the exclusive one.
	status_t status = B_OK;
	if (IsOwnPlainFile(fd) && flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
		holder = ReadHolder(fd);
		status = B_BUSY;
	}
	close(fd);
	return status;
}

status_t InstallLock::Acquire(const std::string& folder, pid_t& holder)
{
	Release();
	holder = 0;
	const std::string path = LockPath(folder);
	for (int attempt = 0; attempt < kAttempts; attempt++) {
		// Never through a link and never truncated: whatever is at the path
		// is looked at before a byte of it is written.
		const int fd =
		        open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
		if (fd < 0) {
			struct stat there;
			// Another user's file in the way is no unwritable folder.
			if (errno == EACCES && lstat(path.c_str(), &there) == 0)
				return B_NOT_ALLOWED;
			if (errno == EACCES || errno == EROFS)
				return B_PERMISSION_DENIED;
			return errno == ELOOP || errno == EISDIR || errno == ENXIO ? B_NOT_ALLOWED : B_ERROR;
		}
		if (!IsOwnPlainFile(fd)) {
			close(fd);
			return B_NOT_ALLOWED;
		}
		if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
			const int error = errno;
			holder = ReadHolder(fd);
			close(fd);
			return error == EWOULDBLOCK ? B_BUSY : B_ERROR;
		}
		if (!StillAtPath(fd, path)) {
			close(fd);
			continue;
		}
		const std::string pid = std::to_string(getpid()) + "\n";
		// The lock holds without the number too; a waiting run then names none.
		const bool written = ftruncate(fd, 0) == 0 && pwrite(fd, pid.data(), pid.size(), 0) > 0;
		(void)written;
		fFd = fd;
		fPath = path;
		return B_OK;
	}
	return B_BUSY;
}

void InstallLock::Release()
{
	if (fFd < 0)
		return;
	// Removed while still held, so no one takes a lock on a file about to go.
	unlink(fPath.c_str());
	close(fFd);
	fFd = -1;
	fPath.clear();
}
