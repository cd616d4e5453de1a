// What the ZIP reader's tests share: text that spans several input chunks,
// an archive lying inside a file as a resource lies in an installer, and
// reading a whole entry in pieces.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "PayloadTestSupport.h"
#include "ZipArchive.h"
#include "ZipEntryReader.h"

namespace payload_test {

// Text that deflates well but spans several of the reader's input chunks.
inline std::string LargeText(size_t size)
{
	std::string text;
	uint32 state = 7;
	while (text.size() < size) {
		state = state * 1103515245 + 12345;
		text += "line " + std::to_string(state >> 8) +
		        (state & 0x100 ? " install\n" : " payload\n");
	}
	text.resize(size);
	return text;
}

// An archive written at `offset` of a file between foreign bytes, as a
// resource lies in an installer.
class ArchiveFile {
public:
	ArchiveFile(const std::string& path, const std::string& archive, size_t offset = 1000)
	    : fOffset(offset), fSize(archive.size())
	{
		WriteText(path, std::string(offset, 'E') + archive + std::string(300, 'T'));
		fFd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
	}
	~ArchiveFile() { close(fFd); }

	status_t Open(ZipArchive* archive, uint64 maxEntries = 100) const
	{
		return archive->SetTo(fFd, fOffset, fSize, maxEntries);
	}

private:
	int fFd;
	off_t fOffset;
	off_t fSize;
};

// Reads the whole entry in pieces, small by default; the status of the
// last read.
inline ssize_t ReadAll(ZipEntryReader& reader, std::string* data, size_t piece = 1000)
{
	std::string buffer(piece, '\0');
	ssize_t read;
	while ((read = reader.Read(buffer.data(), piece)) > 0)
		data->append(buffer.data(), read);
	return read;
}

} // namespace payload_test
