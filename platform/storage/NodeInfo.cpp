// BNodeInfo: typed BEOS:* attributes of a node.
#include "NodeInfo.h"

#include <cstring>
#include <string>

#include "MimeType.h"
#include "Node.h"
#include "StorageHost.h"
#include "TypeConstants.h"

namespace {

const char kTypeAttr[] = "BEOS:TYPE";
const char kPreferredAppAttr[] = "BEOS:PREF_APP";
const char kAppHintAttr[] = "BEOS:PPATH";
const char kLargeIconAttr[] = "BEOS:L:STD_ICON";
const char kMiniIconAttr[] = "BEOS:M:STD_ICON";
const type_code kLargeIconType = 'ICON';
const type_code kMiniIconType = 'MICN';

status_t icon_attribute(icon_size which, const char** name, type_code* type, size_t* size)
{
	if (which == B_LARGE_ICON) {
		*name = kLargeIconAttr;
		*type = kLargeIconType;
		*size = 32 * 32;
		return B_OK;
	}
	if (which == B_MINI_ICON) {
		*name = kMiniIconAttr;
		*type = kMiniIconType;
		*size = 16 * 16;
		return B_OK;
	}
	return B_BAD_VALUE;
}

} // namespace

BNodeInfo::BNodeInfo() : fNode(nullptr), fStatus(B_NO_INIT) {}

BNodeInfo::BNodeInfo(BNode* node) : fNode(nullptr), fStatus(B_NO_INIT)
{
	SetTo(node);
}

BNodeInfo::~BNodeInfo() {}

status_t BNodeInfo::SetTo(BNode* node)
{
	fNode = nullptr;
	if (node == nullptr)
		return fStatus = B_BAD_VALUE;
	if (node->InitCheck() != B_OK)
		return fStatus = node->InitCheck();
	fNode = node;
	return fStatus = B_OK;
}

status_t BNodeInfo::GetType(char* type) const
{
	if (type == nullptr)
		return B_BAD_VALUE;
	return _GetString(kTypeAttr, type, B_MIME_TYPE_LENGTH);
}

status_t BNodeInfo::SetType(const char* type)
{
	if (type != nullptr && !BMimeType::IsValid(type))
		return B_BAD_VALUE;
	return _SetString(kTypeAttr, type, B_MIME_TYPE_LENGTH);
}

status_t BNodeInfo::GetIconBits(uint8* bits, icon_size which) const
{
	const char* name;
	type_code type;
	size_t size;
	status_t status = bits == nullptr ? B_BAD_VALUE : icon_attribute(which, &name, &type, &size);
	if (status != B_OK)
		return status;
	if (fStatus != B_OK)
		return B_NO_INIT;
	attr_info info;
	status = fNode->GetAttrInfo(name, &info);
	if (status != B_OK)
		return status;
	if ((size_t)info.size != size)
		return B_BAD_DATA;
	ssize_t read = fNode->ReadAttr(name, type, 0, bits, size);
	if (read < 0)
		return (status_t)read;
	return (size_t)read == size ? B_OK : B_BAD_DATA;
}

status_t BNodeInfo::SetIconBits(const uint8* bits, icon_size which)
{
	const char* name;
	type_code type;
	size_t size;
	status_t status = icon_attribute(which, &name, &type, &size);
	if (status != B_OK)
		return status;
	if (fStatus != B_OK)
		return B_NO_INIT;
	if (bits == nullptr) {
		status = fNode->RemoveAttr(name);
		return status == B_ENTRY_NOT_FOUND ? B_OK : status;
	}
	ssize_t written = fNode->WriteAttr(name, type, 0, bits, size);
	return written < 0 ? (status_t)written : B_OK;
}

status_t BNodeInfo::GetPreferredApp(char* signature, app_verb verb) const
{
	if (signature == nullptr)
		return B_BAD_VALUE;
	return _GetString(kPreferredAppAttr, signature, B_MIME_TYPE_LENGTH);
}

status_t BNodeInfo::SetPreferredApp(const char* signature, app_verb verb)
{
	if (signature != nullptr && !BMimeType::IsValid(signature))
		return B_BAD_VALUE;
	return _SetString(kPreferredAppAttr, signature, B_MIME_TYPE_LENGTH);
}

status_t BNodeInfo::GetAppHint(entry_ref* ref) const
{
	if (ref == nullptr)
		return B_BAD_VALUE;
	char path[B_PATH_NAME_LENGTH];
	status_t status = _GetString(kAppHintAttr, path, sizeof(path));
	if (status != B_OK)
		return status;
	return get_ref_for_path(path, ref);
}

status_t BNodeInfo::SetAppHint(const entry_ref* ref)
{
	if (ref == nullptr)
		return _SetString(kAppHintAttr, nullptr, B_PATH_NAME_LENGTH);
	std::string path;
	status_t status = host_ref_path(*ref, &path);
	if (status != B_OK)
		return status;
	return _SetString(kAppHintAttr, path.c_str(), B_PATH_NAME_LENGTH);
}

// Reads a NUL-terminated string attribute that must fit in `size` bytes.
status_t BNodeInfo::_GetString(const char* name, char* buffer, size_t size) const
{
	if (fStatus != B_OK)
		return B_NO_INIT;
	attr_info info;
	status_t status = fNode->GetAttrInfo(name, &info);
	if (status != B_OK)
		return status;
	if (info.size <= 0 || (size_t)info.size > size)
		return B_BAD_DATA;
	ssize_t read = fNode->ReadAttr(name, B_MIME_STRING_TYPE, 0, buffer, (size_t)info.size);
	if (read < 0)
		return (status_t)read;
	if (read > 0 && buffer[read - 1] == '\0')
		return B_OK;
	// Written without its NUL: one must still fit.
	if ((size_t)read >= size)
		return B_BAD_DATA;
	buffer[read] = '\0';
	return B_OK;
}

status_t BNodeInfo::_SetString(const char* name, const char* value, size_t limit)
{
	if (fStatus != B_OK)
		return B_NO_INIT;
	if (value == nullptr) {
		status_t status = fNode->RemoveAttr(name);
		return status == B_ENTRY_NOT_FOUND ? B_OK : status;
	}
	size_t length = strlen(value);
	if (length >= limit)
		return B_BAD_VALUE;
	ssize_t written = fNode->WriteAttr(name, B_MIME_STRING_TYPE, 0, value, length + 1);
	return written < 0 ? (status_t)written : B_OK;
}
