// The resources block: reading its header, index and info table, and laying
// out a new block the way the platform's writer does.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "HostFileReader.h"
#include "ResourceContainer.h"
#include "SupportDefs.h"

// A resource as the block's tables describe it.
struct ResourceRecord {
	type_code type = 0;
	int32 id = 0;
	std::string name;
	off_t offset = 0; // of the data, from the start of the file
	uint64 size = 0;
};

// Reads the tables of the block at container.blockOffset (no resource data).
// Sets *bigEndian to the block's byte order.
status_t read_resource_table(HostFileReader& reader, const ResourceContainer& container,
                             bool* bigEndian, std::vector<ResourceRecord>* records,
                             ResourceError* error);

// What the writer needs of one resource.
struct ResourceLayoutEntry {
	type_code type;
	int32 id;
	std::string name;
	uint64 size;
};

// A new little-endian block: everything but the data, and where the data go.
struct ResourceLayout {
	std::string admin;               // header, index section and the 360-byte section
	std::vector<uint64> dataOffsets; // from the start of the block
	uint64 infoOffset = 0;           // from the start of the block; the data end there
	std::string infoTable;
	uint64 TotalSize() const;
};

// Lays out a block holding `entries` in their order. B_FILE_TOO_LARGE when
// the block would not fit the format's 32-bit offsets.
status_t make_resource_layout(const std::vector<ResourceLayoutEntry>& entries,
                              ResourceLayout* layout);

// The info table checksum over `size` bytes.
uint32 info_table_checksum(const uint8* data, size_t size);

// The size the file at `path` should have by its own tables (the ELF part,
// then the resources block up to its info table) and the size it has. When
// the file is cut before the block's header, only a lower bound is known:
// *atLeast is then true. B_OK when the sizes could be read at all.
status_t resource_file_sizes(const char* path, off_t* expected, off_t* actual, bool* atLeast);
