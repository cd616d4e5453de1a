// BDirectory: folder iteration and creation of entries inside a folder.
#include "Directory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "Entry.h"
#include "File.h"
#include "MountTable.h"
#include "StorageHost.h"
#include "SymLink.h"

BDirectory::BDirectory() : fDir(nullptr) {}

BDirectory::BDirectory(const BDirectory& dir) : BNode(), fDir(nullptr)
{
	*this = dir;
}

BDirectory::BDirectory(const entry_ref* ref) : fDir(nullptr)
{
	SetTo(ref);
}

BDirectory::BDirectory(const BEntry* entry) : fDir(nullptr)
{
	SetTo(entry);
}

BDirectory::BDirectory(const char* path) : fDir(nullptr)
{
	SetTo(path);
}

BDirectory::BDirectory(const BDirectory* dir, const char* path) : fDir(nullptr)
{
	SetTo(dir, path);
}

BDirectory::~BDirectory()
{
	Unset();
}

status_t BDirectory::SetTo(const entry_ref* ref)
{
	Unset();
	std::string path;
	const status_t status = host_ref_path(ref, &path);
	if (status != B_OK)
		return _SetInitStatus(status);
	return SetTo(path.c_str());
}

status_t BDirectory::SetTo(const BEntry* entry)
{
	Unset();
	if (entry == nullptr || entry->InitCheck() != B_OK)
		return _SetInitStatus(B_BAD_VALUE);
	std::string path;
	status_t status = host_entry_path(entry->HostPath(), true, &path);
	if (status != B_OK)
		return _SetInitStatus(status);
	return _OpenFolder(path);
}

status_t BDirectory::SetTo(const char* path)
{
	return SetTo(nullptr, path);
}

status_t BDirectory::SetTo(const BDirectory* dir, const char* path)
{
	Unset();
	std::string canonical;
	status_t status = _Resolve(dir, path, true, &canonical);
	if (status != B_OK)
		return _SetInitStatus(status);
	return _OpenFolder(canonical);
}

void BDirectory::Unset()
{
	if (fDir != nullptr)
		closedir(fDir);
	fDir = nullptr;
	BNode::Unset();
}

status_t BDirectory::GetEntry(BEntry* entry) const
{
	if (entry == nullptr)
		return B_BAD_VALUE;
	if (InitCheck() != B_OK)
		return B_NO_INIT;
	return entry->SetTo(HostPath());
}

bool BDirectory::IsRootDirectory() const
{
	if (InitCheck() != B_OK)
		return false;
	VolumeRecord volume;
	return mount_table_find_path(HostPath(), &volume) && volume.root == HostPath();
}

status_t BDirectory::FindEntry(const char* path, BEntry* entry, bool traverse) const
{
	if (path == nullptr || entry == nullptr)
		return B_BAD_VALUE;
	if (InitCheck() != B_OK)
		return B_NO_INIT;
	status_t status = entry->SetTo(_ChildPath(path).c_str(), traverse);
	if (status == B_OK && !entry->Exists()) {
		entry->Unset();
		status = B_ENTRY_NOT_FOUND;
	}
	return status;
}

// The node kind flag of a stat mode.
static int32 node_flavor_of(mode_t mode)
{
	if (S_ISDIR(mode))
		return B_DIRECTORY_NODE;
	if (S_ISLNK(mode))
		return B_SYMLINK_NODE;
	return B_FILE_NODE;
}

bool BDirectory::Contains(const char* path, int32 nodeFlags) const
{
	if (path == nullptr || InitCheck() != B_OK)
		return false;
	BEntry entry(_ChildPath(path).c_str());
	return Contains(&entry, nodeFlags);
}

bool BDirectory::Contains(const BEntry* entry, int32 nodeFlags) const
{
	if (entry == nullptr || entry->InitCheck() != B_OK || InitCheck() != B_OK)
		return false;
	std::string folder = HostPath();
	std::string path = entry->HostPath();
	std::string prefix = folder == "/" ? folder : folder + "/";
	if (path.compare(0, prefix.size(), prefix) != 0 || path.size() == prefix.size())
		return false;
	struct stat st;
	if (lstat(path.c_str(), &st) != 0)
		return false;
	return (node_flavor_of(st.st_mode) & nodeFlags) != 0;
}

status_t BDirectory::GetStatFor(const char* path, struct stat* st) const
{
	if (path == nullptr || st == nullptr)
		return B_BAD_VALUE;
	if (InitCheck() != B_OK)
		return B_NO_INIT;
	return host_stat(_ChildPath(path), false, st);
}

status_t BDirectory::GetNextEntry(BEntry* entry, bool traverse)
{
	if (entry == nullptr)
		return B_BAD_VALUE;
	std::string name;
	status_t status = _NextName(&name);
	if (status != B_OK)
		return status;
	if (traverse || name.size() >= B_FILE_NAME_LENGTH)
		return entry->SetTo(host_join(HostPath(), name).c_str(), traverse);
	// The folder's path is canonical already: a child needs no resolving.
	entry->fPath = host_join(HostPath(), name);
	return entry->fStatus = B_OK;
}

status_t BDirectory::GetNextRef(entry_ref* ref)
{
	if (ref == nullptr)
		return B_BAD_VALUE;
	std::string name;
	status_t status = _NextName(&name);
	if (status != B_OK)
		return status;
	return host_make_ref(host_join(HostPath(), name), ref);
}

int32 BDirectory::GetNextDirents(struct dirent* buffer, size_t length, int32 count)
{
	if (buffer == nullptr)
		return B_BAD_VALUE;
	if (InitCheck() != B_OK || fDir == nullptr)
		return B_NO_INIT;
	int32 copied = 0;
	char* out = (char*)buffer;
	while (copied < count && length >= sizeof(struct dirent)) {
		struct dirent* next = readdir(fDir);
		if (next == nullptr)
			break;
		if (strcmp(next->d_name, ".") == 0 || strcmp(next->d_name, "..") == 0)
			continue;
		memcpy(out, next, sizeof(struct dirent));
		out += sizeof(struct dirent);
		length -= sizeof(struct dirent);
		copied++;
	}
	return copied;
}

status_t BDirectory::Rewind()
{
	if (InitCheck() != B_OK || fDir == nullptr)
		return B_NO_INIT;
	rewinddir(fDir);
	return B_OK;
}

int32 BDirectory::CountEntries()
{
	status_t status = Rewind();
	if (status != B_OK)
		return status;
	int32 count = 0;
	std::string name;
	while (_NextName(&name) == B_OK)
		count++;
	Rewind();
	return count;
}

status_t BDirectory::CreateDirectory(const char* path, BDirectory* dir)
{
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	if (InitCheck() != B_OK)
		return B_NO_INIT;
	std::string target = _ChildPath(path);
	if (mkdir(target.c_str(), 0777) != 0)
		return status_from_errno(errno);
	return dir == nullptr ? B_OK : dir->SetTo(target.c_str());
}

status_t BDirectory::CreateFile(const char* path, BFile* file, bool failIfExists)
{
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	if (InitCheck() != B_OK)
		return B_NO_INIT;
	uint32 mode = B_READ_WRITE | B_CREATE_FILE | (failIfExists ? B_FAIL_IF_EXISTS : B_ERASE_FILE);
	BFile created;
	BFile* target = file != nullptr ? file : &created;
	return target->SetTo(_ChildPath(path).c_str(), mode);
}

status_t BDirectory::CreateSymLink(const char* path, const char* linkToPath, BSymLink* link)
{
	if (path == nullptr || path[0] == '\0' || linkToPath == nullptr)
		return B_BAD_VALUE;
	if (InitCheck() != B_OK)
		return B_NO_INIT;
	std::string target = _ChildPath(path);
	if (symlink(linkToPath, target.c_str()) != 0)
		return status_from_errno(errno);
	return link == nullptr ? B_OK : link->SetTo(target.c_str());
}

BDirectory& BDirectory::operator=(const BDirectory& dir)
{
	if (this == &dir)
		return *this;
	Unset();
	if (dir.InitCheck() == B_OK)
		SetTo(dir.HostPath());
	return *this;
}

status_t BDirectory::_OpenFolder(const std::string& path)
{
	int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (fd < 0)
		return _SetInitStatus(status_from_errno(errno));
	int listing = openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	fDir = listing >= 0 ? fdopendir(listing) : nullptr;
	if (fDir == nullptr) {
		status_t status = status_from_errno(errno);
		if (listing >= 0)
			close(listing);
		close(fd);
		return _SetInitStatus(status);
	}
	return _SetHost(path, fd);
}

status_t BDirectory::_NextName(std::string* name)
{
	if (InitCheck() != B_OK || fDir == nullptr)
		return B_NO_INIT;
	for (;;) {
		errno = 0;
		struct dirent* next = readdir(fDir);
		if (next == nullptr)
			return errno == 0 ? B_ENTRY_NOT_FOUND : status_from_errno(errno);
		if (strcmp(next->d_name, ".") == 0 || strcmp(next->d_name, "..") == 0)
			continue;
		*name = next->d_name;
		return B_OK;
	}
}

std::string BDirectory::_ChildPath(const char* path) const
{
	if (path[0] == '/')
		return path;
	return host_join(HostPath(), path);
}

status_t create_directory(const char* path, mode_t mode)
{
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	std::string canonical;
	status_t status = host_entry_path(path, true, &canonical);
	if (status == B_ENTRY_NOT_FOUND) {
		// The folder above is missing: make it first.
		std::string absolute = path[0] == '/' ? std::string(path) : std::string();
		if (absolute.empty()) {
			char cwd[PATH_MAX];
			if (getcwd(cwd, sizeof(cwd)) == nullptr)
				return status_from_errno(errno);
			absolute = host_join(cwd, path);
		}
		while (absolute.size() > 1 && absolute.back() == '/')
			absolute.pop_back();
		std::string parent = host_parent(absolute);
		if (parent.empty() || parent == absolute)
			return B_ENTRY_NOT_FOUND;
		status = create_directory(parent.c_str(), mode);
		if (status != B_OK)
			return status;
		status = host_entry_path(absolute.c_str(), true, &canonical);
	}
	if (status != B_OK)
		return status;
	struct stat st;
	if (stat(canonical.c_str(), &st) == 0)
		return S_ISDIR(st.st_mode) ? B_OK : B_NOT_A_DIRECTORY;
	if (mkdir(canonical.c_str(), mode) != 0 && errno != EEXIST)
		return status_from_errno(errno);
	return B_OK;
}
