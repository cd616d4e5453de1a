// Attributes of symbolic links kept on their folder: keys, ownership marker,
// and carrying them through renames.
#include "LinkAttributes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <cstdio>

#include "RawAttributes.h"
#include "StorageHost.h"

namespace {

const std::string kLinkPrefix = "user.beos.link.";
const char kValueSeparator = '.';
const char kTypeSeparator = '#';

bool is_link(const std::string& path)
{
	struct stat st;
	return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// The inode number and, where the file system keeps it, the birth time: a
// rename keeps both, a new link with the same name has another.
bool link_identity(const std::string& path, std::string* identity)
{
	struct statx st;
	if (statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_INO | STATX_BTIME, &st) != 0)
		return false;
	*identity = std::to_string(st.stx_ino);
	if (st.stx_mask & STATX_BTIME)
		*identity += ":" + std::to_string(st.stx_btime.tv_sec) + "." +
		             std::to_string(st.stx_btime.tv_nsec);
	return true;
}

std::string marker_value(const std::string& leaf, const std::string& identity)
{
	return leaf + '\0' + identity;
}

status_t get_xattr(const std::string& path, const std::string& name, std::string* value)
{
	const int error = host_read_xattr(-1, path, name, value);
	if (error == 0)
		return B_OK;
	if (error == EBUSY)
		return B_BUSY;
	return error == ENODATA ? B_ENTRY_NOT_FOUND : status_from_errno(error);
}

// Every xattr of `folder` whose name starts with `key` followed by a separator.
std::vector<std::string> key_entries(const std::string& folder, const std::string& key)
{
	std::vector<std::string> found;
	std::string list;
	if (get_xattr(folder, std::string(), &list) != B_OK)
		return found;
	for (size_t start = 0; start < list.size();) {
		std::string xattr = list.c_str() + start;
		start += xattr.size() + 1;
		if (xattr.size() > key.size() && xattr.compare(0, key.size(), key) == 0 &&
		    (xattr[key.size()] == kValueSeparator || xattr[key.size()] == kTypeSeparator))
			found.push_back(xattr);
	}
	return found;
}

void remove_key(const std::string& folder, const std::string& key)
{
	for (const std::string& xattr : key_entries(folder, key))
		lremovexattr(folder.c_str(), xattr.c_str());
	lremovexattr(folder.c_str(), key.c_str());
}

// The canonical form of `path` (its folder resolved), or `path` itself.
std::string canonical(const std::string& path)
{
	std::string result;
	return host_entry_path(path.c_str(), false, &result) == B_OK ? result : path;
}

// The leaf stored in a marker value.
std::string marker_leaf(const std::string& marker)
{
	return marker.substr(0, marker.find('\0'));
}

} // namespace

uint64 host_name_hash(const std::string& text)
{
	uint64 hash = 14695981039346656037ull;
	for (unsigned char c : text) {
		hash ^= c;
		hash *= 1099511628211ull;
	}
	return hash;
}

std::string host_link_attr_key(const std::string& leaf)
{
	char digest[17];
	snprintf(digest, sizeof(digest), "%016llx", (unsigned long long)host_name_hash(leaf));
	return kLinkPrefix + digest;
}

std::string host_link_value_xattr(const std::string& key, const std::string& name)
{
	return key + kValueSeparator + name;
}

std::string host_link_type_xattr(const std::string& key, const std::string& name)
{
	return key + kTypeSeparator + name;
}

bool host_link_attr_name(const std::string& key, const std::string& xattr, std::string* name)
{
	if (xattr.size() <= key.size() + 1 || xattr.compare(0, key.size(), key) != 0 ||
	    xattr[key.size()] != kValueSeparator)
		return false;
	*name = xattr.substr(key.size() + 1);
	return true;
}

status_t host_link_attrs_owned(const std::string& linkPath)
{
	std::string leaf = host_leaf(linkPath);
	std::string marker;
	status_t status = get_xattr(host_parent(linkPath), host_link_attr_key(leaf), &marker);
	if (status != B_OK)
		return status;
	std::string identity;
	if (!link_identity(linkPath, &identity))
		return status_from_errno(errno);
	return marker == marker_value(leaf, identity) ? B_OK : B_ENTRY_NOT_FOUND;
}

status_t host_link_attrs_claim(const std::string& linkPath)
{
	status_t status = host_link_attrs_owned(linkPath);
	if (status != B_ENTRY_NOT_FOUND)
		return status;
	std::string folder = host_parent(linkPath);
	std::string leaf = host_leaf(linkPath);
	std::string key = host_link_attr_key(leaf);
	std::string marker;
	if (get_xattr(folder, key, &marker) == B_OK) {
		// Another live link whose leaf hashes alike keeps its attributes.
		std::string other = host_join(folder, marker_leaf(marker));
		std::string identity;
		if (marker_leaf(marker) != leaf && link_identity(other, &identity) && is_link(other) &&
		    marker == marker_value(marker_leaf(marker), identity))
			return B_NAME_IN_USE;
	}
	remove_key(folder, key);
	std::string identity;
	if (!link_identity(linkPath, &identity))
		return status_from_errno(errno);
	std::string value = marker_value(leaf, identity);
	if (lsetxattr(folder.c_str(), key.c_str(), value.data(), value.size(), 0) != 0)
		return errno == ENOTSUP ? B_NOT_SUPPORTED : status_from_errno(errno);
	return B_OK;
}

void host_link_attrs_drop(const std::string& linkPath)
{
	std::string path = canonical(linkPath);
	std::string folder = host_parent(path);
	std::string leaf = host_leaf(path);
	std::string key = host_link_attr_key(leaf);
	std::string marker;
	if (get_xattr(folder, key, &marker) != B_OK || marker_leaf(marker) != leaf)
		return;
	remove_key(folder, key);
}

void host_link_attrs_tidy(const std::string& linkPath)
{
	std::string folder = host_parent(linkPath);
	std::string key = host_link_attr_key(host_leaf(linkPath));
	if (key_entries(folder, key).empty())
		lremovexattr(folder.c_str(), key.c_str());
}

void host_link_attrs_save(const std::string& linkPath, HostLinkAttrs* saved)
{
	saved->clear();
	if (!is_link(linkPath) || host_link_attrs_owned(linkPath) != B_OK)
		return;
	std::string folder = host_parent(linkPath);
	std::string key = host_link_attr_key(host_leaf(linkPath));
	for (const std::string& xattr : key_entries(folder, key)) {
		std::string value;
		if (get_xattr(folder, xattr, &value) == B_OK)
			saved->emplace_back(xattr.substr(key.size()), value);
	}
}

status_t host_link_attrs_restore(const std::string& linkPath, const HostLinkAttrs& saved)
{
	if (saved.empty())
		return B_OK;
	status_t status = host_link_attrs_claim(linkPath);
	if (status != B_OK)
		return status;
	std::string folder = host_parent(linkPath);
	std::string key = host_link_attr_key(host_leaf(linkPath));
	for (const auto& [suffix, value] : saved) {
		std::string xattr = key + suffix;
		if (lsetxattr(folder.c_str(), xattr.c_str(), value.data(), value.size(), 0) != 0)
			return errno == ENOTSUP ? B_NOT_SUPPORTED : status_from_errno(errno);
	}
	return B_OK;
}

int host_rename_entry(const std::string& fromPath, const std::string& toPath)
{
	std::string from = canonical(fromPath);
	std::string to = canonical(toPath);
	HostLinkAttrs saved;
	host_link_attrs_save(from, &saved);
	bool replacesLink = is_link(to);
	if (rename(from.c_str(), to.c_str()) != 0)
		return -1;
	if (replacesLink)
		host_link_attrs_drop(to);
	host_link_attrs_restore(to, saved);
	// A rename onto the same link changes nothing and leaves `from` in place.
	if (!saved.empty() && !is_link(from))
		host_link_attrs_drop(from);
	return 0;
}
