// Header and prose shortcuts in front of libmagic.
#include "MagicShortcuts.h"

#include <cstring>
#include <string_view>

namespace {

// ELF object kinds by e_type, as libmagic's elf rules name them.
const char* const kElfTypes[] = {nullptr, "application/x-object", "application/x-executable",
                                 "application/x-sharedlib"};

// First words of a line that some content rule of the database looks for.
const std::string_view kKeyWords[] = {
        "c",       "C",         "from",       "import",     "module",    "class",    "dnl",
        "diff",    "def",       "require",    "package",    "use",       "program",  "PROC",
        "BEGIN",   "begin",     "function",   "subroutine", "proc",      "library",  "entity",
        "select",  "SELECT",    "include",    "section",    "global",    "implicit", "Index",
        "Only",    "Binary",    "From",       "Received",   "Subject",   "Return",   "Path",
        "Article", "Relay",     "Newsgroups", "Message",    "msgid",     "msgstr",   "local",
        "set",     "puts",      "end",        "END",        "extern",    "struct",   "typedef",
        "int",     "void",      "static",     "const",      "namespace", "template", "public",
        "private", "interface", "let",        "var",        "fn",        "func",     "sub",
        "my",      "our",       "print",      "echo",       "exit",      "export",   "alias",
};

bool is_prose_byte(unsigned char c)
{
	if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
		return true;
	return strchr(" \t\r\n,.!?'-", c) != nullptr && c != '\0';
}

bool is_key_word(std::string_view word)
{
	for (std::string_view key : kKeyWords) {
		if (word == key)
			return true;
	}
	return false;
}

// A line opening with a key word, or with a dot or quote as troff's do.
bool line_start_is_keyed(std::string_view line)
{
	const size_t start = line.find_first_not_of(" \t");
	if (start == std::string_view::npos)
		return false;
	line.remove_prefix(start);
	if (line[0] == '.' || line[0] == '\'')
		return start == 0;
	return is_key_word(line.substr(0, line.find_first_of(" \t\r")));
}

} // namespace

std::string magic_header_type(const void* data, size_t length)
{
	const std::string_view bytes(static_cast<const char*>(data), length);
	if (bytes.size() >= 18 && bytes.substr(0, 4) == "\177ELF" && (bytes[5] == 1 || bytes[5] == 2)) {
		const unsigned char low = (unsigned char)bytes[bytes[5] == 1 ? 16 : 17];
		const unsigned char high = (unsigned char)bytes[bytes[5] == 1 ? 17 : 16];
		if (high == 0 && low >= 1 && low <= 3)
			return kElfTypes[low];
		return std::string();
	}
	// Debian packages are ar archives too, with a type of their own.
	if (bytes.substr(0, 8) == "!<arch>\n" && bytes.substr(8, 6) != "debian")
		return "application/x-archive";
	return std::string();
}

bool reads_as_plain_prose(const void* data, size_t length)
{
	const std::string_view text(static_cast<const char*>(data), length);
	for (char c : text) {
		if (!is_prose_byte((unsigned char)c))
			return false;
	}
	for (size_t at = 0; at < text.size();) {
		const size_t end = std::min(text.find('\n', at), text.size());
		if (line_start_is_keyed(text.substr(at, end - at)))
			return false;
		at = end + 1;
	}
	return true;
}

bool cannot_be_text(const void* data, size_t length)
{
	const std::string_view bytes(static_cast<const char*>(data), length);
	const bool marked = bytes.substr(0, 2) == "\xfe\xff" || bytes.substr(0, 2) == "\xff\xfe" ||
	                    bytes.substr(0, 4) == std::string_view("\0\0\xfe\xff", 4);
	return !marked && bytes.find('\0') != std::string_view::npos;
}
