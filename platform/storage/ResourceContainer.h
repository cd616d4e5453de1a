// Where a file keeps its resources block: standalone resource files (x86 and
// PPC), ELF executables with the block appended, and PEF executables.
#pragma once

#include <sys/types.h>

#include <string>

#include "HostFileReader.h"
#include "SupportDefs.h"

enum class ResourceContainerKind {
	kEmpty, // no bytes yet: becomes an x86 resource file when written
	kResourceFile,
	kPpcResourceFile,
	kElf,
	kPef,
};

struct ResourceContainer {
	ResourceContainerKind kind = ResourceContainerKind::kEmpty;
	// The container's own bytes, kept as they are when the block is rewritten.
	off_t prefixEnd = 0;
	// Where the resources block starts, or would start when written.
	off_t blockOffset = 4;
	bool bigEndian = false;
	// The file holds bytes at blockOffset.
	bool hasBlock = false;
};

// A parse failure: the file offset it concerns and what is wrong there.
struct ResourceError {
	off_t offset = 0;
	std::string text;

	status_t Set(off_t at, status_t status, const char* format, ...)
	        __attribute__((format(printf, 4, 5)));
};

// Recognises the container and finds the block's offset (ELF placement rule).
status_t locate_resource_block(HostFileReader& reader, ResourceContainer* container,
                               ResourceError* error);

// The offset a resources block starts at after `end` bytes of ELF data.
off_t elf_resource_offset(off_t end, uint64 alignment);

// Tells the block's byte order from its four magic bytes; false when they
// are not the resources magic in either order.
bool resource_block_order(const uint8* magic, bool containerBigEndian, bool* bigEndian);
