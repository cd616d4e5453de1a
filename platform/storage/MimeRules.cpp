// Content rules for typing files without a signature database.
#include "MimeRules.h"

#include <string.h>

#include <atomic>

#include "Mime.h"

namespace {

std::atomic<mime_content_sniffer> sContentSniffer{nullptr};

struct Signature {
	const char* bytes;
	size_t length;
	const char* type;
};

const Signature kSignatures[] = {
        {"%PDF-", 5, "application/pdf"},     {"\x89PNG\r\n\x1a\n", 8, "image/png"},
        {"\xff\xd8\xff", 3, "image/jpeg"},   {"GIF87a", 6, "image/gif"},
        {"GIF89a", 6, "image/gif"},          {"PK\x03\x04", 4, "application/zip"},
        {"\x1f\x8b", 2, "application/gzip"}, {"\177ELF", 4, "application/x-executable"},
};

// Length of the UTF-8 sequence that `lead` starts, or 0 when it starts none.
size_t sequence_length(unsigned char lead)
{
	if (lead < 0x80)
		return 1;
	if (lead >= 0xc2 && lead <= 0xdf)
		return 2;
	if (lead >= 0xe0 && lead <= 0xef)
		return 3;
	if (lead >= 0xf0 && lead <= 0xf4)
		return 4;
	return 0;
}

// Text is UTF-8 without NUL bytes or control characters other than the
// usual layout ones; a sequence cut by the end of the sniffed bytes counts.
bool is_text(const unsigned char* data, size_t length)
{
	for (size_t i = 0; i < length;) {
		unsigned char c = data[i];
		// strchr finds the terminating NUL too: a NUL byte is tested first.
		if (c == 0 || (c < 0x20 && strchr("\t\n\r\f\b\033", c) == nullptr))
			return false;
		if (c == 0x7f)
			return false;
		size_t count = sequence_length(c);
		if (count == 0)
			return false;
		for (size_t k = 1; k < count; k++) {
			if (i + k >= length)
				return true;
			if ((data[i + k] & 0xc0) != 0x80)
				return false;
		}
		i += count;
	}
	return true;
}

// A "#!" line naming a shell.
bool is_shell_script(const char* data, size_t length)
{
	if (length < 2 || data[0] != '#' || data[1] != '!')
		return false;
	std::string line(data, strnlen(data, length));
	line = line.substr(0, line.find('\n'));
	for (const char* shell : {"/sh", "bash", "dash", "zsh", "ksh", "env sh"}) {
		if (line.find(shell) != std::string::npos)
			return true;
	}
	return false;
}

} // namespace

std::string mime_type_by_rules(const void* data, size_t length)
{
	if (data == nullptr || length == 0)
		return B_FILE_MIME_TYPE;
	for (const Signature& signature : kSignatures) {
		if (length >= signature.length && memcmp(data, signature.bytes, signature.length) == 0)
			return signature.type;
	}
	const char* text = static_cast<const char*>(data);
	if (!is_text((const unsigned char*)text, length))
		return B_FILE_MIME_TYPE;
	return is_shell_script(text, length) ? "text/x-shellscript" : "text/plain";
}

void set_mime_content_sniffer(mime_content_sniffer sniffer)
{
	sContentSniffer.store(sniffer);
}

mime_content_sniffer mime_content_sniffer_in_use()
{
	return sContentSniffer.load();
}
