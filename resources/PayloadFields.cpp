// Encoding and decoding of the payload entries' extra fields.
#include "PayloadFields.h"

#include <string.h>
#include <zlib.h>

#include <algorithm>

#include "ByteOrder.h"
#include "TypeConstants.h"

namespace {

const uint8 kAttrStored = 0x01;
const size_t kRecordHeader = 12; // type u32 and size u64, both big-endian

void put8(std::string& out, uint8 value)
{
	out.push_back((char)value);
}

void put16le(std::string& out, uint16 value)
{
	put8(out, value & 0xff);
	put8(out, value >> 8);
}

void put32le(std::string& out, uint32 value)
{
	put16le(out, value & 0xffff);
	put16le(out, value >> 16);
}

void put32be(std::string& out, uint32 value)
{
	for (int shift = 24; shift >= 0; shift -= 8)
		put8(out, (value >> shift) & 0xff);
}

void put64be(std::string& out, uint64 value)
{
	put32be(out, (uint32)(value >> 32));
	put32be(out, (uint32)value);
}

std::string encode_records(const std::vector<PayloadAttribute>& attributes)
{
	std::string records;
	for (const PayloadAttribute& attribute : attributes) {
		records.append(attribute.name);
		put8(records, 0);
		put32be(records, attribute.type);
		put64be(records, attribute.data.size());
		std::string value = attribute.data;
		// A value whose length does not fit its type stays as it is.
		if (!value.empty() && !swap_data(attribute.type, value.data(), value.size()))
			value = attribute.data;
		records.append(value);
	}
	return records;
}

// Info-ZIP's "memcompress" form: method, CRC, raw deflate stream.
bool memcompress(const std::string& input, int32 level, std::string* output)
{
	z_stream stream = {};
	if (deflateInit2(&stream, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
		return false;
	std::string packed(deflateBound(&stream, input.size()), '\0');
	stream.next_in = (Bytef*)input.data();
	stream.avail_in = input.size();
	stream.next_out = (Bytef*)packed.data();
	stream.avail_out = packed.size();
	int result = deflate(&stream, Z_FINISH);
	packed.resize(stream.total_out);
	deflateEnd(&stream);
	if (result != Z_STREAM_END)
		return false;
	output->clear();
	put16le(*output, 8);
	put32le(*output, crc32(0, (const Bytef*)input.data(), input.size()));
	output->append(packed);
	return true;
}

status_t inflate_raw(const uint8* data, size_t length, uint32 expected, std::string* output)
{
	z_stream stream = {};
	if (inflateInit2(&stream, -15) != Z_OK)
		return B_NO_MEMORY;
	output->assign(expected, '\0');
	stream.next_in = (Bytef*)data;
	stream.avail_in = length;
	stream.next_out = (Bytef*)output->data();
	stream.avail_out = expected;
	int result = inflate(&stream, Z_FINISH);
	bool complete = result == Z_STREAM_END && stream.total_out == expected;
	inflateEnd(&stream);
	return complete ? B_OK : B_BAD_DATA;
}

status_t unpack_records(const uint8* data, size_t length, uint32 size, std::string* records)
{
	if (length < 6)
		return B_BAD_DATA;
	uint16 method = read_u16(data, false);
	uint32 crc = read_u32(data + 2, false);
	data += 6;
	length -= 6;
	if (method == 0) {
		if (length != size)
			return B_BAD_DATA;
		records->assign((const char*)data, length);
	} else if (method == 8) {
		status_t status = inflate_raw(data, length, size, records);
		if (status != B_OK)
			return status;
	} else
		return B_BAD_DATA;
	if (crc32(0, (const Bytef*)records->data(), records->size()) != crc)
		return B_BAD_DATA;
	return B_OK;
}

status_t parse_records(const std::string& records, std::vector<PayloadAttribute>* attributes)
{
	const uint8* p = (const uint8*)records.data();
	size_t left = records.size();
	while (left > 0) {
		const void* end = memchr(p, 0, left);
		if (end == nullptr)
			return B_BAD_DATA;
		size_t nameLength = (const uint8*)end - p;
		if (nameLength == 0 || left - nameLength - 1 < kRecordHeader)
			return B_BAD_DATA;
		PayloadAttribute attribute;
		attribute.name.assign((const char*)p, nameLength);
		p += nameLength + 1;
		left -= nameLength + 1;
		attribute.type = (uint32)(read_u64(p, true) >> 32);
		uint64 size = read_u64(p + 4, true);
		p += kRecordHeader;
		left -= kRecordHeader;
		if (size > left)
			return B_BAD_DATA;
		attribute.data.assign((const char*)p, size);
		if (!attribute.data.empty())
			swap_data(attribute.type, attribute.data.data(), attribute.data.size());
		p += size;
		left -= size;
		attributes->push_back(std::move(attribute));
	}
	return B_OK;
}

} // namespace

void encode_payload_times(int64 modified, int64 accessed, std::string* local, std::string* central)
{
	local->clear();
	put8(*local, 0x03);
	put32le(*local, (uint32)(int32)modified);
	put32le(*local, (uint32)(int32)accessed);
	central->clear();
	put8(*central, 0x03);
	put32le(*central, (uint32)(int32)modified);
}

std::string encode_payload_owner(uint32 uid, uint32 gid)
{
	const uint16 nobody = 65534;
	std::string local;
	put16le(local, uid > 0xffff ? nobody : (uint16)uid);
	put16le(local, gid > 0xffff ? nobody : (uint16)gid);
	return local;
}

void encode_payload_attributes(const std::vector<PayloadAttribute>& attributes, int32 level,
                               std::string* local, std::string* central)
{
	std::string records = encode_records(attributes);
	std::string data;
	uint8 flags = 0;
	if (!memcompress(records, level, &data) || data.size() >= records.size()) {
		data = records;
		flags = kAttrStored;
	}
	local->clear();
	// The uncompressed size here; the central copy carries the stored one,
	// as the platform's zip tool writes it.
	put32le(*local, records.size());
	put8(*local, flags);
	local->append(data);
	central->clear();
	put32le(*central, data.size());
	put8(*central, flags);
}

std::string encode_payload_reference(const PayloadReference& reference)
{
	std::string block;
	put32le(block, (uint32)reference.size);
	put32le(block, (uint32)(reference.size >> 32));
	return block + reference.digest;
}

status_t decode_payload_reference(const uint8* data, size_t length, PayloadReference* reference)
{
	const size_t digestSize = 32;
	if (data == nullptr || reference == nullptr || length != 8 + digestSize)
		return B_BAD_DATA;
	reference->size = read_u64(data, false);
	reference->digest.assign((const char*)data + 8, digestSize);
	return B_OK;
}

status_t decode_payload_times(const uint8* data, size_t length, PayloadTimes* times)
{
	if (data == nullptr || times == nullptr || length < 1)
		return B_BAD_VALUE;
	uint8 flags = data[0];
	size_t at = 1;
	int64* slots[3] = {&times->modified, &times->accessed, &times->created};
	for (int bit = 0; bit < 3; bit++) {
		if ((flags & (1 << bit)) == 0)
			continue;
		if (at + 4 > length)
			return B_OK; // a central-style block carries fewer times than its flags
		*slots[bit] = (int32)read_u32(data + at, false);
		at += 4;
	}
	return B_OK;
}

status_t decode_payload_attributes(const uint8* data, size_t length,
                                   std::vector<PayloadAttribute>* attributes)
{
	if (data == nullptr || attributes == nullptr || length < 5)
		return B_BAD_DATA;
	uint32 size = read_u32(data, false);
	uint8 flags = data[4];
	if ((flags & ~kAttrStored) != 0 || size > kMaxAttributeBytes)
		return B_BAD_DATA;
	std::string records;
	if (flags & kAttrStored) {
		if (length - 5 != size)
			return B_BAD_DATA;
		records.assign((const char*)data + 5, size);
	} else {
		status_t status = unpack_records(data + 5, length - 5, size, &records);
		if (status != B_OK)
			return status;
	}
	return parse_records(records, attributes);
}

bool payload_has_type(const std::vector<PayloadAttribute>& attributes)
{
	for (const PayloadAttribute& attribute : attributes) {
		if (attribute.name == "BEOS:TYPE" && attribute.data.size() > 1)
			return true;
	}
	return false;
}

void payload_add_type(std::vector<PayloadAttribute>* attributes, const std::string& type)
{
	PayloadAttribute record;
	record.name = "BEOS:TYPE";
	record.type = B_MIME_STRING_TYPE;
	record.data.assign(type.c_str(), type.size() + 1);
	auto at = std::lower_bound(
	        attributes->begin(), attributes->end(), record,
	        [](const PayloadAttribute& a, const PayloadAttribute& b) { return a.name < b.name; });
	attributes->insert(at, std::move(record));
}
