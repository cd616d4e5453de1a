// Texts formatted into a limited number of bytes, cut at a character boundary
// so that a UTF-8 sequence is never split.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

// Shortens `text` to at most `max_bytes` bytes, dropping a partial character.
void CutAtCharacter(std::string& text, const size_t& max_bytes);
// printf into a string of at most `size` - 1 bytes, cut as above.
std::string FormatCut(const size_t& size, const char* format, va_list args);
std::string FormatCut(const size_t& size, const char* format, ...)
        __attribute__((format(printf, 2, 3)));
