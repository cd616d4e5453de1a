// Positioned, bounded reads used by the resource parser and writer.
#include "HostFileReader.h"

#include <cerrno>
#include <unistd.h>

bool HostFileReader::Contains(off_t offset, uint64 length) const
{
	if (offset < 0 || offset > fSize)
		return false;
	return length <= (uint64)(fSize - offset);
}

status_t HostFileReader::ReadAt(off_t offset, void* buffer, size_t length)
{
	if (!Contains(offset, length))
		return B_BAD_DATA;
	status_t status = read_fully_at(fFd, offset, buffer, length);
	if (status == B_OK)
		fBytesRead += length;
	return status;
}

status_t read_fully_at(int fd, off_t offset, void* buffer, size_t length)
{
	auto* bytes = static_cast<char*>(buffer);
	while (length > 0) {
		ssize_t got = pread(fd, bytes, length, offset);
		if (got < 0 && errno == EINTR)
			continue;
		if (got < 0)
			return status_from_errno(errno);
		if (got == 0)
			return B_IO_ERROR;
		bytes += got;
		offset += got;
		length -= (size_t)got;
	}
	return B_OK;
}

status_t write_fully(int fd, const void* buffer, size_t length)
{
	auto* bytes = static_cast<const char*>(buffer);
	while (length > 0) {
		ssize_t done = write(fd, bytes, length);
		if (done < 0 && errno == EINTR)
			continue;
		if (done < 0)
			return status_from_errno(errno);
		bytes += done;
		length -= (size_t)done;
	}
	return B_OK;
}
