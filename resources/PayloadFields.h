// The ZIP extra fields a payload entry carries: times (0x5455), owner
// (0x7855), the entry's attributes (0x6542) and, on an entry encoded
// against a reference, that reference (0x5256), encoded and decoded.
#pragma once

#include <string>
#include <vector>

#include "SupportDefs.h"

enum : uint16 {
	kPayloadTimeField = 0x5455,
	kPayloadOwnerField = 0x7855,
	kPayloadAttrField = 0x6542,
	kPayloadReferenceField = 0x5256, // "VR"
};

// The bytes a Zstandard entry was encoded against (method 93, the
// reference as the frame's prefix): the first `size` bytes of the file
// that holds the archive, which must have this SHA-256 digest.
struct PayloadReference {
	uint64 size = 0;
	std::string digest; // 32 bytes
};
// The largest reference: a reader holds it whole, beside a decoder whose
// window is no larger.
static const uint64 kMaxReferenceBytes = 16 * 1024 * 1024;

// One attribute of an entry; `data` in host byte order.
struct PayloadAttribute {
	std::string name;
	type_code type = 0;
	std::string data;
};

// Times read from a 0x5455 block; a time that is absent stays -1.
struct PayloadTimes {
	int64 modified = -1;
	int64 accessed = -1;
	int64 created = -1;
};

// Largest attribute data a block may unpack to; a hostile block could
// otherwise claim gigabytes.
static const uint32 kMaxAttributeBytes = 16 * 1024 * 1024;

// Local and central forms of the time block (modification and access time).
void encode_payload_times(int64 modified, int64 accessed, std::string* local, std::string* central);
// Local form of the owner block; the central one is empty.
std::string encode_payload_owner(uint32 uid, uint32 gid);
// Local and central forms of the attribute block; the records are
// compressed when that makes them smaller.
void encode_payload_attributes(const std::vector<PayloadAttribute>& attributes, int32 level,
                               std::string* local, std::string* central);

// Whether the attributes hold a type ("BEOS:TYPE"), and adding one in name
// order: packing records the type of a file that has none, so that the
// installer need not sniff it.
bool payload_has_type(const std::vector<PayloadAttribute>& attributes);
void payload_add_type(std::vector<PayloadAttribute>* attributes, const std::string& type);

// The reference block: its size (u64, little-endian), then its digest.
std::string encode_payload_reference(const PayloadReference& reference);
status_t decode_payload_reference(const uint8* data, size_t length, PayloadReference* reference);

status_t decode_payload_times(const uint8* data, size_t length, PayloadTimes* times);
// Reads the local attribute block: compressed or stored, every record
// checked against the block's length.
status_t decode_payload_attributes(const uint8* data, size_t length,
                                   std::vector<PayloadAttribute>* attributes);
