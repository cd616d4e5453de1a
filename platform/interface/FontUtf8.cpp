// UTF-8 decoding for text measurement.
#include "FontUtf8.h"

namespace {

// Length of the sequence starting at `text[i]`, 1 for a malformed byte.
size_t sequence_length(std::string_view text, size_t i, uint32* codepoint)
{
	uint8 first = uint8(text[i]);
	size_t length = first < 0x80           ? 1
	                : (first >> 5) == 0x6  ? 2
	                : (first >> 4) == 0xe  ? 3
	                : (first >> 3) == 0x1e ? 4
	                                       : 0;
	if (length == 0 || i + length > text.size()) {
		*codepoint = 0xfffd;
		return 1;
	}
	uint32 value = length == 1 ? first : first & (0x7f >> length);
	for (size_t k = 1; k < length; k++) {
		uint8 next = uint8(text[i + k]);
		if ((next & 0xc0) != 0x80) {
			*codepoint = 0xfffd;
			return 1;
		}
		value = (value << 6) | (next & 0x3f);
	}
	*codepoint = value;
	return length;
}

} // namespace

std::vector<uint32> utf8_codepoints(std::string_view text)
{
	std::vector<uint32> result;
	for (size_t i = 0; i < text.size();) {
		uint32 codepoint;
		i += sequence_length(text, i, &codepoint);
		result.push_back(codepoint);
	}
	return result;
}

std::vector<size_t> utf8_starts(std::string_view text)
{
	std::vector<size_t> result;
	for (size_t i = 0; i < text.size();) {
		uint32 codepoint;
		result.push_back(i);
		i += sequence_length(text, i, &codepoint);
	}
	return result;
}
