// ZIP records written in order through one buffer, so that an archive of
// many small entries costs few system calls.
#include "ZipStreamWriter.h"

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "ZipFormat.h"

namespace {

const size_t kBufferSize = 1 << 20;
// Made by BeOS (16), format version 6.3: as libzip marks it.
const uint16 kMadeBy = (16 << 8) | 63;
const uint16 kFlagUtf8 = 0x0800;
// An entry whose size is unknown gets ZIP64 sizes from this size on: deflate
// may grow incompressible data by a little.
const uint64 kZip64Hint = kZipSaturated32 - (kZipSaturated32 >> 8) - (1 << 20);

void put16(std::string* out, uint16 value)
{
	out->push_back((char)(value & 0xff));
	out->push_back((char)(value >> 8));
}

void put32(std::string* out, uint32 value)
{
	put16(out, (uint16)(value & 0xffff));
	put16(out, (uint16)(value >> 16));
}

void put64(std::string* out, uint64 value)
{
	put32(out, (uint32)(value & 0xffffffff));
	put32(out, (uint32)(value >> 32));
}

// Names that are UTF-8 beyond ASCII carry the flag that says so; plain
// ASCII names need no flag.
bool needs_utf8_flag(const std::string& name)
{
	bool wide = false;
	for (size_t i = 0; i < name.size();) {
		const unsigned char lead = (unsigned char)name[i];
		size_t length = lead < 0x80                    ? 1
		                : lead >= 0xc2 && lead <= 0xdf ? 2
		                : lead >= 0xe0 && lead <= 0xef ? 3
		                : lead >= 0xf0 && lead <= 0xf4 ? 4
		                                               : 0;
		if (length == 0 || i + length > name.size())
			return false;
		for (size_t k = 1; k < length; k++) {
			if (((unsigned char)name[i + k] & 0xc0) != 0x80)
				return false;
		}
		wide = wide || length > 1;
		i += length;
	}
	return wide;
}

uint16 version_needed(const ZipStreamEntry& entry, bool zip64)
{
	// Zstandard came with version 6.3 of the format.
	if (entry.method == kZipMethodZstd)
		return 63;
	if (zip64)
		return 45;
	const bool folder = !entry.name.empty() && entry.name.back() == '/';
	return entry.method == kZipMethodDeflated || folder ? 20 : 10;
}

} // namespace

struct ZipStreamWriter::Central {
	ZipStreamEntry entry;
	uint64 localOffset = 0;
	bool localZip64 = false;
};

uint32 zip_dos_time(time_t when)
{
	// In UTC: the same archive whatever the time zone of the build. Readers
	// take the exact time from the 0x5455 field.
	struct tm local = {};
	if (gmtime_r(&when, &local) == nullptr || local.tm_year < 80)
		return (1 << 21) | (1 << 16); // 1980-01-01, the earliest DOS date
	const uint32 date =
	        (uint32)(((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
	const uint32 time = (uint32)((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
	return (date << 16) | time;
}

ZipStreamWriter::ZipStreamWriter()
    : fFd(-1), fOffset(0), fDirectoryBytes(0), fEntries(0), fOpen(nullptr), fOpenKnown(false),
      fOpenZip64(false)
{
}

ZipStreamWriter::~ZipStreamWriter()
{
	if (fFd >= 0)
		Discard();
	delete fOpen;
}

status_t ZipStreamWriter::Fail(const std::string& what, int error)
{
	if (fError.empty())
		fError = what + " " + fPath + (error != 0 ? std::string(": ") + strerror(error) : "");
	return error == ENOSPC ? B_DEVICE_FULL : B_IO_ERROR;
}

status_t ZipStreamWriter::Open(const std::string& path)
{
	fPath = path;
	fError.clear();
	fFd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
	if (fFd < 0)
		return Fail("cannot create", errno);
	fBuffer.reserve(kBufferSize);
	return B_OK;
}

status_t ZipStreamWriter::WriteAll(const char* data, size_t length)
{
	while (length > 0) {
		const ssize_t written = write(fFd, data, length);
		if (written < 0 && errno == EINTR)
			continue;
		if (written <= 0)
			return Fail("cannot write", written < 0 ? errno : ENOSPC);
		data += written;
		length -= (size_t)written;
	}
	return B_OK;
}

status_t ZipStreamWriter::Flush()
{
	status_t status = WriteAll(fBuffer.data(), fBuffer.size());
	fBuffer.clear();
	return status;
}

status_t ZipStreamWriter::WriteData(const void* data, size_t length)
{
	if (fFd < 0)
		return B_NO_INIT;
	fOffset += length;
	if (fBuffer.size() + length <= kBufferSize) {
		fBuffer.append(static_cast<const char*>(data), length);
		return B_OK;
	}
	status_t status = Flush();
	return status == B_OK ? WriteAll(static_cast<const char*>(data), length) : status;
}

status_t ZipStreamWriter::BeginEntry(const ZipStreamEntry& entry, bool sizesKnown)
{
	if (fFd < 0 || fOpen != nullptr || entry.name.size() > kZipSaturated16)
		return B_BAD_VALUE;
	fOpen = new Central;
	fOpen->entry = entry;
	fOpen->localOffset = fOffset;
	fOpenKnown = sizesKnown;
	fOpenZip64 = sizesKnown
	                     ? entry.size >= kZipSaturated32 || entry.compressedSize >= kZipSaturated32
	                     : entry.size >= kZip64Hint;
	fOpen->localZip64 = fOpenZip64;

	std::string extra;
	if (fOpenZip64) {
		put16(&extra, kZipZip64Field);
		put16(&extra, 16);
		put64(&extra, sizesKnown ? entry.size : 0);
		put64(&extra, sizesKnown ? entry.compressedSize : 0);
	}
	extra += entry.localExtra;
	if (extra.size() > kZipSaturated16)
		return B_BAD_VALUE;
	std::string header;
	header.reserve(kZipLocalHeaderSize + entry.name.size() + extra.size());
	put32(&header, kZipLocalHeader);
	put16(&header, version_needed(entry, fOpenZip64));
	put16(&header, needs_utf8_flag(entry.name) ? kFlagUtf8 : 0);
	put16(&header, entry.method);
	put16(&header, (uint16)(entry.dosTime & 0xffff));
	put16(&header, (uint16)(entry.dosTime >> 16));
	put32(&header, sizesKnown ? entry.crc : 0);
	put32(&header, fOpenZip64 ? kZipSaturated32 : sizesKnown ? (uint32)entry.compressedSize : 0);
	put32(&header, fOpenZip64 ? kZipSaturated32 : sizesKnown ? (uint32)entry.size : 0);
	put16(&header, (uint16)entry.name.size());
	put16(&header, (uint16)extra.size());
	header += entry.name;
	header += extra;
	return WriteData(header.data(), header.size());
}

// Writes the crc and sizes into the local header of the open entry.
status_t ZipStreamWriter::PatchSizes()
{
	status_t status = Flush();
	if (status != B_OK)
		return status;
	const ZipStreamEntry& entry = fOpen->entry;
	std::string crc;
	put32(&crc, entry.crc);
	std::string sizes;
	off_t sizesAt = 0;
	if (fOpenZip64) {
		put64(&sizes, entry.size);
		put64(&sizes, entry.compressedSize);
		sizesAt = (off_t)(fOpen->localOffset + kZipLocalHeaderSize + entry.name.size() + 4);
	} else {
		put32(&sizes, (uint32)entry.compressedSize);
		put32(&sizes, (uint32)entry.size);
		sizesAt = (off_t)(fOpen->localOffset + 18);
	}
	if (pwrite(fFd, crc.data(), crc.size(), (off_t)fOpen->localOffset + 14) !=
	            (ssize_t)crc.size() ||
	    pwrite(fFd, sizes.data(), sizes.size(), sizesAt) != (ssize_t)sizes.size())
		return Fail("cannot write", errno);
	return B_OK;
}

status_t ZipStreamWriter::FinishEntry(uint32 crc, uint64 compressedSize, uint64 size)
{
	if (fOpen == nullptr)
		return B_BAD_VALUE;
	ZipStreamEntry& entry = fOpen->entry;
	if (!fOpenKnown) {
		if (!fOpenZip64 && (size >= kZipSaturated32 || compressedSize >= kZipSaturated32)) {
			fError = "the entry " + entry.name + " grew past the size it was started with";
			return B_ERROR;
		}
		entry.crc = crc;
		entry.compressedSize = compressedSize;
		entry.size = size;
		status_t status = PatchSizes();
		if (status != B_OK)
			return status;
	} else if (crc != entry.crc || compressedSize != entry.compressedSize || size != entry.size) {
		fError = "the entry " + entry.name + " does not match the sizes it was started with";
		return B_ERROR;
	}
	const std::string record = CentralRecord(*fOpen);
	if (fDirectory.empty() || fDirectory.back().size() + record.size() > kBufferSize) {
		fDirectory.emplace_back();
		fDirectory.back().reserve(kBufferSize);
	}
	fDirectory.back() += record;
	fDirectoryBytes += record.size();
	fEntries++;
	delete fOpen;
	fOpen = nullptr;
	return B_OK;
}

std::string ZipStreamWriter::CentralRecord(const Central& central) const
{
	const ZipStreamEntry& entry = central.entry;
	std::string zip64;
	if (entry.size >= kZipSaturated32)
		put64(&zip64, entry.size);
	if (entry.compressedSize >= kZipSaturated32)
		put64(&zip64, entry.compressedSize);
	if (central.localOffset >= kZipSaturated32)
		put64(&zip64, central.localOffset);
	std::string extra;
	if (!zip64.empty()) {
		put16(&extra, kZipZip64Field);
		put16(&extra, (uint16)zip64.size());
		extra += zip64;
	}
	extra += entry.centralExtra;
	std::string record;
	record.reserve(kZipCentralHeaderSize + entry.name.size() + extra.size());
	put32(&record, kZipCentralHeader);
	put16(&record, kMadeBy);
	put16(&record, version_needed(entry, !zip64.empty() || central.localZip64));
	put16(&record, needs_utf8_flag(entry.name) ? kFlagUtf8 : 0);
	put16(&record, entry.method);
	put16(&record, (uint16)(entry.dosTime & 0xffff));
	put16(&record, (uint16)(entry.dosTime >> 16));
	put32(&record, entry.crc);
	put32(&record, (uint32)std::min<uint64>(entry.compressedSize, kZipSaturated32));
	put32(&record, (uint32)std::min<uint64>(entry.size, kZipSaturated32));
	put16(&record, (uint16)entry.name.size());
	put16(&record, (uint16)std::min<size_t>(extra.size(), kZipSaturated16));
	put16(&record, 0); // comment
	put16(&record, 0); // disk
	put16(&record, 0); // internal attributes
	put32(&record, entry.external);
	put32(&record, (uint32)std::min<uint64>(central.localOffset, kZipSaturated32));
	record += entry.name;
	record += extra.substr(0, kZipSaturated16);
	return record;
}

status_t ZipStreamWriter::Close()
{
	if (fFd < 0 || fOpen != nullptr)
		return B_BAD_VALUE;
	const uint64 start = fOffset;
	const uint64 length = fDirectoryBytes;
	std::string end;
	const bool zip64 =
	        fEntries >= kZipSaturated16 || start >= kZipSaturated32 || length >= kZipSaturated32;
	if (zip64) {
		const uint64 zip64End = start + length;
		put32(&end, kZipZip64End);
		put64(&end, kZipZip64EndSize - 12);
		put16(&end, kMadeBy);
		put16(&end, 45);
		put32(&end, 0);
		put32(&end, 0);
		put64(&end, fEntries);
		put64(&end, fEntries);
		put64(&end, length);
		put64(&end, start);
		put32(&end, kZipZip64Locator);
		put32(&end, 0);
		put64(&end, zip64End);
		put32(&end, 1);
	}
	put32(&end, kZipEndOfDirectory);
	put16(&end, 0);
	put16(&end, 0);
	put16(&end, (uint16)std::min<uint64>(fEntries, kZipSaturated16));
	put16(&end, (uint16)std::min<uint64>(fEntries, kZipSaturated16));
	put32(&end, (uint32)std::min<uint64>(length, kZipSaturated32));
	put32(&end, (uint32)std::min<uint64>(start, kZipSaturated32));
	put16(&end, 0);
	status_t status = B_OK;
	for (size_t i = 0; status == B_OK && i < fDirectory.size(); i++)
		status = WriteData(fDirectory[i].data(), fDirectory[i].size());
	std::vector<std::string>().swap(fDirectory);
	if (status == B_OK)
		status = WriteData(end.data(), end.size());
	if (status == B_OK)
		status = Flush();
	if (status != B_OK) {
		Discard();
		return status;
	}
	const int fd = fFd;
	fFd = -1;
	if (close(fd) != 0) {
		unlink(fPath.c_str());
		return Fail("cannot write", errno);
	}
	return B_OK;
}

void ZipStreamWriter::Discard()
{
	if (fFd < 0)
		return;
	close(fFd);
	fFd = -1;
	unlink(fPath.c_str());
	fBuffer.clear();
	std::vector<std::string>().swap(fDirectory);
}
