// BNode: an existing file-system node and its attributes. Paths, references
// and entries name the node itself: a symbolic link is not followed.
//
// Attributes are the node's user extended attributes:
// - attribute NAME is the xattr "user.NAME" and holds exactly the value bytes,
//   so `getfattr -n user.InstallBy FILE` shows the value as it is;
// - "BEOS:TYPE" is "user.mime_type", the freedesktop name, holding the MIME
//   text without the terminating NUL; it reads back with the NUL the platform
//   stores (one byte longer than the xattr);
// - the type code lives in a companion xattr "user.beos.type.NAME" holding its
//   four characters in reading order ("CSTR"), or "user.beos.type.#HASH" when
//   the name is too long; iteration skips companions;
// - an attribute without companion (written by another tool) reads as
//   B_STRING_TYPE when its bytes are printable text, B_RAW_TYPE otherwise, and
//   "BEOS:TYPE" as B_MIME_STRING_TYPE;
// - names that would collide with those ("mime_type", "beos.*") are stored as
//   "user.beos.name.NAME".
// WriteAttr at offset 0 replaces the value; at a later offset it patches it.
// Attributes of a symbolic link are its own, as every node's are on the
// platform. Linux refuses user attributes on links, so they are kept on the
// folder that holds the link, as "user.beos.link.HASH.NAME" (raw value) and
// "user.beos.link.HASH#NAME" (type), HASH standing for the link's leaf; the
// entry "user.beos.link.HASH" records the leaf and the link's identity, and
// when it names another link the link has no attributes. Iterating the
// folder's own attributes skips these entries; BEntry's Rename, MoveTo and
// Remove and the support library's copy, move and removal carry or drop
// them. The rule is in LinkAttributes.h. A file system without user
// attributes, or a simulated volume marked "nonnative", answers
// B_NOT_SUPPORTED.
#pragma once

#include <string>
#include <vector>

#include "Statable.h"
#include "StorageDefs.h"

class BDirectory;
class BEntry;

struct attr_info {
	uint32 type;
	off_t size;
};

class BNode : public BStatable {
public:
	BNode();
	BNode(const entry_ref* ref);
	BNode(const BEntry* entry);
	BNode(const char* path);
	BNode(const BDirectory* dir, const char* path);
	BNode(const BNode& node);
	virtual ~BNode();

	status_t InitCheck() const { return fStatus; }

	status_t SetTo(const entry_ref* ref);
	status_t SetTo(const BEntry* entry);
	status_t SetTo(const char* path);
	status_t SetTo(const BDirectory* dir, const char* path);
	void Unset();

	// Node locking is not needed on the host: both succeed.
	status_t Lock();
	status_t Unlock();
	status_t Sync();

	ssize_t WriteAttr(const char* name, type_code type, off_t offset, const void* buffer,
	                  size_t length);
	// The type is not checked, as on the platform.
	ssize_t ReadAttr(const char* name, type_code type, off_t offset, void* buffer,
	                 size_t length) const;
	status_t RemoveAttr(const char* name);
	status_t RenameAttr(const char* oldName, const char* newName);
	status_t GetAttrInfo(const char* name, attr_info* info) const;
	// `buffer` holds B_ATTR_NAME_LENGTH bytes; B_ENTRY_NOT_FOUND after the last.
	status_t GetNextAttrName(char* buffer);
	status_t RewindAttrs();

	bool operator==(const BNode& node) const;
	bool operator!=(const BNode& node) const { return !(*this == node); }
	BNode& operator=(const BNode& node);

	// Host additions: the open descriptor (-1 for links and special files)
	// and the path the node was opened with.
	int HostFd() const { return fFd; }
	const char* HostPath() const { return fStatus == B_OK ? fPath.c_str() : nullptr; }
	// Host addition: writes attribute `name` through `fd`, an open regular
	// file or folder which holds no attribute of that name yet: nothing is
	// read or removed first, and a type the value implies gets no companion.
	// B_NOT_SUPPORTED where the volume keeps no attributes.
	static status_t WriteNewAttr(int fd, const char* name, type_code type, const void* buffer,
	                             size_t length);

protected:
	status_t _GetHostTarget(HostTarget* target) const override;
	// Takes over `fd` (may be -1) for the node at canonical `path`.
	status_t _SetHost(const std::string& path, int fd);
	// Opens the node at `path` without following a link at its leaf.
	status_t _OpenNode(const std::string& path);
	status_t _SetInitStatus(status_t status) { return fStatus = status; }
	status_t _Resolve(const BDirectory* dir, const char* path, bool traverse,
	                  std::string* out) const;

private:
	status_t _CheckAttrs() const;
	status_t _CheckName(const char* name) const;
	// The xattrs holding attribute `name`'s value and type code.
	std::string _ValueXattr(const char* name) const;
	std::string _TypeXattr(const char* name) const;
	status_t _ListAttrs();
	status_t _GetValue(const std::string& name, std::string* value) const;
	status_t _SetValue(const std::string& name, const std::string& value);
	status_t _RemoveValue(const std::string& name);
	status_t _ReadAttr(const char* name, std::string* value, type_code* type) const;
	status_t _ReadChecked(const char* name, const bool& valid, std::string* value,
	                      type_code* type) const;
	status_t _WriteAttr(const char* name, type_code type, const std::string& value);

	int fFd;
	std::string fPath;
	// Where the xattrs live: the node, or a link's folder.
	std::string fAttrPath;
	// "user.beos.link.HASH" for a link, empty otherwise.
	std::string fLinkKey;
	status_t fStatus;
	bool fIsLink;
	bool fAttrsSupported;
	std::vector<std::string> fAttrNames;
	size_t fAttrIndex;
	bool fAttrsListed;
};
