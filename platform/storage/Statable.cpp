// BStatable: stat and its setters on a descriptor or a path.
#include "Statable.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "StorageHost.h"
#include "Volume.h"

BStatable::~BStatable() {}

status_t BStatable::GetStat(struct stat* st) const
{
	if (st == nullptr)
		return B_BAD_VALUE;
	HostTarget target;
	status_t status = _GetHostTarget(&target);
	if (status != B_OK)
		return status;
	if (target.fd < 0)
		return host_stat(target.path, target.follow, st);
	if (fstat(target.fd, st) != 0)
		return status_from_errno(errno);
	st->st_dev = (dev_t)host_volume_device(target.path, st->st_dev);
	return B_OK;
}

bool BStatable::IsFile() const
{
	struct stat st;
	return GetStat(&st) == B_OK && S_ISREG(st.st_mode);
}

bool BStatable::IsDirectory() const
{
	struct stat st;
	return GetStat(&st) == B_OK && S_ISDIR(st.st_mode);
}

bool BStatable::IsSymLink() const
{
	struct stat st;
	return GetStat(&st) == B_OK && S_ISLNK(st.st_mode);
}

status_t BStatable::GetNodeRef(node_ref* ref) const
{
	if (ref == nullptr)
		return B_BAD_VALUE;
	struct stat st;
	status_t status = GetStat(&st);
	if (status != B_OK)
		return status;
	ref->device = (int32)st.st_dev;
	ref->node = (int64)st.st_ino;
	return B_OK;
}

status_t BStatable::GetOwner(uid_t* owner) const
{
	struct stat st;
	status_t status = owner == nullptr ? B_BAD_VALUE : GetStat(&st);
	if (status == B_OK)
		*owner = st.st_uid;
	return status;
}

// Changes owner and group; -1 leaves one unchanged.
static status_t change_owner(const char* path, int fd, bool follow, uid_t owner, gid_t group)
{
	int result = fd >= 0 ? fchown(fd, owner, group)
	                     : (follow ? chown(path, owner, group) : lchown(path, owner, group));
	return result == 0 ? B_OK : status_from_errno(errno);
}

status_t BStatable::SetOwner(uid_t owner)
{
	HostTarget target;
	status_t status = _GetHostTarget(&target);
	if (status != B_OK)
		return status;
	return change_owner(target.path.c_str(), target.fd, target.follow, owner, (gid_t)-1);
}

status_t BStatable::GetGroup(gid_t* group) const
{
	struct stat st;
	status_t status = group == nullptr ? B_BAD_VALUE : GetStat(&st);
	if (status == B_OK)
		*group = st.st_gid;
	return status;
}

status_t BStatable::SetGroup(gid_t group)
{
	HostTarget target;
	status_t status = _GetHostTarget(&target);
	if (status != B_OK)
		return status;
	return change_owner(target.path.c_str(), target.fd, target.follow, (uid_t)-1, group);
}

status_t BStatable::GetPermissions(mode_t* permissions) const
{
	struct stat st;
	status_t status = permissions == nullptr ? B_BAD_VALUE : GetStat(&st);
	if (status == B_OK)
		*permissions = st.st_mode & ~S_IFMT;
	return status;
}

status_t BStatable::SetPermissions(mode_t permissions)
{
	HostTarget target;
	status_t status = _GetHostTarget(&target);
	if (status != B_OK)
		return status;
	if (target.fd >= 0)
		return fchmod(target.fd, permissions) == 0 ? B_OK : status_from_errno(errno);
	if (!target.follow && IsSymLink())
		return B_NOT_SUPPORTED;
	return chmod(target.path.c_str(), permissions) == 0 ? B_OK : status_from_errno(errno);
}

status_t BStatable::GetSize(off_t* size) const
{
	struct stat st;
	status_t status = size == nullptr ? B_BAD_VALUE : GetStat(&st);
	if (status == B_OK)
		*size = st.st_size;
	return status;
}

status_t BStatable::GetModificationTime(time_t* mtime) const
{
	struct stat st;
	status_t status = mtime == nullptr ? B_BAD_VALUE : GetStat(&st);
	if (status == B_OK)
		*mtime = st.st_mtime;
	return status;
}

status_t BStatable::SetModificationTime(time_t mtime)
{
	struct timespec times[2] = {{0, UTIME_OMIT}, {mtime, 0}};
	return _SetTimes(times);
}

status_t BStatable::GetCreationTime(time_t* ctime) const
{
	if (ctime == nullptr)
		return B_BAD_VALUE;
	HostTarget target;
	status_t status = _GetHostTarget(&target);
	if (status != B_OK)
		return status;
	struct statx stx;
	int result =
	        target.fd >= 0
	                ? statx(target.fd, "", AT_EMPTY_PATH, STATX_BTIME | STATX_MTIME, &stx)
	                : statx(AT_FDCWD, target.path.c_str(), target.follow ? 0 : AT_SYMLINK_NOFOLLOW,
	                        STATX_BTIME | STATX_MTIME, &stx);
	if (result != 0)
		return status_from_errno(errno);
	*ctime = (stx.stx_mask & STATX_BTIME) != 0 ? stx.stx_btime.tv_sec : stx.stx_mtime.tv_sec;
	return B_OK;
}

status_t BStatable::SetCreationTime(time_t ctime)
{
	return B_NOT_SUPPORTED;
}

status_t BStatable::GetAccessTime(time_t* atime) const
{
	struct stat st;
	status_t status = atime == nullptr ? B_BAD_VALUE : GetStat(&st);
	if (status == B_OK)
		*atime = st.st_atime;
	return status;
}

status_t BStatable::SetAccessTime(time_t atime)
{
	struct timespec times[2] = {{atime, 0}, {0, UTIME_OMIT}};
	return _SetTimes(times);
}

status_t BStatable::GetVolume(BVolume* volume) const
{
	if (volume == nullptr)
		return B_BAD_VALUE;
	struct stat st;
	status_t status = GetStat(&st);
	if (status != B_OK)
		return status;
	return volume->SetTo((dev_t_b)st.st_dev);
}

status_t BStatable::_SetTimes(const struct timespec times[2])
{
	HostTarget target;
	status_t status = _GetHostTarget(&target);
	if (status != B_OK)
		return status;
	int result = target.fd >= 0 ? futimens(target.fd, times)
	                            : utimensat(AT_FDCWD, target.path.c_str(), times,
	                                        target.follow ? 0 : AT_SYMLINK_NOFOLLOW);
	return result == 0 ? B_OK : status_from_errno(errno);
}
