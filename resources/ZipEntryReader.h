// ZipEntryReader: streams the data of one entry of a ZipArchive, inflating
// or decoding Zstandard as it goes. The entry's sizes and CRC are the central directory's and
// are enforced: more bytes than declared, fewer, or a wrong CRC is damage,
// and so is a local header or data descriptor that says otherwise.
// A small deflated entry is inflated whole by libdeflate, into the caller's
// buffer when it is large enough. A Zstandard entry is one or more frames,
// each stating its size, whose sum must stay within the entry's; a frame
// needing a larger window than kZstdWindowLogMax is refused.
// Entries marked as parts of one Zstandard stream (ZipEntry::solid) are one
// frame that states the whole stream's size, each entry's data ending on a
// flush: read in directory order through one reader, each continues where
// the last ended; read alone, the reader first decodes the stream's earlier
// entries, checking them too.
// A Zstandard entry with a reference field (0x5256) decodes every frame
// against the first bytes of the file holding the archive, which lie before
// it and must match the field's digest: the deinstaller is carried so,
// against the installer program that carries it.
// Each thread reads through its own reader; the archive is shared. Small
// entries lying one after another are read a window at a time.
#pragma once

#include <zlib.h>

struct libdeflate_decompressor;
typedef struct ZSTD_DCtx_s ZSTD_DCtx;

#include <memory>
#include <string>

#include "ZipArchive.h"

class ZipEntryReader {
public:
	ZipEntryReader();
	~ZipEntryReader();
	ZipEntryReader(const ZipEntryReader&) = delete;
	ZipEntryReader& operator=(const ZipEntryReader&) = delete;

	// Reads the entry's local header; its data is read by Read.
	status_t SetTo(const ZipArchive& archive, const ZipEntry& entry);
	const std::string& ErrorText() const { return fError; }

	// The extra field `id` of the local header; null when absent.
	const uint8* LocalField(uint16 id, uint16* length) const;

	// Up to `length` bytes of the entry's data; 0 at its end, which is only
	// reached once the size and CRC matched; a negative status on damage.
	ssize_t Read(void* buffer, size_t length);

	// The largest window a frame may ask for: what one decoder may hold.
	static const int kZstdWindowLogMax = 24;
	// The same for a stream shared by several entries.
	static const int kZstdSolidWindowLogMax = 24;

private:
	status_t _ReadLocalHeader();
	const char* _LocalDifference(const uint8* header, uint16 flags) const;
	status_t _CheckDescriptor();
	std::string _Following() const;
	ssize_t _ReadStored(uint8* buffer, size_t length);
	ssize_t _ReadDeflated(uint8* buffer, size_t length);
	ssize_t _ReadWhole(uint8* buffer, size_t length);
	ssize_t _InflateWhole(uint8* buffer);
	ssize_t _ReadZstd(uint8* buffer, size_t length);
	status_t _CheckFrameHeader();
	status_t _LoadReference(const uint8* field, uint16 length);
	status_t _FrameEnded();
	bool _Continues(const ZipArchive& archive, const ZipEntry& entry) const;
	status_t _SkipTo(const ZipArchive& archive, const ZipEntry& entry);
	status_t _Refill();
	status_t _Refill(const uint8** data, size_t* count, bool fresh);
	// Reads [offset, offset + length) of the archive, from the window when
	// it lies there.
	status_t _ReadAt(uint64 offset, void* buffer, size_t length);
	status_t _FillWindow(uint64 offset);
	ssize_t _Finish();
	ssize_t _Fail(status_t status, const std::string& text);

	const ZipArchive* fArchive;
	const ZipEntry* fEntry;
	// The entry of a shared stream last read to its end, the decoder
	// standing after its data; entries outside streams may follow it.
	const ZipEntry* fStreamDone;
	std::string fLocalExtra;
	uint64 fDataStart;
	uint64 fInputDone;
	uint64 fOutputDone;
	uint32 fCrc;
	bool fEnded;
	bool fStreamEnded;
	bool fInflating;
	z_stream fStream;
	libdeflate_decompressor* fWhole;
	ZSTD_DCtx* fZstd;
	size_t fZstdInputLeft; // of the window piece fed to the decoder
	const uint8* fZstdInput;
	bool fFrameStart;       // the next input byte begins a frame
	uint64 fFramesDeclared; // output the frames read so far declare
	bool fReferenced;       // the frames are encoded against fReference
	std::string fReference;
	std::string fReferenceDigest; // of fReference as read from fArchive's file, once verified
	bool fWholeEntry;
	// A whole entry inflated for a caller reading it in pieces.
	std::string fPending;
	size_t fPendingDone;
	// A whole entry's packed data larger than the window.
	std::string fPacked;
	std::unique_ptr<uint8[]> fWindow;
	uint64 fWindowStart;
	size_t fWindowLength;
	std::string fError;
};
