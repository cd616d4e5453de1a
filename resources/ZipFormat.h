// Record signatures and little-endian field readers of the ZIP format.
#pragma once

#include <string>

#include "ByteOrder.h"
#include "SupportDefs.h"

enum : uint32 {
	kZipLocalHeader = 0x04034b50,
	kZipCentralHeader = 0x02014b50,
	kZipEndOfDirectory = 0x06054b50,
	kZipZip64Locator = 0x07064b50,
	kZipZip64End = 0x06064b50,
	kZipDataDescriptor = 0x08074b50,
};

enum : uint16 {
	kZipZip64Field = 0x0001,
	// Ours: the entry's data is part of a Zstandard stream that several
	// entries share (one byte: kZipStreamStarts or kZipStreamContinues).
	kZipSolidField = 0x5653,
	kZipMethodStored = 0,
	kZipMethodDeflated = 8,
	kZipMethodZstd = 93,
	kZipFlagEncrypted = 0x0001,
	kZipFlagDescriptor = 0x0008, // crc and sizes follow the data
};

// The byte of a kZipSolidField: the entry's data starts a stream, or
// continues the stream of the closest marked entry before it.
const uint8 kZipStreamStarts = 0;
const uint8 kZipStreamContinues = 1;

// A 16-bit count or 32-bit size or offset whose value lies in a ZIP64 record.
const uint16 kZipSaturated16 = 0xffff;
const uint32 kZipSaturated32 = 0xffffffff;

// Fixed parts of the records, before their names and extra fields.
const size_t kZipLocalHeaderSize = 30;
const size_t kZipCentralHeaderSize = 46;
const size_t kZipEndSize = 22;
const size_t kZipZip64LocatorSize = 20;
const size_t kZipZip64EndSize = 56;

// ZIP is little-endian throughout.
inline uint16 zip_get16(const uint8* p)
{
	return read_u16(p, false);
}

inline uint32 zip_get32(const uint8* p)
{
	return read_u32(p, false);
}

inline uint64 zip_get64(const uint8* p)
{
	return read_u64(p, false);
}

// The extra field `id` inside an extra block; null when absent or when the
// block is malformed before it.
const uint8* zip_find_extra(const uint8* extra, size_t length, uint16 id, uint16* fieldLength);
// `name` fit for a message: its control bytes written as \xNN, so that a
// hostile name cannot rewrite the terminal that shows it.
std::string zip_printable_name(const std::string& name);
