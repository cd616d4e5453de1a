// Container recognition and the placement rule for resources after ELF and
// PEF executables.
#include "ResourceContainer.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "ByteOrder.h"

namespace {

const uint32 kResourcesMagic = 0x444f1000;
const off_t kPpcBlockOffset = 0x28;
const uint64 kMaxElfAlignment = 10 * 1024 * 1024;
const uint64 kMinElf32Alignment = 32;
const uint64 kElf64Alignment = 8;

// The fields of an ELF file header that the placement rule needs.
struct ElfHeader {
	bool is64;
	bool bigEndian;
	uint64 headerSize;
	uint64 phoff, phentsize, phnum;
	uint64 shoff, shentsize, shnum;
};

bool magic_is(const uint8* bytes, bool bigEndian)
{
	return read_u32(bytes, bigEndian) == kResourcesMagic;
}

// Grows `end` to cover [offset, offset + size), failing when that range
// leaves the file.
bool cover(const HostFileReader& reader, uint64 offset, uint64 size, off_t* end)
{
	if (!reader.Contains((off_t)min_c(offset, (uint64)INT64_MAX), size))
		return false;
	*end = max_c(*end, (off_t)(offset + size));
	return true;
}

status_t read_elf_header(HostFileReader& reader, ElfHeader* header, ResourceError* error)
{
	uint8 ident[64];
	memset(ident, 0, sizeof(ident));
	size_t want = reader.Size() >= 64 ? 64 : (size_t)reader.Size();
	if (reader.ReadAt(0, ident, want) != B_OK)
		return error->Set(0, B_IO_ERROR, "cannot read the ELF header");
	if (ident[4] != 1 && ident[4] != 2)
		return error->Set(4, B_BAD_DATA, "unknown ELF class %u", ident[4]);
	if (ident[5] != 1 && ident[5] != 2)
		return error->Set(5, B_BAD_DATA, "unknown ELF byte order %u", ident[5]);
	header->is64 = ident[4] == 2;
	header->bigEndian = ident[5] == 2;
	header->headerSize = header->is64 ? 64 : 52;
	if ((uint64)reader.Size() < header->headerSize)
		return error->Set(0, B_BAD_DATA, "ELF header truncated");
	bool be = header->bigEndian;
	if (header->is64) {
		header->phoff = read_u64(ident + 32, be);
		header->shoff = read_u64(ident + 40, be);
		header->phentsize = read_u16(ident + 54, be);
		header->phnum = read_u16(ident + 56, be);
		header->shentsize = read_u16(ident + 58, be);
		header->shnum = read_u16(ident + 60, be);
	} else {
		header->phoff = read_u32(ident + 28, be);
		header->shoff = read_u32(ident + 32, be);
		header->phentsize = read_u16(ident + 42, be);
		header->phnum = read_u16(ident + 44, be);
		header->shentsize = read_u16(ident + 46, be);
		header->shnum = read_u16(ident + 48, be);
	}
	return B_OK;
}

// Reads a table of `count` entries of `entrySize` bytes (at least `minSize`).
status_t read_elf_table(HostFileReader& reader, uint64 offset, uint64 count, uint64 entrySize,
                        uint64 minSize, const char* what, std::vector<uint8>* table,
                        ResourceError* error)
{
	if (count == 0)
		return B_OK;
	if (entrySize < minSize)
		return error->Set(0, B_BAD_DATA, "%s entry size %llu is too small", what,
		                  (unsigned long long)entrySize);
	uint64 size = count * entrySize;
	if (!reader.Contains((off_t)min_c(offset, (uint64)INT64_MAX), size))
		return error->Set((off_t)min_c(offset, (uint64)INT64_MAX), B_BAD_DATA,
		                  "%s (%llu bytes) extends beyond the end of the file", what,
		                  (unsigned long long)size);
	table->resize(size);
	if (reader.ReadAt((off_t)offset, table->data(), size) != B_OK)
		return error->Set((off_t)offset, B_IO_ERROR, "cannot read the %s", what);
	return B_OK;
}

// Applies the segment part of the placement rule; returns the largest alignment.
status_t cover_segments(HostFileReader& reader, const ElfHeader& h, off_t* end, uint64* alignment,
                        ResourceError* error)
{
	std::vector<uint8> table;
	status_t status = read_elf_table(reader, h.phoff, h.phnum, h.phentsize, h.is64 ? 56 : 32,
	                                 "program header table", &table, error);
	if (status != B_OK)
		return status;
	*end = max_c(*end, (off_t)(h.phoff + h.phnum * h.phentsize));
	for (uint64 i = 0; i < h.phnum; i++) {
		const uint8* p = table.data() + i * h.phentsize;
		if (read_u32(p, h.bigEndian) == 0)
			continue;
		uint64 offset = h.is64 ? read_u64(p + 8, h.bigEndian) : read_u32(p + 4, h.bigEndian);
		uint64 size = h.is64 ? read_u64(p + 32, h.bigEndian) : read_u32(p + 16, h.bigEndian);
		uint64 align = h.is64 ? read_u64(p + 48, h.bigEndian) : read_u32(p + 28, h.bigEndian);
		if (!cover(reader, offset, size, end))
			return error->Set((off_t)(h.phoff + i * h.phentsize), B_BAD_DATA,
			                  "segment %llu extends beyond the end of the file",
			                  (unsigned long long)i);
		*alignment = max_c(*alignment, align);
	}
	return B_OK;
}

status_t cover_sections(HostFileReader& reader, const ElfHeader& h, off_t* end,
                        ResourceError* error)
{
	std::vector<uint8> table;
	status_t status = read_elf_table(reader, h.shoff, h.shnum, h.shentsize, h.is64 ? 64 : 40,
	                                 "section header table", &table, error);
	if (status != B_OK)
		return status;
	*end = max_c(*end, (off_t)(h.shoff + h.shnum * h.shentsize));
	for (uint64 i = 0; i < h.shnum; i++) {
		const uint8* s = table.data() + i * h.shentsize;
		uint32 type = read_u32(s + 4, h.bigEndian);
		if (type == 0 || type == 8) // SHT_NULL, SHT_NOBITS
			continue;
		uint64 offset = h.is64 ? read_u64(s + 24, h.bigEndian) : read_u32(s + 16, h.bigEndian);
		uint64 size = h.is64 ? read_u64(s + 32, h.bigEndian) : read_u32(s + 20, h.bigEndian);
		if (!cover(reader, offset, size, end))
			return error->Set((off_t)(h.shoff + i * h.shentsize), B_BAD_DATA,
			                  "section %llu extends beyond the end of the file",
			                  (unsigned long long)i);
	}
	return B_OK;
}

status_t locate_in_elf(HostFileReader& reader, ResourceContainer* c, ResourceError* error)
{
	ElfHeader h{};
	status_t status = read_elf_header(reader, &h, error);
	if (status != B_OK)
		return status;
	off_t end = (off_t)h.headerSize;
	uint64 alignment = kMinElf32Alignment;
	status = cover_segments(reader, h, &end, &alignment, error);
	if (status == B_OK)
		status = cover_sections(reader, h, &end, error);
	if (status != B_OK)
		return status;
	if (h.is64)
		alignment = kElf64Alignment;
	if (alignment > kMaxElfAlignment)
		return error->Set(0, B_BAD_DATA, "segment alignment 0x%llx is too large",
		                  (unsigned long long)alignment);
	c->kind = ResourceContainerKind::kElf;
	c->prefixEnd = end;
	c->blockOffset = elf_resource_offset(end, alignment);
	c->bigEndian = h.bigEndian;
	return B_OK;
}

status_t locate_in_pef(HostFileReader& reader, ResourceContainer* c, ResourceError* error)
{
	uint8 header[40];
	if (reader.ReadAt(0, header, sizeof(header)) != B_OK)
		return error->Set(0, B_BAD_DATA, "PEF header truncated");
	uint64 count = read_u16(header + 32, true);
	if (!reader.Contains(40, count * 28))
		return error->Set(40, B_BAD_DATA, "PEF section headers truncated");
	std::vector<uint8> sections(count * 28);
	if (reader.ReadAt(40, sections.data(), sections.size()) != B_OK)
		return error->Set(40, B_IO_ERROR, "cannot read the PEF section headers");
	off_t end = (off_t)(40 + sections.size());
	for (uint64 i = 0; i < count; i++) {
		const uint8* s = sections.data() + i * 28;
		if (!cover(reader, read_u32(s + 20, true), read_u32(s + 16, true), &end))
			return error->Set((off_t)(40 + i * 28), B_BAD_DATA,
			                  "PEF section %llu extends beyond the end of the file",
			                  (unsigned long long)i);
	}
	c->kind = ResourceContainerKind::kPef;
	c->prefixEnd = end;
	c->blockOffset = end;
	c->bigEndian = true;
	return B_OK;
}

} // namespace

status_t ResourceError::Set(off_t at, status_t status, const char* format, ...)
{
	char buffer[512];
	va_list args;
	va_start(args, format);
	vsnprintf(buffer, sizeof(buffer), format, args);
	va_end(args);
	offset = at;
	text = buffer;
	return status;
}

off_t elf_resource_offset(off_t end, uint64 alignment)
{
	return (off_t)(((uint64)end + alignment - 1) / alignment * alignment);
}

status_t locate_resource_block(HostFileReader& reader, ResourceContainer* c, ResourceError* error)
{
	*c = ResourceContainer();
	if (reader.Size() == 0)
		return B_OK;
	uint8 start[8];
	memset(start, 0, sizeof(start));
	size_t want = reader.Size() >= 8 ? 8 : (size_t)reader.Size();
	if (reader.ReadAt(0, start, want) != B_OK)
		return error->Set(0, B_IO_ERROR, "cannot read the file");
	status_t status = B_OK;
	if (start[0] == 'R' && start[1] == 'S') {
		c->kind = ResourceContainerKind::kResourceFile;
		c->blockOffset = 4;
	} else if (memcmp(start, "Joy!resf", 8) == 0) {
		c->kind = ResourceContainerKind::kPpcResourceFile;
		c->blockOffset = kPpcBlockOffset;
		c->bigEndian = true;
	} else if (memcmp(start,
	                  "\x7f"
	                  "ELF",
	                  4) == 0) {
		status = locate_in_elf(reader, c, error);
	} else if (memcmp(start, "Joy!peff", 8) == 0) {
		status = locate_in_pef(reader, c, error);
	} else {
		return error->Set(0, B_BAD_DATA,
		                  "not a resource file or an executable (starts %02x %02x %02x %02x)",
		                  start[0], start[1], start[2], start[3]);
	}
	if (status != B_OK)
		return status;
	c->hasBlock = c->blockOffset < reader.Size();
	return B_OK;
}

// Tells the block's byte order from its magic, whatever the container says.
bool resource_block_order(const uint8* magic, bool containerBigEndian, bool* bigEndian)
{
	if (magic_is(magic, containerBigEndian)) {
		*bigEndian = containerBigEndian;
		return true;
	}
	if (magic_is(magic, !containerBigEndian)) {
		*bigEndian = !containerBigEndian;
		return true;
	}
	return false;
}
