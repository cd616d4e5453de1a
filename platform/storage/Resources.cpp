// BResources: reads the tables of a resources block without touching the
// data, loads data on demand, and rewrites the block through a temporary file.
#include "Resources.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "ByteOrder.h"
#include "File.h"
#include "RawAttributes.h"
#include "ResourceFile.h"
#include "StorageHost.h"

namespace {

const type_code kAppVersionType = 'APPV';
const size_t kCopyChunk = 1024 * 1024;

// Brings data written on the other byte order to the host's, by type.
void swap_to_host(type_code type, void* data, size_t size)
{
	if (type != kAppVersionType) {
		swap_data(type, data, size);
		return;
	}
	auto* words = static_cast<uint8*>(data);
	for (size_t i = 0; i < 5 && (i + 1) * 4 <= size; i++)
		write_u32le(words + i * 4, read_u32(words + i * 4, true));
}

// True when data of this type must be swapped when read from a big-endian block.
bool swaps(type_code type)
{
	if (type == kAppVersionType)
		return true;
	uint8 probe[8] = {1, 2, 3, 4, 5, 6, 7, 8};
	swap_data(type, probe, sizeof(probe));
	return probe[0] != 1;
}

// A bare leaf lies in the current folder.
std::string folder_of(const std::string& path)
{
	const std::string parent = host_parent(path);
	return parent.empty() ? "." : parent;
}

// Resolves links so the rename replaces the file, not a link to it.
std::string real_target(const std::string& path)
{
	char resolved[PATH_MAX];
	if (realpath(path.c_str(), resolved) != nullptr)
		return resolved;
	return path;
}

std::string errno_text(const char* what, int error)
{
	return std::string(what) + ": " + strerror(error);
}

} // namespace

struct BResources::Item {
	type_code type = 0;
	int32 id = 0;
	std::string name;
	off_t offset = -1; // of the data in the file; -1 when only in memory
	uint64 size = 0;
	bool swapped = false;                    // the file holds the other byte order for this type
	bool dirty = false;                      // `data` is newer than the file
	std::unique_ptr<void, FreeDeleter> data; // host byte order
	// Pending data still in another file, copied in at the next write.
	std::string sourcePath;
	off_t sourceOffset = 0;
};

void BResources::FreeDeleter::operator()(void* p) const
{
	free(p);
}

BResources::BResources()
    : fFd(-1), fFileSize(0), fInitStatus(B_NO_INIT), fWritable(false), fModified(false),
      fBigEndian(false), fBytesRead(0)
{
}

BResources::BResources(BFile* file, bool clobber) : BResources()
{
	SetTo(file, clobber);
}

BResources::BResources(const char* path, bool writable, bool clobber) : BResources()
{
	SetTo(path, writable, clobber);
}

BResources::~BResources()
{
	Unset();
}

status_t BResources::SetTo(const char* path, bool writable, bool clobber)
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	Unset();
	if (path == nullptr || path[0] == '\0')
		return fInitStatus = B_BAD_VALUE;
	status_t status = _Open(path, writable);
	if (status != B_OK)
		return fInitStatus = status;
	return fInitStatus = _Read(clobber);
}

void BResources::Unset()
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	if (fModified && fWritable && fInitStatus == B_OK)
		Sync();
	if (fFd >= 0)
		close(fFd);
	fFd = -1;
	fPath.clear();
	fFileSize = 0;
	fInitStatus = B_NO_INIT;
	fWritable = false;
	fModified = false;
	fReadOnlyReason.clear();
	fContainer = ResourceContainer();
	fBigEndian = false;
	fItems.clear();
	fBytesRead = 0;
}

status_t BResources::InitCheck() const
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	return fInitStatus;
}

// Opens the file; a running executable (ETXTBSY) is opened read-only.
status_t BResources::_Open(const char* path, bool writable)
{
	fPath = path;
	fErrorText.clear();
	int fd = open(path, (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
	if (fd < 0 && writable && errno == ETXTBSY) {
		fReadOnlyReason = "the file is a running executable, opened read-only";
		writable = false;
		fd = open(path, O_RDONLY | O_CLOEXEC);
	}
	if (fd < 0 && writable && errno == ENOENT) {
		fWritable = true;
		return B_OK;
	}
	if (fd < 0)
		return _Fail(status_from_errno(errno), errno_text("cannot open", errno));
	return _Adopt(fd, writable);
}

// Takes ownership of an open descriptor of a regular file.
status_t BResources::_Adopt(int fd, bool writable)
{
	struct stat st;
	if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
		close(fd);
		return _Fail(B_BAD_VALUE, "not a regular file");
	}
	if (!writable && fReadOnlyReason.empty())
		fReadOnlyReason = "the file was opened read-only";
	fFd = fd;
	fFileSize = st.st_size;
	fWritable = writable;
	return B_OK;
}

status_t BResources::SetTo(BFile* file, bool clobber)
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	Unset();
	if (file == nullptr || file->InitCheck() != B_OK || file->HostFd() < 0 ||
	    file->HostPath() == nullptr)
		return fInitStatus = B_BAD_VALUE;
	fPath = file->HostPath();
	fErrorText.clear();
	int fd = fcntl(file->HostFd(), F_DUPFD_CLOEXEC, 0);
	if (fd < 0)
		return fInitStatus = _Fail(status_from_errno(errno), errno_text("cannot open", errno));
	int mode = fcntl(fd, F_GETFL);
	status_t status = _Adopt(fd, mode >= 0 && (mode & O_ACCMODE) == O_RDWR);
	if (status != B_OK)
		return fInitStatus = status;
	return fInitStatus = _Read(clobber);
}

// Reads the container and the tables; with `clobber` starts from no resources.
status_t BResources::_Read(bool clobber)
{
	HostFileReader reader(fFd, fFileSize);
	ResourceError error;
	status_t status = locate_resource_block(reader, &fContainer, &error);
	if (status != B_OK && clobber && fWritable) {
		fContainer = ResourceContainer();
		status = B_OK;
	}
	std::vector<ResourceRecord> records;
	if (status == B_OK && !(clobber && fWritable))
		status = read_resource_table(reader, fContainer, &fBigEndian, &records, &error);
	fBytesRead += reader.BytesRead();
	if (status != B_OK) {
		char text[64];
		snprintf(text, sizeof(text), "offset 0x%llx: ", (unsigned long long)error.offset);
		return _Fail(status, text + error.text);
	}
	for (ResourceRecord& record : records) {
		auto item = std::make_unique<Item>();
		item->type = record.type;
		item->id = record.id;
		item->name = std::move(record.name);
		item->offset = record.offset;
		item->size = record.size;
		item->swapped = fBigEndian && swaps(record.type);
		fItems.push_back(std::move(item));
	}
	fModified = clobber && fWritable;
	return B_OK;
}

status_t BResources::_Fail(status_t status, const std::string& text)
{
	fErrorText = text;
	return status;
}

status_t BResources::_CheckWritable()
{
	if (fInitStatus != B_OK)
		return fInitStatus;
	if (!fWritable)
		return _Fail(B_NOT_ALLOWED, "cannot change resources: " + fReadOnlyReason);
	return B_OK;
}

BResources::Item* BResources::_Find(type_code type, int32 id) const
{
	for (const auto& item : fItems) {
		if (item->type == type && item->id == id)
			return item.get();
	}
	return nullptr;
}

BResources::Item* BResources::_Find(type_code type, const char* name) const
{
	if (name == nullptr)
		return nullptr;
	for (const auto& item : fItems) {
		if (item->type == type && item->name == name)
			return item.get();
	}
	return nullptr;
}

// Reads a resource's data from the file into `buffer`, in host byte order.
status_t BResources::_ReadData(const Item& item, void* buffer) const
{
	if (item.size == 0)
		return B_OK;
	status_t status = _ReadRange(item, 0, buffer, item.size);
	if (status != B_OK)
		return status;
	if (item.swapped)
		swap_to_host(item.type, buffer, item.size);
	return B_OK;
}

// Makes sure the item's data are held in memory.
status_t BResources::_Load(Item* item)
{
	if (item->data != nullptr)
		return B_OK;
	if (item->size > SIZE_MAX - 1)
		return B_NO_MEMORY;
	std::unique_ptr<void, FreeDeleter> data(malloc(item->size + 1));
	if (data == nullptr)
		return B_NO_MEMORY;
	status_t status = _ReadData(*item, data.get());
	if (status != B_OK)
		return status;
	static_cast<char*>(data.get())[item->size] = '\0';
	item->data = std::move(data);
	return B_OK;
}

const void* BResources::LoadResource(type_code type, int32 id, size_t* outSize)
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	Item* item = _Find(type, id);
	if (item == nullptr || _Load(item) != B_OK)
		return nullptr;
	if (outSize != nullptr)
		*outSize = item->size;
	return item->data.get();
}

const void* BResources::LoadResource(type_code type, const char* name, size_t* outSize)
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	Item* item = _Find(type, name);
	if (item == nullptr || _Load(item) != B_OK)
		return nullptr;
	if (outSize != nullptr)
		*outSize = item->size;
	return item->data.get();
}

status_t BResources::PreloadResourceType(type_code type)
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	if (fInitStatus != B_OK)
		return fInitStatus;
	for (const auto& item : fItems) {
		if (type != 0 && item->type != type)
			continue;
		status_t status = _Load(item.get());
		if (status != B_OK)
			return status;
	}
	return B_OK;
}

// A copy in one allocation of exactly the resource's size, read straight
// into place when the data are not already in memory.
void* BResources::_Copy(Item* item, size_t* lengthFound)
{
	if (item == nullptr || item->size > SIZE_MAX)
		return nullptr;
	void* copy = malloc(item->size > 0 ? item->size : 1);
	if (copy == nullptr)
		return nullptr;
	status_t status = B_OK;
	if (item->data != nullptr)
		memcpy(copy, item->data.get(), item->size);
	else
		status = _ReadData(*item, copy);
	if (status != B_OK) {
		free(copy);
		return nullptr;
	}
	if (lengthFound != nullptr)
		*lengthFound = item->size;
	return copy;
}

void* BResources::FindResource(type_code type, int32 id, size_t* lengthFound)
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	return _Copy(_Find(type, id), lengthFound);
}

void* BResources::FindResource(type_code type, const char* name, size_t* lengthFound)
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	return _Copy(_Find(type, name), lengthFound);
}

bool BResources::HasResource(type_code type, int32 id)
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	return _Find(type, id) != nullptr;
}

bool BResources::HasResource(type_code type, const char* name)
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	return _Find(type, name) != nullptr;
}

bool BResources::GetResourceInfo(int32 byIndex, type_code* typeFound, int32* idFound,
                                 const char** nameFound, size_t* lengthFound)
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	if (byIndex < 0 || (size_t)byIndex >= fItems.size())
		return false;
	return _Describe(fItems[(size_t)byIndex].get(), typeFound, idFound, nameFound, lengthFound);
}

// Fills in what the caller asked for of `item`; false when there is none.
bool BResources::_Describe(const Item* item, type_code* type, int32* id, const char** name,
                           size_t* length)
{
	if (item == nullptr)
		return false;
	if (type != nullptr)
		*type = item->type;
	if (id != nullptr)
		*id = item->id;
	if (name != nullptr)
		*name = item->name.c_str();
	if (length != nullptr)
		*length = item->size;
	return true;
}

bool BResources::GetResourceInfo(type_code byType, int32 andIndex, int32* idFound,
                                 const char** nameFound, size_t* lengthFound)
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	int32 seen = 0;
	for (size_t i = 0; i < fItems.size(); i++) {
		if (fItems[i]->type != byType)
			continue;
		if (seen++ == andIndex)
			return GetResourceInfo((int32)i, nullptr, idFound, nameFound, lengthFound);
	}
	return false;
}

bool BResources::GetResourceInfo(type_code byType, int32 andId, const char** nameFound,
                                 size_t* lengthFound)
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	return _Describe(_Find(byType, andId), nullptr, nullptr, nameFound, lengthFound);
}

bool BResources::GetResourceInfo(type_code byType, const char* andName, int32* idFound,
                                 size_t* lengthFound)
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	return _Describe(_Find(byType, andName), nullptr, idFound, nullptr, lengthFound);
}

bool BResources::GetResourceInfo(const void* byPointer, type_code* typeFound, int32* idFound,
                                 size_t* lengthFound, const char** nameFound)
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	for (size_t i = 0; byPointer != nullptr && i < fItems.size(); i++) {
		if (fItems[i]->data.get() == byPointer)
			return GetResourceInfo((int32)i, typeFound, idFound, nameFound, lengthFound);
	}
	return false;
}

status_t BResources::AddResource(type_code type, int32 id, const void* data, size_t length,
                                 const char* name)
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	if (data == nullptr && length > 0)
		return B_BAD_VALUE;
	if (name != nullptr && strlen(name) >= UINT16_MAX)
		return B_BAD_VALUE;
	status_t status = _CheckWritable();
	if (status != B_OK)
		return status;
	std::unique_ptr<void, FreeDeleter> copy(malloc(length + 1));
	if (copy == nullptr)
		return B_NO_MEMORY;
	if (length > 0)
		memcpy(copy.get(), data, length);
	static_cast<char*>(copy.get())[length] = '\0';
	auto item = std::make_unique<Item>();
	item->type = type;
	item->id = id;
	item->name = name != nullptr ? name : "";
	item->size = length;
	item->dirty = true;
	item->data = std::move(copy);
	_Replace(std::move(item));
	return B_OK;
}

status_t BResources::AddResourceFromFile(type_code type, int32 id, const char* path, off_t offset,
                                         size_t size, const char* name)
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	if (path == nullptr || path[0] == '\0' || offset < 0)
		return B_BAD_VALUE;
	if (name != nullptr && strlen(name) >= UINT16_MAX)
		return B_BAD_VALUE;
	status_t status = _CheckWritable();
	if (status != B_OK)
		return status;
	status = _CheckSource(path, offset, size);
	if (status != B_OK)
		return status;
	auto item = std::make_unique<Item>();
	item->type = type;
	item->id = id;
	item->name = name != nullptr ? name : "";
	item->size = size;
	item->dirty = true;
	item->sourcePath = path;
	item->sourceOffset = offset;
	_Replace(std::move(item));
	return B_OK;
}

// The source of a resource must be a regular file holding the whole range.
status_t BResources::_CheckSource(const char* path, off_t offset, size_t size)
{
	struct stat st;
	if (stat(path, &st) != 0)
		return _Fail(status_from_errno(errno),
		             errno_text((std::string("cannot read ") + path).c_str(), errno));
	if (!S_ISREG(st.st_mode))
		return _Fail(B_BAD_VALUE, std::string(path) + " is not a regular file");
	if ((uint64)offset > (uint64)st.st_size || size > (uint64)st.st_size - (uint64)offset)
		return _Fail(B_BAD_VALUE, std::string(path) + " is shorter than the resource's range");
	return B_OK;
}

// Puts `item` in place of the resource with its type and id, or at the end.
void BResources::_Replace(std::unique_ptr<Item> item)
{
	auto same = std::find_if(fItems.begin(), fItems.end(), [&](const auto& other) {
		return other->type == item->type && other->id == item->id;
	});
	if (same != fItems.end())
		*same = std::move(item);
	else
		fItems.push_back(std::move(item));
	fModified = true;
}

status_t BResources::RemoveResource(const void* resource)
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	status_t status = _CheckWritable();
	if (status != B_OK)
		return status;
	for (auto it = fItems.begin(); resource != nullptr && it != fItems.end(); ++it) {
		if ((*it)->data.get() == resource) {
			fItems.erase(it);
			fModified = true;
			return B_OK;
		}
	}
	return B_BAD_VALUE;
}

status_t BResources::RemoveResource(type_code type, int32 id)
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	status_t status = _CheckWritable();
	if (status != B_OK)
		return status;
	for (auto it = fItems.begin(); it != fItems.end(); ++it) {
		if ((*it)->type == type && (*it)->id == id) {
			fItems.erase(it);
			fModified = true;
			return B_OK;
		}
	}
	return B_BAD_VALUE;
}

status_t BResources::WriteResource(type_code type, int32 id, const void* data, off_t offset,
                                   size_t length)
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	if (offset < 0 || (data == nullptr && length > 0))
		return B_BAD_VALUE;
	status_t status = _CheckWritable();
	if (status != B_OK)
		return status;
	Item* item = _Find(type, id);
	if (item == nullptr)
		return B_BAD_VALUE;
	status = _Load(item);
	if (status != B_OK)
		return status;
	uint64 end = (uint64)offset + length;
	if (end > item->size) {
		void* grown = realloc(item->data.release(), end + 1);
		if (grown == nullptr)
			return B_NO_MEMORY;
		memset(static_cast<char*>(grown) + item->size, 0, end + 1 - item->size);
		item->data.reset(grown);
		item->size = end;
	}
	if (length > 0)
		memcpy(static_cast<char*>(item->data.get()) + offset, data, length);
	item->dirty = true;
	fModified = true;
	return B_OK;
}

status_t BResources::ReadResource(type_code type, int32 id, void* data, off_t offset, size_t length)
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	if (offset < 0 || (data == nullptr && length > 0))
		return B_BAD_VALUE;
	Item* item = _Find(type, id);
	if (item == nullptr)
		return B_BAD_VALUE;
	if ((uint64)offset > item->size)
		return B_BAD_VALUE;
	size_t count = (size_t)min_c((uint64)length, item->size - (uint64)offset);
	if (item->data != nullptr || item->swapped) {
		status_t status = _Load(item);
		if (status != B_OK)
			return status;
		memcpy(data, static_cast<const char*>(item->data.get()) + offset, count);
		return B_OK;
	}
	return _ReadRange(*item, offset, data, count);
}

// Reads stored bytes of a resource: from this file, or from the file its
// pending data still sit in.
status_t BResources::_ReadRange(const Item& item, off_t at, void* buffer, size_t count) const
{
	if (item.sourcePath.empty()) {
		status_t status = read_fully_at(fFd, item.offset + at, buffer, count);
		if (status == B_OK)
			fBytesRead += count;
		return status;
	}
	int fd = open(item.sourcePath.c_str(), O_RDONLY | O_CLOEXEC);
	if (fd < 0)
		return status_from_errno(errno);
	status_t status = read_fully_at(fd, item.sourceOffset + at, buffer, count);
	close(fd);
	return status;
}

status_t BResources::GetResourceRange(type_code type, int32 id, off_t* offset, size_t* size) const
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	if (offset == nullptr || size == nullptr)
		return B_BAD_VALUE;
	const Item* item = _Find(type, id);
	if (item == nullptr)
		return B_ENTRY_NOT_FOUND;
	if (item->dirty || item->offset < 0)
		return B_NOT_ALLOWED;
	*offset = item->offset;
	*size = item->size;
	return B_OK;
}

const char* BResources::ErrorText() const
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	return fErrorText.c_str();
}

int32 BResources::CountResources() const
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	return (int32)fItems.size();
}

bool BResources::IsWritable() const
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	return fInitStatus == B_OK && fWritable;
}

uint64 BResources::BytesRead() const
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	return fBytesRead;
}

status_t BResources::MergeFrom(BFile* fromFile)
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	BResources other;
	other.SetTo(fromFile, false);
	return _MergeFrom(other);
}

status_t BResources::MergeFrom(const char* path)
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	BResources other(path, false);
	return _MergeFrom(other);
}

// Adds every resource of `other`, replacing those with the same type and id.
status_t BResources::_MergeFrom(BResources& other)
{
	status_t status = _CheckWritable();
	if (status != B_OK)
		return status;
	if (other.InitCheck() != B_OK)
		return _Fail(other.InitCheck(), other.ErrorText());
	for (int32 i = 0; i < other.CountResources(); i++) {
		type_code type;
		int32 id;
		const char* name;
		size_t size;
		other.GetResourceInfo(i, &type, &id, &name, &size);
		const void* data = other.LoadResource(type, id, &size);
		if (data == nullptr)
			return B_IO_ERROR;
		status = AddResource(type, id, data, size, name);
		if (status != B_OK)
			return status;
	}
	return B_OK;
}

status_t BResources::Sync()
{
	std::lock_guard<std::recursive_mutex> lock(fLock);
	if (fInitStatus != B_OK)
		return fInitStatus;
	if (!fModified)
		return B_OK;
	status_t status = _CheckWritable();
	if (status != B_OK)
		return status;
	return _Write();
}

// Writes the whole file anew beside the old one and renames it into place, so
// a crash leaves either the old file or the new one.
status_t BResources::_Write()
{
	std::vector<Item*> order;
	for (const auto& item : fItems) {
		bool seen = std::any_of(order.begin(), order.end(),
		                        [&](const Item* other) { return other->type == item->type; });
		if (seen)
			continue;
		for (const auto& same : fItems) {
			if (same->type == item->type)
				order.push_back(same.get());
		}
	}
	std::vector<ResourceLayoutEntry> entries;
	for (const Item* item : order)
		entries.push_back({item->type, item->id, item->name, item->size});
	ResourceLayout layout;
	status_t status = make_resource_layout(entries, &layout);
	if (status != B_OK)
		return _Fail(status, "the resources are too large for the format's 32-bit offsets");

	std::string target = real_target(fPath);
	std::string temp = folder_of(target) + "/." + host_leaf(target) + ".XXXXXX";
	int fd = mkstemp(temp.data());
	if (fd < 0)
		return _Fail(status_from_errno(errno),
		             errno_text(("cannot create a temporary file in " + folder_of(target)).c_str(),
		                        errno));
	status = _WriteTo(fd, order, layout);
	struct stat st;
	mode_t mode = fFd >= 0 && fstat(fFd, &st) == 0 ? (st.st_mode & 07777) : 0644;
	if (status == B_OK && fchmod(fd, mode) != 0)
		status = _Fail(status_from_errno(errno), errno_text("cannot set the mode", errno));
	if (status == B_OK && fFd >= 0)
		host_copy_raw_attrs(fFd, fd);
	if (status == B_OK && fsync(fd) != 0)
		status = _Fail(status_from_errno(errno), errno_text("cannot write", errno));
	close(fd);
	if (status == B_OK && rename(temp.c_str(), target.c_str()) != 0)
		status = _Fail(status_from_errno(errno), errno_text("cannot replace the file", errno));
	if (status != B_OK) {
		unlink(temp.c_str());
		return status;
	}
	return _Reopen(target, order, layout);
}

status_t BResources::_WriteTo(int fd, const std::vector<Item*>& order, const ResourceLayout& layout)
{
	bool executable = fContainer.kind == ResourceContainerKind::kElf ||
	                  fContainer.kind == ResourceContainerKind::kPef;
	status_t status = B_OK;
	if (executable) {
		Item prefix;
		prefix.offset = 0;
		prefix.size = (uint64)fContainer.prefixEnd;
		status = _CopyData(fd, prefix);
		std::string pad((size_t)(fContainer.blockOffset - fContainer.prefixEnd), '\0');
		if (status == B_OK)
			status = write_fully(fd, pad.data(), pad.size());
	} else {
		status = write_fully(fd, "RS\0\0", 4);
	}
	if (status == B_OK)
		status = write_fully(fd, layout.admin.data(), layout.admin.size());
	for (size_t i = 0; status == B_OK && i < order.size(); i++) {
		Item* item = order[i];
		if (item->swapped)
			status = _Load(item);
		if (status != B_OK)
			break;
		if (item->data != nullptr)
			status = write_fully(fd, item->data.get(), item->size);
		else
			status = _CopyData(fd, *item);
	}
	if (status == B_OK)
		status = write_fully(fd, layout.infoTable.data(), layout.infoTable.size());
	if (status != B_OK && fErrorText.empty())
		_Fail(status, "cannot write the new file");
	return status;
}

// Copies a resource's stored bytes, from the old file or from the file its
// pending data sit in, in chunks, so large resources never sit whole in memory.
status_t BResources::_CopyData(int fd, const Item& item)
{
	if (item.sourcePath.empty())
		return _CopyRange(fFd, item.offset, item.size, fd, true);
	int from = open(item.sourcePath.c_str(), O_RDONLY | O_CLOEXEC);
	if (from < 0)
		return _Fail(status_from_errno(errno),
		             errno_text(("cannot read " + item.sourcePath).c_str(), errno));
	status_t status = _CopyRange(from, item.sourceOffset, item.size, fd, false);
	close(from);
	if (status != B_OK)
		_Fail(status, "cannot copy " + item.sourcePath +
		                      ": the file is shorter than the resource "
		                      "or unreadable");
	return status;
}

status_t BResources::_CopyRange(int from, off_t offset, uint64 size, int to, bool countRead)
{
	std::vector<char> buffer((size_t)min_c(size, (uint64)kCopyChunk));
	for (uint64 done = 0; done < size;) {
		size_t chunk = (size_t)min_c(size - done, (uint64)buffer.size());
		status_t status = read_fully_at(from, offset + (off_t)done, buffer.data(), chunk);
		if (status == B_OK)
			status = write_fully(to, buffer.data(), chunk);
		if (status != B_OK)
			return status;
		if (countRead)
			fBytesRead += chunk;
		done += chunk;
	}
	return B_OK;
}

// Points the store at the file just written.
status_t BResources::_Reopen(const std::string& path, const std::vector<Item*>& order,
                             const ResourceLayout& layout)
{
	int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
	if (fd < 0)
		return _Fail(status_from_errno(errno), errno_text("cannot reopen the new file", errno));
	if (fFd >= 0)
		close(fFd);
	fFd = fd;
	if (fContainer.kind != ResourceContainerKind::kElf &&
	    fContainer.kind != ResourceContainerKind::kPef) {
		fContainer = ResourceContainer();
		fContainer.kind = ResourceContainerKind::kResourceFile;
		fContainer.blockOffset = 4;
	}
	fContainer.bigEndian = false;
	fContainer.hasBlock = true;
	fBigEndian = false;
	fFileSize = fContainer.blockOffset + (off_t)layout.TotalSize();

	std::vector<std::unique_ptr<Item>> items;
	for (size_t i = 0; i < order.size(); i++) {
		auto it = std::find_if(fItems.begin(), fItems.end(),
		                       [&](const auto& item) { return item.get() == order[i]; });
		Item* item = it->get();
		item->offset = fContainer.blockOffset + (off_t)layout.dataOffsets[i];
		item->swapped = false;
		item->dirty = false;
		item->sourcePath.clear();
		items.push_back(std::move(*it));
	}
	fItems = std::move(items);
	fModified = false;
	return B_OK;
}
