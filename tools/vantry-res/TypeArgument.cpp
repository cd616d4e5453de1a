// Parsing of the type and id arguments of vantry-res.
#include "TypeArgument.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

bool parse_type_argument(const char* text, type_code* type)
{
	if (strncmp(text, "0x", 2) == 0 || strncmp(text, "0X", 2) == 0) {
		char* end;
		errno = 0;
		unsigned long long value = strtoull(text + 2, &end, 16);
		if (errno != 0 || end == text + 2 || *end != '\0' || value > UINT32_MAX)
			return false;
		*type = (type_code)value;
		return true;
	}
	if (strlen(text) != 4)
		return false;
	*type = (type_code)((uint8)text[0] << 24 | (uint8)text[1] << 16 | (uint8)text[2] << 8 |
	                    (uint8)text[3]);
	return true;
}

bool parse_id_argument(const char* text, int32* id)
{
	char* end;
	errno = 0;
	long long value = strtoll(text, &end, 10);
	if (errno != 0 || end == text || *end != '\0' || value < INT32_MIN || value > INT32_MAX)
		return false;
	*id = (int32)value;
	return true;
}
