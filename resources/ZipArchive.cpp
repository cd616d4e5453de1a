// Reading and checking the central directory of a ZIP archive.
#include "ZipArchive.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <string_view>

#include "HostFileReader.h"
#include "ZipFormat.h"

namespace {

// Replaces the 32-bit fields the central header marks as missing with the
// values of its ZIP64 field, in the order the format gives them.
bool apply_zip64(const uint8* extra, size_t length, ZipEntry* entry)
{
	uint16 fieldLength = 0;
	const uint8* field = zip_find_extra(extra, length, kZipZip64Field, &fieldLength);
	uint64* slots[3] = {&entry->size, &entry->compressedSize, &entry->localOffset};
	size_t at = 0;
	for (uint64* slot : slots) {
		if (*slot != kZipSaturated32)
			continue;
		if (field == nullptr || at + 8 > fieldLength)
			return false;
		*slot = zip_get64(field + at);
		at += 8;
	}
	return true;
}

// No kZipSolidField on the entry.
const uint8 kNoStreamMark = 0xff;

bool is_control(uint8 byte)
{
	return byte < 0x20 || byte == 0x7f;
}

} // namespace

std::string zip_printable_name(const std::string& name)
{
	std::string printable;
	printable.reserve(name.size());
	for (const char c : name) {
		if (!is_control((uint8)c)) {
			printable += c;
			continue;
		}
		char escaped[8];
		snprintf(escaped, sizeof(escaped), "\\x%02x", (uint8)c);
		printable += escaped;
	}
	return printable;
}

const uint8* zip_find_extra(const uint8* extra, size_t length, uint16 id, uint16* fieldLength)
{
	size_t at = 0;
	while (at + 4 <= length) {
		uint16 fieldId = zip_get16(extra + at);
		uint16 size = zip_get16(extra + at + 2);
		if (at + 4 + size > length)
			return nullptr;
		if (fieldId == id) {
			*fieldLength = size;
			return extra + at + 4;
		}
		at += 4 + size;
	}
	return nullptr;
}

ZipArchive::ZipArchive() : fFd(-1), fOffset(0), fSize(0), fDirectoryStart(0), fStatus(B_NO_INIT) {}

status_t ZipArchive::SetTo(int fd, off_t offset, off_t size, uint64 maxEntries)
{
	fEntries.clear();
	fError.clear();
	if (fd < 0 || offset < 0 || size <= 0)
		return fStatus = _Fail(B_BAD_VALUE, "bad arguments");
	fFd = fd;
	fOffset = offset;
	fSize = (uint64)size;
	uint64 entries = 0;
	uint64 directoryBytes = 0;
	status_t status = _ReadEnd(&entries, &fDirectoryStart, &directoryBytes);
	if (status != B_OK)
		return fStatus = status;
	if (entries > maxEntries)
		return fStatus = _Fail(B_BAD_DATA, "the archive holds too many entries");
	if (directoryBytes > kMaxDirectoryBytes)
		return fStatus = _Fail(B_BAD_DATA, "the archive's directory is too large");
	return fStatus = _ReadDirectory(entries, directoryBytes);
}

// Finds the end record in the archive's last 64 KiB and reads where the
// directory lies and how many entries it holds.
status_t ZipArchive::_ReadEnd(uint64* entries, uint64* directoryStart, uint64* directoryBytes)
{
	if (fSize < kZipEndSize)
		return _Fail(B_BAD_DATA, "not a ZIP archive (no end of directory)");
	size_t tailLength = (size_t)std::min<uint64>(fSize, kZipEndSize + 0xffff);
	std::unique_ptr<uint8[]> tail(new uint8[tailLength]);
	uint64 tailStart = fSize - tailLength;
	if (read_fully_at(fFd, fOffset + tailStart, tail.get(), tailLength) != B_OK)
		return _Fail(B_IO_ERROR, "cannot read the archive");
	ssize_t at = (ssize_t)(tailLength - kZipEndSize);
	while (at >= 0 && zip_get32(tail.get() + at) != kZipEndOfDirectory)
		at--;
	if (at < 0)
		return _Fail(B_BAD_DATA, "not a ZIP archive (no end of directory)");
	const uint8* end = tail.get() + at;
	if (zip_get16(end + 4) != 0 || zip_get16(end + 6) != 0)
		return _Fail(B_BAD_DATA, "the archive spans several disks");
	*entries = zip_get16(end + 10);
	*directoryBytes = zip_get32(end + 12);
	*directoryStart = zip_get32(end + 16);
	const uint64 endAt = tailStart + at;
	uint8 locator[kZipZip64LocatorSize];
	const uint64 locatorAt = endAt - std::min<uint64>(endAt, sizeof(locator));
	if ((*entries == kZipSaturated16 || *directoryBytes == kZipSaturated32 ||
	     *directoryStart == kZipSaturated32) &&
	    endAt >= sizeof(locator) &&
	    read_fully_at(fFd, fOffset + locatorAt, locator, sizeof(locator)) == B_OK &&
	    zip_get32(locator) == kZipZip64Locator)
		return _ReadZip64End(locator, locatorAt, entries, directoryStart, directoryBytes);
	if (*directoryStart + *directoryBytes > endAt)
		return _Fail(B_BAD_DATA, "the archive's directory lies outside it");
	return B_OK;
}

// Reads the ZIP64 end record the locator at `locatorAt` points to; where the
// classic record gives a value of its own, the two must agree.
status_t ZipArchive::_ReadZip64End(const uint8* locator, uint64 locatorAt, uint64* entries,
                                   uint64* directoryStart, uint64* directoryBytes)
{
	uint8 end[kZipZip64EndSize];
	const uint64 recordAt = zip_get64(locator + 8);
	if (recordAt > locatorAt || locatorAt - recordAt < kZipZip64EndSize ||
	    read_fully_at(fFd, fOffset + recordAt, end, sizeof(end)) != B_OK ||
	    zip_get32(end) != kZipZip64End)
		return _Fail(B_BAD_DATA, "damaged ZIP64 directory");
	if (zip_get32(locator + 4) != 0 || zip_get32(end + 16) != 0 || zip_get32(end + 20) != 0)
		return _Fail(B_BAD_DATA, "the archive spans several disks");
	const uint64 wide[3] = {zip_get64(end + 32), zip_get64(end + 40), zip_get64(end + 48)};
	const uint64 classic[3] = {*entries, *directoryBytes, *directoryStart};
	const uint64 missing[3] = {kZipSaturated16, kZipSaturated32, kZipSaturated32};
	for (int i = 0; i < 3; i++) {
		if (classic[i] != missing[i] && classic[i] != wide[i])
			return _Fail(B_BAD_DATA, "the archive's two end records disagree");
	}
	*entries = wide[0];
	*directoryBytes = wide[1];
	*directoryStart = wide[2];
	if (*directoryStart > recordAt || *directoryBytes > recordAt - *directoryStart)
		return _Fail(B_BAD_DATA, "the archive's directory lies outside it");
	return B_OK;
}

status_t ZipArchive::_ReadDirectory(uint64 entries, uint64 directoryBytes)
{
	std::unique_ptr<uint8[]> directory(new uint8[directoryBytes + 1]);
	if (read_fully_at(fFd, fOffset + fDirectoryStart, directory.get(), directoryBytes) != B_OK)
		return _Fail(B_IO_ERROR, "cannot read the archive's directory");
	// A count the directory cannot hold is found out record by record.
	fEntries.reserve(std::min<uint64>(entries, directoryBytes / kZipCentralHeaderSize));
	std::vector<uint8> marks;
	marks.reserve(fEntries.capacity());
	uint64 at = 0;
	for (uint64 i = 0; i < entries; i++) {
		const uint8* header = directory.get() + at;
		if (directoryBytes - at < kZipCentralHeaderSize || zip_get32(header) != kZipCentralHeader)
			return _Fail(B_BAD_DATA, "the archive's directory is damaged");
		uint64 recordLength = kZipCentralHeaderSize + (uint64)zip_get16(header + 28) +
		                      zip_get16(header + 30) + zip_get16(header + 32);
		if (directoryBytes - at < recordLength)
			return _Fail(B_BAD_DATA, "the archive's directory is damaged");
		ZipEntry entry;
		uint8 mark = kNoStreamMark;
		status_t status = _ReadEntry(header, &entry, &mark);
		if (status != B_OK)
			return status;
		fEntries.push_back(std::move(entry));
		marks.push_back(mark);
		at += recordLength;
	}
	status_t status = _CheckDuplicates();
	if (status == B_OK)
		status = _CheckOverlaps();
	return status == B_OK ? _LinkStreams(marks) : status;
}

// One central record, whose lengths were checked against the directory.
status_t ZipArchive::_ReadEntry(const uint8* header, ZipEntry* entry, uint8* mark)
{
	const uint16 nameLength = zip_get16(header + 28);
	entry->system = header[5];
	entry->flags = zip_get16(header + 8);
	entry->method = zip_get16(header + 10);
	entry->dosTime = zip_get32(header + 12);
	entry->crc = zip_get32(header + 16);
	entry->compressedSize = zip_get32(header + 20);
	entry->size = zip_get32(header + 24);
	entry->external = zip_get32(header + 38);
	entry->localOffset = zip_get32(header + 42);
	const uint8* name = header + kZipCentralHeaderSize;
	entry->name.assign((const char*)name, nameLength);
	const uint8* control = std::find_if(name, name + nameLength, is_control);
	if (control != name + nameLength) {
		char byte[8];
		snprintf(byte, sizeof(byte), "0x%02x", *control);
		return _Fail(B_BAD_DATA, "the name of the entry " + zip_printable_name(entry->name) +
		                                 " holds a control character (" + byte + ")");
	}
	const uint8* extra = name + nameLength;
	const uint16 extraLength = zip_get16(header + 30);
	if (!apply_zip64(extra, extraLength, entry))
		return _Fail(B_BAD_DATA, "the ZIP64 sizes of " + entry->name + " are missing");
	uint16 markLength = 0;
	const uint8* markField = zip_find_extra(extra, extraLength, kZipSolidField, &markLength);
	if (markField != nullptr && (markLength != 1 || *markField > kZipStreamContinues))
		return _Fail(B_BAD_DATA, "the stream mark of the entry " + entry->name + " is damaged");
	if (markField != nullptr)
		*mark = *markField;
	// The local header repeats the name before the data.
	const uint64 least = kZipLocalHeaderSize + nameLength;
	if (entry->localOffset >= fDirectoryStart)
		return _Fail(B_BAD_DATA, "the entry " + entry->name + " lies outside the archive");
	const uint64 room = fDirectoryStart - entry->localOffset;
	if (entry->compressedSize > room || least > room - entry->compressedSize)
		return _Fail(B_BAD_DATA, "the entry " + entry->name + " runs into the archive's directory");
	return B_OK;
}

// Two entries of one path would write it twice, the last silently winning;
// a folder entry "a/" and a file "a" are one path. Sorted, not hashed, so
// that no set of names makes it slow.
status_t ZipArchive::_CheckDuplicates()
{
	auto path = [this](size_t index) {
		std::string_view name = fEntries[index].name;
		if (!name.empty() && name.back() == '/')
			name.remove_suffix(1);
		return name;
	};
	std::vector<size_t> order(fEntries.size());
	std::iota(order.begin(), order.end(), 0);
	std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
		const int compared = path(a).compare(path(b));
		return compared != 0 ? compared < 0 : a < b;
	});
	for (size_t i = 1; i < order.size(); i++) {
		if (path(order[i - 1]) != path(order[i]))
			continue;
		const std::string& first = fEntries[order[i - 1]].name;
		const std::string& second = fEntries[order[i]].name;
		if (first == second)
			return _Fail(B_BAD_DATA, "the archive holds the entry " + first + " twice");
		return _Fail(B_BAD_DATA, "the entries " + first + " and " + second + " name one path");
	}
	return B_OK;
}

// Each entry's local header and data must lie before the next entry's: two
// names sharing one stream would unpack it twice. Each entry learns where
// its space ends.
status_t ZipArchive::_CheckOverlaps()
{
	std::vector<size_t> order(fEntries.size());
	std::iota(order.begin(), order.end(), 0);
	auto byOffset = [this](size_t a, size_t b) {
		return fEntries[a].localOffset < fEntries[b].localOffset;
	};
	// Writers put entries in file order; only others need the sort.
	if (!std::is_sorted(order.begin(), order.end(), byOffset))
		std::sort(order.begin(), order.end(), byOffset);
	for (size_t i = 0; i < order.size(); i++) {
		ZipEntry& entry = fEntries[order[i]];
		entry.limit = i + 1 < order.size() ? fEntries[order[i + 1]].localOffset : fDirectoryStart;
		// Bounded by the directory's start: the sum cannot overflow.
		const uint64 least =
		        entry.localOffset + kZipLocalHeaderSize + entry.name.size() + entry.compressedSize;
		if (least <= entry.limit)
			continue;
		if (i + 1 == order.size())
			return _Fail(B_BAD_DATA,
			             "the entry " + entry.name + " runs into the archive's directory");
		return _Fail(B_BAD_DATA, "the entries " + entry.name + " and " +
		                                 fEntries[order[i + 1]].name + " overlap");
	}
	return B_OK;
}

// Ties the entries of each shared Zstandard stream together in directory
// order, which is the order they must be read in. Entries outside any
// stream (folders, links, stored files) may lie between them.
status_t ZipArchive::_LinkStreams(const std::vector<uint8>& marks)
{
	int64 first = -1;
	int64 last = -1;
	for (size_t i = 0; i < fEntries.size(); i++) {
		if (marks[i] == kNoStreamMark)
			continue;
		ZipEntry& entry = fEntries[i];
		if (entry.method != kZipMethodZstd)
			return _Fail(B_BAD_DATA, "the entry " + entry.name +
			                                 " is marked as part of a Zstandard stream but is "
			                                 "not Zstandard");
		if (marks[i] == kZipStreamContinues && last < 0)
			return _Fail(B_BAD_DATA, "the entry " + entry.name +
			                                 " continues a Zstandard stream that no entry "
			                                 "before it starts");
		if (marks[i] == kZipStreamStarts) {
			if (last >= 0)
				fEntries[last].streamEnds = true;
			first = (int64)i;
		} else
			entry.streamPrevious = last;
		uint64& total = fEntries[first].streamSize;
		if (entry.size > UINT64_MAX - total)
			return _Fail(B_BAD_DATA, "the Zstandard stream of " + entry.name + " is too large");
		total += entry.size;
		entry.solid = true;
		last = (int64)i;
	}
	if (last >= 0)
		fEntries[last].streamEnds = true;
	return B_OK;
}

status_t ZipArchive::_Fail(status_t status, const std::string& text)
{
	fError = text;
	return status;
}
