// Character classes of the POSIX locale for single bytes: bytes above 127
// belong to no class, so UTF-8 passes through every test untouched.
#pragma once

inline bool LibIsAscii(const char& c)
{
	return static_cast<signed char>(c) >= 0;
}

inline bool LibIsSpace(const char& c)
{
	return c == ' ' || (c >= '\t' && c <= '\r');
}

inline bool LibIsDigit(const char& c)
{
	return c >= '0' && c <= '9';
}

inline bool LibIsAlpha(const char& c)
{
	return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

inline bool LibIsXDigit(const char& c)
{
	return LibIsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Printable, neither a letter, a digit nor a space.
inline bool LibIsPunct(const char& c)
{
	return c > ' ' && c < 127 && !LibIsAlpha(c) && !LibIsDigit(c);
}
