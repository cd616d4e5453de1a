// Streaming, hostile-safe extraction of payload archives with libzip.
#include "PayloadExtractor.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <memory>

#include "Node.h"
#include "PayloadFields.h"

namespace {

const size_t kBufferSize = 64 * 1024;
const size_t kMaxLeafLength = 255;
const uint64 kMaxLinkLength = PATH_MAX;
// The central directory libzip keeps in memory while extracting.
const uint64 kMaxDirectoryBytes = 16 * 1024 * 1024;
const uint32 kEndOfDirectory = 0x06054b50;
const uint32 kZip64Locator = 0x07064b50;
const uint32 kZip64End = 0x06064b50;

uint16 get16(const uint8* p)
{
	return p[0] | (p[1] << 8);
}

uint32 get32(const uint8* p)
{
	return get16(p) | ((uint32)get16(p + 2) << 16);
}

uint64 get64(const uint8* p)
{
	return get32(p) | ((uint64)get32(p + 4) << 32);
}

bool read_fully(int fd, void* buffer, size_t length, off_t at)
{
	auto* bytes = static_cast<uint8*>(buffer);
	while (length > 0) {
		ssize_t done = pread(fd, bytes, length, at);
		if (done < 0 && errno == EINTR)
			continue;
		if (done <= 0)
			return false;
		bytes += done;
		length -= done;
		at += done;
	}
	return true;
}

bool write_fully(int fd, const void* buffer, size_t length)
{
	auto* bytes = static_cast<const uint8*>(buffer);
	while (length > 0) {
		ssize_t done = write(fd, bytes, length);
		if (done < 0 && errno == EINTR)
			continue;
		if (done <= 0)
			return false;
		bytes += done;
		length -= done;
	}
	return true;
}

// A libzip source that reads a byte range of an open file.
struct RangeSource {
	int fd;
	off_t base;
	zip_uint64_t size;
	zip_uint64_t position;
	zip_error_t error;
};

zip_int64_t range_read(RangeSource* range, void* data, zip_uint64_t length)
{
	zip_uint64_t count = std::min(length, range->size - range->position);
	if (count > 0 && !read_fully(range->fd, data, count, range->base + range->position)) {
		zip_error_set(&range->error, ZIP_ER_READ, errno);
		return -1;
	}
	range->position += count;
	return count;
}

zip_int64_t range_callback(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
	auto* range = static_cast<RangeSource*>(state);
	switch (command) {
		case ZIP_SOURCE_OPEN:
			range->position = 0;
			return 0;
		case ZIP_SOURCE_READ:
			return range_read(range, data, length);
		case ZIP_SOURCE_CLOSE:
		case ZIP_SOURCE_FREE:
			return 0;
		case ZIP_SOURCE_STAT: {
			auto* stat = static_cast<zip_stat_t*>(data);
			zip_stat_init(stat);
			stat->size = range->size;
			stat->valid |= ZIP_STAT_SIZE;
			return sizeof(*stat);
		}
		case ZIP_SOURCE_ERROR:
			return zip_error_to_data(&range->error, data, length);
		case ZIP_SOURCE_SEEK: {
			zip_int64_t position = zip_source_seek_compute_offset(range->position, range->size,
				data, length, &range->error);
			if (position < 0)
				return -1;
			range->position = position;
			return 0;
		}
		case ZIP_SOURCE_TELL:
			return range->position;
		case ZIP_SOURCE_SUPPORTS:
			return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ,
				ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE,
				ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL, ZIP_SOURCE_SUPPORTS, -1);
		default:
			zip_error_set(&range->error, ZIP_ER_OPNOTSUPP, 0);
			return -1;
	}
}

struct FdCloser {
	int fd;
	explicit FdCloser(int value) : fd(value) {}
	~FdCloser()
	{
		if (fd >= 0)
			close(fd);
	}
};

std::vector<std::string> split_name(const std::string& name)
{
	std::vector<std::string> parts;
	size_t start = 0;
	while (start <= name.size()) {
		size_t slash = name.find('/', start);
		if (slash == std::string::npos)
			slash = name.size();
		parts.push_back(name.substr(start, slash - start));
		start = slash + 1;
	}
	return parts;
}

// Opens the folder `parts[0..count)` below `rootFd`, creating what is
// missing; a link anywhere on the way makes it fail (ELOOP or ENOTDIR).
int open_folder(int rootFd, const std::vector<std::string>& parts, size_t count)
{
	int fd = fcntl(rootFd, F_DUPFD_CLOEXEC, 0);
	for (size_t i = 0; i < count && fd >= 0; i++) {
		if (mkdirat(fd, parts[i].c_str(), 0755) != 0 && errno != EEXIST) {
			close(fd);
			return -1;
		}
		int next = openat(fd, parts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
		close(fd);
		fd = next;
	}
	return fd;
}

// Makes room for a new file or link at `leaf`; a folder there stays and
// makes the creation fail.
void remove_leaf(int parentFd, const std::string& leaf)
{
	struct stat st;
	if (fstatat(parentFd, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(st.st_mode))
		unlinkat(parentFd, leaf.c_str(), 0);
}

struct timespec to_timespec(int64 seconds)
{
	struct timespec time = {};
	time.tv_sec = seconds;
	return time;
}

}  // namespace

PayloadExtractor::PayloadExtractor()
	:
	fMaxEntries(kDefaultMaxEntries),
	fMaxNameLength(kDefaultMaxNameLength)
{
}

void PayloadExtractor::SetLimits(int64 maxEntries, size_t maxNameLength)
{
	fMaxEntries = maxEntries;
	fMaxNameLength = maxNameLength;
}

status_t PayloadExtractor::Extract(const char* archivePath, off_t offset, off_t size,
	const char* target, const char* top)
{
	if (archivePath == nullptr || target == nullptr || top == nullptr || offset < 0 || size <= 0)
		return _Fail(B_BAD_VALUE, "bad arguments");
	fError.clear();
	fLinks.clear();
	fFolderTimes.clear();
	FdCloser archiveFd(open(archivePath, O_RDONLY | O_CLOEXEC));
	if (archiveFd.fd < 0)
		return _Fail(B_ENTRY_NOT_FOUND, std::string("cannot open ") + archivePath);
	FdCloser targetFd(open(target, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
	if (targetFd.fd < 0)
		return _Fail(B_ENTRY_NOT_FOUND, std::string("cannot open the folder ") + target);
	status_t status = _CheckDirectory(archiveFd.fd, offset, size);
	if (status != B_OK)
		return status;

	RangeSource range = {archiveFd.fd, offset, (zip_uint64_t)size, 0, {}};
	zip_error_init(&range.error);
	zip_error_t error;
	zip_error_init(&error);
	zip_source_t* source = zip_source_function_create(range_callback, &range, &error);
	if (source == nullptr)
		return _Fail(B_NO_MEMORY, "cannot read the archive");
	zip_t* archive = zip_open_from_source(source, ZIP_RDONLY, &error);
	if (archive == nullptr) {
		zip_source_free(source);
		zip_error_fini(&error);
		return _Fail(B_BAD_DATA, std::string("not a ZIP archive: ") + archivePath);
	}
	status = _CheckNames(archive, top);
	int64 count = zip_get_num_entries(archive, 0);
	for (int64 i = 0; status == B_OK && i < count; i++)
		status = _ExtractEntry(archive, i, targetFd.fd, target);
	zip_discard(archive);
	zip_error_fini(&error);
	if (status != B_OK)
		return status;
	// Children change their folder's time: folders get theirs last, deepest first.
	for (auto it = fFolderTimes.rbegin(); it != fFolderTimes.rend(); ++it) {
		struct timespec times[2] = {to_timespec(it->accessed), to_timespec(it->modified)};
		utimensat(targetFd.fd, it->name.c_str(), times, AT_SYMLINK_NOFOLLOW);
		fchmodat(targetFd.fd, it->name.c_str(), it->mode, 0);
	}
	return B_OK;
}

// Refuses archives whose central directory would take more memory to read
// than a payload ever needs, before libzip reads it.
status_t PayloadExtractor::_CheckDirectory(int fd, off_t offset, off_t size)
{
	size_t tailLength = (size_t)std::min<off_t>(size, 22 + 0xffff);
	std::unique_ptr<uint8[]> tail(new uint8[tailLength]);
	off_t tailStart = offset + size - tailLength;
	if (!read_fully(fd, tail.get(), tailLength, tailStart))
		return _Fail(B_IO_ERROR, "cannot read the archive");
	ssize_t at = (ssize_t)tailLength - 22;
	while (at >= 0 && get32(tail.get() + at) != kEndOfDirectory)
		at--;
	if (at < 0)
		return _Fail(B_BAD_DATA, "not a ZIP archive (no end of directory)");
	uint64 entries = get16(tail.get() + at + 10);
	uint64 directoryBytes = get32(tail.get() + at + 12);
	if (entries == 0xffff || directoryBytes == 0xffffffff) {
		uint8 locator[20];
		uint8 end[56];
		off_t locatorAt = tailStart + at - 20;
		if (locatorAt < offset || !read_fully(fd, locator, 20, locatorAt)
			|| get32(locator) != kZip64Locator)
			return _Fail(B_BAD_DATA, "damaged ZIP64 directory");
		uint64 endAt = get64(locator + 8);
		if (endAt > (uint64)size - 56 || !read_fully(fd, end, 56, offset + endAt)
			|| get32(end) != kZip64End)
			return _Fail(B_BAD_DATA, "damaged ZIP64 directory");
		entries = get64(end + 32);
		directoryBytes = get64(end + 40);
	}
	if (entries > (uint64)fMaxEntries)
		return _Fail(B_BAD_DATA, "the archive holds too many entries");
	if (directoryBytes > kMaxDirectoryBytes)
		return _Fail(B_BAD_DATA, "the archive's directory is too large");
	return B_OK;
}

// Checks every name before anything is written, so that a hostile name
// leaves no trace at all.
status_t PayloadExtractor::_CheckNames(zip_t* archive, const char* top)
{
	int64 count = zip_get_num_entries(archive, 0);
	if (count <= 0)
		return _Fail(B_BAD_DATA, "the archive is empty");
	if (count > fMaxEntries)
		return _Fail(B_BAD_DATA, "the archive holds too many entries");
	std::set<std::string> links;
	std::vector<std::string> names;
	for (int64 i = 0; i < count; i++) {
		const char* name = zip_get_name(archive, i, 0);
		if (name == nullptr)
			return _Fail(B_BAD_DATA, "an entry has no name");
		status_t status = _CheckName(name, top);
		if (status != B_OK)
			return status;
		zip_uint8_t system = 0;
		zip_uint32_t attributes = 0;
		zip_file_get_external_attributes(archive, i, 0, &system, &attributes);
		std::string path = name;
		if (path.back() != '/' && S_ISLNK(attributes >> 16))
			links.insert(path);
		if (path.back() == '/')
			path.pop_back();
		names.push_back(path);
	}
	for (const std::string& name : names) {
		for (size_t slash = name.find('/'); slash != std::string::npos;
			slash = name.find('/', slash + 1)) {
			if (links.count(name.substr(0, slash)) != 0)
				return _Fail(B_NOT_ALLOWED, "the entry " + name + " lies behind a link");
		}
	}
	return B_OK;
}

status_t PayloadExtractor::_CheckName(const std::string& name, const char* top) const
{
	PayloadExtractor* self = const_cast<PayloadExtractor*>(this);
	if (name.empty() || name.size() > fMaxNameLength)
		return self->_Fail(B_NAME_TOO_LONG, "an entry's name is empty or too long");
	if (name[0] == '/')
		return self->_Fail(B_NOT_ALLOWED, "the entry " + name + " has an absolute path");
	std::string path = name.back() == '/' ? name.substr(0, name.size() - 1) : name;
	std::vector<std::string> parts = split_name(path);
	for (const std::string& part : parts) {
		if (part.empty() || part == "." || part == "..")
			return self->_Fail(B_NOT_ALLOWED, "the entry " + name + " leaves its folder");
		if (part.size() > kMaxLeafLength)
			return self->_Fail(B_NAME_TOO_LONG, "the entry " + name + " has too long a name");
	}
	if (parts[0] != top)
		return self->_Fail(B_NOT_ALLOWED,
			"the entry " + name + " does not lie under " + std::string(top));
	return B_OK;
}

status_t PayloadExtractor::_ExtractEntry(zip_t* archive, int64 index, int targetFd,
	const std::string& target)
{
	zip_stat_t stat;
	if (zip_stat_index(archive, index, 0, &stat) != 0)
		return _Fail(B_BAD_DATA, "cannot read an entry");
	std::string name = stat.name;
	bool folder = name.back() == '/';
	if (folder)
		name.pop_back();
	zip_uint8_t system = 0;
	zip_uint32_t external = 0;
	zip_file_get_external_attributes(archive, index, 0, &system, &external);
	mode_t mode = external >> 16;
	bool hasMode = (system == ZIP_OPSYS_UNIX || system == ZIP_OPSYS_BEOS) && mode != 0;
	folder = folder || (hasMode && S_ISDIR(mode));
	bool link = !folder && hasMode && S_ISLNK(mode);
	mode_t permissions = hasMode ? (mode & 0777) : (folder ? 0755 : 0644);

	PayloadTimes times;
	zip_uint16_t length = 0;
	const zip_uint8_t* data = zip_file_extra_field_get_by_id(archive, index,
		kPayloadTimeField, 0, &length, ZIP_FL_LOCAL);
	if (data != nullptr)
		decode_payload_times(data, length, &times);
	if (times.modified < 0 && (stat.valid & ZIP_STAT_MTIME))
		times.modified = stat.mtime;
	if (times.accessed < 0)
		times.accessed = times.modified;

	std::vector<std::string> parts = split_name(name);
	size_t folders = folder ? parts.size() : parts.size() - 1;
	FdCloser parentFd(open_folder(targetFd, parts, folders));
	if (parentFd.fd < 0)
		return _Fail(B_NOT_ALLOWED, "cannot make the folder of " + name + ": " + strerror(errno));
	status_t status = B_OK;
	if (folder)
		fFolderTimes.push_back({name, times.modified, times.accessed, permissions});
	else if (link)
		status = _WriteLink(archive, index, parentFd.fd, parts.back(), stat.size);
	else
		status = _WriteFile(archive, index, parentFd.fd, parts.back(), stat.size, permissions);
	if (status != B_OK)
		return status;
	if (!link)
		status = _ApplyAttributes(archive, index, target + "/" + name);
	if (status != B_OK || folder || times.modified < 0)
		return status;
	struct timespec stamps[2] = {to_timespec(times.accessed), to_timespec(times.modified)};
	utimensat(parentFd.fd, parts.back().c_str(), stamps, AT_SYMLINK_NOFOLLOW);
	return B_OK;
}

// Streams one file's data; more bytes than the entry declares stop it.
status_t PayloadExtractor::_WriteFile(zip_t* archive, int64 index, int parentFd,
	const std::string& leaf, uint64 size, mode_t mode)
{
	remove_leaf(parentFd, leaf);
	FdCloser out(openat(parentFd, leaf.c_str(),
		O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
	if (out.fd < 0)
		return _Fail(B_NOT_ALLOWED, "cannot create " + leaf + ": " + strerror(errno));
	zip_file_t* file = zip_fopen_index(archive, index, 0);
	if (file == nullptr)
		return _Fail(B_BAD_DATA, "cannot read the entry " + leaf + ": " + zip_strerror(archive));
	std::unique_ptr<char[]> buffer(new char[kBufferSize]);
	uint64 total = 0;
	status_t status = B_OK;
	while (status == B_OK) {
		zip_int64_t read = zip_fread(file, buffer.get(), kBufferSize);
		if (read < 0)
			status = _Fail(B_BAD_DATA, "the entry " + leaf + " is damaged: "
				+ zip_error_strerror(zip_file_get_error(file)));
		else if (read == 0)
			break;
		else if ((total += read) > size)
			status = _Fail(B_BAD_DATA, "the entry " + leaf + " is larger than it declares");
		else if (!write_fully(out.fd, buffer.get(), read))
			status = _Fail(B_IO_ERROR, "cannot write " + leaf + ": " + strerror(errno));
	}
	zip_fclose(file);
	if (status == B_OK && total != size)
		status = _Fail(B_BAD_DATA, "the entry " + leaf + " is shorter than it declares");
	if (status == B_OK)
		fchmod(out.fd, mode);
	return status;
}

status_t PayloadExtractor::_WriteLink(zip_t* archive, int64 index, int parentFd,
	const std::string& leaf, uint64 size)
{
	if (size == 0 || size > kMaxLinkLength)
		return _Fail(B_BAD_DATA, "the link " + leaf + " has a bad target");
	zip_file_t* file = zip_fopen_index(archive, index, 0);
	if (file == nullptr)
		return _Fail(B_BAD_DATA, "cannot read the link " + leaf);
	std::string target(size + 1, '\0');
	zip_int64_t read = zip_fread(file, target.data(), size + 1);
	zip_fclose(file);
	if (read != (zip_int64_t)size || target.find('\0') < size)
		return _Fail(B_BAD_DATA, "the link " + leaf + " has a bad target");
	target.resize(size);
	remove_leaf(parentFd, leaf);
	if (symlinkat(target.c_str(), parentFd, leaf.c_str()) != 0)
		return _Fail(B_IO_ERROR, "cannot create the link " + leaf + ": " + strerror(errno));
	return B_OK;
}

// Gives the entry the attributes of its 0x6542 block, each with its type.
status_t PayloadExtractor::_ApplyAttributes(zip_t* archive, int64 index, const std::string& path)
{
	zip_uint16_t length = 0;
	const zip_uint8_t* data = zip_file_extra_field_get_by_id(archive, index,
		kPayloadAttrField, 0, &length, ZIP_FL_LOCAL);
	if (data == nullptr)
		return B_OK;
	std::vector<PayloadAttribute> attributes;
	if (decode_payload_attributes(data, length, &attributes) != B_OK)
		return _Fail(B_BAD_DATA, "the attributes of " + path + " are damaged");
	BNode node(path.c_str());
	if (node.InitCheck() != B_OK)
		return B_OK;
	for (const PayloadAttribute& attribute : attributes) {
		if (attribute.name.size() >= B_ATTR_NAME_LENGTH)
			continue;
		// A volume without attributes still gets the entry.
		node.WriteAttr(attribute.name.c_str(), attribute.type, 0, attribute.data.data(),
			attribute.data.size());
	}
	return B_OK;
}

status_t PayloadExtractor::_Fail(status_t status, const std::string& text)
{
	fError = text;
	return status;
}
