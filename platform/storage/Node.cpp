// BNode: nodes opened without following links; attributes as user xattrs.
#include "Node.h"

#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "Directory.h"
#include "Entry.h"
#include "LinkAttributes.h"
#include "RawAttributes.h"
#include "StorageHost.h"
#include "TypeConstants.h"

namespace {

const char kTypeName[] = "BEOS:TYPE";
const std::string kUserPrefix = "user.";
const std::string kMimeXattr = "user.mime_type";
const std::string kTypePrefix = "user.beos.type.";
const std::string kEscapedPrefix = "user.beos.name.";
const size_t kXattrNameMax = 255;

bool starts_with(const std::string& text, const std::string& prefix)
{
	return text.compare(0, prefix.size(), prefix) == 0;
}

std::string value_xattr(const std::string& name)
{
	if (name == kTypeName)
		return kMimeXattr;
	if (name == "mime_type" || starts_with(name, "beos."))
		return kEscapedPrefix + name;
	return kUserPrefix + name;
}

std::string type_xattr(const std::string& name)
{
	std::string xattr = kTypePrefix + name;
	if (xattr.size() <= kXattrNameMax)
		return xattr;
	char digest[20];
	snprintf(digest, sizeof(digest), "#%016llx", (unsigned long long)host_name_hash(name));
	return kTypePrefix + digest;
}

// The attribute name an xattr stands for; false for companions and
// xattrs outside the user namespace.
bool attribute_name(const std::string& xattr, std::string* name)
{
	if (xattr == kMimeXattr) {
		*name = kTypeName;
		return true;
	}
	if (starts_with(xattr, kEscapedPrefix)) {
		*name = xattr.substr(kEscapedPrefix.size());
		return true;
	}
	if (!starts_with(xattr, kUserPrefix) || starts_with(xattr, "user.beos."))
		return false;
	*name = xattr.substr(kUserPrefix.size());
	return true;
}

bool printable_text(const std::string& value)
{
	size_t length = value.size();
	if (length > 0 && value[length - 1] == '\0')
		length--;
	for (size_t i = 0; i < length; i++) {
		unsigned char c = (unsigned char)value[i];
		if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
			return false;
		if (c == 0x7f)
			return false;
	}
	return true;
}

type_code implied_type(const std::string& name, const std::string& value)
{
	if (name == kTypeName)
		return B_MIME_STRING_TYPE;
	return printable_text(value) ? B_STRING_TYPE : B_RAW_TYPE;
}

} // namespace

BNode::BNode()
    : fFd(-1), fStatus(B_NO_INIT), fIsLink(false), fAttrsSupported(true), fAttrIndex(0),
      fAttrsListed(false)
{
}

BNode::BNode(const entry_ref* ref) : BNode()
{
	SetTo(ref);
}

BNode::BNode(const BEntry* entry) : BNode()
{
	SetTo(entry);
}

BNode::BNode(const char* path) : BNode()
{
	SetTo(path);
}

BNode::BNode(const BDirectory* dir, const char* path) : BNode()
{
	SetTo(dir, path);
}

BNode::BNode(const BNode& node) : BNode()
{
	*this = node;
}

BNode::~BNode()
{
	Unset();
}

status_t BNode::SetTo(const entry_ref* ref)
{
	Unset();
	std::string path;
	fStatus = host_ref_path(ref, &path);
	if (fStatus != B_OK)
		return fStatus;
	return SetTo(path.c_str());
}

status_t BNode::SetTo(const BEntry* entry)
{
	Unset();
	if (entry == nullptr || entry->InitCheck() != B_OK)
		return fStatus = B_BAD_VALUE;
	return _OpenNode(entry->HostPath());
}

status_t BNode::SetTo(const char* path)
{
	return SetTo(nullptr, path);
}

status_t BNode::SetTo(const BDirectory* dir, const char* path)
{
	Unset();
	std::string canonical;
	fStatus = _Resolve(dir, path, false, &canonical);
	if (fStatus != B_OK)
		return fStatus;
	return _OpenNode(canonical);
}

void BNode::Unset()
{
	if (fFd >= 0)
		close(fFd);
	fFd = -1;
	fPath.clear();
	fStatus = B_NO_INIT;
	fAttrPath.clear();
	fLinkKey.clear();
	fIsLink = false;
	fAttrsSupported = true;
	fAttrNames.clear();
	fAttrIndex = 0;
	fAttrsListed = false;
}

status_t BNode::Lock()
{
	return fStatus == B_OK ? B_OK : B_NO_INIT;
}

status_t BNode::Unlock()
{
	return fStatus == B_OK ? B_OK : B_NO_INIT;
}

status_t BNode::Sync()
{
	if (fStatus != B_OK)
		return B_NO_INIT;
	if (fFd < 0)
		return B_OK;
	return fsync(fFd) == 0 ? B_OK : status_from_errno(errno);
}

ssize_t BNode::WriteAttr(const char* name, type_code type, off_t offset, const void* buffer,
                         size_t length)
{
	status_t status = _CheckName(name);
	if (status == B_OK && (offset < 0 || (buffer == nullptr && length > 0)))
		status = B_BAD_VALUE;
	if (status == B_OK)
		status = _CheckAttrs();
	if (status != B_OK)
		return status;
	std::string value;
	if (offset > 0) {
		type_code oldType;
		status = _ReadAttr(name, &value, &oldType);
		if (status != B_OK && status != B_ENTRY_NOT_FOUND)
			return status;
	}
	if (value.size() < (size_t)offset + length)
		value.resize((size_t)offset + length, '\0');
	if (length > 0)
		memcpy(&value[offset], buffer, length);
	status = _WriteAttr(name, type, value);
	return status == B_OK ? (ssize_t)length : status;
}

// Reads attribute `name` after the checks every reader makes: a valid name,
// valid arguments (`valid`), a node whose volume keeps attributes.
status_t BNode::_ReadChecked(const char* name, const bool& valid, std::string* value,
                             type_code* type) const
{
	status_t status = _CheckName(name);
	if (status == B_OK && !valid)
		status = B_BAD_VALUE;
	if (status == B_OK)
		status = _CheckAttrs();
	return status == B_OK ? _ReadAttr(name, value, type) : status;
}

ssize_t BNode::ReadAttr(const char* name, type_code type, off_t offset, void* buffer,
                        size_t length) const
{
	std::string value;
	type_code storedType;
	const status_t status = _ReadChecked(name, offset >= 0 && (buffer != nullptr || length == 0),
	                                     &value, &storedType);
	if (status != B_OK)
		return status;
	if ((size_t)offset >= value.size())
		return 0;
	size_t count = std::min(length, value.size() - (size_t)offset);
	memcpy(buffer, value.data() + offset, count);
	return (ssize_t)count;
}

status_t BNode::RemoveAttr(const char* name)
{
	status_t status = _CheckName(name);
	if (status == B_OK)
		status = _CheckAttrs();
	if (status != B_OK)
		return status;
	if (fIsLink && (status = host_link_attrs_owned(fPath)) != B_OK)
		return status;
	status = _RemoveValue(_ValueXattr(name));
	if (status == B_OK)
		_RemoveValue(_TypeXattr(name));
	if (status == B_OK && fIsLink)
		host_link_attrs_tidy(fPath);
	return status;
}

status_t BNode::RenameAttr(const char* oldName, const char* newName)
{
	status_t status = _CheckName(oldName);
	if (status == B_OK)
		status = _CheckName(newName);
	if (status == B_OK)
		status = _CheckAttrs();
	if (status != B_OK)
		return status;
	std::string value;
	type_code type;
	status = _ReadAttr(oldName, &value, &type);
	if (status == B_OK)
		status = _WriteAttr(newName, type, value);
	if (status == B_OK && strcmp(oldName, newName) != 0)
		status = RemoveAttr(oldName);
	return status;
}

status_t BNode::GetAttrInfo(const char* name, attr_info* info) const
{
	std::string value;
	type_code type;
	const status_t status = _ReadChecked(name, info != nullptr, &value, &type);
	if (status != B_OK)
		return status;
	info->type = type;
	info->size = (off_t)value.size();
	return B_OK;
}

status_t BNode::GetNextAttrName(char* buffer)
{
	if (buffer == nullptr)
		return B_BAD_VALUE;
	status_t status = _CheckAttrs();
	if (status != B_OK)
		return status;
	if (!fAttrsListed) {
		status = _ListAttrs();
		if (status != B_OK)
			return status;
		fAttrsListed = true;
		fAttrIndex = 0;
	}
	if (fAttrIndex >= fAttrNames.size())
		return B_ENTRY_NOT_FOUND;
	const std::string& name = fAttrNames[fAttrIndex++];
	size_t length = std::min(name.size(), (size_t)B_ATTR_NAME_LENGTH - 1);
	memcpy(buffer, name.data(), length);
	buffer[length] = '\0';
	return B_OK;
}

status_t BNode::RewindAttrs()
{
	if (fStatus != B_OK)
		return B_NO_INIT;
	fAttrsListed = false;
	fAttrNames.clear();
	fAttrIndex = 0;
	return B_OK;
}

bool BNode::operator==(const BNode& node) const
{
	if (fStatus != B_OK || node.fStatus != B_OK)
		return fStatus != B_OK && node.fStatus != B_OK;
	node_ref mine, theirs;
	return GetNodeRef(&mine) == B_OK && node.GetNodeRef(&theirs) == B_OK && mine == theirs;
}

BNode& BNode::operator=(const BNode& node)
{
	if (this == &node)
		return *this;
	Unset();
	if (node.fStatus != B_OK)
		return *this;
	int fd = node.fFd >= 0 ? fcntl(node.fFd, F_DUPFD_CLOEXEC, 0) : -1;
	_SetHost(node.fPath, fd);
	return *this;
}

status_t BNode::_GetHostTarget(HostTarget* target) const
{
	if (fStatus != B_OK)
		return B_NO_INIT;
	target->fd = fFd;
	target->path = fPath;
	target->follow = false;
	return B_OK;
}

status_t BNode::_SetHost(const std::string& path, int fd)
{
	fFd = fd;
	fPath = path;
	struct stat st;
	fIsLink = fd < 0 && lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
	// Links keep their attributes on their folder (see LinkAttributes.h).
	fAttrPath = fIsLink ? host_parent(path) : path;
	fLinkKey = fIsLink ? host_link_attr_key(host_leaf(path)) : std::string();
	fAttrsSupported = host_path_keeps_attributes(path);
	return fStatus = B_OK;
}

status_t BNode::_OpenNode(const std::string& path)
{
	struct stat st;
	if (lstat(path.c_str(), &st) != 0)
		return fStatus = status_from_errno(errno);
	int fd = -1;
	if (S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)) {
		fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
		// An unreadable node is still a node: its attributes go by path.
		if (fd < 0 && errno != EACCES && errno != EPERM)
			return fStatus = status_from_errno(errno);
	}
	return _SetHost(path, fd);
}

status_t BNode::_Resolve(const BDirectory* dir, const char* path, bool traverse,
                         std::string* out) const
{
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	if (dir == nullptr || path[0] == '/')
		return host_entry_path(path, traverse, out);
	if (dir->InitCheck() != B_OK)
		return B_BAD_VALUE;
	return host_entry_path(host_join(dir->HostPath(), path).c_str(), traverse, out);
}

status_t BNode::_CheckAttrs() const
{
	if (fStatus != B_OK)
		return B_NO_INIT;
	return fAttrsSupported ? B_OK : B_NOT_SUPPORTED;
}

status_t BNode::_CheckName(const char* name) const
{
	if (name == nullptr || name[0] == '\0')
		return B_BAD_VALUE;
	if (strlen(name) > B_ATTR_NAME_LENGTH || _ValueXattr(name).size() > kXattrNameMax)
		return B_NAME_TOO_LONG;
	return B_OK;
}

std::string BNode::_ValueXattr(const char* name) const
{
	return fIsLink ? host_link_value_xattr(fLinkKey, name) : value_xattr(name);
}

std::string BNode::_TypeXattr(const char* name) const
{
	return fIsLink ? host_link_type_xattr(fLinkKey, name) : type_xattr(name);
}

// Lists the attribute names: a link's from its folder, when they are its own.
status_t BNode::_ListAttrs()
{
	fAttrNames.clear();
	if (fIsLink) {
		status_t owned = host_link_attrs_owned(fPath);
		if (owned == B_ENTRY_NOT_FOUND)
			return B_OK;
		if (owned != B_OK)
			return owned;
	}
	std::string list;
	status_t status = _GetValue(std::string(), &list);
	if (status != B_OK)
		return status;
	for (size_t start = 0; start < list.size();) {
		std::string xattr = list.c_str() + start;
		start += xattr.size() + 1;
		std::string name;
		bool found = fIsLink ? host_link_attr_name(fLinkKey, xattr, &name)
		                     : attribute_name(xattr, &name);
		if (found)
			fAttrNames.push_back(name);
	}
	return B_OK;
}

// The status for a failed xattr call.
static status_t xattr_error(int error)
{
	if (error == ENODATA)
		return B_ENTRY_NOT_FOUND;
	if (error == ENOTSUP)
		return B_NOT_SUPPORTED;
	return status_from_errno(error);
}

// Reads one xattr, or with an empty name the list of names.
status_t BNode::_GetValue(const std::string& name, std::string* value) const
{
	const int error = host_read_xattr(fFd, fAttrPath, name, value);
	if (error == EBUSY)
		return B_BUSY;
	return error == 0 ? B_OK : xattr_error(error);
}

status_t BNode::_SetValue(const std::string& name, const std::string& value)
{
	int result =
	        fFd >= 0 ? fsetxattr(fFd, name.c_str(), value.data(), value.size(), 0)
	                 : lsetxattr(fAttrPath.c_str(), name.c_str(), value.data(), value.size(), 0);
	return result == 0 ? B_OK : xattr_error(errno);
}

status_t BNode::_RemoveValue(const std::string& name)
{
	int result = fFd >= 0 ? fremovexattr(fFd, name.c_str())
	                      : lremovexattr(fAttrPath.c_str(), name.c_str());
	return result == 0 ? B_OK : xattr_error(errno);
}

status_t BNode::_ReadAttr(const char* name, std::string* value, type_code* type) const
{
	status_t status = fIsLink ? host_link_attrs_owned(fPath) : B_OK;
	if (status == B_OK)
		status = _GetValue(_ValueXattr(name), value);
	if (status != B_OK)
		return status;
	if (strcmp(name, kTypeName) == 0 && (value->empty() || value->back() != '\0'))
		value->push_back('\0');
	std::string code;
	if (_GetValue(_TypeXattr(name), &code) == B_OK && code.size() == 4) {
		const unsigned char* bytes = (const unsigned char*)code.data();
		*type = ((uint32)bytes[0] << 24) | ((uint32)bytes[1] << 16) | ((uint32)bytes[2] << 8) |
		        bytes[3];
		return B_OK;
	}
	*type = implied_type(name, *value);
	return B_OK;
}

status_t BNode::WriteNewAttr(int fd, const char* name, type_code type, const void* buffer,
                             size_t length)
{
	if (fd < 0 || name == nullptr || name[0] == '\0' || (buffer == nullptr && length > 0))
		return B_BAD_VALUE;
	const std::string xattr = value_xattr(name);
	if (strlen(name) > B_ATTR_NAME_LENGTH || xattr.size() > kXattrNameMax)
		return B_NAME_TOO_LONG;
	const bool isType = strcmp(name, kTypeName) == 0;
	// The type's value is stored without the NUL the platform keeps.
	if (isType && length > 0 && static_cast<const char*>(buffer)[length - 1] == '\0')
		length--;
	if (fsetxattr(fd, xattr.c_str(), buffer, length, 0) != 0)
		return xattr_error(errno);
	// No companion lies there to be replaced: a type the value implies needs none.
	const std::string stored =
	        length > 0 ? std::string(static_cast<const char*>(buffer), length) : std::string();
	if (type == implied_type(name, stored))
		return B_OK;
	const char code[4] = {(char)(type >> 24), (char)(type >> 16), (char)(type >> 8), (char)type};
	return fsetxattr(fd, type_xattr(name).c_str(), code, 4, 0) == 0 ? B_OK : xattr_error(errno);
}

status_t BNode::_WriteAttr(const char* name, type_code type, const std::string& value)
{
	bool isType = strcmp(name, kTypeName) == 0;
	std::string stored = value;
	if (isType && !stored.empty() && stored.back() == '\0')
		stored.pop_back();
	status_t status = fIsLink ? host_link_attrs_claim(fPath) : B_OK;
	if (status == B_OK)
		status = _SetValue(_ValueXattr(name), stored);
	if (status != B_OK)
		return status;
	// A link's attributes share their folder's little xattr space (one block
	// on ext4): a type the value implies needs no companion there.
	bool implied =
	        fIsLink ? type == implied_type(name, stored) : isType && type == B_MIME_STRING_TYPE;
	if (implied) {
		_RemoveValue(_TypeXattr(name));
		return B_OK;
	}
	char code[4] = {(char)(type >> 24), (char)(type >> 16), (char)(type >> 8), (char)type};
	return _SetValue(_TypeXattr(name), std::string(code, 4));
}
