// Answers that spare libmagic's signature database where its answer is known
// beforehand: the kind of an ELF file or an ar archive from a few header
// bytes, and text that reads as plain prose, which no content rule of the
// database can name more closely than the text checks do.
#pragma once

#include <cstddef>
#include <string>

// The type libmagic would give data starting with `data`, when a header
// alone tells it; else an empty text.
std::string magic_header_type(const void* data, size_t length);

// Whether the text holds only letters, digits, white space and sentence
// punctuation, and no line that opens with a word some database rule keys
// on ("c " of Fortran, "from" and "import" of Python, "module" of Ruby ...).
bool reads_as_plain_prose(const void* data, size_t length);

// Whether no text check of libmagic (ASCII, Latin-1, UTF-8, EBCDIC, UTF-16
// or UTF-32) can take the data for text: it holds a NUL byte and starts
// with no byte order mark. Such data needs only the signature database.
bool cannot_be_text(const void* data, size_t length);
