// Byte-order helpers for reading and writing the platform's stored forms.
#pragma once

#include <cstring>

#include "SupportDefs.h"

inline uint16 swap16(uint16 v)
{
	return __builtin_bswap16(v);
}
inline uint32 swap32(uint32 v)
{
	return __builtin_bswap32(v);
}
inline uint64 swap64(uint64 v)
{
	return __builtin_bswap64(v);
}

// Reads an unaligned value of the given byte order.
inline uint16 read_u16(const void* p, bool bigEndian)
{
	uint16 v;
	std::memcpy(&v, p, 2);
	return bigEndian ? swap16(v) : v;
}
inline uint32 read_u32(const void* p, bool bigEndian)
{
	uint32 v;
	std::memcpy(&v, p, 4);
	return bigEndian ? swap32(v) : v;
}
inline uint64 read_u64(const void* p, bool bigEndian)
{
	uint64 v;
	std::memcpy(&v, p, 8);
	return bigEndian ? swap64(v) : v;
}

// Writes little-endian, the byte order of every form this host writes.
inline void write_u16le(void* p, uint16 v)
{
	std::memcpy(p, &v, 2);
}
inline void write_u32le(void* p, uint32 v)
{
	std::memcpy(p, &v, 4);
}
inline void write_u64le(void* p, uint64 v)
{
	std::memcpy(p, &v, 8);
}

// Swaps the bytes of items of the numeric, point and rect types in place.
// Other types are left as they are. Returns false for a length that does
// not fit the type.
bool swap_data(type_code type, void* data, size_t length);
