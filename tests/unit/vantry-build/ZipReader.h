// A small independent reader of ZIP archives for the tests: the headers of
// every entry, their extra fields as written, and their data.
#pragma once

#include <zlib.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "SupportDefs.h"

struct ZipEntryInfo {
	std::string name;
	uint16 madeBy = 0;
	uint16 flags = 0;
	uint16 method = 0;
	uint16 dosTime = 0;
	uint16 dosDate = 0;
	uint32 crc = 0;
	uint32 compressedSize = 0;
	uint32 size = 0;
	uint32 externalAttributes = 0;
	std::string localExtra;
	std::string centralExtra;
	std::string rawData; // as stored
};

inline uint16 zip16(const std::string& bytes, size_t at)
{
	return (uint16)((uint8)bytes[at] | (uint8)bytes[at + 1] << 8);
}

inline uint32 zip32(const std::string& bytes, size_t at)
{
	return (uint32)zip16(bytes, at) | (uint32)zip16(bytes, at + 2) << 16;
}

// The entries of `archive` in central directory order; false when malformed.
inline bool read_zip(const std::string& archive, std::vector<ZipEntryInfo>* entries)
{
	if (archive.size() < 22)
		return false;
	size_t end = archive.size() - 22;
	while (end > 0 && zip32(archive, end) != 0x06054b50)
		end--;
	if (zip32(archive, end) != 0x06054b50)
		return false;
	uint16 count = zip16(archive, end + 10);
	size_t at = zip32(archive, end + 16);
	for (uint16 i = 0; i < count; i++) {
		if (at + 46 > archive.size() || zip32(archive, at) != 0x02014b50)
			return false;
		ZipEntryInfo entry;
		entry.madeBy = zip16(archive, at + 4);
		entry.flags = zip16(archive, at + 8);
		entry.method = zip16(archive, at + 10);
		entry.dosTime = zip16(archive, at + 12);
		entry.dosDate = zip16(archive, at + 14);
		entry.crc = zip32(archive, at + 16);
		entry.compressedSize = zip32(archive, at + 20);
		entry.size = zip32(archive, at + 24);
		uint16 nameLength = zip16(archive, at + 28);
		uint16 extraLength = zip16(archive, at + 30);
		uint16 commentLength = zip16(archive, at + 32);
		entry.externalAttributes = zip32(archive, at + 38);
		size_t local = zip32(archive, at + 42);
		entry.name = archive.substr(at + 46, nameLength);
		entry.centralExtra = archive.substr(at + 46 + nameLength, extraLength);
		at += 46 + nameLength + extraLength + commentLength;
		if (local + 30 > archive.size() || zip32(archive, local) != 0x04034b50)
			return false;
		uint16 localName = zip16(archive, local + 26);
		uint16 localExtra = zip16(archive, local + 28);
		entry.localExtra = archive.substr(local + 30 + localName, localExtra);
		entry.rawData = archive.substr(local + 30 + localName + localExtra, entry.compressedSize);
		entries->push_back(entry);
	}
	return true;
}

// The extra fields of an extra area as (id, data) pairs, in order.
inline std::vector<std::pair<uint16, std::string>> split_extra(const std::string& extra)
{
	std::vector<std::pair<uint16, std::string>> fields;
	for (size_t at = 0; at + 4 <= extra.size();) {
		uint16 size = zip16(extra, at + 2);
		fields.emplace_back(zip16(extra, at), extra.substr(at + 4, size));
		at += 4 + size;
	}
	return fields;
}

// Inflates a raw deflate stream.
inline bool inflate_raw(const std::string& input, std::string* output)
{
	z_stream stream = {};
	if (inflateInit2(&stream, -15) != Z_OK)
		return false;
	output->clear();
	char buffer[65536];
	stream.next_in = (Bytef*)input.data();
	stream.avail_in = (uInt)input.size();
	int result = Z_OK;
	while (result == Z_OK) {
		stream.next_out = (Bytef*)buffer;
		stream.avail_out = sizeof(buffer);
		result = inflate(&stream, Z_NO_FLUSH);
		output->append(buffer, sizeof(buffer) - stream.avail_out);
	}
	inflateEnd(&stream);
	return result == Z_STREAM_END;
}
