// BMimeType and the in-process mimeset: platform types for folders, links,
// volumes, the host's cheap rules for files, then content rules (or a
// fuller sniffer, libmagic in vantry-build) for what they leave.
#include "MimeType.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "Directory.h"
#include "Entry.h"
#include "MimeRules.h"
#include "MountTable.h"
#include "Node.h"
#include "StorageHost.h"
#include "TypeConstants.h"
#include "TypeRules.h"

namespace {

bool valid_mime_char(char c)
{
	unsigned char u = (unsigned char)c;
	return u > 32 && u < 127 && strchr("/<>@,;:\"()[]?=\\", c) == nullptr;
}

// The fuller sniffer when the program carries one, else the host's rules.
std::string content_type(const void* data, size_t length)
{
	length = std::min(length, kMimeSniffBytes);
	mime_content_sniffer sniffer = mime_content_sniffer_in_use();
	std::string found = sniffer != nullptr && length > 0 ? sniffer(data, length) : std::string();
	if (!found.empty() && BMimeType::IsValid(found.c_str()))
		return found;
	return mime_type_by_rules(data, length);
}

// The roots of the mounted volumes, read once for a whole tree.
struct VolumeRoots {
	bool read = false;
	std::vector<std::string> roots;

	bool Contains(const std::string& path)
	{
		if (!read) {
			for (const VolumeRecord& volume : mount_table_volumes())
				roots.push_back(volume.root);
			read = true;
		}
		return std::find(roots.begin(), roots.end(), path) != roots.end();
	}
};

// The first bytes of a regular file, read without following a link.
status_t read_prefix(const std::string& path, std::string* data)
{
	int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
	if (fd < 0)
		return status_from_errno(errno);
	data->resize(kMimeSniffBytes);
	size_t done = 0;
	while (done < data->size()) {
		ssize_t got = read(fd, data->data() + done, data->size() - done);
		if (got < 0 && errno == EINTR)
			continue;
		if (got <= 0)
			break;
		done += (size_t)got;
	}
	close(fd);
	data->resize(done);
	return B_OK;
}

status_t sniff_entry(const std::string& path, VolumeRoots& volumes, std::string* type)
{
	struct stat st;
	if (lstat(path.c_str(), &st) != 0)
		return status_from_errno(errno);
	if (S_ISLNK(st.st_mode))
		*type = B_SYMLINK_MIME_TYPE;
	else if (S_ISDIR(st.st_mode))
		*type = volumes.Contains(path) ? B_VOLUME_MIME_TYPE : B_DIRECTORY_MIME_TYPE;
	else if (S_ISREG(st.st_mode)) {
		std::string data;
		// An unreadable file is still typed, as plain data.
		if (read_prefix(path, &data) != B_OK)
			data.clear();
		const size_t slash = path.rfind('/');
		*type = sniff_mime_type_data(data.data(), data.size(), st.st_mode,
		                             path.c_str() + (slash == std::string::npos ? 0 : slash + 1));
	} else
		*type = B_FILE_MIME_TYPE;
	return B_OK;
}

bool has_type(BNode& node)
{
	attr_info info;
	return node.GetAttrInfo("BEOS:TYPE", &info) == B_OK && info.size > 1;
}

status_t type_one(const std::string& path, bool force, VolumeRoots& volumes)
{
	struct stat st;
	if (lstat(path.c_str(), &st) != 0)
		return status_from_errno(errno);
	if (S_ISLNK(st.st_mode))
		return B_OK;
	BNode node(path.c_str());
	if (node.InitCheck() != B_OK)
		return node.InitCheck();
	if (!force && has_type(node))
		return B_OK;
	std::string type;
	status_t status = sniff_entry(path, volumes, &type);
	if (status != B_OK)
		return status;
	ssize_t written =
	        node.WriteAttr("BEOS:TYPE", B_MIME_STRING_TYPE, 0, type.c_str(), type.size() + 1);
	return written < 0 ? (status_t)written : B_OK;
}

status_t type_tree(const std::string& path, bool recursive, bool force, VolumeRoots& volumes)
{
	status_t status = type_one(path, force, volumes);
	struct stat st;
	if (!recursive || lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
		return status;
	BDirectory folder(path.c_str());
	BEntry entry;
	while (folder.GetNextEntry(&entry, false) == B_OK) {
		status_t child = type_tree(entry.HostPath(), true, force, volumes);
		// One untypable entry does not stop the rest.
		if (status == B_OK)
			status = child;
	}
	return status;
}

} // namespace

status_t sniff_mime_type(const std::string& path, std::string* type)
{
	VolumeRoots volumes;
	return sniff_entry(path, volumes, type);
}

std::string sniff_mime_type_data(const void* data, size_t length, mode_t mode, const char* leaf)
{
	std::string type = rule_mime_type(leaf, data, std::min(length, kMimeSniffBytes), mode);
	return !type.empty() ? type : content_type(data, length);
}

status_t update_mime_info(const char* path, int recursive, int synchronous, int force)
{
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	std::string canonical;
	status_t status = host_entry_path(path, false, &canonical);
	if (status != B_OK)
		return status;
	VolumeRoots volumes;
	return type_tree(canonical, recursive != 0, force != 0, volumes);
}

BMimeType::BMimeType() : fStatus(B_NO_INIT) {}

BMimeType::BMimeType(const char* mimeType) : fStatus(B_NO_INIT)
{
	SetTo(mimeType);
}

BMimeType::BMimeType(const BMimeType& other) : fType(other.fType), fStatus(other.fStatus) {}

BMimeType::~BMimeType() {}

status_t BMimeType::SetTo(const char* mimeType)
{
	Unset();
	if (mimeType == nullptr || !IsValid(mimeType))
		return fStatus = B_BAD_VALUE;
	fType = mimeType;
	return fStatus = B_OK;
}

void BMimeType::Unset()
{
	fType.clear();
	fStatus = B_NO_INIT;
}

const char* BMimeType::Type() const
{
	return fStatus == B_OK ? fType.c_str() : nullptr;
}

bool BMimeType::IsValid() const
{
	return fStatus == B_OK;
}

bool BMimeType::IsSupertypeOnly() const
{
	return fStatus == B_OK && fType.find('/') == std::string::npos;
}

status_t BMimeType::GetSupertype(BMimeType* supertype) const
{
	if (supertype == nullptr)
		return B_BAD_VALUE;
	if (fStatus != B_OK)
		return B_NO_INIT;
	size_t slash = fType.find('/');
	if (slash == std::string::npos)
		return B_BAD_VALUE;
	return supertype->SetTo(fType.substr(0, slash).c_str());
}

bool BMimeType::Contains(const BMimeType* type) const
{
	if (type == nullptr || fStatus != B_OK || type->fStatus != B_OK)
		return false;
	if (*this == *type)
		return true;
	BMimeType super;
	return IsSupertypeOnly() && type->GetSupertype(&super) == B_OK && super == *this;
}

bool BMimeType::operator==(const BMimeType& type) const
{
	return *this == type.Type();
}

bool BMimeType::operator==(const char* type) const
{
	if (fStatus != B_OK || type == nullptr)
		return fStatus != B_OK && type == nullptr;
	return strcasecmp(fType.c_str(), type) == 0;
}

BMimeType& BMimeType::operator=(const BMimeType& other)
{
	fType = other.fType;
	fStatus = other.fStatus;
	return *this;
}

bool BMimeType::IsValid(const char* mimeType)
{
	if (mimeType == nullptr)
		return false;
	size_t length = strlen(mimeType);
	if (length == 0 || length >= B_MIME_TYPE_LENGTH)
		return false;
	const char* slash = strchr(mimeType, '/');
	if (slash == mimeType || (slash != nullptr && slash[1] == '\0'))
		return false;
	if (slash != nullptr && strchr(slash + 1, '/') != nullptr)
		return false;
	for (const char* c = mimeType; *c != '\0'; c++) {
		if (c != slash && !valid_mime_char(*c))
			return false;
	}
	return true;
}

status_t BMimeType::GuessMimeType(const entry_ref* file, BMimeType* type)
{
	if (file == nullptr || type == nullptr)
		return B_BAD_VALUE;
	std::string path;
	status_t status = host_ref_path(*file, &path);
	if (status != B_OK)
		return status;
	return GuessMimeType(path.c_str(), type);
}

status_t BMimeType::GuessMimeType(const char* filename, BMimeType* type)
{
	if (filename == nullptr || type == nullptr)
		return B_BAD_VALUE;
	std::string canonical;
	status_t status = host_entry_path(filename, false, &canonical);
	std::string found;
	if (status == B_OK)
		status = sniff_mime_type(canonical, &found);
	if (status != B_OK)
		return status;
	return type->SetTo(found.c_str());
}

status_t BMimeType::GuessMimeType(const void* buffer, int32 length, BMimeType* type)
{
	if (buffer == nullptr || length < 0 || type == nullptr)
		return B_BAD_VALUE;
	return type->SetTo(content_type(buffer, (size_t)length).c_str());
}
