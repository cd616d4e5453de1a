// BAppFileInfo: the standard application data of an executable, in the
// resources (type and id) and attributes (name) the platform uses.
#include "AppFileInfo.h"

#include <strings.h>

#include <cstring>

#include "File.h"
#include "Message.h"

namespace {

const char* kSignatureName = "BEOS:APP_SIG";
const char* kFlagsName = "BEOS:APP_FLAGS";
const char* kVersionName = "BEOS:APP_VERSION";
const char* kTypesName = "BEOS:FILE_TYPES";
const type_code kSignatureType = 'MIMS';
const type_code kFlagsType = 'APPF';
const type_code kVersionType = 'APPV';
const int32 kAppResourceId = 1;
const size_t kVersionRecordSize = sizeof(version_info);

static_assert(sizeof(version_info) == 340, "version_info is the platform's 340 bytes");

} // namespace

BAppFileInfo::BAppFileInfo() : fStatus(B_NO_INIT), fLocation(B_USE_BOTH_LOCATIONS) {}

BAppFileInfo::BAppFileInfo(BFile* file) : BAppFileInfo()
{
	SetTo(file);
}

BAppFileInfo::~BAppFileInfo() {}

status_t BAppFileInfo::SetTo(BFile* file)
{
	fResources.Unset();
	fPath.clear();
	if (file == nullptr || file->InitCheck() != B_OK || file->HostPath() == nullptr)
		return fStatus = B_BAD_VALUE;
	status_t status = BNodeInfo::SetTo(file);
	if (status != B_OK)
		return fStatus = status;
	fPath = file->HostPath();
	// A damaged or foreign file keeps working through its attributes.
	fResources.SetTo(file, false);
	return fStatus = B_OK;
}

status_t BAppFileInfo::InitCheck() const
{
	return fStatus;
}

// Attributes are written through a node opened on the path, not through the
// caller's BFile: rewriting the resources replaces the file on disk.
status_t BAppFileInfo::_Read(const char* name, type_code type, int32 id, std::string* data) const
{
	if (fStatus != B_OK)
		return fStatus;
	if (IsUsingAttributes()) {
		BNode node(fPath.c_str());
		attr_info info;
		if (node.GetAttrInfo(name, &info) == B_OK && info.type == type && info.size >= 0) {
			data->resize((size_t)info.size);
			ssize_t got = node.ReadAttr(name, type, 0, data->data(), data->size());
			if (got == info.size)
				return B_OK;
		}
	}
	if (IsUsingResources()) {
		size_t size = 0;
		const void* bytes = fResources.LoadResource(type, id, &size);
		if (bytes != nullptr) {
			data->assign(static_cast<const char*>(bytes), size);
			return B_OK;
		}
	}
	return B_ENTRY_NOT_FOUND;
}

status_t BAppFileInfo::_Write(const char* name, type_code type, int32 id, const void* data,
                              size_t size)
{
	if (fStatus != B_OK)
		return fStatus;
	if (IsUsingResources()) {
		status_t status = fResources.AddResource(type, id, data, size, name);
		if (status != B_OK)
			return status;
	}
	if (IsUsingAttributes()) {
		BNode node(fPath.c_str());
		ssize_t written = node.WriteAttr(name, type, 0, data, size);
		bool optional = IsUsingResources() && written == B_NOT_SUPPORTED;
		if (written < 0 && !optional)
			return (status_t)written;
	}
	return B_OK;
}

status_t BAppFileInfo::_Remove(const char* name, type_code type, int32 id)
{
	if (fStatus != B_OK)
		return fStatus;
	if (IsUsingResources() && fResources.HasResource(type, id)) {
		status_t status = fResources.RemoveResource(type, id);
		if (status != B_OK)
			return status;
	}
	if (IsUsingAttributes()) {
		BNode node(fPath.c_str());
		node.RemoveAttr(name);
	}
	return B_OK;
}

status_t BAppFileInfo::GetSignature(char* signature) const
{
	if (signature == nullptr)
		return B_BAD_VALUE;
	std::string data;
	status_t status = _Read(kSignatureName, kSignatureType, kAppResourceId, &data);
	if (status != B_OK)
		return status;
	size_t length = strnlen(data.data(), data.size());
	if (length >= B_MIME_TYPE_LENGTH)
		return B_BAD_DATA;
	memcpy(signature, data.data(), length);
	signature[length] = '\0';
	return B_OK;
}

status_t BAppFileInfo::SetSignature(const char* signature)
{
	if (signature == nullptr)
		return _Remove(kSignatureName, kSignatureType, kAppResourceId);
	size_t length = strlen(signature);
	if (length == 0 || length >= B_MIME_TYPE_LENGTH || strchr(signature, '/') == nullptr)
		return B_BAD_VALUE;
	return _Write(kSignatureName, kSignatureType, kAppResourceId, signature, length + 1);
}

status_t BAppFileInfo::GetAppFlags(uint32* flags) const
{
	if (flags == nullptr)
		return B_BAD_VALUE;
	std::string data;
	status_t status = _Read(kFlagsName, kFlagsType, kAppResourceId, &data);
	if (status != B_OK)
		return status;
	if (data.size() != sizeof(uint32))
		return B_BAD_DATA;
	memcpy(flags, data.data(), sizeof(uint32));
	return B_OK;
}

status_t BAppFileInfo::SetAppFlags(uint32 flags)
{
	return _Write(kFlagsName, kFlagsType, kAppResourceId, &flags, sizeof(flags));
}

status_t BAppFileInfo::GetVersionInfo(version_info* info, version_kind kind) const
{
	if (info == nullptr || (kind != B_APP_VERSION_KIND && kind != B_SYSTEM_VERSION_KIND))
		return B_BAD_VALUE;
	std::string data;
	status_t status = _Read(kVersionName, kVersionType, kAppResourceId, &data);
	if (status != B_OK)
		return status;
	size_t offset = kind * kVersionRecordSize;
	// Files holding only the app record (340 bytes) have no system version.
	if (data.size() < offset + kVersionRecordSize)
		return B_ENTRY_NOT_FOUND;
	memcpy(info, data.data() + offset, kVersionRecordSize);
	info->short_info[sizeof(info->short_info) - 1] = '\0';
	info->long_info[sizeof(info->long_info) - 1] = '\0';
	return B_OK;
}

// Keeps the other record as it is, so setting one kind never loses the other.
status_t BAppFileInfo::SetVersionInfo(const version_info* info, version_kind kind)
{
	if (info == nullptr || (kind != B_APP_VERSION_KIND && kind != B_SYSTEM_VERSION_KIND))
		return B_BAD_VALUE;
	std::string data;
	if (_Read(kVersionName, kVersionType, kAppResourceId, &data) != B_OK)
		data.clear();
	data.resize(2 * kVersionRecordSize, '\0');
	memcpy(data.data() + kind * kVersionRecordSize, info, kVersionRecordSize);
	return _Write(kVersionName, kVersionType, kAppResourceId, data.data(), data.size());
}

status_t BAppFileInfo::GetSupportedTypes(BMessage* types) const
{
	if (types == nullptr)
		return B_BAD_VALUE;
	std::string data;
	status_t status = _Read(kTypesName, B_MESSAGE_TYPE, kAppResourceId, &data);
	if (status != B_OK)
		return status;
	BMessage message;
	status = message.Unflatten(data.data(), (ssize_t)data.size());
	if (status != B_OK)
		return status;
	*types = message;
	return B_OK;
}

status_t BAppFileInfo::SetSupportedTypes(const BMessage* types)
{
	if (types == nullptr)
		return _Remove(kTypesName, B_MESSAGE_TYPE, kAppResourceId);
	BMessage stored(0);
	const char* type;
	for (int32 i = 0; types->FindString("types", i, &type) == B_OK; i++) {
		if (strlen(type) >= B_MIME_TYPE_LENGTH || strchr(type, '/') == nullptr)
			return B_BAD_VALUE;
		stored.AddString("types", type);
	}
	std::string flat;
	status_t status = stored.Flatten(&flat);
	if (status != B_OK)
		return status;
	return _Write(kTypesName, B_MESSAGE_TYPE, kAppResourceId, flat.data(), flat.size());
}

bool BAppFileInfo::IsSupportedType(const char* type) const
{
	BMessage types;
	if (type == nullptr || GetSupportedTypes(&types) != B_OK)
		return false;
	const char* supported;
	for (int32 i = 0; types.FindString("types", i, &supported) == B_OK; i++) {
		if (strcasecmp(supported, type) == 0 || strcmp(supported, "application/octet-stream") == 0)
			return true;
	}
	return false;
}

void BAppFileInfo::SetInfoLocation(info_location location)
{
	fLocation = location;
}

bool BAppFileInfo::IsUsingAttributes() const
{
	return (fLocation & B_USE_ATTRIBUTES) != 0;
}

bool BAppFileInfo::IsUsingResources() const
{
	return (fLocation & B_USE_RESOURCES) != 0;
}

status_t BAppFileInfo::Sync()
{
	if (fStatus != B_OK)
		return fStatus;
	return fResources.Sync();
}
