// ZipStreamWriter: writes a ZIP archive front to back, entry by entry, with
// the host given as BeOS. An entry whose sizes are known when it starts is
// written once; one that is not gets its local header patched when it ends.
// ZIP64 records are written only where a size, an offset or the number of
// entries needs them.
#pragma once

#include <string>
#include <vector>

#include "SupportDefs.h"

struct ZipStreamEntry {
	std::string name;
	uint16 method = 0;   // stored (0) or deflated (8)
	uint32 dosTime = 0;  // date in the high half, time in the low half
	uint32 external = 0; // mode in the high half, DOS bits in the low one
	uint32 crc = 0;
	uint64 compressedSize = 0;
	uint64 size = 0;
	std::string localExtra;
	std::string centralExtra;
};

class ZipStreamWriter {
public:
	ZipStreamWriter();
	~ZipStreamWriter();

	// Creates the archive at `path`, replacing any file there.
	status_t Open(const std::string& path);
	// Starts an entry. With `sizesKnown` false, the crc and sizes come with
	// FinishEntry and `entry.size` is only a hint of the size to come.
	status_t BeginEntry(const ZipStreamEntry& entry, bool sizesKnown);
	status_t WriteData(const void* data, size_t length);
	status_t FinishEntry(uint32 crc, uint64 compressedSize, uint64 size);
	// Writes the central directory and closes the archive.
	status_t Close();
	// Closes and removes an archive that will not be finished.
	void Discard();

	const std::string& ErrorText() const { return fError; }

private:
	struct Central;

	status_t Flush();
	status_t WriteAll(const char* data, size_t length);
	status_t PatchSizes();
	std::string CentralRecord(const Central& entry) const;
	status_t Fail(const std::string& what, int error);

	int fFd;
	std::string fPath;
	std::string fBuffer;
	uint64 fOffset; // bytes written to the file and the buffer
	// The central directory so far, in blocks: one string grown by doubling
	// would briefly hold twice its size.
	std::vector<std::string> fDirectory;
	uint64 fDirectoryBytes;
	uint64 fEntries;
	Central* fOpen; // the entry being written
	bool fOpenKnown;
	bool fOpenZip64;
	std::string fError;
};

// The DOS date and time of `when` in local time, as ZIP tools store it.
uint32 zip_dos_time(time_t when);
