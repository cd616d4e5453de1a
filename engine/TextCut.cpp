// Formatting into a byte limit without splitting a UTF-8 character.
#include "TextCut.h"

#include <cstdio>

namespace {

bool IsContinuationByte(const char& byte)
{
	return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

} // namespace

void CutAtCharacter(std::string& text, const size_t& max_bytes)
{
	if (text.size() <= max_bytes)
		return;
	// The byte at the cut starts the first character that is left out; when it
	// continues a sequence, that sequence began before the cut and goes too.
	size_t cut = max_bytes;
	while (cut > 0 && IsContinuationByte(text[cut]))
		cut--;
	text.resize(cut);
}

std::string FormatCut(const size_t& size, const char* format, va_list args)
{
	if (format == nullptr || size == 0)
		return std::string();
	va_list copy;
	va_copy(copy, args);
	const int length = vsnprintf(nullptr, 0, format, copy);
	va_end(copy);
	if (length <= 0)
		return std::string();
	std::string text(size_t(length) + 1, '\0');
	vsnprintf(text.data(), text.size(), format, args);
	text.resize(size_t(length));
	CutAtCharacter(text, size - 1);
	return text;
}

std::string FormatCut(const size_t& size, const char* format, ...)
{
	va_list args;
	va_start(args, format);
	std::string text = FormatCut(size, format, args);
	va_end(args);
	return text;
}
