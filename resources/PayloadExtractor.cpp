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
#include <atomic>
#include <memory>
#include <set>
#include <thread>

#include "Mime.h"
#include "MimeType.h"
#include "Node.h"
#include "PayloadFields.h"
#include "TypeConstants.h"

namespace {

const size_t kBufferSize = 256 * 1024;
// Below these an archive is not worth a second thread.
const int64 kParallelEntries = 64;
const zip_uint64_t kParallelBytes = 8 * 1024 * 1024;
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
		case ZIP_SOURCE_OPEN: range->position = 0; return 0;
		case ZIP_SOURCE_READ: return range_read(range, data, length);
		case ZIP_SOURCE_CLOSE:
		case ZIP_SOURCE_FREE: return 0;
		case ZIP_SOURCE_STAT: {
			auto* stat = static_cast<zip_stat_t*>(data);
			zip_stat_init(stat);
			stat->size = range->size;
			stat->valid |= ZIP_STAT_SIZE;
			return sizeof(*stat);
		}
		case ZIP_SOURCE_ERROR: return zip_error_to_data(&range->error, data, length);
		case ZIP_SOURCE_SEEK: {
			zip_int64_t position = zip_source_seek_compute_offset(range->position, range->size,
			                                                      data, length, &range->error);
			if (position < 0)
				return -1;
			range->position = position;
			return 0;
		}
		case ZIP_SOURCE_TELL: return range->position;
		case ZIP_SOURCE_SUPPORTS:
			return zip_source_make_command_bitmap(
			        ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
			        ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL,
			        ZIP_SOURCE_SUPPORTS, -1);
		default: zip_error_set(&range->error, ZIP_ER_OPNOTSUPP, 0); return -1;
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

} // namespace

// One thread's share of the entries, read through its own libzip handle.
struct PayloadExtractor::Slice {
	int archiveFd = -1;
	off_t offset = 0;
	off_t size = 0;
	int targetFd = -1;
	std::string target;
	int64 first = 0;
	int64 end = 0;
	std::atomic<bool>* failed = nullptr;

	status_t status = B_OK;
	std::string error;
	std::vector<Pending> folderTimes;
	std::set<std::string> createdFolders;
	std::set<std::string> typedFolders;

	void Run();

private:
	status_t Fail(status_t result, const std::string& text);
	int OpenFolder(const std::vector<std::string>& parts, size_t count);
	status_t Entry(zip_t* archive, int64 index);
	status_t WriteFile(zip_t* archive, int64 index, int parentFd, const std::string& name,
	                   const std::string& leaf, uint64 size, mode_t mode, PayloadTimes& times);
	status_t WriteLink(zip_t* archive, int64 index, int parentFd, const std::string& leaf,
	                   uint64 size);
	status_t ReadAttributes(zip_t* archive, int64 index, const std::string& name,
	                        std::vector<PayloadAttribute>* attributes);
	void WriteAttributes(const std::string& path, std::vector<PayloadAttribute>& attributes,
	                     const std::string& type);

	std::unique_ptr<char[]> fBuffer;
	std::string fFolderName;
	int fFolderFd = -1;
};

status_t PayloadExtractor::Slice::Fail(status_t result, const std::string& text)
{
	error = text;
	return result;
}

void PayloadExtractor::Slice::Run()
{
	fBuffer.reset(new char[kBufferSize]);
	RangeSource range = {archiveFd, offset, (zip_uint64_t)size, 0, {}};
	zip_error_init(&range.error);
	zip_error_t zipError;
	zip_error_init(&zipError);
	zip_source_t* source = zip_source_function_create(range_callback, &range, &zipError);
	zip_t* archive =
	        source != nullptr ? zip_open_from_source(source, ZIP_RDONLY, &zipError) : nullptr;
	if (archive == nullptr) {
		if (source != nullptr)
			zip_source_free(source);
		status = Fail(B_BAD_DATA, "cannot read the archive");
	}
	for (int64 i = first; status == B_OK && i < end && !failed->load(); i++)
		status = Entry(archive, i);
	if (status != B_OK)
		failed->store(true);
	if (archive != nullptr)
		zip_discard(archive);
	zip_error_fini(&zipError);
	if (fFolderFd >= 0)
		close(fFolderFd);
	fFolderFd = -1;
}

// Opens the folder `parts[0..count)` below the target, creating what is
// missing; a link anywhere on the way makes it fail (ELOOP or ENOTDIR).
// Entries come folder by folder: the last folder stays open.
int PayloadExtractor::Slice::OpenFolder(const std::vector<std::string>& parts, size_t count)
{
	std::string name;
	for (size_t i = 0; i < count; i++)
		name += (i > 0 ? "/" : "") + parts[i];
	if (fFolderFd >= 0 && name == fFolderName)
		return fFolderFd;
	if (fFolderFd >= 0)
		close(fFolderFd);
	fFolderName.clear();
	int fd = fcntl(targetFd, F_DUPFD_CLOEXEC, 0);
	std::string path;
	for (size_t i = 0; i < count && fd >= 0; i++) {
		path += (i > 0 ? "/" : "") + parts[i];
		if (mkdirat(fd, parts[i].c_str(), 0755) == 0)
			createdFolders.insert(path);
		else if (errno != EEXIST) {
			close(fd);
			fd = -1;
			break;
		}
		int next = openat(fd, parts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
		close(fd);
		fd = next;
	}
	fFolderFd = fd;
	if (fd >= 0)
		fFolderName = name;
	return fd;
}

status_t PayloadExtractor::Slice::Entry(zip_t* archive, int64 index)
{
	zip_stat_t stat;
	if (zip_stat_index(archive, index, 0, &stat) != 0)
		return Fail(B_BAD_DATA, "cannot read an entry");
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
	const zip_uint8_t* data = zip_file_extra_field_get_by_id(archive, index, kPayloadTimeField, 0,
	                                                         &length, ZIP_FL_LOCAL);
	if (data != nullptr)
		decode_payload_times(data, length, &times);
	if (times.modified < 0 && (stat.valid & ZIP_STAT_MTIME))
		times.modified = stat.mtime;
	if (times.accessed < 0)
		times.accessed = times.modified;

	std::vector<std::string> parts = split_name(name);
	size_t folders = folder ? parts.size() : parts.size() - 1;
	int parentFd = OpenFolder(parts, folders);
	if (parentFd < 0)
		return Fail(B_NOT_ALLOWED, "cannot make the folder of " + name + ": " + strerror(errno));
	if (link)
		return WriteLink(archive, index, parentFd, parts.back(), stat.size);
	if (!folder)
		return WriteFile(archive, index, parentFd, name, parts.back(), stat.size, permissions,
		                 times);
	std::vector<PayloadAttribute> attributes;
	status_t result = ReadAttributes(archive, index, name, &attributes);
	if (result != B_OK)
		return result;
	WriteAttributes(target + "/" + name, attributes, B_DIRECTORY_MIME_TYPE);
	typedFolders.insert(name);
	folderTimes.push_back({name, times.modified, times.accessed, permissions});
	return B_OK;
}

// Streams one file's data; more bytes than the entry declares stop it.
status_t PayloadExtractor::Slice::WriteFile(zip_t* archive, int64 index, int parentFd,
                                            const std::string& name, const std::string& leaf,
                                            uint64 size, mode_t mode, PayloadTimes& times)
{
	std::vector<PayloadAttribute> attributes;
	status_t result = ReadAttributes(archive, index, name, &attributes);
	if (result != B_OK)
		return result;
	const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
	FdCloser out(openat(parentFd, leaf.c_str(), flags, 0600));
	if (out.fd < 0 && errno == EEXIST) {
		remove_leaf(parentFd, leaf);
		out.fd = openat(parentFd, leaf.c_str(), flags, 0600);
	}
	if (out.fd < 0)
		return Fail(B_NOT_ALLOWED, "cannot create " + leaf + ": " + strerror(errno));
	zip_file_t* file = zip_fopen_index(archive, index, 0);
	if (file == nullptr)
		return Fail(B_BAD_DATA, "cannot read the entry " + leaf + ": " + zip_strerror(archive));
	// An entry without a type is sniffed from its first bytes.
	bool sniff = !payload_has_type(attributes);
	std::string prefix;
	uint64 total = 0;
	while (result == B_OK) {
		zip_int64_t read = zip_fread(file, fBuffer.get(), kBufferSize);
		if (read < 0)
			result = Fail(B_BAD_DATA, "the entry " + leaf + " is damaged: " +
			                                  zip_error_strerror(zip_file_get_error(file)));
		else if (read == 0)
			break;
		else if ((total += read) > size)
			result = Fail(B_BAD_DATA, "the entry " + leaf + " is larger than it declares");
		else if (!write_fully(out.fd, fBuffer.get(), read))
			result = Fail(B_IO_ERROR, "cannot write " + leaf + ": " + strerror(errno));
		else if (sniff && prefix.size() < kMimeSniffBytes)
			prefix.append(fBuffer.get(), std::min<size_t>(read, kMimeSniffBytes - prefix.size()));
	}
	zip_fclose(file);
	if (result == B_OK && total != size)
		result = Fail(B_BAD_DATA, "the entry " + leaf + " is shorter than it declares");
	if (result != B_OK)
		return result;
	WriteAttributes(target + "/" + name, attributes,
	                sniff ? sniff_mime_type_data(prefix.data(), prefix.size(), mode)
	                      : std::string());
	fchmod(out.fd, mode);
	if (times.modified >= 0) {
		struct timespec stamps[2] = {to_timespec(times.accessed), to_timespec(times.modified)};
		futimens(out.fd, stamps);
	}
	return B_OK;
}

status_t PayloadExtractor::Slice::WriteLink(zip_t* archive, int64 index, int parentFd,
                                            const std::string& leaf, uint64 size)
{
	if (size == 0 || size > kMaxLinkLength)
		return Fail(B_BAD_DATA, "the link " + leaf + " has a bad target");
	zip_file_t* file = zip_fopen_index(archive, index, 0);
	if (file == nullptr)
		return Fail(B_BAD_DATA, "cannot read the link " + leaf);
	std::string linkTarget(size + 1, '\0');
	zip_int64_t read = zip_fread(file, linkTarget.data(), size + 1);
	zip_fclose(file);
	if (read != (zip_int64_t)size || linkTarget.find('\0') < size)
		return Fail(B_BAD_DATA, "the link " + leaf + " has a bad target");
	linkTarget.resize(size);
	remove_leaf(parentFd, leaf);
	if (symlinkat(linkTarget.c_str(), parentFd, leaf.c_str()) != 0)
		return Fail(B_IO_ERROR, "cannot create the link " + leaf + ": " + strerror(errno));
	return B_OK;
}

// The attributes of the entry's 0x6542 block, each with its type.
status_t PayloadExtractor::Slice::ReadAttributes(zip_t* archive, int64 index,
                                                 const std::string& name,
                                                 std::vector<PayloadAttribute>* attributes)
{
	zip_uint16_t length = 0;
	const zip_uint8_t* data = zip_file_extra_field_get_by_id(archive, index, kPayloadAttrField, 0,
	                                                         &length, ZIP_FL_LOCAL);
	if (data != nullptr && decode_payload_attributes(data, length, attributes) != B_OK)
		return Fail(B_BAD_DATA, "the attributes of " + target + "/" + name + " are damaged");
	return B_OK;
}

// Gives the entry its attributes and, when it carries none, `type`.
void PayloadExtractor::Slice::WriteAttributes(const std::string& path,
                                              std::vector<PayloadAttribute>& attributes,
                                              const std::string& type)
{
	if (attributes.empty() && type.empty())
		return;
	BNode node(path.c_str());
	if (node.InitCheck() != B_OK)
		return;
	// A volume without attributes still gets the entry.
	if (!type.empty() && !payload_has_type(attributes))
		node.WriteAttr("BEOS:TYPE", B_MIME_STRING_TYPE, 0, type.c_str(), type.size() + 1);
	for (const PayloadAttribute& attribute : attributes) {
		if (attribute.name.size() >= B_ATTR_NAME_LENGTH)
			continue;
		node.WriteAttr(attribute.name.c_str(), attribute.type, 0, attribute.data.data(),
		               attribute.data.size());
	}
}

PayloadExtractor::PayloadExtractor()
    : fMaxEntries(kDefaultMaxEntries), fMaxNameLength(kDefaultMaxNameLength)
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
	std::vector<int64> points;
	if (status == B_OK)
		points = _SplitPoints(archive, 2);
	zip_discard(archive);
	zip_error_fini(&error);
	if (status != B_OK)
		return status;

	std::atomic<bool> failed(false);
	std::vector<Slice> slices(points.size() - 1);
	for (size_t i = 0; i < slices.size(); i++) {
		Slice& slice = slices[i];
		slice.archiveFd = archiveFd.fd;
		slice.offset = offset;
		slice.size = size;
		slice.targetFd = targetFd.fd;
		slice.target = target;
		slice.first = points[i];
		slice.end = points[i + 1];
		slice.failed = &failed;
	}
	std::vector<std::thread> threads;
	for (size_t i = 1; i < slices.size(); i++)
		threads.emplace_back(&Slice::Run, &slices[i]);
	slices[0].Run();
	for (std::thread& thread : threads)
		thread.join();
	for (const Slice& slice : slices) {
		if (slice.status != B_OK)
			return _Fail(slice.status, slice.error);
	}
	return _FinishFolders(targetFd.fd, target, slices);
}

// Folders made for their contents are typed too; children change their
// folder's time, so folders get theirs last, deepest first.
status_t PayloadExtractor::_FinishFolders(int targetFd, const std::string& target,
                                          std::vector<Slice>& slices)
{
	std::set<std::string> typed;
	std::vector<Pending> times;
	for (Slice& slice : slices) {
		typed.insert(slice.typedFolders.begin(), slice.typedFolders.end());
		times.insert(times.end(), slice.folderTimes.begin(), slice.folderTimes.end());
	}
	for (Slice& slice : slices) {
		for (const std::string& name : slice.createdFolders) {
			if (typed.insert(name).second) {
				BNode node((target + "/" + name).c_str());
				node.WriteAttr("BEOS:TYPE", B_MIME_STRING_TYPE, 0, B_DIRECTORY_MIME_TYPE,
				               sizeof(B_DIRECTORY_MIME_TYPE));
			}
		}
	}
	std::sort(times.begin(), times.end(),
	          [](const Pending& a, const Pending& b) { return a.name > b.name; });
	for (const Pending& folder : times) {
		struct timespec stamps[2] = {to_timespec(folder.accessed), to_timespec(folder.modified)};
		utimensat(targetFd, folder.name.c_str(), stamps, AT_SYMLINK_NOFOLLOW);
		fchmodat(targetFd, folder.name.c_str(), folder.mode, 0);
	}
	return B_OK;
}

// Where the entries are cut into `slices` runs of about equal compressed
// size; a small archive is one run.
std::vector<int64> PayloadExtractor::_SplitPoints(zip_t* archive, int slices) const
{
	int64 count = zip_get_num_entries(archive, 0);
	std::vector<zip_uint64_t> sizes(count, 0);
	zip_uint64_t total = 0;
	for (int64 i = 0; i < count; i++) {
		zip_stat_t stat;
		if (zip_stat_index(archive, i, 0, &stat) == 0 && (stat.valid & ZIP_STAT_COMP_SIZE))
			sizes[i] = stat.comp_size + 256;
		total += sizes[i];
	}
	std::vector<int64> points = {0};
	if (count < kParallelEntries || total < kParallelBytes ||
	    std::thread::hardware_concurrency() < 2)
		slices = 1;
	zip_uint64_t done = 0;
	for (int64 i = 0; i < count && (int)points.size() < slices; i++) {
		done += sizes[i];
		if (done * slices >= total * points.size())
			points.push_back(i + 1);
	}
	points.push_back(count);
	return points;
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
		if (locatorAt < offset || !read_fully(fd, locator, 20, locatorAt) ||
		    get32(locator) != kZip64Locator)
			return _Fail(B_BAD_DATA, "damaged ZIP64 directory");
		uint64 endAt = get64(locator + 8);
		if (endAt > (uint64)size - 56 || !read_fully(fd, end, 56, offset + endAt) ||
		    get32(end) != kZip64End)
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

status_t PayloadExtractor::_Fail(status_t status, const std::string& text)
{
	fError = text;
	return status;
}
