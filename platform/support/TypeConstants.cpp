// Printing of type codes.
#include "TypeConstants.h"

#include <cstdio>

void type_code_to_string(uint32 code, char* out)
{
	char text[4] = {char(code >> 24), char(code >> 16), char(code >> 8), char(code)};
	for (char c : text) {
		if (c < 0x20 || c > 0x7e) {
			std::snprintf(out, 11, "0x%08x", code);
			return;
		}
	}
	std::snprintf(out, 11, "%c%c%c%c", text[0], text[1], text[2], text[3]);
}
