// The ZIP extra fields of a payload entry: times (0x5455), owner (0x7855) and
// the entry's attributes (0x6542), as the BeOS zip tool writes them. Each
// encoder returns the field's data without its 4-byte header.
#pragma once

#include <string>
#include <vector>

#include "SupportDefs.h"

enum : uint16 {
	kExtraTime = 0x5455,
	kExtraOwner = 0x7855,
	kExtraBeOS = 0x6542,
};

// One attribute of an entry; `data` in host byte order.
struct AttributeRecord {
	std::string name;
	uint32 type = 0;
	std::string data;
};

// The local and central forms of one extra field.
struct ExtraField {
	std::string local;
	std::string central;
};

// Modification and access times; the central copy carries the modification time.
ExtraField encode_time_field(int64 modified, int64 accessed);
// Owner and group; the central copy is empty. Ids beyond 16 bits become 65534.
ExtraField encode_owner_field(uint32 uid, uint32 gid);
// The attribute records: name, NUL, type and size in big endian, then the
// value, numeric types in big endian.
std::string encode_attribute_records(const std::vector<AttributeRecord>& attributes);
// The 0x6542 block for `records`: compressed with raw deflate at `level` when
// that is smaller, stored as they are otherwise.
ExtraField encode_beos_field(const std::string& records, int32 level);
