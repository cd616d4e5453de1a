// BEntry: entries by canonical path, renamed and removed in place.
#include "Entry.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "Directory.h"
#include "LinkAttributes.h"
#include "Path.h"
#include "StorageHost.h"

BEntry::BEntry() : fStatus(B_NO_INIT) {}

BEntry::BEntry(const BDirectory* dir, const char* path, bool traverse) : fStatus(B_NO_INIT)
{
	SetTo(dir, path, traverse);
}

BEntry::BEntry(const entry_ref* ref, bool traverse) : fStatus(B_NO_INIT)
{
	SetTo(ref, traverse);
}

BEntry::BEntry(const char* path, bool traverse) : fStatus(B_NO_INIT)
{
	SetTo(path, traverse);
}

BEntry::BEntry(const BEntry& entry) : BStatable(), fPath(entry.fPath), fStatus(entry.fStatus) {}

BEntry::~BEntry() {}

bool BEntry::Exists() const
{
	struct stat st;
	return fStatus == B_OK && lstat(fPath.c_str(), &st) == 0;
}

status_t BEntry::SetTo(const BDirectory* dir, const char* path, bool traverse)
{
	Unset();
	if (dir == nullptr || dir->InitCheck() != B_OK)
		return fStatus = B_BAD_VALUE;
	if (path == nullptr || path[0] == '\0')
		return SetTo(dir->HostPath(), traverse);
	if (path[0] == '/')
		return SetTo(path, traverse);
	return SetTo(host_join(dir->HostPath(), path).c_str(), traverse);
}

status_t BEntry::SetTo(const entry_ref* ref, bool traverse)
{
	Unset();
	std::string path;
	fStatus = host_ref_path(ref, &path);
	if (fStatus != B_OK)
		return fStatus;
	return SetTo(path.c_str(), traverse);
}

status_t BEntry::SetTo(const char* path, bool traverse)
{
	Unset();
	if (path == nullptr || path[0] == '\0')
		return fStatus = B_BAD_VALUE;
	std::string canonical;
	fStatus = host_entry_path(path, traverse, &canonical);
	if (fStatus == B_OK)
		fPath = canonical;
	return fStatus;
}

void BEntry::Unset()
{
	fPath.clear();
	fStatus = B_NO_INIT;
}

status_t BEntry::GetRef(entry_ref* ref) const
{
	if (ref == nullptr)
		return B_BAD_VALUE;
	if (fStatus != B_OK)
		return B_NO_INIT;
	return host_make_ref(fPath, ref);
}

status_t BEntry::GetPath(BPath* path) const
{
	if (path == nullptr)
		return B_BAD_VALUE;
	if (fStatus != B_OK)
		return B_NO_INIT;
	return path->SetTo(fPath.c_str());
}

status_t BEntry::GetParent(BEntry* entry) const
{
	std::string parent;
	const status_t status =
	        entry == nullptr ? B_BAD_VALUE : host_parent_for(fStatus, fPath, &parent);
	return status != B_OK ? status : entry->SetTo(parent.c_str());
}

status_t BEntry::GetParent(BDirectory* dir) const
{
	std::string parent;
	const status_t status = dir == nullptr ? B_BAD_VALUE : host_parent_for(fStatus, fPath, &parent);
	return status != B_OK ? status : dir->SetTo(parent.c_str());
}

status_t BEntry::GetName(char* buffer) const
{
	if (buffer == nullptr)
		return B_BAD_VALUE;
	if (fStatus != B_OK)
		return B_NO_INIT;
	std::string leaf = fPath == "/" ? "/" : host_leaf(fPath);
	if (leaf.size() >= B_FILE_NAME_LENGTH)
		return B_NAME_TOO_LONG;
	memcpy(buffer, leaf.c_str(), leaf.size() + 1);
	return B_OK;
}

status_t BEntry::Rename(const char* path, bool clobber)
{
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	if (fStatus != B_OK)
		return B_NO_INIT;
	std::string target = path[0] == '/' ? std::string(path) : host_join(host_parent(fPath), path);
	return _MoveTo(target, clobber);
}

status_t BEntry::MoveTo(BDirectory* dir, const char* path, bool clobber)
{
	if (dir == nullptr || dir->InitCheck() != B_OK)
		return B_BAD_VALUE;
	if (fStatus != B_OK)
		return B_NO_INIT;
	std::string leaf = path == nullptr ? host_leaf(fPath) : std::string(path);
	if (leaf.empty())
		return B_BAD_VALUE;
	std::string target = leaf[0] == '/' ? leaf : host_join(dir->HostPath(), leaf);
	return _MoveTo(target, clobber);
}

status_t BEntry::Remove()
{
	if (fStatus != B_OK)
		return B_NO_INIT;
	struct stat st;
	if (lstat(fPath.c_str(), &st) != 0)
		return status_from_errno(errno);
	int result = S_ISDIR(st.st_mode) ? rmdir(fPath.c_str()) : unlink(fPath.c_str());
	if (result != 0)
		return status_from_errno(errno);
	// A link's attributes live on its folder: they go with it.
	if (S_ISLNK(st.st_mode))
		host_link_attrs_drop(fPath);
	return B_OK;
}

bool BEntry::operator==(const BEntry& item) const
{
	if (fStatus != B_OK || item.fStatus != B_OK)
		return fStatus != B_OK && item.fStatus != B_OK;
	return fPath == item.fPath;
}

BEntry& BEntry::operator=(const BEntry& item)
{
	fPath = item.fPath;
	fStatus = item.fStatus;
	return *this;
}

status_t BEntry::_GetHostTarget(HostTarget* target) const
{
	if (fStatus != B_OK)
		return B_NO_INIT;
	target->fd = -1;
	target->path = fPath;
	target->follow = false;
	return B_OK;
}

// The volume of the folder that holds `path` (which need not exist).
static int32 folder_device(const std::string& path)
{
	struct stat st;
	if (host_stat(host_parent(path), true, &st) != B_OK)
		return -1;
	return (int32)st.st_dev;
}

status_t BEntry::_MoveTo(const std::string& target, bool clobber)
{
	std::string canonical;
	status_t status = host_entry_path(target.c_str(), false, &canonical);
	if (status != B_OK)
		return status;
	if (canonical == fPath)
		return B_OK;
	// Simulated volumes share one host file system: keep them apart as real ones are.
	if (folder_device(fPath) != folder_device(canonical))
		return B_CROSS_DEVICE_LINK;
	// A link's folder-kept attributes follow it; a replaced link's are dropped.
	HostLinkAttrs saved;
	host_link_attrs_save(fPath, &saved);
	struct stat targetStat;
	bool replacesLink = lstat(canonical.c_str(), &targetStat) == 0 && S_ISLNK(targetStat.st_mode);
	int result = renameat2(AT_FDCWD, fPath.c_str(), AT_FDCWD, canonical.c_str(),
	                       clobber ? 0 : RENAME_NOREPLACE);
	if (result != 0 && errno == EINVAL && !clobber) {
		struct stat st;
		if (lstat(canonical.c_str(), &st) == 0)
			return B_FILE_EXISTS;
		result = rename(fPath.c_str(), canonical.c_str());
	}
	if (result != 0)
		return status_from_errno(errno);
	if (replacesLink)
		host_link_attrs_drop(canonical);
	host_link_attrs_restore(canonical, saved);
	if (!saved.empty())
		host_link_attrs_drop(fPath);
	fPath = canonical;
	return B_OK;
}
