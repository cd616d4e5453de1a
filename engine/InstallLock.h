// InstallLock: one installation at a time per installation folder. The lock
// is an flock on a hidden file beside the folder, so the kernel releases it
// when its holder ends, however it ends; the file itself goes at Release.
#pragma once

#include <sys/types.h>

#include <string>

#include "SupportDefs.h"

class InstallLock {
public:
	InstallLock();
	~InstallLock();

	// Takes the lock of the installation folder `folder`. B_BUSY when
	// another run holds it, with its process id in `holder` (0 when it has
	// not written it yet); B_NOT_ALLOWED when something other than a lock
	// file of this user is at its path (a link, a folder, a file with another
	// name or owner); B_PERMISSION_DENIED when the folder cannot be written.
	status_t Acquire(const std::string& folder, pid_t& holder);
	void Release();
	// Whether another run holds the lock of `folder`, without taking it or
	// making its file: B_BUSY with the holder's process id, else B_OK.
	static status_t Probe(const std::string& folder, pid_t& holder);

	// The lock file of `folder`: ".vantry-lock-<leaf>" in its parent.
	static std::string LockPath(const std::string& folder);

private:
	InstallLock(const InstallLock&) = delete;
	InstallLock& operator=(const InstallLock&) = delete;

	int fFd;
	std::string fPath;
};
