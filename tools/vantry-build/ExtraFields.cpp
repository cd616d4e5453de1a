// Encoders of the ZIP extra fields for times, owner and BeOS attributes.
#include "ExtraFields.h"

#include <zlib.h>

#include <climits>

#include "ByteOrder.h"

namespace {

const uint8 kTimeModified = 0x01;
const uint8 kTimeAccessed = 0x02;
const uint8 kBeOSStored = 0x01; // the attribute data follows uncompressed
const uint32 kNobody = 65534;

void put8(std::string& out, uint8 value)
{
	out.push_back((char)value);
}

void put16le(std::string& out, uint16 value)
{
	put8(out, (uint8)value);
	put8(out, (uint8)(value >> 8));
}

void put32le(std::string& out, uint32 value)
{
	put16le(out, (uint16)value);
	put16le(out, (uint16)(value >> 16));
}

void put32be(std::string& out, uint32 value)
{
	for (int shift = 24; shift >= 0; shift -= 8)
		put8(out, (uint8)(value >> shift));
}

void put64be(std::string& out, uint64 value)
{
	put32be(out, (uint32)(value >> 32));
	put32be(out, (uint32)value);
}

// The field holds 32-bit signed seconds; later or earlier times are pinned.
uint32 unix_time32(int64 seconds)
{
	if (seconds > INT32_MAX)
		seconds = INT32_MAX;
	if (seconds < INT32_MIN)
		seconds = INT32_MIN;
	return (uint32)(int32)seconds;
}

// Info-ZIP's "memcompress" form: method, CRC of the input, raw deflate stream.
bool memcompress(const std::string& input, int32 level, std::string* output)
{
	z_stream stream = {};
	if (deflateInit2(&stream, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
		return false;
	std::string deflated(deflateBound(&stream, input.size()), '\0');
	stream.next_in = (Bytef*)input.data();
	stream.avail_in = (uInt)input.size();
	stream.next_out = (Bytef*)deflated.data();
	stream.avail_out = (uInt)deflated.size();
	int result = deflate(&stream, Z_FINISH);
	deflated.resize(stream.total_out);
	deflateEnd(&stream);
	if (result != Z_STREAM_END)
		return false;
	output->clear();
	put16le(*output, Z_DEFLATED);
	put32le(*output, (uint32)crc32(0, (const Bytef*)input.data(), (uInt)input.size()));
	output->append(deflated);
	return true;
}

} // namespace

ExtraField encode_time_field(int64 modified, int64 accessed)
{
	ExtraField field;
	put8(field.local, kTimeModified | kTimeAccessed);
	put32le(field.local, unix_time32(modified));
	put32le(field.local, unix_time32(accessed));
	// The flags of the central copy describe the local one.
	field.central = field.local.substr(0, 5);
	return field;
}

ExtraField encode_owner_field(uint32 uid, uint32 gid)
{
	ExtraField field;
	put16le(field.local, (uint16)(uid > 0xffff ? kNobody : uid));
	put16le(field.local, (uint16)(gid > 0xffff ? kNobody : gid));
	return field;
}

std::string encode_attribute_records(const std::vector<AttributeRecord>& attributes)
{
	std::string records;
	for (const AttributeRecord& attribute : attributes) {
		records.append(attribute.name);
		put8(records, 0);
		put32be(records, attribute.type);
		put64be(records, attribute.data.size());
		std::string value = attribute.data;
		// Values whose length does not fit their type are kept as they are.
		if (!value.empty() && !swap_data(attribute.type, value.data(), value.size()))
			value = attribute.data;
		records.append(value);
	}
	return records;
}

ExtraField encode_beos_field(const std::string& records, int32 level)
{
	std::string data;
	uint8 flags = 0;
	if (!memcompress(records, level, &data) || data.size() >= records.size()) {
		data = records;
		flags = kBeOSStored;
	}
	ExtraField field;
	put32le(field.local, (uint32)records.size());
	put8(field.local, flags);
	field.local.append(data);
	// As the zip tool does, the central copy gives the length as stored.
	put32le(field.central, (uint32)data.size());
	put8(field.central, flags);
	return field;
}
