// Packing of payload archives with libzip.
#include "PayloadPacker.h"

#include <dirent.h>
#include <errno.h>
#include <limits.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <vector>

#include "MimeType.h"
#include "Node.h"
#include "PayloadFields.h"

namespace {

std::vector<std::string> sorted_children(const std::string& path, int* error)
{
	std::vector<std::string> names;
	DIR* dir = opendir(path.c_str());
	if (dir == nullptr) {
		*error = errno;
		return names;
	}
	while (struct dirent* entry = readdir(dir)) {
		std::string name = entry->d_name;
		if (name != "." && name != "..")
			names.push_back(name);
	}
	closedir(dir);
	std::sort(names.begin(), names.end());
	*error = 0;
	return names;
}

// Every attribute of the node at `path`, in the platform's form.
std::vector<PayloadAttribute> read_attributes(const std::string& path)
{
	std::vector<PayloadAttribute> attributes;
	BNode node(path.c_str());
	if (node.InitCheck() != B_OK)
		return attributes;
	char name[B_ATTR_NAME_LENGTH];
	while (node.GetNextAttrName(name) == B_OK) {
		attr_info info;
		if (node.GetAttrInfo(name, &info) != B_OK || info.size < 0 ||
		    info.size > (off_t)kMaxAttributeBytes)
			continue;
		PayloadAttribute attribute;
		attribute.name = name;
		attribute.type = info.type;
		attribute.data.resize(info.size);
		ssize_t read = node.ReadAttr(name, info.type, 0, attribute.data.data(), info.size);
		if (read < 0)
			continue;
		attribute.data.resize(read);
		attributes.push_back(std::move(attribute));
	}
	return attributes;
}

} // namespace

PayloadPacker::PayloadPacker(int32 level)
    : fLevel(std::clamp<int32>(level, 0, 9)), fArchive(nullptr)
{
}

status_t PayloadPacker::Pack(const char* source, const char* name, const char* archive)
{
	if (source == nullptr || name == nullptr || archive == nullptr || name[0] == '\0' ||
	    strchr(name, '/') != nullptr)
		return _Fail(B_BAD_VALUE, "bad arguments");
	fError.clear();
	fLinkTargets.clear();
	int error = 0;
	unlink(archive);
	fArchive = zip_open(archive, ZIP_CREATE | ZIP_TRUNCATE, &error);
	if (fArchive == nullptr)
		return _Fail(B_ERROR, std::string("cannot create ") + archive);
	status_t status = _AddTree(source, name);
	if (status != B_OK) {
		zip_discard(fArchive);
		fArchive = nullptr;
		unlink(archive);
		return status;
	}
	if (zip_close(fArchive) != 0) {
		status = _Fail(B_IO_ERROR,
		               std::string("cannot write ") + archive + ": " + zip_strerror(fArchive));
		zip_discard(fArchive);
		unlink(archive);
	}
	fArchive = nullptr;
	fLinkTargets.clear();
	return status;
}

// Adds `path` and, for a folder, everything below it in name order.
status_t PayloadPacker::_AddTree(const std::string& path, const std::string& name)
{
	status_t status = _AddEntry(path, name);
	if (status != B_OK)
		return status;
	struct stat st;
	if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
		return B_OK;
	int error = 0;
	std::vector<std::string> children = sorted_children(path, &error);
	if (error != 0)
		return _Fail(B_IO_ERROR, "cannot list " + path + ": " + strerror(error));
	for (const std::string& child : children) {
		status = _AddTree(path + "/" + child, name + "/" + child);
		if (status != B_OK)
			return status;
	}
	return B_OK;
}

status_t PayloadPacker::_AddEntry(const std::string& path, const std::string& name)
{
	struct stat st;
	if (lstat(path.c_str(), &st) != 0)
		return _Fail(B_ENTRY_NOT_FOUND, "cannot read " + path + ": " + strerror(errno));
	zip_int64_t index = -1;
	if (S_ISDIR(st.st_mode)) {
		index = zip_dir_add(fArchive, name.c_str(), ZIP_FL_ENC_UTF_8);
	} else {
		zip_source_t* data = nullptr;
		if (S_ISLNK(st.st_mode)) {
			char target[PATH_MAX];
			ssize_t length = readlink(path.c_str(), target, sizeof(target));
			if (length < 0)
				return _Fail(B_IO_ERROR, "cannot read the link " + path);
			fLinkTargets.emplace_back(target, length);
			data = zip_source_buffer(fArchive, fLinkTargets.back().data(),
			                         fLinkTargets.back().size(), 0);
		} else if (S_ISREG(st.st_mode)) {
			data = zip_source_file(fArchive, path.c_str(), 0, -1);
		} else
			return B_OK; // devices and pipes are not installed
		if (data == nullptr)
			return _Fail(B_IO_ERROR, "cannot read " + path);
		index = zip_file_add(fArchive, name.c_str(), data, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
		if (index < 0)
			zip_source_free(data);
	}
	if (index < 0)
		return _Fail(B_ERROR, "cannot add " + name + ": " + zip_strerror(fArchive));
	return _SetFields(index, path, st);
}

// Compression, host, mode, time and the three extra fields of one entry.
status_t PayloadPacker::_SetFields(int64 index, const std::string& path, const struct stat& st)
{
	bool deflated = S_ISREG(st.st_mode);
	zip_set_file_compression(fArchive, index, deflated ? ZIP_CM_DEFLATE : ZIP_CM_STORE,
	                         deflated ? std::max<int32>(fLevel, 1) : 0);
	if (deflated && fLevel == 0)
		zip_set_file_compression(fArchive, index, ZIP_CM_STORE, 0);
	zip_file_set_external_attributes(fArchive, index, 0, ZIP_OPSYS_BEOS,
	                                 (zip_uint32_t)(st.st_mode & 0xffff) << 16);
	zip_file_set_mtime(fArchive, index, st.st_mtime, 0);

	std::string local, central;
	encode_payload_times(st.st_mtime, st.st_atime, &local, &central);
	bool ok = zip_file_extra_field_set(fArchive, index, kPayloadTimeField, ZIP_EXTRA_FIELD_NEW,
	                                   (const zip_uint8_t*)local.data(), local.size(),
	                                   ZIP_FL_LOCAL) == 0 &&
	          zip_file_extra_field_set(fArchive, index, kPayloadTimeField, ZIP_EXTRA_FIELD_NEW,
	                                   (const zip_uint8_t*)central.data(), central.size(),
	                                   ZIP_FL_CENTRAL) == 0;
	local = encode_payload_owner(st.st_uid, st.st_gid);
	ok = ok &&
	     zip_file_extra_field_set(fArchive, index, kPayloadOwnerField, ZIP_EXTRA_FIELD_NEW,
	                              (const zip_uint8_t*)local.data(), local.size(),
	                              ZIP_FL_LOCAL) == 0 &&
	     zip_file_extra_field_set(fArchive, index, kPayloadOwnerField, ZIP_EXTRA_FIELD_NEW, nullptr,
	                              0, ZIP_FL_CENTRAL) == 0;
	std::vector<PayloadAttribute> attributes;
	if (!S_ISLNK(st.st_mode))
		attributes = read_attributes(path);
	std::string type;
	if (S_ISREG(st.st_mode) && !payload_has_type(attributes) &&
	    sniff_mime_type(path, &type) == B_OK)
		payload_add_type(&attributes, type);
	if (ok && !attributes.empty()) {
		encode_payload_attributes(attributes, std::max<int32>(fLevel, 1), &local, &central);
		if (local.size() > 0xffff)
			return _Fail(B_BAD_VALUE, "the attributes of " + path + " do not fit an archive entry");
		ok = zip_file_extra_field_set(fArchive, index, kPayloadAttrField, ZIP_EXTRA_FIELD_NEW,
		                              (const zip_uint8_t*)local.data(), local.size(),
		                              ZIP_FL_LOCAL) == 0 &&
		     zip_file_extra_field_set(fArchive, index, kPayloadAttrField, ZIP_EXTRA_FIELD_NEW,
		                              (const zip_uint8_t*)central.data(), central.size(),
		                              ZIP_FL_CENTRAL) == 0;
	}
	if (!ok)
		return _Fail(B_ERROR, "cannot describe " + path + ": " + zip_strerror(fArchive));
	return B_OK;
}

status_t PayloadPacker::_Fail(status_t status, const std::string& text)
{
	fError = text;
	return status;
}
