// BFile: a regular file opened for reading and/or writing. Unlike BNode, a
// link at the path is followed, as opening a file does.
#pragma once

#include "Node.h"

class BFile : public BNode {
public:
	BFile();
	BFile(const BFile& file);
	BFile(const entry_ref* ref, uint32 openMode);
	BFile(const BEntry* entry, uint32 openMode);
	BFile(const char* path, uint32 openMode);
	BFile(const BDirectory* dir, const char* path, uint32 openMode);
	virtual ~BFile();

	status_t SetTo(const entry_ref* ref, uint32 openMode);
	status_t SetTo(const BEntry* entry, uint32 openMode);
	status_t SetTo(const char* path, uint32 openMode);
	status_t SetTo(const BDirectory* dir, const char* path, uint32 openMode);

	bool IsReadable() const;
	bool IsWritable() const;

	// Read and Write work at the current position and loop over short transfers.
	ssize_t Read(void* buffer, size_t size);
	ssize_t ReadAt(off_t location, void* buffer, size_t size);
	ssize_t Write(const void* buffer, size_t size);
	ssize_t WriteAt(off_t location, const void* buffer, size_t size);

	// SEEK_SET, SEEK_CUR or SEEK_END; the new position or an error.
	off_t Seek(off_t position, uint32 seekMode);
	off_t Position() const;
	status_t SetSize(off_t size);
	status_t GetSize(off_t* size) const;

	BFile& operator=(const BFile& file);

private:
	status_t _Open(const std::string& path, uint32 openMode);
	// B_NO_INIT, or B_BAD_VALUE for a negative location or a missing buffer.
	status_t _CheckTransfer(off_t location, const void* buffer, size_t size) const;

	uint32 fMode;
};
