// Streaming reads of one ZIP entry, stored, deflated or Zstandard, with its
// sizes and CRC enforced.
#include "ZipEntryReader.h"

#include <libdeflate.h>
#include <string.h>
// Frame headers are read before their data, to refuse them early.
#define ZSTD_STATIC_LINKING_ONLY
#include <zstd.h>

#include <algorithm>
#include <vector>

#include "HostFileReader.h"
#include "PayloadFields.h"
#include "ZipFormat.h"

namespace {

const size_t kWindowSize = 256 * 1024;
// Entries up to this size, packed and unpacked, are inflated whole; the
// memory it takes stays bounded.
const uint64 kWholeLimit = 4 * 1024 * 1024;

} // namespace

ZipEntryReader::ZipEntryReader()
    : fArchive(nullptr), fEntry(nullptr), fStreamDone(nullptr), fDataStart(0), fInputDone(0),
      fOutputDone(0), fCrc(0), fEnded(false), fStreamEnded(false), fInflating(false), fStream(),
      fWhole(nullptr), fZstd(nullptr), fZstdInputLeft(0), fZstdInput(nullptr), fFrameStart(false),
      fFramesDeclared(0), fReferenced(false), fWholeEntry(false), fPendingDone(0), fWindowStart(0),
      fWindowLength(0)
{
}

ZipEntryReader::~ZipEntryReader()
{
	if (fInflating)
		inflateEnd(&fStream);
	if (fWhole != nullptr)
		libdeflate_free_decompressor(fWhole);
	ZSTD_freeDCtx(fZstd);
}

status_t ZipEntryReader::SetTo(const ZipArchive& archive, const ZipEntry& entry)
{
	const bool continues = _Continues(archive, entry);
	if (fArchive != &archive || entry.method == kZipMethodZstd)
		fStreamDone = nullptr;
	if (fInflating)
		inflateEnd(&fStream);
	fInflating = false;
	if (fArchive != &archive) {
		fWindowLength = 0;
		fReferenceDigest.clear();
	}
	fArchive = &archive;
	fEntry = &entry;
	fLocalExtra.clear();
	fInputDone = fOutputDone = 0;
	fCrc = crc32(0, nullptr, 0);
	fEnded = false;
	fStreamEnded = false;
	fPending.clear();
	fPendingDone = 0;
	fZstdInputLeft = 0;
	fZstdInput = nullptr;
	// A later entry of a shared stream starts inside its frame.
	fFrameStart = !entry.solid || entry.streamPrevious < 0;
	fFramesDeclared = 0;
	fReferenced = false;
	fWholeEntry = entry.method == kZipMethodDeflated && entry.compressedSize <= kWholeLimit &&
	              entry.size <= kWholeLimit;
	fError.clear();
	if (entry.flags & kZipFlagEncrypted)
		return (status_t)_Fail(B_NOT_SUPPORTED, "the entry " + entry.name + " is encrypted");
	if (entry.method != kZipMethodStored && entry.method != kZipMethodDeflated &&
	    entry.method != kZipMethodZstd)
		return (status_t)_Fail(B_NOT_SUPPORTED,
		                       "the entry " + entry.name + " uses an unknown compression");
	if (entry.method == kZipMethodStored && entry.compressedSize != entry.size)
		return (status_t)_Fail(B_BAD_DATA, "the stored entry " + entry.name + " is damaged");
	status_t status = _ReadLocalHeader();
	if (status != B_OK)
		return status;
	if (entry.method == kZipMethodDeflated && !fWholeEntry) {
		fStream = z_stream();
		if (inflateInit2(&fStream, -MAX_WBITS) != Z_OK)
			return (status_t)_Fail(B_NO_MEMORY, "cannot inflate " + entry.name);
		fInflating = true;
	}
	if (entry.method != kZipMethodZstd || continues)
		return B_OK;
	if (fZstd == nullptr && (fZstd = ZSTD_createDCtx()) == nullptr)
		return (status_t)_Fail(B_NO_MEMORY, "cannot decode " + entry.name);
	ZSTD_DCtx_reset(fZstd, ZSTD_reset_session_and_parameters);
	ZSTD_DCtx_setParameter(fZstd, ZSTD_d_windowLogMax,
	                       entry.solid ? kZstdSolidWindowLogMax : kZstdWindowLogMax);
	if (entry.solid && entry.streamPrevious >= 0)
		return _SkipTo(archive, entry);
	uint16 length = 0;
	const uint8* field = LocalField(kPayloadReferenceField, &length);
	if (field != nullptr)
		return _LoadReference(field, length);
	return B_OK;
}

// Whether `entry` continues the stream of the entry this reader read to its
// end last, with nothing found wrong: the decoder is then where the entry's
// data begins.
bool ZipEntryReader::_Continues(const ZipArchive& archive, const ZipEntry& entry) const
{
	return entry.solid && entry.streamPrevious >= 0 && fArchive == &archive &&
	       fStreamDone == &archive.Entries()[(size_t)entry.streamPrevious];
}

// Decodes the entries of the stream before `entry`, checking each, so that
// the decoder stands where `entry`'s data begins.
status_t ZipEntryReader::_SkipTo(const ZipArchive& archive, const ZipEntry& entry)
{
	const std::vector<ZipEntry>& entries = archive.Entries();
	std::vector<const ZipEntry*> earlier;
	for (int64 at = entry.streamPrevious; at >= 0; at = entries[(size_t)at].streamPrevious)
		earlier.push_back(&entries[(size_t)at]);
	std::unique_ptr<uint8[]> scratch(new uint8[kWindowSize]);
	for (auto it = earlier.rbegin(); it != earlier.rend(); ++it) {
		status_t status = SetTo(archive, **it);
		ssize_t read = status;
		while (status == B_OK && (read = Read(scratch.get(), kWindowSize)) > 0) {
		}
		if (status != B_OK || read < 0)
			return (status_t)_Fail(status != B_OK ? status : (status_t)read,
			                       "cannot read " + entry.name + " from its stream: " + fError);
	}
	return SetTo(archive, entry);
}

// Reads the local header, its name and extra fields, and checks them and
// any data descriptor against the directory: a reader that trusts the local
// header would find other data, or another entry, than the directory says.
status_t ZipEntryReader::_ReadLocalHeader()
{
	const ZipEntry& entry = *fEntry;
	uint8 header[kZipLocalHeaderSize];
	if (entry.localOffset + kZipLocalHeaderSize > entry.limit ||
	    _ReadAt(entry.localOffset, header, sizeof(header)) != B_OK ||
	    zip_get32(header) != kZipLocalHeader)
		return (status_t)_Fail(B_BAD_DATA, "the local header of " + entry.name + " is damaged");
	const uint16 nameLength = zip_get16(header + 26);
	const uint16 extraLength = zip_get16(header + 28);
	const uint64 namesAt = entry.localOffset + kZipLocalHeaderSize;
	fDataStart = namesAt + nameLength + extraLength;
	if (fDataStart > entry.limit || entry.compressedSize > entry.limit - fDataStart)
		return (status_t)_Fail(B_BAD_DATA,
		                       "the entry " + entry.name + " runs into " + _Following());
	std::string names(nameLength + extraLength, '\0');
	if (!names.empty() && _ReadAt(namesAt, names.data(), names.size()) != B_OK)
		return (status_t)_Fail(B_IO_ERROR, "cannot read the entry " + entry.name);
	if (names.compare(0, nameLength, entry.name) != 0)
		return (status_t)_Fail(B_BAD_DATA,
		                       "the local header of " + entry.name + " names another entry (" +
		                               zip_printable_name(names.substr(0, nameLength)) + ")");
	fLocalExtra = names.substr(nameLength);
	const uint16 flags = zip_get16(header + 6);
	const char* differs = _LocalDifference(header, flags);
	if (differs != nullptr)
		return (status_t)_Fail(B_BAD_DATA, "the local header of " + entry.name +
		                                           " contradicts the directory (" + differs + ")");
	if ((flags & kZipFlagDescriptor) == 0)
		return B_OK;
	return _CheckDescriptor();
}

// What the local header gives otherwise than the directory, or null. With a
// data descriptor it may leave the CRC and sizes 0.
const char* ZipEntryReader::_LocalDifference(const uint8* header, uint16 flags) const
{
	const ZipEntry& entry = *fEntry;
	if (zip_get16(header + 8) != entry.method)
		return "compression method";
	if (((flags ^ entry.flags) & kZipFlagEncrypted) != 0)
		return "encryption";
	const bool deferred = (flags & kZipFlagDescriptor) != 0;
	uint64 compressedSize = zip_get32(header + 18);
	uint64 size = zip_get32(header + 22);
	if (compressedSize == kZipSaturated32 || size == kZipSaturated32) {
		uint16 length = 0;
		const uint8* wide = LocalField(kZipZip64Field, &length);
		if (wide == nullptr || length < 16)
			return "ZIP64 sizes missing";
		size = zip_get64(wide);
		compressedSize = zip_get64(wide + 8);
	}
	auto agrees = [deferred](uint64 local, uint64 central) {
		return local == central || (deferred && local == 0);
	};
	if (!agrees(zip_get32(header + 14), entry.crc))
		return "CRC";
	if (!agrees(compressedSize, entry.compressedSize))
		return "compressed size";
	if (!agrees(size, entry.size))
		return "size";
	return nullptr;
}

// The descriptor after the data, with or without its signature, sizes of 8
// bytes when the local header has a ZIP64 field; it must repeat the
// directory's CRC and sizes.
status_t ZipEntryReader::_CheckDescriptor()
{
	const ZipEntry& entry = *fEntry;
	uint16 unused = 0;
	const bool wide = LocalField(kZipZip64Field, &unused) != nullptr;
	const size_t length = wide ? 20 : 12;
	const uint64 at = fDataStart + entry.compressedSize;
	const size_t room = (size_t)std::min<uint64>(entry.limit - at, length + 4);
	uint8 bytes[24];
	if (room < length)
		return (status_t)_Fail(B_BAD_DATA, "the data descriptor of " + entry.name +
		                                           " is missing or runs into " + _Following());
	if (_ReadAt(at, bytes, room) != B_OK)
		return (status_t)_Fail(B_IO_ERROR, "cannot read the entry " + entry.name);
	auto agrees = [&](const uint8* fields) {
		const uint64 compressedSize = wide ? zip_get64(fields + 4) : zip_get32(fields + 4);
		const uint64 size = wide ? zip_get64(fields + 12) : zip_get32(fields + 8);
		return zip_get32(fields) == entry.crc && compressedSize == entry.compressedSize &&
		       size == entry.size;
	};
	const bool marked = room == length + 4 && zip_get32(bytes) == kZipDataDescriptor;
	if ((marked && agrees(bytes + 4)) || agrees(bytes))
		return B_OK;
	return (status_t)_Fail(B_BAD_DATA,
	                       "the data descriptor of " + entry.name + " contradicts the directory");
}

// What follows the entry's space, for messages.
std::string ZipEntryReader::_Following() const
{
	return fEntry->limit == fArchive->DirectoryStart() ? "the archive's directory"
	                                                   : "the entry after it";
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
	               : fEntry->method == kZipMethodZstd ? _ReadZstd((uint8*)buffer, length)
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

// Decodes into `buffer` frame by frame; the input ending on a frame's end
// marks the entry's end, and more output than the entry declares stops it
// at once.
ssize_t ZipEntryReader::_ReadZstd(uint8* buffer, size_t length)
{
	ZSTD_outBuffer out = {buffer, length, 0};
	while (out.pos < out.size && !fStreamEnded) {
		const bool inputLeft = fZstdInputLeft > 0 || fInputDone < fEntry->compressedSize;
		if (fFrameStart) {
			if (!inputLeft) {
				fStreamEnded = true;
				break;
			}
			status_t status = _CheckFrameHeader();
			if (status != B_OK)
				return status;
			fFrameStart = false;
		}
		// A part of a shared stream may end inside its frame: the decoder
		// is then only asked for what it holds.
		if (fZstdInputLeft == 0 && (inputLeft || !fEntry->solid)) {
			status_t status = _Refill(&fZstdInput, &fZstdInputLeft, false);
			if (status != B_OK)
				return status;
		}
		ZSTD_inBuffer in = {fZstdInput, fZstdInputLeft, 0};
		const size_t before = out.pos;
		const size_t result = ZSTD_decompressStream(fZstd, &out, &in);
		fZstdInput += in.pos;
		fZstdInputLeft -= in.pos;
		if (ZSTD_isError(result))
			return _Fail(B_BAD_DATA, "the entry " + fEntry->name + " is damaged (" +
			                                 ZSTD_getErrorName(result) + ")");
		if (fOutputDone + out.pos > fEntry->size)
			return _Fail(B_BAD_DATA, "the entry " + fEntry->name + " is larger than it declares");
		if (result == 0) {
			status_t status = _FrameEnded();
			if (status != B_OK)
				return status;
		} else if (fEntry->solid && !inputLeft && out.pos == before) {
			if (fEntry->streamEnds)
				return _Fail(B_BAD_DATA, "the entry " + fEntry->name + " is cut short");
			fStreamEnded = true;
		}
	}
	return out.pos == 0 ? _Finish() : (ssize_t)out.pos;
}

// A frame's end: the next frame follows, unless the frame is a stream that
// entries share, which ends with its last entry's last byte.
status_t ZipEntryReader::_FrameEnded()
{
	fFrameStart = true;
	if (!fEntry->solid)
		return B_OK;
	if (!fEntry->streamEnds)
		return (status_t)_Fail(B_BAD_DATA, "the Zstandard stream of " + fEntry->name +
		                                           " ends before the entries that continue it");
	if (fZstdInputLeft > 0 || fInputDone < fEntry->compressedSize)
		return (status_t)_Fail(B_BAD_DATA, "the entry " + fEntry->name +
		                                           " is damaged (bytes after its stream's end)");
	fStreamEnded = true;
	return B_OK;
}

// The header of the frame the input is at: a frame must state its size,
// which with those before it stays within the entry's, and ask for no
// larger window than a decoder may hold, so that no frame can make the
// reader allocate or write more than the directory allows.
status_t ZipEntryReader::_CheckFrameHeader()
{
	const size_t wanted = (size_t)std::min<uint64>(
	        ZSTD_FRAMEHEADERSIZE_MAX, fEntry->compressedSize - fInputDone + fZstdInputLeft);
	// Mostly the window read for the local header holds the frame's header.
	if (fZstdInputLeft == 0) {
		status_t status = _Refill(&fZstdInput, &fZstdInputLeft, false);
		if (status != B_OK)
			return status;
	}
	if (fZstdInputLeft < wanted) {
		// The header straddles the window's end: read on from its start.
		fInputDone -= fZstdInputLeft;
		fZstdInputLeft = 0;
		status_t status = _Refill(&fZstdInput, &fZstdInputLeft, true);
		if (status != B_OK)
			return status;
	}
	ZSTD_frameHeader header;
	const size_t result = ZSTD_getFrameHeader(&header, fZstdInput, wanted);
	const std::string& name = fEntry->name;
	if (result != 0)
		return (status_t)_Fail(B_BAD_DATA,
		                       "the entry " + name +
		                               (ZSTD_isError(result) ? " is damaged (no Zstandard frame)"
		                                                     : " is cut short"));
	if (header.frameType != ZSTD_frame)
		return (status_t)_Fail(B_BAD_DATA, "the entry " + name + " holds a frame without data");
	if (header.frameContentSize == ZSTD_CONTENTSIZE_UNKNOWN)
		return (status_t)_Fail(B_BAD_DATA, "the entry " + name + " has a frame of unknown size");
	if (fEntry->solid && header.frameContentSize != fEntry->streamSize)
		return (status_t)_Fail(B_BAD_DATA, "the Zstandard stream of " + name + " states " +
		                                           std::to_string(header.frameContentSize) +
		                                           " bytes, its entries " +
		                                           std::to_string(fEntry->streamSize));
	if (!fEntry->solid && header.frameContentSize > fEntry->size - fFramesDeclared)
		return (status_t)_Fail(B_BAD_DATA, "the entry " + name + " is larger than it declares");
	const int windowLogMax = fEntry->solid ? kZstdSolidWindowLogMax : kZstdWindowLogMax;
	if (header.windowSize > (1ull << windowLogMax))
		return (status_t)_Fail(B_BAD_DATA,
		                       "the entry " + name + " asks for a window of " +
		                               std::to_string(header.windowSize >> 20) + " MB (at most " +
		                               std::to_string(1 << (windowLogMax - 20)) + " MB)");
	fFramesDeclared += header.frameContentSize;
	// A prefix serves one frame only.
	if (fReferenced &&
	    ZSTD_isError(ZSTD_DCtx_refPrefix(fZstd, fReference.data(), fReference.size())))
		return (status_t)_Fail(B_NO_MEMORY, "cannot decode " + name);
	return B_OK;
}

// Feeds the next piece of compressed data; running out of it before the
// stream ends is damage.
status_t ZipEntryReader::_Refill()
{
	const uint8* data = nullptr;
	size_t count = 0;
	status_t status = _Refill(&data, &count, false);
	fStream.next_in = (Bytef*)data;
	fStream.avail_in = (uInt)count;
	return status;
}

// The next piece of compressed data from the window, read anew at that
// point when `fresh` or when the window does not hold it.
status_t ZipEntryReader::_Refill(const uint8** data, size_t* count, bool fresh)
{
	uint64 left = fEntry->compressedSize - fInputDone;
	if (left == 0)
		return (status_t)_Fail(B_BAD_DATA, "the entry " + fEntry->name + " is cut short");
	const uint64 at = fDataStart + fInputDone;
	if ((fresh || at < fWindowStart || at >= fWindowStart + fWindowLength) &&
	    _FillWindow(at) != B_OK)
		return (status_t)_Fail(B_IO_ERROR, "cannot read the entry " + fEntry->name);
	*count = (size_t)std::min<uint64>(fWindowStart + fWindowLength - at, left);
	fInputDone += *count;
	*data = fWindow.get() + (at - fWindowStart);
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
	if (fEntry->solid)
		fStreamDone = fEntry;
	return 0;
}

ssize_t ZipEntryReader::_Fail(status_t status, const std::string& text)
{
	fError = text;
	return status;
}
