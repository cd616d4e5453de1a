// Streaming CRC-32 over a byte range, read in large blocks with the kernel
// told the reading is sequential, a large range in two halves on two cores;
// libdeflate's CRC is zlib's, several times as fast.
#include "PayloadDigest.h"

#include <fcntl.h>
#include <libdeflate.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <thread>

const char* const kPayloadDigestField = "payload_digest";
const char* const kDeinstallerDigestField = "deinstaller_digest";

namespace {

const size_t kBlockSize = 4 * 1024 * 1024;
// Below this a second thread costs more than it saves.
const off_t kSplitSize = 64 * 1024 * 1024;

struct Part {
	uint32 crc = 0;
	status_t status = B_OK;
	std::string error;
};

void SumRange(const int fd, const off_t offset, const off_t size, const off_t end, Part* part)
{
	posix_fadvise(fd, offset, size, POSIX_FADV_SEQUENTIAL);
	std::unique_ptr<unsigned char[]> block(new unsigned char[kBlockSize]);
	off_t done = 0;
	while (done < size) {
		const size_t wanted = size_t(std::min<off_t>(off_t(kBlockSize), size - done));
		const ssize_t got = pread(fd, block.get(), wanted, offset + done);
		if (got < 0 && errno == EINTR)
			continue;
		if (got < 0) {
			part->error = strerror(errno);
			part->status = status_from_errno(errno);
			return;
		}
		if (got == 0) {
			part->error = "the file ends at byte " + std::to_string(offset + done) +
			              ", before the payload's end at byte " + std::to_string(end);
			part->status = B_FILE_ERROR;
			return;
		}
		part->crc = libdeflate_crc32(part->crc, block.get(), size_t(got));
		done += got;
	}
}

} // namespace

status_t payload_digest(const int& fd, const off_t& offset, const off_t& size, uint32* digest,
                        std::string* error)
{
	if (fd < 0 || offset < 0 || size < 0 || digest == nullptr)
		return B_BAD_VALUE;
	// A large payload is summed in two halves on two cores, then combined.
	const off_t first = size >= kSplitSize ? size / 2 : size;
	Part head;
	Part tail;
	std::thread second;
	if (first < size)
		second = std::thread(SumRange, fd, offset + first, size - first, offset + size, &tail);
	SumRange(fd, offset, first, offset + size, &head);
	if (second.joinable())
		second.join();
	const Part& failed = head.status != B_OK ? head : tail;
	if (failed.status != B_OK) {
		if (error != nullptr)
			*error = failed.error;
		return failed.status;
	}
	*digest = first < size ? uint32(crc32_combine(head.crc, tail.crc, size - first)) : head.crc;
	return B_OK;
}

status_t payload_file_digest(const std::string& path, uint32* digest, std::string* error)
{
	const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
	if (fd < 0) {
		if (error != nullptr)
			*error = path + ": " + strerror(errno);
		return status_from_errno(errno);
	}
	struct stat info;
	status_t status = fstat(fd, &info) == 0 ? B_OK : status_from_errno(errno);
	if (status == B_OK)
		status = payload_digest(fd, 0, info.st_size, digest, error);
	close(fd);
	return status;
}
