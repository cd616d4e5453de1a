// Streaming reads of one ZIP entry, stored or deflated, with its sizes and
// CRC enforced.
#include "ZipEntryReader.h"

#include <libdeflate.h>
#include <string.h>

#include <algorithm>

#include "HostFileReader.h"
#include "ZipFormat.h"

namespace {

const size_t kWindowSize = 256 * 1024;
// Entries up to this size, packed and unpacked, are inflated whole; the
// memory it takes stays bounded.
const uint64 kWholeLimit = 4 * 1024 * 1024;

} // namespace

ZipEntryReader::ZipEntryReader()
    : fArchive(nullptr), fEntry(nullptr), fDataStart(0), fInputDone(0), fOutputDone(0), fCrc(0),
      fEnded(false), fStreamEnded(false), fInflating(false), fStream(), fWhole(nullptr),
      fWholeEntry(false), fPendingDone(0), fWindowStart(0), fWindowLength(0)
{
}

ZipEntryReader::~ZipEntryReader()
{
	if (fInflating)
		inflateEnd(&fStream);
	if (fWhole != nullptr)
		libdeflate_free_decompressor(fWhole);
}

status_t ZipEntryReader::SetTo(const ZipArchive& archive, const ZipEntry& entry)
{
	if (fInflating)
		inflateEnd(&fStream);
	fInflating = false;
	if (fArchive != &archive)
		fWindowLength = 0;
	fArchive = &archive;
	fEntry = &entry;
	fLocalExtra.clear();
	fInputDone = fOutputDone = 0;
	fCrc = crc32(0, nullptr, 0);
	fEnded = false;
	fStreamEnded = false;
	fPending.clear();
	fPendingDone = 0;
	fWholeEntry = entry.method == kZipMethodDeflated && entry.compressedSize <= kWholeLimit &&
	              entry.size <= kWholeLimit;
	fError.clear();
	if (entry.flags & kZipFlagEncrypted)
		return (status_t)_Fail(B_NOT_SUPPORTED, "the entry " + entry.name + " is encrypted");
	if (entry.method != kZipMethodStored && entry.method != kZipMethodDeflated)
		return (status_t)_Fail(B_NOT_SUPPORTED,
		                       "the entry " + entry.name + " uses an unknown compression");
	if (entry.method == kZipMethodStored && entry.compressedSize != entry.size)
		return (status_t)_Fail(B_BAD_DATA, "the stored entry " + entry.name + " is damaged");
	uint8 header[kZipLocalHeaderSize];
	uint64 end = archive.DirectoryStart();
	if (entry.localOffset + kZipLocalHeaderSize > end ||
	    _ReadAt(entry.localOffset, header, sizeof(header)) != B_OK ||
	    zip_get32(header) != kZipLocalHeader)
		return (status_t)_Fail(B_BAD_DATA, "the local header of " + entry.name + " is damaged");
	uint16 nameLength = zip_get16(header + 26);
	uint16 extraLength = zip_get16(header + 28);
	fDataStart = entry.localOffset + kZipLocalHeaderSize + nameLength + extraLength;
	if (fDataStart > end || entry.compressedSize > end - fDataStart)
		return (status_t)_Fail(B_BAD_DATA, "the entry " + entry.name + " lies outside the archive");
	fLocalExtra.resize(extraLength);
	if (extraLength > 0 && _ReadAt(entry.localOffset + kZipLocalHeaderSize + nameLength,
	                               fLocalExtra.data(), extraLength) != B_OK)
		return (status_t)_Fail(B_IO_ERROR, "cannot read the entry " + entry.name);
	if (entry.method == kZipMethodDeflated && !fWholeEntry) {
		fStream = z_stream();
		if (inflateInit2(&fStream, -MAX_WBITS) != Z_OK)
			return (status_t)_Fail(B_NO_MEMORY, "cannot inflate " + entry.name);
		fInflating = true;
	}
	return B_OK;
}

const uint8* ZipEntryReader::LocalField(uint16 id, uint16* length) const
{
	return zip_find_extra((const uint8*)fLocalExtra.data(), fLocalExtra.size(), id, length);
}

ssize_t ZipEntryReader::Read(void* buffer, size_t length)
{
	if (fEntry == nullptr)
		return B_NO_INIT;
	if (!fError.empty())
		return B_BAD_DATA;
	if (fEnded || length == 0)
		return 0;
	ssize_t done = fEntry->method == kZipMethodStored ? _ReadStored((uint8*)buffer, length)
	                                                  : _ReadDeflated((uint8*)buffer, length);
	if (done <= 0)
		return done;
	fOutputDone += done;
	fCrc = libdeflate_crc32(fCrc, buffer, (size_t)done);
	return done;
}

ssize_t ZipEntryReader::_ReadStored(uint8* buffer, size_t length)
{
	uint64 left = fEntry->size - fOutputDone;
	if (left == 0)
		return _Finish();
	size_t count = (size_t)std::min<uint64>(length, left);
	if (_ReadAt(fDataStart + fOutputDone, buffer, count) != B_OK)
		return _Fail(B_IO_ERROR, "cannot read the entry " + fEntry->name);
	return (ssize_t)count;
}

// Inflates into `buffer`; the stream's own end marks the entry's end, and
// more output than the entry declares stops it at once.
ssize_t ZipEntryReader::_ReadDeflated(uint8* buffer, size_t length)
{
	if (fWholeEntry)
		return _ReadWhole(buffer, length);
	if (fStreamEnded)
		return _Finish();
	fStream.next_out = buffer;
	fStream.avail_out = (uInt)std::min<size_t>(length, 1u << 30);
	while (fStream.avail_out > 0) {
		if (fStream.avail_in == 0) {
			status_t status = _Refill();
			if (status != B_OK)
				return status;
		}
		int result = inflate(&fStream, Z_NO_FLUSH);
		size_t produced = (size_t)(fStream.next_out - buffer);
		if (fOutputDone + produced > fEntry->size)
			return _Fail(B_BAD_DATA, "the entry " + fEntry->name + " is larger than it declares");
		if (result == Z_STREAM_END) {
			fStreamEnded = true;
			if (produced == 0)
				return _Finish();
			break;
		}
		if (result == Z_BUF_ERROR && fStream.avail_in == 0 && fInputDone == fEntry->compressedSize)
			return _Fail(B_BAD_DATA, "the entry " + fEntry->name + " is cut short");
		if (result != Z_OK && result != Z_BUF_ERROR)
			return _Fail(B_BAD_DATA, "the entry " + fEntry->name + " is damaged");
	}
	return fStream.next_out - buffer;
}

ssize_t ZipEntryReader::_ReadWhole(uint8* buffer, size_t length)
{
	if (fPendingDone == fPending.size()) {
		if (fStreamEnded)
			return _Finish();
		if (length >= fEntry->size)
			return _InflateWhole(buffer);
		fPending.resize((size_t)fEntry->size);
		const ssize_t produced = _InflateWhole((uint8*)fPending.data());
		if (produced <= 0)
			return produced;
		fPending.resize((size_t)produced);
	}
	const size_t count = std::min(length, fPending.size() - fPendingDone);
	memcpy(buffer, fPending.data() + fPendingDone, count);
	fPendingDone += count;
	return (ssize_t)count;
}

// Inflates the whole entry into `buffer`, which holds its declared size.
ssize_t ZipEntryReader::_InflateWhole(uint8* buffer)
{
	if (fWhole == nullptr && (fWhole = libdeflate_alloc_decompressor()) == nullptr)
		return _Fail(B_NO_MEMORY, "cannot inflate " + fEntry->name);
	const uint64 at = fDataStart;
	const size_t packed = (size_t)fEntry->compressedSize;
	const uint8* input = nullptr;
	if (packed > kWindowSize) {
		fPacked.resize(packed);
		if (_ReadAt(at, fPacked.data(), packed) != B_OK)
			return _Fail(B_IO_ERROR, "cannot read the entry " + fEntry->name);
		input = (const uint8*)fPacked.data();
	} else {
		if ((at < fWindowStart || at + packed > fWindowStart + fWindowLength) &&
		    _FillWindow(at) != B_OK)
			return _Fail(B_IO_ERROR, "cannot read the entry " + fEntry->name);
		if (at + packed > fWindowStart + fWindowLength)
			return _Fail(B_IO_ERROR, "cannot read the entry " + fEntry->name);
		input = fWindow.get() + (at - fWindowStart);
	}
	size_t produced = 0;
	const libdeflate_result result = libdeflate_deflate_decompress(fWhole, input, packed, buffer,
	                                                               (size_t)fEntry->size, &produced);
	fStreamEnded = true;
	fInputDone = packed;
	if (result == LIBDEFLATE_INSUFFICIENT_SPACE)
		return _Fail(B_BAD_DATA, "the entry " + fEntry->name + " is larger than it declares");
	// A whole stream cannot tell data cut short from damaged data.
	if (result != LIBDEFLATE_SUCCESS && result != LIBDEFLATE_SHORT_OUTPUT)
		return _Fail(B_BAD_DATA, "the entry " + fEntry->name + " is damaged or cut short");
	return produced == 0 ? _Finish() : (ssize_t)produced;
}

// Feeds the next piece of compressed data; running out of it before the
// stream ends is damage.
status_t ZipEntryReader::_Refill()
{
	uint64 left = fEntry->compressedSize - fInputDone;
	if (left == 0)
		return (status_t)_Fail(B_BAD_DATA, "the entry " + fEntry->name + " is cut short");
	const uint64 at = fDataStart + fInputDone;
	if ((at < fWindowStart || at >= fWindowStart + fWindowLength) && _FillWindow(at) != B_OK)
		return (status_t)_Fail(B_IO_ERROR, "cannot read the entry " + fEntry->name);
	const size_t count = (size_t)std::min<uint64>(fWindowStart + fWindowLength - at, left);
	fInputDone += count;
	fStream.next_in = fWindow.get() + (at - fWindowStart);
	fStream.avail_in = (uInt)count;
	return B_OK;
}

status_t ZipEntryReader::_ReadAt(uint64 offset, void* buffer, size_t length)
{
	if (offset >= fWindowStart && offset + length <= fWindowStart + fWindowLength) {
		memcpy(buffer, fWindow.get() + (offset - fWindowStart), length);
		return B_OK;
	}
	// Large reads go straight to the caller; small ones read ahead.
	if (length >= kWindowSize / 2)
		return read_fully_at(fArchive->File(), fArchive->Offset() + offset, buffer, length);
	status_t status = _FillWindow(offset);
	if (status != B_OK)
		return status;
	if (offset + length > fWindowStart + fWindowLength)
		return B_IO_ERROR;
	memcpy(buffer, fWindow.get(), length);
	return B_OK;
}

// Reads the window at `offset`, up to the central directory, which no
// entry's data passes.
status_t ZipEntryReader::_FillWindow(uint64 offset)
{
	fWindowLength = 0;
	const uint64 end = fArchive->DirectoryStart();
	if (offset >= end)
		return B_IO_ERROR;
	if (fWindow == nullptr)
		fWindow.reset(new uint8[kWindowSize]);
	const size_t length = (size_t)std::min<uint64>(kWindowSize, end - offset);
	status_t status =
	        read_fully_at(fArchive->File(), fArchive->Offset() + offset, fWindow.get(), length);
	if (status != B_OK)
		return status;
	fWindowStart = offset;
	fWindowLength = length;
	return B_OK;
}

ssize_t ZipEntryReader::_Finish()
{
	if (fOutputDone != fEntry->size)
		return _Fail(B_BAD_DATA, "the entry " + fEntry->name + " is shorter than it declares");
	if (fCrc != fEntry->crc)
		return _Fail(B_BAD_DATA, "the entry " + fEntry->name + " is damaged (CRC mismatch)");
	fEnded = true;
	return 0;
}

ssize_t ZipEntryReader::_Fail(status_t status, const std::string& text)
{
	fError = text;
	return status;
}
