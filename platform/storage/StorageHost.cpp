// Path arithmetic, entry canonicalisation and device ids for the storage kit.
#include "StorageHost.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "MountTable.h"
#include "StorageDefs.h"

std::string host_join(const std::string& dir, const std::string& leaf)
{
	if (dir.empty())
		return leaf;
	if (leaf.empty())
		return dir;
	if (dir.back() == '/')
		return dir + leaf;
	return dir + "/" + leaf;
}

std::string host_leaf(const std::string& path)
{
	size_t slash = path.rfind('/');
	if (slash == std::string::npos)
		return path;
	return path.substr(slash + 1);
}

std::string host_parent(const std::string& path)
{
	if (path == "/" || path.empty())
		return "";
	size_t slash = path.rfind('/');
	if (slash == std::string::npos)
		return "";
	if (slash == 0)
		return "/";
	return path.substr(0, slash);
}

status_t host_parent_for(const status_t& status, const std::string& path, std::string* parent)
{
	if (status != B_OK)
		return B_NO_INIT;
	if (path == "/")
		return B_ENTRY_NOT_FOUND;
	*parent = host_parent(path);
	return B_OK;
}

// `path` made absolute against the current folder, trailing slashes dropped.
static status_t absolute_path(const char* path, std::string* out)
{
	std::string result;
	if (path[0] != '/') {
		char cwd[PATH_MAX];
		if (getcwd(cwd, sizeof(cwd)) == nullptr)
			return status_from_errno(errno);
		result = host_join(cwd, path);
	} else {
		result = path;
	}
	while (result.size() > 1 && result.back() == '/')
		result.pop_back();
	*out = result;
	return B_OK;
}

static status_t real_path(const std::string& path, std::string* out)
{
	char buffer[PATH_MAX];
	if (realpath(path.c_str(), buffer) == nullptr)
		return status_from_errno(errno);
	*out = buffer;
	return B_OK;
}

// The canonical path of the folder at `path`, as the kernel names the open
// folder: three system calls at any depth, where realpath() reads every
// component as a possible link. realpath() serves where /proc is missing.
static status_t real_folder(const std::string& path, std::string* out)
{
	const int fd = open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
	if (fd < 0)
		return status_from_errno(errno);
	char link[32];
	snprintf(link, sizeof(link), "/proc/self/fd/%d", fd);
	char buffer[PATH_MAX];
	const ssize_t length = readlink(link, buffer, sizeof(buffer) - 1);
	close(fd);
	if (length > 0 && buffer[0] == '/') {
		out->assign(buffer, (size_t)length);
		return B_OK;
	}
	status_t status = real_path(path, out);
	struct stat st;
	if (status == B_OK && stat(out->c_str(), &st) != 0)
		return status_from_errno(errno);
	return status == B_OK && !S_ISDIR(st.st_mode) ? B_NOT_A_DIRECTORY : status;
}

// One step: the folder resolved, the leaf kept as given.
static status_t resolve_folder(const std::string& absolute, std::string* out)
{
	std::string leaf = host_leaf(absolute);
	if (absolute == "/" || leaf == "." || leaf == "..")
		return real_path(absolute, out);
	if (leaf.size() >= B_FILE_NAME_LENGTH)
		return B_NAME_TOO_LONG;
	std::string folder;
	status_t status = real_folder(host_parent(absolute), &folder);
	if (status != B_OK)
		return status;
	*out = host_join(folder, leaf);
	return B_OK;
}

status_t host_entry_path(const char* path, bool traverse, std::string* out)
{
	if (path == nullptr || path[0] == '\0' || out == nullptr)
		return B_BAD_VALUE;
	std::string current;
	status_t status = absolute_path(path, &current);
	if (status == B_OK)
		status = resolve_folder(current, &current);
	for (int depth = 0; status == B_OK && traverse; depth++) {
		struct stat st;
		if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
			break;
		if (depth >= B_MAX_SYMLINKS)
			return B_LINK_LIMIT;
		char target[PATH_MAX];
		ssize_t length = readlink(current.c_str(), target, sizeof(target) - 1);
		if (length < 0)
			return status_from_errno(errno);
		target[length] = '\0';
		std::string next =
		        target[0] == '/' ? std::string(target) : host_join(host_parent(current), target);
		status = absolute_path(next.c_str(), &current);
		if (status == B_OK)
			status = resolve_folder(current, &current);
	}
	if (status == B_OK)
		*out = current;
	return status;
}

int32 host_encode_device(dev_t device)
{
	uint32 major = ::major(device);
	uint32 minor = ::minor(device);
	return (int32)(((minor & 0xff) | (major << 8) | ((minor & ~0xffu) << 12)) & 0x3fffffff);
}

int32 host_volume_device(const std::string& canonicalPath, dev_t hostDevice)
{
	VolumeRecord record;
	if (mount_table_simulated() && mount_table_find_path(canonicalPath, &record))
		return record.device;
	return host_encode_device(hostDevice);
}

status_t host_stat(const std::string& path, bool follow, struct stat* st)
{
	int result = follow ? stat(path.c_str(), st) : lstat(path.c_str(), st);
	if (result != 0)
		return status_from_errno(errno);
	st->st_dev = (dev_t)host_volume_device(path, st->st_dev);
	return B_OK;
}

status_t host_ref_path(const entry_ref& ref, std::string* out)
{
	if (ref.name == nullptr || ref.directory_path.empty())
		return B_BAD_VALUE;
	if (std::string(ref.name) == ".") {
		*out = ref.directory_path;
		return B_OK;
	}
	*out = host_join(ref.directory_path, ref.name);
	return B_OK;
}

status_t host_make_ref(const std::string& canonicalPath, entry_ref* ref)
{
	// The root folder has no parent: it names itself as "." in itself.
	bool isRoot = canonicalPath == "/";
	std::string folder = isRoot ? canonicalPath : host_parent(canonicalPath);
	struct stat st;
	status_t status = host_stat(folder, true, &st);
	if (status != B_OK)
		return status;
	ref->device = (int32)st.st_dev;
	ref->directory = (int64)st.st_ino;
	ref->directory_path = folder;
	return ref->set_name(isRoot ? "." : host_leaf(canonicalPath).c_str());
}

bool host_path_keeps_attributes(const std::string& canonicalPath)
{
	VolumeRecord record;
	if (!mount_table_simulated() || !mount_table_find_path(canonicalPath, &record))
		return true;
	return record.native;
}

status_t get_ref_for_path(const char* path, entry_ref* ref)
{
	if (path == nullptr || ref == nullptr)
		return B_BAD_VALUE;
	std::string canonical;
	status_t status = host_entry_path(path, false, &canonical);
	if (status != B_OK)
		return status;
	return host_make_ref(canonical, ref);
}

status_t host_ref_path(const entry_ref* ref, std::string* out)
{
	return ref == nullptr ? B_BAD_VALUE : host_ref_path(*ref, out);
}

status_t get_path_for_ref(const entry_ref* ref, char* path, int32 length)
{
	if (ref == nullptr || path == nullptr || length <= 0)
		return B_BAD_VALUE;
	std::string result;
	status_t status = host_ref_path(*ref, &result);
	if (status != B_OK)
		return status;
	if ((int32)result.size() >= length)
		return B_BUFFER_OVERFLOW;
	result.copy(path, result.size());
	path[result.size()] = '\0';
	return B_OK;
}
