// Walking an install item and reading the attributes of its entries.
#include "ItemScan.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include "Node.h"

namespace {

std::string errno_text(const std::string& what, const std::string& path, int error)
{
	return what + " " + path + ": " + strerror(error);
}

// False only when the entry's extended attributes were listed and none is
// in the user namespace, where every attribute of ours lives: one system
// call instead of resolving the path and opening the node.
bool may_have_attributes(const std::string& path, int fd)
{
	char names[4096];
	const ssize_t length = fd >= 0 ? flistxattr(fd, names, sizeof(names))
	                               : listxattr(path.c_str(), names, sizeof(names));
	if (length < 0)
		return true;
	for (ssize_t at = 0; at < length;
	     at += (ssize_t)strnlen(names + at, (size_t)(length - at)) + 1) {
		if (strncmp(names + at, "user.", 5) == 0)
			return true;
	}
	return false;
}

status_t entry_kind(const std::string& path, const struct stat& info, EntryKind* kind,
                    std::string* error)
{
	if (S_ISREG(info.st_mode))
		*kind = EntryKind::kFile;
	else if (S_ISDIR(info.st_mode))
		*kind = EntryKind::kFolder;
	else if (S_ISLNK(info.st_mode))
		*kind = EntryKind::kLink;
	else {
		*error = "cannot archive " + path + ": neither a file, a folder nor a link";
		return B_NOT_SUPPORTED;
	}
	return B_OK;
}

status_t sorted_children(const std::string& path, std::vector<std::string>* names,
                         std::string* error)
{
	DIR* folder = opendir(path.c_str());
	if (folder == nullptr) {
		*error = errno_text("cannot read the folder", path, errno);
		return B_IO_ERROR;
	}
	while (struct dirent* child = readdir(folder)) {
		if (strcmp(child->d_name, ".") != 0 && strcmp(child->d_name, "..") != 0)
			names->push_back(child->d_name);
	}
	closedir(folder);
	std::sort(names->begin(), names->end());
	return B_OK;
}

using EntryFound = std::function<void(const ItemEntry&)>;

status_t scan_folder(const std::string& path, const std::string& name,
                     std::deque<ItemEntry>* entries, std::string* error, const EntryFound& found)
{
	std::vector<std::string> children;
	status_t status = sorted_children(path, &children, error);
	for (size_t i = 0; status == B_OK && i < children.size(); i++) {
		ItemEntry entry;
		entry.path = path + "/" + children[i];
		entry.name = name + children[i];
		if (lstat(entry.path.c_str(), &entry.info) != 0) {
			*error = errno_text("cannot read", entry.path, errno);
			return B_IO_ERROR;
		}
		status = entry_kind(entry.path, entry.info, &entry.kind, error);
		if (status != B_OK)
			return status;
		if (entry.kind == EntryKind::kFolder)
			entry.name += "/";
		entries->push_back(entry);
		if (found)
			found(entry);
		if (entry.kind == EntryKind::kFolder)
			status = scan_folder(entry.path, entry.name, entries, error, found);
	}
	return status;
}

} // namespace

status_t scan_item(const std::string& source, const std::string& leaf,
                   std::deque<ItemEntry>* entries, std::string* error, const EntryFound& found)
{
	if (entries == nullptr || error == nullptr || leaf.empty())
		return B_BAD_VALUE;
	entries->clear();
	ItemEntry top;
	top.path = source;
	top.name = leaf;
	if (stat(source.c_str(), &top.info) != 0) {
		*error = errno_text("cannot read", source, errno);
		return B_ENTRY_NOT_FOUND;
	}
	status_t status = entry_kind(source, top.info, &top.kind, error);
	if (status != B_OK)
		return status;
	if (top.kind == EntryKind::kFolder)
		top.name += "/";
	entries->push_back(top);
	if (found)
		found(top);
	if (top.kind != EntryKind::kFolder)
		return B_OK;
	return scan_folder(source, top.name, entries, error, found);
}

status_t read_entry_attributes(const std::string& path, EntryKind kind,
                               std::vector<PayloadAttribute>* attributes, std::string* error,
                               int fd)
{
	attributes->clear();
	if (kind == EntryKind::kLink || !may_have_attributes(path, fd))
		return B_OK;
	char resolved[PATH_MAX];
	if (realpath(path.c_str(), resolved) == nullptr) {
		*error = errno_text("cannot read", path, errno);
		return B_ENTRY_NOT_FOUND;
	}
	BNode node(resolved);
	if (node.InitCheck() != B_OK) {
		*error = "cannot open " + path + " to read its attributes";
		return node.InitCheck();
	}
	char name[B_ATTR_NAME_LENGTH + 1];
	while (node.GetNextAttrName(name) == B_OK) {
		attr_info info;
		if (node.GetAttrInfo(name, &info) != B_OK)
			continue;
		PayloadAttribute record;
		record.name = name;
		record.type = info.type;
		record.data.resize((size_t)info.size);
		ssize_t read = node.ReadAttr(name, info.type, 0, record.data.data(), record.data.size());
		if (read < 0) {
			*error = "cannot read the attribute " + record.name + " of " + path;
			return (status_t)read;
		}
		record.data.resize((size_t)read);
		attributes->push_back(record);
	}
	std::sort(attributes->begin(), attributes->end(),
	          [](const PayloadAttribute& a, const PayloadAttribute& b) { return a.name < b.name; });
	return B_OK;
}
