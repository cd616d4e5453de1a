// BStatable: the stat-based questions every entry and node answers.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <string>

#include "StorageDefs.h"

class BVolume;

class BStatable {
public:
	virtual ~BStatable();

	// st_dev holds the volume's device id (see BVolume), not the host's.
	virtual status_t GetStat(struct stat* st) const;

	bool IsFile() const;
	bool IsDirectory() const;
	bool IsSymLink() const;

	status_t GetNodeRef(node_ref* ref) const;
	status_t GetOwner(uid_t* owner) const;
	status_t SetOwner(uid_t owner);
	status_t GetGroup(gid_t* group) const;
	status_t SetGroup(gid_t group);
	status_t GetPermissions(mode_t* permissions) const;
	// B_NOT_SUPPORTED on a symbolic link, which has no permissions of its own.
	status_t SetPermissions(mode_t permissions);
	status_t GetSize(off_t* size) const;
	status_t GetModificationTime(time_t* mtime) const;
	status_t SetModificationTime(time_t mtime);
	// The birth time where the file system records it, else the modification time.
	status_t GetCreationTime(time_t* ctime) const;
	// Linux cannot set a birth time: B_NOT_SUPPORTED.
	status_t SetCreationTime(time_t ctime);
	status_t GetAccessTime(time_t* atime) const;
	status_t SetAccessTime(time_t atime);
	status_t GetVolume(BVolume* volume) const;

protected:
	// What the object stands on: an open descriptor (or -1) and a path, and
	// whether links at the path are followed when no descriptor is open.
	struct HostTarget {
		int fd = -1;
		std::string path;
		bool follow = false;
	};
	virtual status_t _GetHostTarget(HostTarget* target) const = 0;

private:
	status_t _SetTimes(const struct timespec times[2]);
};
