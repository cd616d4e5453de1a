// ZipArchive: the central directory of a ZIP archive that lies in a byte
// range of an open file, read once and checked against that range. Nothing
// in it is trusted: counts, sizes and offsets are bounded before use, and a
// directory that contradicts itself (a name twice, entries that overlap, a
// name holding control characters, a stream continued that no entry
// starts) is refused.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "SupportDefs.h"

// One entry as the central directory describes it.
struct ZipEntry {
	std::string name;
	uint16 method = 0;
	uint16 flags = 0;
	uint8 system = 0; // the host that made the entry (3 Unix, 16 BeOS)
	uint32 external = 0;
	uint32 crc = 0;
	uint32 dosTime = 0; // date in the high half, time in the low half
	uint64 compressedSize = 0;
	uint64 size = 0;
	uint64 localOffset = 0;
	// Where the next entry in the file, or the directory, starts: the
	// entry's local header, data and data descriptor end before it.
	uint64 limit = 0;
	// Of an entry whose data is part of a Zstandard stream shared with
	// other entries (kZipSolidField): the stream's entry before it (-1 for
	// the first), whether the stream ends with it and, on the first, the
	// output of the whole stream.
	bool solid = false;
	int64 streamPrevious = -1;
	bool streamEnds = false;
	uint64 streamSize = 0;
};

class ZipArchive {
public:
	ZipArchive();

	// Reads the directory of the archive held in [offset, offset + size) of
	// `fd`; refuses more than `maxEntries` entries or a directory larger than
	// kMaxDirectoryBytes. The file stays owned by the caller. Saturated
	// counts without a ZIP64 record are taken as they are: 65 535 entries
	// are written so.
	status_t SetTo(int fd, off_t offset, off_t size, uint64 maxEntries);
	status_t InitCheck() const { return fStatus; }
	const std::string& ErrorText() const { return fError; }

	const std::vector<ZipEntry>& Entries() const { return fEntries; }
	int File() const { return fFd; }
	off_t Offset() const { return fOffset; }
	// Where the directory starts: no entry's data reaches past it.
	uint64 DirectoryStart() const { return fDirectoryStart; }

	// Room for the directory of several hundred thousand entries.
	static const uint64 kMaxDirectoryBytes = 64 * 1024 * 1024;

private:
	status_t _ReadEnd(uint64* entries, uint64* directoryStart, uint64* directoryBytes);
	status_t _ReadZip64End(const uint8* locator, uint64 locatorAt, uint64* entries,
	                       uint64* directoryStart, uint64* directoryBytes);
	status_t _ReadDirectory(uint64 entries, uint64 directoryBytes);
	status_t _ReadEntry(const uint8* header, ZipEntry* entry, uint8* mark);
	status_t _CheckDuplicates();
	status_t _CheckOverlaps();
	status_t _LinkStreams(const std::vector<uint8>& marks);
	status_t _Fail(status_t status, const std::string& text);

	int fFd;
	off_t fOffset;
	uint64 fSize;
	uint64 fDirectoryStart;
	std::vector<ZipEntry> fEntries;
	status_t fStatus;
	std::string fError;
};
