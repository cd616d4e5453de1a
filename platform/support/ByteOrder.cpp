// In-place swapping of typed data.
#include "ByteOrder.h"

#include "TypeConstants.h"

namespace {

// The width of one swappable unit of a type, or 0 when the type is opaque.
size_t swap_unit(type_code type)
{
	switch (type) {
		case B_INT16_TYPE:
		case B_UINT16_TYPE: return 2;
		case B_INT32_TYPE:
		case B_UINT32_TYPE:
		case B_FLOAT_TYPE:
		case B_SIZE_T_TYPE:
		case B_SSIZE_T_TYPE:
		case B_TIME_TYPE:
		case B_POINTER_TYPE:
		case B_RECT_TYPE:
		case B_POINT_TYPE: return 4;
		case B_INT64_TYPE:
		case B_UINT64_TYPE:
		case B_DOUBLE_TYPE:
		case B_OFF_T_TYPE: return 8;
		default: return 0;
	}
}

} // namespace

bool swap_data(type_code type, void* data, size_t length)
{
	size_t unit = swap_unit(type);
	if (unit == 0)
		return true;
	if (length % unit != 0)
		return false;
	auto* bytes = static_cast<uint8*>(data);
	for (size_t i = 0; i < length; i += unit) {
		if (unit == 2)
			write_u16le(bytes + i, read_u16(bytes + i, true));
		else if (unit == 4)
			write_u32le(bytes + i, read_u32(bytes + i, true));
		else
			write_u64le(bytes + i, read_u64(bytes + i, true));
	}
	return true;
}
