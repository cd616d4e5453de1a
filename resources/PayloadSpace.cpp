// The unpacked size of a payload archive from its central directory.
#include "PayloadSpace.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

const uint32 kEndOfDirectory = 0x06054b50;
const uint32 kZip64Locator = 0x07064b50;
const uint32 kZip64End = 0x06064b50;
const uint32 kDirectoryEntry = 0x02014b50;
const size_t kEndLength = 22;
const size_t kEntryLength = 46;
// A directory larger than this is no payload of ours.
const uint64 kLargestDirectory = 64 * 1024 * 1024;

uint64 Get(const uint8* bytes, int count)
{
	uint64 value = 0;
	for (int i = count - 1; i >= 0; i--)
		value = (value << 8) | bytes[i];
	return value;
}

bool ReadAt(int fd, void* buffer, size_t length, off_t at)
{
	uint8* bytes = static_cast<uint8*>(buffer);
	while (length > 0) {
		const ssize_t done = pread(fd, bytes, length, at);
		if (done <= 0)
			return false;
		bytes += done;
		length -= size_t(done);
		at += done;
	}
	return true;
}

struct Directory {
	uint64 entries = 0;
	uint64 bytes = 0;
	uint64 start = 0;
};

// Finds the end of the central directory (and its ZIP64 form) in the range.
bool FindDirectory(int fd, off_t offset, off_t size, Directory& directory)
{
	const size_t tailLength = size_t(std::min<off_t>(size, kEndLength + 0xffff));
	if (tailLength < kEndLength)
		return false;
	std::vector<uint8> tail(tailLength);
	const off_t tailStart = offset + size - off_t(tailLength);
	if (!ReadAt(fd, tail.data(), tailLength, tailStart))
		return false;
	ssize_t at = ssize_t(tailLength - kEndLength);
	while (at >= 0 && Get(&tail[size_t(at)], 4) != kEndOfDirectory)
		at--;
	if (at < 0)
		return false;
	const uint8* end = &tail[size_t(at)];
	directory = {Get(end + 10, 2), Get(end + 12, 4), Get(end + 16, 4)};
	if (directory.entries != 0xffff && directory.bytes != 0xffffffff &&
	    directory.start != 0xffffffff)
		return true;
	uint8 locator[20];
	uint8 end64[56];
	const off_t locatorAt = tailStart + at - 20;
	if (locatorAt < offset || !ReadAt(fd, locator, sizeof(locator), locatorAt) ||
	    Get(locator, 4) != kZip64Locator)
		return false;
	const uint64 endAt = Get(locator + 8, 8);
	if (uint64(size) < sizeof(end64) || endAt > uint64(size) - sizeof(end64) ||
	    !ReadAt(fd, end64, sizeof(end64), offset + off_t(endAt)) || Get(end64, 4) != kZip64End)
		return false;
	directory = {Get(end64 + 32, 8), Get(end64 + 40, 8), Get(end64 + 48, 8)};
	return true;
}

// The ZIP64 unpacked size of an entry whose 32-bit field is full.
bool Zip64Size(const uint8* extra, size_t length, uint64& size)
{
	size_t at = 0;
	while (at + 4 <= length) {
		const uint64 id = Get(extra + at, 2);
		const size_t fieldLength = size_t(Get(extra + at + 2, 2));
		if (at + 4 + fieldLength > length)
			return false;
		if (id == 0x0001 && fieldLength >= 8) {
			size = Get(extra + at + 4, 8);
			return true;
		}
		at += 4 + fieldLength;
	}
	return false;
}

int64 SaturatedSum(const int64& total, const uint64& add)
{
	if (add > uint64(INT64_MAX - total))
		return INT64_MAX;
	return total + int64(add);
}

bool SumEntries(const std::vector<uint8>& bytes, const uint64& entries, int64& total)
{
	size_t at = 0;
	for (uint64 i = 0; i < entries; i++) {
		if (at + kEntryLength > bytes.size() || Get(&bytes[at], 4) != kDirectoryEntry)
			return false;
		const uint8* entry = &bytes[at];
		uint64 size = Get(entry + 24, 4);
		const size_t nameLength = size_t(Get(entry + 28, 2));
		const size_t extraLength = size_t(Get(entry + 30, 2));
		const size_t commentLength = size_t(Get(entry + 32, 2));
		const size_t next = at + kEntryLength + nameLength + extraLength + commentLength;
		if (next > bytes.size())
			return false;
		if (size == 0xffffffff && !Zip64Size(entry + kEntryLength + nameLength, extraLength, size))
			return false;
		total = SaturatedSum(total, size);
		at = next;
	}
	return true;
}

} // namespace

status_t PayloadUnpackedSize(const char* path, off_t offset, off_t size, int64& total)
{
	total = 0;
	if (path == nullptr || offset < 0 || size <= 0)
		return B_BAD_VALUE;
	const int fd = open(path, O_RDONLY | O_CLOEXEC);
	if (fd < 0)
		return B_ENTRY_NOT_FOUND;
	Directory directory;
	bool read = FindDirectory(fd, offset, size, directory) &&
	            directory.bytes <= kLargestDirectory && directory.start <= uint64(size) &&
	            directory.bytes <= uint64(size) - directory.start;
	std::vector<uint8> bytes;
	if (read) {
		bytes.resize(size_t(directory.bytes));
		read = ReadAt(fd, bytes.data(), bytes.size(), offset + off_t(directory.start)) &&
		       SumEntries(bytes, directory.entries, total);
	}
	close(fd);
	return read ? B_OK : B_BAD_DATA;
}
