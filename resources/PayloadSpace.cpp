// The unpacked size of a payload archive from its central directory.
#include "PayloadSpace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>

#include "ZipArchive.h"

namespace {

int64 SaturatedSum(const int64& total, const uint64& add)
{
	if (add > uint64(INT64_MAX - total))
		return INT64_MAX;
	return total + int64(add);
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
	// The directory's size bounds what is read; the count needs no other limit.
	ZipArchive archive;
	const bool read = archive.SetTo(fd, offset, size, UINT64_MAX) == B_OK;
	close(fd);
	if (!read)
		return B_BAD_DATA;
	for (const ZipEntry& entry : archive.Entries())
		total = SaturatedSum(total, entry.size);
	return B_OK;
}
