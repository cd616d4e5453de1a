// Reading and laying out the resources block (header, index section, info
// table), tolerant of the quirks of files written by the platform's own tools.
#include "ResourceFile.h"

#include <errno.h>
#include <fcntl.h>
#include <stdint.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <set>

#include "ByteOrder.h"
#include "Errors.h"

namespace {

const uint32 kResourcesMagic = 0x444f1000;
const uint32 kHeaderSize = 68;
const uint32 kIndexSectionOffset = 0x44;
const uint32 kIndexHeaderSize = 132;
const uint32 kIndexEntrySize = 12;
const uint32 kIndexSectionAlignment = 0x600;
const uint32 kUnknownSectionSize = 0x168;
const uint32 kInfoTableEndSize = 8;
const uint32 kFillPattern[3] = {0xffffffff, 0x000003e9, 0x00000000};

// The fill word at byte offset `offset` from the start of the block.
uint32 pattern_at(uint64 offset)
{
	return kFillPattern[(offset / 4) % 3];
}

bool is_separator(const uint8* bytes)
{
	static const uint8 kSeparator[8] = {0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff};
	return memcmp(bytes, kSeparator, 8) == 0;
}

// The parse state of one block.
struct BlockReader {
	HostFileReader& reader;
	off_t block;
	bool be;
	ResourceError* error;

	off_t At(uint64 relative) const { return block + (off_t)relative; }
	uint32 Word(const uint8* bytes, size_t index) const { return read_u32(bytes + index * 4, be); }
};

// One entry of the index section.
struct IndexEntry {
	uint32 offset;
	uint32 size;
	off_t location; // of the entry itself, for messages
};

struct IndexInfo {
	uint32 sectionSize;
	uint32 infoOffset;
	uint32 infoSize;
};

status_t read_header(BlockReader& r, IndexInfo* info)
{
	uint8 header[kHeaderSize + kIndexHeaderSize];
	if (r.reader.ReadAt(r.block, header, sizeof(header)) != B_OK)
		return r.error->Set(r.block, B_BAD_DATA, "resources header truncated");
	if (!resource_block_order(header, r.be, &r.be))
		return r.error->Set(r.block, B_BAD_DATA,
		                    "no resources header (magic 0x%08x, expected 0x%08x)",
		                    read_u32(header, r.be), kResourcesMagic);
	uint32 indexOffset = r.Word(header, 2);
	if (indexOffset != kIndexSectionOffset)
		return r.error->Set(r.At(8), B_BAD_DATA, "index section offset 0x%x, expected 0x%x",
		                    indexOffset, kIndexSectionOffset);
	uint32 adminSize = r.Word(header, 3);
	const uint8* index = header + kHeaderSize;
	info->sectionSize = r.Word(index, 1);
	if (info->sectionSize < kIndexHeaderSize)
		return r.error->Set(r.At(indexOffset + 4), B_BAD_DATA,
		                    "index section size 0x%x is too small", info->sectionSize);
	if ((uint64)adminSize != (uint64)indexOffset + info->sectionSize)
		return r.error->Set(r.At(12), B_BAD_DATA,
		                    "admin section size 0x%x does not match index section size 0x%x",
		                    adminSize, info->sectionSize);
	info->infoOffset = r.Word(index, 30);
	info->infoSize = r.Word(index, 31);
	return B_OK;
}

bool entry_is_fill(const uint8* entry, uint64 relative, bool be)
{
	for (int i = 0; i < 3; i++) {
		if (read_u32(entry + i * 4, be) != pattern_at(relative + i * 4))
			return false;
	}
	return true;
}

// Reads index entries up to the fill pattern or the end of the section; the
// header's resource count is not trusted.
status_t read_index(BlockReader& r, const IndexInfo& info, std::vector<IndexEntry>* entries)
{
	if (!r.reader.Contains(r.At(kIndexSectionOffset), info.sectionSize))
		return r.error->Set(r.At(kIndexSectionOffset + 4), B_BAD_DATA,
		                    "index section (0x%x bytes) extends beyond the end of the file",
		                    info.sectionSize);
	uint32 count = (info.sectionSize - kIndexHeaderSize) / kIndexEntrySize;
	std::vector<uint8> bytes((size_t)count * kIndexEntrySize);
	uint64 first = kIndexSectionOffset + kIndexHeaderSize;
	if (r.reader.ReadAt(r.At(first), bytes.data(), bytes.size()) != B_OK)
		return r.error->Set(r.At(first), B_IO_ERROR, "cannot read the index section");
	for (uint32 i = 0; i < count; i++) {
		const uint8* entry = bytes.data() + (size_t)i * kIndexEntrySize;
		uint64 relative = first + (uint64)i * kIndexEntrySize;
		if (entry_is_fill(entry, relative, r.be))
			break;
		entries->push_back({r.Word(entry, 0), r.Word(entry, 1), r.At(relative)});
	}
	return B_OK;
}

// True when the table ends with a separator followed by checksum and 0.
bool has_table_end(const std::vector<uint8>& table, bool be)
{
	size_t size = table.size();
	if (size < 16)
		return false;
	return read_u32(table.data() + size - 4, be) == 0 && is_separator(table.data() + size - 16);
}

status_t check_table_checksum(BlockReader& r, const std::vector<uint8>& table, off_t tableAt)
{
	size_t covered = table.size() - kInfoTableEndSize;
	uint32 stored = read_u32(table.data() + covered, r.be);
	uint32 computed = info_table_checksum(table.data(), covered);
	if (stored != computed)
		return r.error->Set(tableAt + (off_t)covered, B_BAD_DATA,
		                    "info table checksum 0x%08x does not match 0x%08x", stored, computed);
	return B_OK;
}

// Adds the resource an info entry names, ignoring out-of-range or repeated
// indexes as the platform's readers do.
status_t add_record(BlockReader& r, const std::vector<IndexEntry>& index, type_code type, int32 id,
                    int32 number, std::string name, std::set<int32>* used,
                    std::vector<ResourceRecord>* records)
{
	if (number < 1 || (size_t)number > index.size() || !used->insert(number).second)
		return B_OK;
	const IndexEntry& entry = index[(size_t)number - 1];
	if (!r.reader.Contains(r.At(entry.offset), entry.size))
		return r.error->Set(
		        entry.location, B_BAD_DATA,
		        "data of resource %d (offset 0x%x, %u bytes) extends beyond the end of the file",
		        id, entry.offset, entry.size);
	ResourceRecord record;
	record.type = type;
	record.id = id;
	record.name = std::move(name);
	record.offset = r.At(entry.offset);
	record.size = entry.size;
	records->push_back(std::move(record));
	return B_OK;
}

// Parses the infos of one type block, up to and past its separator.
status_t read_type_block(BlockReader& r, const std::vector<uint8>& table, size_t end, off_t tableAt,
                         const std::vector<IndexEntry>& index, size_t* pos, std::set<int32>* used,
                         std::vector<ResourceRecord>* records)
{
	const uint8* bytes = table.data();
	type_code type = read_u32(bytes + *pos, r.be);
	*pos += 4;
	while (*pos < end) {
		if (end - *pos >= 8 && is_separator(bytes + *pos)) {
			*pos += 8;
			return B_OK;
		}
		if (end - *pos < 10)
			return r.error->Set(tableAt + (off_t)*pos, B_BAD_DATA, "info table truncated");
		int32 id = (int32)read_u32(bytes + *pos, r.be);
		int32 number = (int32)read_u32(bytes + *pos + 4, r.be);
		size_t nameSize = read_u16(bytes + *pos + 8, r.be);
		size_t at = *pos;
		*pos += 10;
		if (end - *pos < nameSize)
			return r.error->Set(tableAt + (off_t)at, B_BAD_DATA,
			                    "name of resource %d (%zu bytes) runs past the info table", id,
			                    nameSize);
		std::string name((const char*)bytes + *pos, strnlen((const char*)bytes + *pos, nameSize));
		*pos += nameSize;
		status_t status = add_record(r, index, type, id, number, std::move(name), used, records);
		if (status != B_OK)
			return status;
	}
	// A block that stops at the table's end without its separator (old files).
	return B_OK;
}

status_t read_info_table(BlockReader& r, const IndexInfo& info,
                         const std::vector<IndexEntry>& index, std::vector<ResourceRecord>* records)
{
	off_t tableAt = r.At(info.infoOffset);
	if (!r.reader.Contains(tableAt, info.infoSize))
		return r.error->Set(
		        r.At(kIndexSectionOffset + 120), B_BAD_DATA,
		        "info table (offset 0x%x, 0x%x bytes) extends beyond the end of the file",
		        info.infoOffset, info.infoSize);
	std::vector<uint8> table(info.infoSize);
	if (r.reader.ReadAt(tableAt, table.data(), table.size()) != B_OK)
		return r.error->Set(tableAt, B_IO_ERROR, "cannot read the info table");
	size_t end = table.size();
	if (has_table_end(table, r.be)) {
		status_t status = check_table_checksum(r, table, tableAt);
		if (status != B_OK)
			return status;
		end -= kInfoTableEndSize;
	}
	std::set<int32> used;
	size_t pos = 0;
	while (end - pos >= 4) {
		if (end - pos == 8 && is_separator(table.data() + pos))
			break;
		status_t status = read_type_block(r, table, end, tableAt, index, &pos, &used, records);
		if (status != B_OK)
			return status;
	}
	return B_OK;
}

void put_word(std::string* out, size_t offset, uint32 value)
{
	write_u32le(out->data() + offset, value);
}

void append_word(std::string* out, uint32 value)
{
	char bytes[4];
	write_u32le(bytes, value);
	out->append(bytes, 4);
}

std::string make_info_table(const std::vector<ResourceLayoutEntry>& entries)
{
	static const char kSeparator[8] = {'\xff', '\xff', '\xff', '\xff',
	                                   '\xff', '\xff', '\xff', '\xff'};
	std::string table;
	for (size_t i = 0; i < entries.size(); i++) {
		const ResourceLayoutEntry& entry = entries[i];
		if (i == 0 || entry.type != entries[i - 1].type) {
			if (i != 0)
				table.append(kSeparator, 8);
			append_word(&table, entry.type);
		}
		append_word(&table, (uint32)entry.id);
		append_word(&table, (uint32)(i + 1));
		uint16 nameSize = entry.name.empty() ? 0 : (uint16)(entry.name.size() + 1);
		char sizeBytes[2];
		write_u16le(sizeBytes, nameSize);
		table.append(sizeBytes, 2);
		if (nameSize > 0)
			table.append(entry.name.c_str(), nameSize);
	}
	table.append(kSeparator, 8);
	append_word(&table, info_table_checksum((const uint8*)table.data(), table.size()));
	append_word(&table, 0);
	return table;
}

} // namespace

status_t read_resource_table(HostFileReader& reader, const ResourceContainer& container,
                             bool* bigEndian, std::vector<ResourceRecord>* records,
                             ResourceError* error)
{
	records->clear();
	*bigEndian = container.bigEndian;
	if (!container.hasBlock)
		return B_OK;
	BlockReader r{reader, container.blockOffset, container.bigEndian, error};
	IndexInfo info{};
	status_t status = read_header(r, &info);
	if (status != B_OK)
		return status;
	*bigEndian = r.be;
	std::vector<IndexEntry> index;
	status = read_index(r, info, &index);
	if (status == B_OK)
		status = read_info_table(r, info, index, records);
	if (status != B_OK)
		records->clear();
	return status;
}

uint32 info_table_checksum(const uint8* data, size_t size)
{
	uint32 sum = 0;
	size_t i = 0;
	for (; i + 4 <= size; i += 4)
		sum += read_u32(data + i, true);
	uint32 tail = 0;
	for (; i < size; i++)
		tail = (tail << 8) | data[i];
	return sum + tail;
}

uint64 ResourceLayout::TotalSize() const
{
	return infoOffset + infoTable.size();
}

status_t make_resource_layout(const std::vector<ResourceLayoutEntry>& entries,
                              ResourceLayout* layout)
{
	if (entries.size() > (UINT32_MAX - kIndexHeaderSize) / kIndexEntrySize)
		return B_FILE_TOO_LARGE;
	uint64 indexSize = kIndexHeaderSize + kIndexEntrySize * (uint64)entries.size();
	indexSize = (indexSize + kIndexSectionAlignment - 1) / kIndexSectionAlignment *
	            kIndexSectionAlignment;
	uint64 adminSize = kIndexSectionOffset + indexSize;
	uint64 dataStart = adminSize + kUnknownSectionSize;

	layout->dataOffsets.clear();
	uint64 offset = dataStart;
	for (const ResourceLayoutEntry& entry : entries) {
		layout->dataOffsets.push_back(offset);
		offset += entry.size;
	}
	uint64 infoOffset = offset;
	layout->infoTable = make_info_table(entries);
	if (infoOffset + layout->infoTable.size() > UINT32_MAX)
		return B_FILE_TOO_LARGE;
	layout->infoOffset = infoOffset;

	std::string& admin = layout->admin;
	admin.assign(dataStart, '\0');
	for (size_t o = 0; o < admin.size(); o += 4)
		put_word(&admin, o, pattern_at(o));
	put_word(&admin, 0, kResourcesMagic);
	put_word(&admin, 4, (uint32)entries.size());
	put_word(&admin, 8, kIndexSectionOffset);
	put_word(&admin, 12, (uint32)adminSize);
	for (size_t o = 16; o < kHeaderSize; o += 4)
		put_word(&admin, o, 0);
	size_t index = kIndexSectionOffset;
	put_word(&admin, index + 0, kIndexSectionOffset);
	put_word(&admin, index + 4, (uint32)indexSize);
	put_word(&admin, index + 12, (uint32)adminSize);
	put_word(&admin, index + 16, kUnknownSectionSize);
	put_word(&admin, index + 120, (uint32)infoOffset);
	put_word(&admin, index + 124, (uint32)layout->infoTable.size());
	for (size_t i = 0; i < entries.size(); i++) {
		size_t at = index + kIndexHeaderSize + i * kIndexEntrySize;
		put_word(&admin, at, (uint32)layout->dataOffsets[i]);
		put_word(&admin, at + 4, (uint32)entries[i].size);
		put_word(&admin, at + 8, 0);
	}
	return B_OK;
}

namespace {

// Where an ELF file's section table ends (stripped or not, it is the last
// part the linker writes), read from the ELF header alone; 0 if not ELF.
off_t elf_table_end(HostFileReader& reader)
{
	uint8 h[64];
	if (reader.ReadAt(0, h, sizeof(h)) != B_OK || memcmp(h,
	                                                     "\x7f"
	                                                     "ELF",
	                                                     4) != 0)
		return 0;
	bool be = h[5] == 2;
	if (h[4] == 2)
		return (off_t)(read_u64(h + 40, be) + (uint64)read_u16(h + 60, be) * read_u16(h + 58, be));
	return (off_t)(read_u32(h + 32, be) + (uint64)read_u16(h + 48, be) * read_u16(h + 46, be));
}

} // namespace

status_t resource_file_sizes(const char* path, off_t* expected, off_t* actual, bool* atLeast)
{
	if (path == nullptr || expected == nullptr || actual == nullptr || atLeast == nullptr)
		return B_BAD_VALUE;
	int fd = open(path, O_RDONLY | O_CLOEXEC);
	if (fd < 0)
		return status_from_errno(errno);
	struct stat st;
	status_t status = fstat(fd, &st) == 0 ? B_OK : status_from_errno(errno);
	*actual = st.st_size;
	*expected = st.st_size;
	*atLeast = false;
	HostFileReader reader(fd, st.st_size);
	ResourceContainer container;
	ResourceError error;
	if (status == B_OK && locate_resource_block(reader, &container, &error) != B_OK) {
		// The executable itself is cut: its tables still say where it ends.
		*expected = elf_table_end(reader);
		*atLeast = true;
		if (*expected <= *actual)
			status = B_BAD_DATA;
	} else if (status == B_OK && container.hasBlock) {
		uint8 header[kHeaderSize + kIndexHeaderSize];
		if (reader.ReadAt(container.blockOffset, header, sizeof(header)) != B_OK) {
			*expected = container.blockOffset + (off_t)sizeof(header);
			*atLeast = true;
		} else {
			bool be = container.bigEndian;
			resource_block_order(header, be, &be);
			uint64 infoOffset = read_u32(header + kHeaderSize + 30 * 4, be);
			uint64 infoSize = read_u32(header + kHeaderSize + 31 * 4, be);
			*expected = container.blockOffset + (off_t)(infoOffset + infoSize);
		}
	}
	close(fd);
	return status;
}
