// HostFileReader: positioned reads from a descriptor, checked against the
// file size, counting the bytes it reads so callers can prove what they touched.
#pragma once

#include <sys/types.h>

#include "SupportDefs.h"

class HostFileReader {
public:
	HostFileReader(int fd, off_t size) : fFd(fd), fSize(size), fBytesRead(0) {}

	int Fd() const { return fFd; }
	off_t Size() const { return fSize; }
	uint64 BytesRead() const { return fBytesRead; }

	// True when [offset, offset + length) lies inside the file.
	bool Contains(off_t offset, uint64 length) const;
	// Reads exactly `length` bytes at `offset`; B_BAD_DATA past the end.
	status_t ReadAt(off_t offset, void* buffer, size_t length);

private:
	int fFd;
	off_t fSize;
	uint64 fBytesRead;
};

// Reads exactly `length` bytes at `offset`, retrying short reads.
status_t read_fully_at(int fd, off_t offset, void* buffer, size_t length);
// Writes all of `buffer`, retrying short writes.
status_t write_fully(int fd, const void* buffer, size_t length);
