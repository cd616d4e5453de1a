// PayloadWriter: packs one install item into a ZIP archive with the payload
// layout: deflated (or Zstandard) files, stored folders and links, BeOS as
// host, and the time, owner and attribute extra fields on every entry.
#pragma once

#include <string>

#include "PayloadFields.h"
#include "SupportDefs.h"

// How the files' data is compressed: deflate (ZIP method 8), which every
// unzip reads, or Zstandard (method 93), smaller and faster to read.
enum class PayloadCompression { kDeflate, kZstd };

class PayloadWriter {
public:
	// `level` is the deflate level (1 to 9, 0 stores the files as they
	// are) or Zstandard's (1 to 22); `threads` the reading and compressing
	// threads, 0 for one per core.
	explicit PayloadWriter(int32 level = 6, int32 threads = 0,
	                       PayloadCompression compression = PayloadCompression::kDeflate);

	// Encodes every file with Zstandard against the first `size` bytes of
	// the file at `path` (at most kMaxReferenceBytes), which must be the
	// start of the file the archive will lie in: its reader takes the
	// reference from there. Returns B_BAD_VALUE when the file cannot be
	// read, with ErrorText saying why.
	status_t SetReference(const std::string& path, uint64 size);
	// The reference set, size 0 without one.
	const PayloadReference& Reference() const { return fReference; }
	// Packs the entry at `source` under the name `leaf` into a new archive at
	// `archive`, replacing any file there.
	status_t Write(const std::string& source, const std::string& leaf, const std::string& archive);
	// What went wrong in the last Write.
	const std::string& ErrorText() const { return fError; }
	// The access time every entry records in place of its source's, which
	// reading the source changes; -1 keeps the source's.
	void SetAccessTime(const int64& when) { fAccessTime = when; }
	// Of the item last written: the bytes of its files, and its size as the
	// installer's item list counts it (the data of its entries and the
	// attributes they had), so that nobody walks the item again.
	int64 FileBytes() const { return fFileBytes; }
	int64 ListedSize() const { return fListedSize; }

private:
	int32 fLevel;
	PayloadCompression fCompression;
	int32 fThreads;
	std::string fError;
	int64 fFileBytes;
	int64 fListedSize;
	int64 fAccessTime;
	std::string fReferenceBytes;
	PayloadReference fReference;
};
