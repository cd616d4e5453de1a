// Streaming, hostile-safe extraction of payload archives.
#include "PayloadExtractor.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <set>
#include <string_view>
#include <thread>

#include "HostFileReader.h"
#include "Mime.h"
#include "MimeType.h"
#include "Node.h"
#include "PayloadFields.h"
#include "PayloadNames.h"
#include "StorageHost.h"
#include "TypeConstants.h"
#include "WriteBehind.h"
#include "ZipArchive.h"
#include "ZipEntryReader.h"
#include "ZipFormat.h"

namespace {

const size_t kBufferSize = 256 * 1024;
// Below these an archive is not worth a second thread.
const int64 kParallelEntries = 64;
const uint64 kParallelBytes = 8 * 1024 * 1024;
// From this size on, a file is written on a thread of its own while the
// next piece is read and checked.
const uint64 kWriteBehindBytes = 16 * 1024 * 1024;
// Folders kept open per thread; deeper ones are opened for each entry, so
// that no tree runs out of descriptors.
const size_t kMaxOpenFolders = 64;
const uint64 kMaxLinkLength = PATH_MAX;

struct FdCloser {
	int fd;
	explicit FdCloser(int value) : fd(value) {}
	~FdCloser()
	{
		if (fd >= 0)
			close(fd);
	}
};

// Makes room for a new file or link at `leaf`; a folder there stays and
// makes the creation fail.
void remove_leaf(int parentFd, const std::string& leaf)
{
	struct stat st;
	if (fstatat(parentFd, leaf.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(st.st_mode))
		unlinkat(parentFd, leaf.c_str(), 0);
}

// An MS-DOS date and time, read as local time.
int64 dos_time(uint32 stamp)
{
	struct tm parts = {};
	parts.tm_year = ((stamp >> 25) & 0x7f) + 80;
	parts.tm_mon = ((stamp >> 21) & 0x0f) - 1;
	parts.tm_mday = (stamp >> 16) & 0x1f;
	parts.tm_hour = (stamp >> 11) & 0x1f;
	parts.tm_min = (stamp >> 5) & 0x3f;
	parts.tm_sec = (stamp & 0x1f) * 2;
	parts.tm_isdst = -1;
	return (int64)mktime(&parts);
}

// The process's umask, read without changing it under other threads; when
// unknown every mode is set after creation.
mode_t creation_mask()
{
	FILE* status = fopen("/proc/self/status", "re");
	if (status == nullptr)
		return 0777;
	mode_t mask = 0777;
	char line[256];
	while (fgets(line, sizeof(line), status) != nullptr) {
		unsigned int value = 0;
		if (sscanf(line, "Umask: %o", &value) == 1) {
			mask = value & 0777;
			break;
		}
	}
	fclose(status);
	return mask;
}

struct timespec to_timespec(int64 seconds)
{
	struct timespec time = {};
	time.tv_sec = seconds;
	return time;
}

} // namespace

// One thread's share of the entries, each read through its own reader.
struct PayloadExtractor::Slice {
	const ZipArchive* archive = nullptr;
	int targetFd = -1;
	std::string target;
	int64 first = 0;
	int64 end = 0;
	std::atomic<bool>* failed = nullptr;

	bool keepsAttributes = true;
	mode_t creationMask = 022;
	const std::string* tagName = nullptr;
	const std::string* tagValue = nullptr;
	const std::string* idName = nullptr;
	const std::string* idValue = nullptr;
	std::atomic<int64>* written = nullptr;
	// Only the slice on the calling thread asks; the others see `failed`.
	const std::function<bool()>* stopped = nullptr;

	status_t status = B_OK;
	std::string error;
	std::vector<Pending> folderTimes;

	void Run();

private:
	status_t Fail(status_t result, const std::string& text);
	int OpenFolder(const std::vector<std::string>& parts, size_t count);
	void CloseFolders(size_t keep);
	status_t Entry(const ZipEntry& entry);
	status_t WriteFile(int parentFd, const std::string& name, const std::string& leaf, uint64 size,
	                   mode_t mode, PayloadTimes& times);
	status_t Copy(int fd, const std::string& leaf, uint64 size, bool sniff, std::string* prefix);
	status_t CopyBehind(int fd, const std::string& leaf, uint64 size, bool sniff,
	                    std::string* prefix);
	status_t WriteLink(int parentFd, const std::string& name, const std::string& leaf, uint64 size);
	status_t ReadAttributes(const std::string& name, std::vector<PayloadAttribute>* attributes);
	void WriteAttributes(int fd, const std::vector<PayloadAttribute>& attributes,
	                     const std::string& type);
	bool IsTag(const std::string& name) const;

	ZipEntryReader fReader;
	std::unique_ptr<char[]> fBuffer;
	// The folders leading to the last entry's, each open: the next entry
	// mostly shares all or most of them.
	std::vector<std::string> fOpenNames;
	std::vector<int> fOpenFds;
	std::set<std::string> fMadeFolders;
	// The last folder below the kept ones, or -1.
	int fDeepFd = -1;
};

status_t PayloadExtractor::Slice::Fail(status_t result, const std::string& text)
{
	error = text;
	return result;
}

void PayloadExtractor::Slice::Run()
{
	fBuffer.reset(new char[kBufferSize]);
	const std::vector<ZipEntry>& entries = archive->Entries();
	const int64 kStopCheckInterval = 64;
	for (int64 i = first; status == B_OK && i < end && !failed->load(); i++) {
		if (stopped != nullptr && (i - first) % kStopCheckInterval == 0 && (*stopped)()) {
			status = Fail(B_CANCELED, "stopped");
			break;
		}
		status = Entry(entries[i]);
	}
	if (status != B_OK)
		failed->store(true);
	CloseFolders(0);
}

void PayloadExtractor::Slice::CloseFolders(size_t keep)
{
	if (fDeepFd >= 0)
		close(fDeepFd);
	fDeepFd = -1;
	while (fOpenFds.size() > keep) {
		close(fOpenFds.back());
		fOpenFds.pop_back();
		fOpenNames.pop_back();
	}
}

// Opens the folder `parts[0..count)` below the target, each folder on the
// way relative to its open parent and made once, typed through its own
// descriptor; a link anywhere on the way makes it fail (ELOOP or ENOTDIR).
int PayloadExtractor::Slice::OpenFolder(const std::vector<std::string>& parts, size_t count)
{
	const size_t kept = std::min(count, kMaxOpenFolders);
	size_t shared = 0;
	while (shared < kept && shared < fOpenNames.size() && fOpenNames[shared] == parts[shared])
		shared++;
	CloseFolders(shared);
	std::string path;
	for (size_t i = 0; i < count; i++) {
		path += (i > 0 ? "/" : "") + parts[i];
		if (i < shared)
			continue;
		const int parent = i == 0 ? targetFd : i <= kMaxOpenFolders ? fOpenFds[i - 1] : fDeepFd;
		bool made = false;
		if (fMadeFolders.count(path) == 0) {
			made = mkdirat(parent, parts[i].c_str(), 0755) == 0;
			if (!made && errno != EEXIST)
				return -1;
			fMadeFolders.insert(path);
		}
		const int fd =
		        openat(parent, parts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
		if (fd < 0)
			return -1;
		// Whoever made a folder types it; a folder entry's own type may follow.
		if (made)
			WriteAttributes(fd, {}, B_DIRECTORY_MIME_TYPE);
		if (i < kMaxOpenFolders) {
			fOpenFds.push_back(fd);
			fOpenNames.push_back(parts[i]);
		} else {
			if (fDeepFd >= 0)
				close(fDeepFd);
			fDeepFd = fd;
		}
	}
	return count == 0 ? targetFd : count <= kMaxOpenFolders ? fOpenFds[count - 1] : fDeepFd;
}

status_t PayloadExtractor::Slice::Entry(const ZipEntry& entry)
{
	status_t result = fReader.SetTo(*archive, entry);
	if (result != B_OK)
		return Fail(result, fReader.ErrorText());
	std::string name = entry.name;
	bool folder = name.back() == '/';
	if (folder)
		name.pop_back();
	mode_t mode = payload_entry_mode(entry);
	bool hasMode = mode != 0;
	folder = folder || (hasMode && S_ISDIR(mode));
	bool link = !folder && hasMode && S_ISLNK(mode);
	mode_t permissions = hasMode ? (mode & 0777) : (folder ? 0755 : 0644);

	PayloadTimes times;
	uint16 length = 0;
	const uint8* data = fReader.LocalField(kPayloadTimeField, &length);
	if (data != nullptr)
		decode_payload_times(data, length, &times);
	if (times.modified < 0)
		times.modified = dos_time(entry.dosTime);
	if (times.accessed < 0)
		times.accessed = times.modified;

	std::vector<std::string> parts = split_payload_name(name);
	size_t folders = folder ? parts.size() : parts.size() - 1;
	int parentFd = OpenFolder(parts, folders);
	if (parentFd < 0)
		return Fail(B_NOT_ALLOWED, "cannot make the folder of " + name + ": " + strerror(errno));
	if (link)
		return WriteLink(parentFd, name, parts.back(), entry.size);
	if (!folder)
		return WriteFile(parentFd, name, parts.back(), entry.size, permissions, times);
	std::vector<PayloadAttribute> attributes;
	result = ReadAttributes(name, &attributes);
	if (result != B_OK)
		return result;
	WriteAttributes(parentFd, attributes, std::string());
	folderTimes.push_back({name, times.modified, times.accessed, permissions});
	return B_OK;
}

// Streams one file's data; more bytes than the entry declares stop it.
status_t PayloadExtractor::Slice::WriteFile(int parentFd, const std::string& name,
                                            const std::string& leaf, uint64 size, mode_t mode,
                                            PayloadTimes& times)
{
	std::vector<PayloadAttribute> attributes;
	status_t result = ReadAttributes(name, &attributes);
	if (result != B_OK)
		return result;
	const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
	// Made with its mode where the umask keeps it and its owner may write
	// it (attributes need that); changed once written otherwise.
	const mode_t made = (mode & creationMask) == 0 && (mode & S_IWUSR) != 0 ? mode : 0600;
	FdCloser out(openat(parentFd, leaf.c_str(), flags, made));
	if (out.fd < 0 && errno == EEXIST) {
		remove_leaf(parentFd, leaf);
		out.fd = openat(parentFd, leaf.c_str(), flags, made);
	}
	if (out.fd < 0)
		return Fail(B_NOT_ALLOWED, "cannot create " + leaf + ": " + strerror(errno));
	// An entry without a type is sniffed from its first bytes.
	bool sniff = !payload_has_type(attributes);
	std::string prefix;
	result = size >= kWriteBehindBytes ? CopyBehind(out.fd, leaf, size, sniff, &prefix)
	                                   : Copy(out.fd, leaf, size, sniff, &prefix);
	if (result != B_OK)
		return result;
	WriteAttributes(out.fd, attributes,
	                sniff ? sniff_mime_type_data(prefix.data(), prefix.size(), mode)
	                      : std::string());
	if (made != mode)
		fchmod(out.fd, mode);
	if (times.modified >= 0) {
		struct timespec stamps[2] = {to_timespec(times.accessed), to_timespec(times.modified)};
		futimens(out.fd, stamps);
	}
	return B_OK;
}

// Streams the entry's data into `fd`; more bytes than the entry declares
// stop it.
status_t PayloadExtractor::Slice::Copy(int fd, const std::string& leaf, uint64 size, bool sniff,
                                       std::string* prefix)
{
	uint64 total = 0;
	while (true) {
		const ssize_t read = fReader.Read(fBuffer.get(), kBufferSize);
		if (read < 0)
			return Fail((status_t)read, fReader.ErrorText());
		if (read == 0)
			return B_OK;
		if ((total += read) > size)
			return Fail(B_BAD_DATA, "the entry " + leaf + " is larger than it declares");
		if (write_fully(fd, fBuffer.get(), read) != B_OK)
			return Fail(B_IO_ERROR, "cannot write " + leaf + ": " + strerror(errno));
		if (written != nullptr)
			written->fetch_add(read, std::memory_order_relaxed);
		if (sniff && prefix->size() < kMimeSniffBytes)
			prefix->append(fBuffer.get(), std::min<size_t>(read, kMimeSniffBytes - prefix->size()));
	}
}

// The same for a large file, written behind the reading.
status_t PayloadExtractor::Slice::CopyBehind(int fd, const std::string& leaf, uint64 size,
                                             bool sniff, std::string* prefix)
{
	WriteBehind writer(fd, kBufferSize);
	uint64 total = 0;
	status_t result = B_OK;
	while (result == B_OK) {
		char* buffer = writer.Buffer();
		if (buffer == nullptr)
			break;
		const ssize_t read = fReader.Read(buffer, kBufferSize);
		if (read < 0)
			result = Fail((status_t)read, fReader.ErrorText());
		else if ((total += (uint64)read) > size)
			result = Fail(B_BAD_DATA, "the entry " + leaf + " is larger than it declares");
		else if (sniff && prefix->size() < kMimeSniffBytes)
			prefix->append(buffer, std::min<size_t>(read, kMimeSniffBytes - prefix->size()));
		writer.Submit(buffer, result == B_OK ? (size_t)read : 0);
		if (written != nullptr && result == B_OK)
			written->fetch_add(read, std::memory_order_relaxed);
		if (read == 0)
			break;
	}
	if (writer.Finish() != B_OK && result == B_OK)
		result = Fail(B_IO_ERROR, "cannot write " + leaf + ": " + strerror(writer.Error()));
	return result;
}

status_t PayloadExtractor::Slice::WriteLink(int parentFd, const std::string& name,
                                            const std::string& leaf, uint64 size)
{
	if (size == 0 || size > kMaxLinkLength)
		return Fail(B_BAD_DATA, "the link " + leaf + " has a bad target");
	std::string linkTarget(size, '\0');
	uint64 done = 0;
	while (done < size) {
		ssize_t read = fReader.Read(linkTarget.data() + done, size - done);
		if (read < 0)
			return Fail((status_t)read, fReader.ErrorText());
		if (read == 0)
			break;
		done += read;
	}
	char end;
	if (done != size || fReader.Read(&end, 1) != 0 || linkTarget.find('\0') != std::string::npos)
		return Fail(B_BAD_DATA, "the link " + leaf + " has a bad target");
	linkTarget.resize(size);
	remove_leaf(parentFd, leaf);
	if (symlinkat(linkTarget.c_str(), parentFd, leaf.c_str()) != 0)
		return Fail(B_IO_ERROR, "cannot create the link " + leaf + ": " + strerror(errno));
	// A link's attributes live on its folder: it is tagged by path.
	if (tagName != nullptr && keepsAttributes) {
		BNode node((target + "/" + name).c_str());
		node.WriteAttr(tagName->c_str(), B_STRING_TYPE, 0, tagValue->data(), tagValue->size());
		if (idName != nullptr)
			node.WriteAttr(idName->c_str(), B_STRING_TYPE, 0, idValue->data(), idValue->size());
	}
	return B_OK;
}

// The attributes of the entry's 0x6542 block, each with its type.
status_t PayloadExtractor::Slice::ReadAttributes(const std::string& name,
                                                 std::vector<PayloadAttribute>* attributes)
{
	uint16 length = 0;
	const uint8* data = fReader.LocalField(kPayloadAttrField, &length);
	if (data != nullptr && decode_payload_attributes(data, length, attributes) != B_OK)
		return Fail(B_BAD_DATA, "the attributes of " + target + "/" + name + " are damaged");
	return B_OK;
}

// Gives the new entry open at `fd` its attributes and, when it carries
// none, `type`. A volume without attributes still gets the entry.
void PayloadExtractor::Slice::WriteAttributes(int fd,
                                              const std::vector<PayloadAttribute>& attributes,
                                              const std::string& type)
{
	if (!keepsAttributes)
		return;
	if (!type.empty() && !payload_has_type(attributes))
		BNode::WriteNewAttr(fd, "BEOS:TYPE", B_MIME_STRING_TYPE, type.c_str(), type.size() + 1);
	for (const PayloadAttribute& attribute : attributes) {
		if (attribute.name.size() >= B_ATTR_NAME_LENGTH || IsTag(attribute.name))
			continue;
		BNode::WriteNewAttr(fd, attribute.name.c_str(), attribute.type, attribute.data.data(),
		                    attribute.data.size());
	}
	if (tagName != nullptr)
		BNode::WriteNewAttr(fd, tagName->c_str(), B_STRING_TYPE, tagValue->data(),
		                    tagValue->size());
	if (tagName != nullptr && idName != nullptr)
		BNode::WriteNewAttr(fd, idName->c_str(), B_STRING_TYPE, idValue->data(), idValue->size());
}

bool PayloadExtractor::Slice::IsTag(const std::string& name) const
{
	return (tagName != nullptr && name == *tagName) || (idName != nullptr && name == *idName);
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

void PayloadExtractor::SetTag(const std::string& name, const std::string& value)
{
	fTagName = name;
	fTagValue = value;
}

void PayloadExtractor::SetIdentity(const std::string& name, const std::string& value)
{
	fIdName = name;
	fIdValue = value;
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
	ZipArchive archive;
	if (archive.SetTo(archiveFd.fd, offset, size, (uint64)fMaxEntries) != B_OK)
		return _Fail(archive.InitCheck(), archive.ErrorText() + ": " + archivePath);
	fEntryCount = int64(archive.Entries().size());
	status_t status = _CheckNames(archive, top);
	if (status != B_OK)
		return status;
	std::vector<int64> points = _SplitPoints(archive, 2);
	const mode_t mask = creation_mask();
	char canonical[PATH_MAX];
	const bool keepsAttributes =
	        realpath(target, canonical) == nullptr || host_path_keeps_attributes(canonical);

	std::atomic<bool> failed(false);
	std::vector<Slice> slices(points.size() - 1);
	for (size_t i = 0; i < slices.size(); i++) {
		Slice& slice = slices[i];
		slice.archive = &archive;
		slice.targetFd = targetFd.fd;
		slice.target = target;
		slice.first = points[i];
		slice.end = points[i + 1];
		slice.failed = &failed;
		slice.keepsAttributes = keepsAttributes;
		slice.creationMask = mask;
		slice.tagName = fTagName.empty() ? nullptr : &fTagName;
		slice.tagValue = &fTagValue;
		slice.idName = fIdName.empty() ? nullptr : &fIdName;
		slice.idValue = &fIdValue;
		slice.written = fWritten;
		slice.stopped = i == 0 && fStopped ? &fStopped : nullptr;
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
	return _FinishFolders(targetFd.fd, slices);
}

// Children change their folder's time, so folders get theirs last, deepest
// first.
status_t PayloadExtractor::_FinishFolders(int targetFd, std::vector<Slice>& slices)
{
	std::vector<Pending> times;
	for (Slice& slice : slices)
		times.insert(times.end(), slice.folderTimes.begin(), slice.folderTimes.end());
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
// size, never inside a shared stream; a small archive is one run.
std::vector<int64> PayloadExtractor::_SplitPoints(const ZipArchive& archive, int slices) const
{
	const std::vector<ZipEntry>& entries = archive.Entries();
	int64 count = entries.size();
	std::vector<uint64> sizes(count, 0);
	uint64 total = 0;
	for (int64 i = 0; i < count; i++) {
		sizes[i] = entries[i].compressedSize + 256;
		total += sizes[i];
	}
	std::vector<int64> points = {0};
	if (count < kParallelEntries || total < kParallelBytes ||
	    std::thread::hardware_concurrency() < 2)
		slices = 1;
	uint64 done = 0;
	bool inStream = false;
	for (int64 i = 0; i < count && (int)points.size() < slices; i++) {
		done += sizes[i];
		if (entries[i].solid)
			inStream = !entries[i].streamEnds;
		// A slice starts where no shared stream runs on: its reader would
		// decode the stream from its start.
		if (done * slices >= total * points.size() && i + 1 < count && !inStream)
			points.push_back(i + 1);
	}
	points.push_back(count);
	return points;
}

status_t PayloadExtractor::_Fail(status_t status, const std::string& text)
{
	fError = text;
	return status;
}
