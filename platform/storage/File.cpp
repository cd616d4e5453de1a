// BFile: open modes translated to the host's, reads and writes on the descriptor.
#include "File.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "Directory.h"
#include "Entry.h"
#include "StorageHost.h"

static int host_open_flags(uint32 openMode)
{
	int flags = O_CLOEXEC | O_NOCTTY;
	switch (openMode & 0x3) {
		case B_WRITE_ONLY: flags |= O_WRONLY; break;
		case B_READ_WRITE: flags |= O_RDWR; break;
		default: flags |= O_RDONLY; break;
	}
	if (openMode & B_CREATE_FILE)
		flags |= O_CREAT;
	if (openMode & B_FAIL_IF_EXISTS)
		flags |= O_CREAT | O_EXCL;
	if (openMode & B_ERASE_FILE)
		flags |= O_TRUNC;
	if (openMode & B_OPEN_AT_END)
		flags |= O_APPEND;
	return flags;
}

BFile::BFile() : fMode(0) {}

BFile::BFile(const BFile& file) : BNode(), fMode(0)
{
	*this = file;
}

BFile::BFile(const entry_ref* ref, uint32 openMode) : fMode(0)
{
	SetTo(ref, openMode);
}

BFile::BFile(const BEntry* entry, uint32 openMode) : fMode(0)
{
	SetTo(entry, openMode);
}

BFile::BFile(const char* path, uint32 openMode) : fMode(0)
{
	SetTo(path, openMode);
}

BFile::BFile(const BDirectory* dir, const char* path, uint32 openMode) : fMode(0)
{
	SetTo(dir, path, openMode);
}

BFile::~BFile() {}

status_t BFile::SetTo(const entry_ref* ref, uint32 openMode)
{
	Unset();
	std::string path;
	const status_t status = host_ref_path(ref, &path);
	if (status != B_OK)
		return _SetInitStatus(status);
	return SetTo(path.c_str(), openMode);
}

status_t BFile::SetTo(const BEntry* entry, uint32 openMode)
{
	Unset();
	if (entry == nullptr || entry->InitCheck() != B_OK)
		return _SetInitStatus(B_BAD_VALUE);
	return _Open(entry->HostPath(), openMode);
}

status_t BFile::SetTo(const char* path, uint32 openMode)
{
	return SetTo(nullptr, path, openMode);
}

status_t BFile::SetTo(const BDirectory* dir, const char* path, uint32 openMode)
{
	Unset();
	std::string canonical;
	status_t status = _Resolve(dir, path, false, &canonical);
	if (status != B_OK)
		return _SetInitStatus(status);
	return _Open(canonical, openMode);
}

bool BFile::IsReadable() const
{
	return InitCheck() == B_OK && (fMode & 0x3) != B_WRITE_ONLY;
}

bool BFile::IsWritable() const
{
	return InitCheck() == B_OK && (fMode & 0x3) != B_READ_ONLY;
}

namespace {

// Transfers `size` bytes in as many calls of `step(offset, count)` as it
// takes: an interrupted call is repeated, a short one continued. A read stops
// at the end of the file; an error after some bytes answers what was done.
template <typename Step> ssize_t TransferAll(size_t size, Step step)
{
	size_t done = 0;
	while (done < size) {
		const ssize_t moved = step(done, size - done);
		if (moved < 0 && errno == EINTR)
			continue;
		if (moved < 0)
			return done > 0 ? (ssize_t)done : status_from_errno(errno);
		if (moved == 0)
			break;
		done += (size_t)moved;
	}
	return (ssize_t)done;
}

} // namespace

status_t BFile::_CheckTransfer(off_t location, const void* buffer, size_t size) const
{
	if (InitCheck() != B_OK)
		return B_NO_INIT;
	return location < 0 || (buffer == nullptr && size > 0) ? B_BAD_VALUE : B_OK;
}

ssize_t BFile::Read(void* buffer, size_t size)
{
	const status_t status = _CheckTransfer(0, buffer, size);
	if (status != B_OK)
		return status;
	return TransferAll(size, [&](size_t done, size_t count) {
		return read(HostFd(), (char*)buffer + done, count);
	});
}

ssize_t BFile::ReadAt(off_t location, void* buffer, size_t size)
{
	const status_t status = _CheckTransfer(location, buffer, size);
	if (status != B_OK)
		return status;
	return TransferAll(size, [&](size_t done, size_t count) {
		return pread(HostFd(), (char*)buffer + done, count, location + done);
	});
}

ssize_t BFile::Write(const void* buffer, size_t size)
{
	const status_t status = _CheckTransfer(0, buffer, size);
	if (status != B_OK)
		return status;
	return TransferAll(size, [&](size_t done, size_t count) {
		return write(HostFd(), (const char*)buffer + done, count);
	});
}

ssize_t BFile::WriteAt(off_t location, const void* buffer, size_t size)
{
	const status_t status = _CheckTransfer(location, buffer, size);
	if (status != B_OK)
		return status;
	return TransferAll(size, [&](size_t done, size_t count) {
		return pwrite(HostFd(), (const char*)buffer + done, count, location + done);
	});
}

off_t BFile::Seek(off_t position, uint32 seekMode)
{
	if (InitCheck() != B_OK)
		return B_NO_INIT;
	off_t result = lseek(HostFd(), position, (int)seekMode);
	return result < 0 ? (off_t)status_from_errno(errno) : result;
}

off_t BFile::Position() const
{
	if (InitCheck() != B_OK)
		return B_NO_INIT;
	off_t result = lseek(HostFd(), 0, SEEK_CUR);
	return result < 0 ? (off_t)status_from_errno(errno) : result;
}

status_t BFile::SetSize(off_t size)
{
	if (InitCheck() != B_OK)
		return B_NO_INIT;
	if (size < 0)
		return B_BAD_VALUE;
	return ftruncate(HostFd(), size) == 0 ? B_OK : status_from_errno(errno);
}

status_t BFile::GetSize(off_t* size) const
{
	return BStatable::GetSize(size);
}

BFile& BFile::operator=(const BFile& file)
{
	if (this == &file)
		return *this;
	BNode::operator=(file);
	fMode = file.fMode;
	return *this;
}

status_t BFile::_Open(const std::string& path, uint32 openMode)
{
	int fd = open(path.c_str(), host_open_flags(openMode), 0666);
	if (fd < 0)
		return _SetInitStatus(status_from_errno(errno));
	struct stat st;
	if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
		close(fd);
		return _SetInitStatus(B_IS_A_DIRECTORY);
	}
	fMode = openMode;
	return _SetHost(path, fd);
}
