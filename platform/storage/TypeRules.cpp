// Magic numbers first, since content outranks a name; then scripts by their
// interpreter; then text files by extension. Anything else is left undecided.
#include "TypeRules.h"

#include <cstring>
#include <iterator>
#include <string_view>

#include "Mime.h"

namespace {

struct Rule {
	std::string_view key;
	const char* type;
};

// Formats whose first bytes alone name them.
const Rule kMagic[] = {
        {"\x89PNG\r\n\x1a\n", "image/png"},
        {std::string_view("\xff\xd8\xff", 3), "image/jpeg"},
        {"GIF87a", "image/gif"},
        {"GIF89a", "image/gif"},
        {"%PDF-", "application/pdf"},
        {std::string_view("\x1f\x8b", 2), "application/gzip"},
        {std::string_view("\xfd"
                          "7zXZ\0",
                          6),
         "application/x-xz"},
        {std::string_view("\x28\xb5\x2f\xfd", 4), "application/zstd"},
};

// Interpreters named on a script's first line.
const Rule kInterpreters[] = {
        {"sh", "text/x-shellscript"},   {"bash", "text/x-shellscript"},
        {"dash", "text/x-shellscript"}, {"ksh", "text/x-shellscript"},
        {"zsh", "text/x-shellscript"},  {"python", "text/x-script.python"},
        {"perl", "text/x-perl"},        {"ruby", "text/x-ruby"},
};

// Extensions of text files; case matters (".H" is C++, as compilers read it).
const Rule kTextExtensions[] = {
        {"c", "text/x-c"},
        {"h", "text/x-c"},
        {"cc", "text/x-c++"},
        {"cpp", "text/x-c++"},
        {"cxx", "text/x-c++"},
        {"hh", "text/x-c++"},
        {"hpp", "text/x-c++"},
        {"hxx", "text/x-c++"},
        {"H", "text/x-c++"},
        {"tcc", "text/x-c++"},
        {"py", "text/x-script.python"},
        {"sh", "text/x-shellscript"},
        {"txt", "text/plain"},
        {"md", "text/plain"},
        {"rst", "text/plain"},
        {"html", "text/html"},
        {"htm", "text/html"},
        {"css", "text/css"},
        {"js", "application/javascript"},
        {"json", "application/json"},
        {"xml", "text/xml"},
        {"svg", "image/svg+xml"},
};

bool starts_with(std::string_view data, std::string_view key)
{
	return data.substr(0, key.size()) == key;
}

const char* find_rule(const Rule* begin, const Rule* end, std::string_view key)
{
	for (const Rule* rule = begin; rule != end; rule++) {
		if (rule->key == key)
			return rule->type;
	}
	return nullptr;
}

// Length of the UTF-8 sequence that starts with `lead`, 0 when it cannot.
size_t sequence_length(unsigned char lead)
{
	if (lead >= 0xc2 && lead <= 0xdf)
		return 2;
	if (lead >= 0xe0 && lead <= 0xef)
		return 3;
	if (lead >= 0xf0 && lead <= 0xf4)
		return 4;
	return 0;
}

// Printable UTF-8 with the usual white space; a sequence cut off by the end
// of the prefix does not count against it.
bool looks_like_text(std::string_view data)
{
	for (size_t i = 0; i < data.size(); i++) {
		const unsigned char c = (unsigned char)data[i];
		if (c >= 0x20 && c < 0x7f)
			continue;
		if (c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v' || c == 0x1b)
			continue;
		const size_t length = sequence_length(c);
		if (length == 0)
			return false;
		for (size_t j = 1; j < length; j++) {
			if (i + j == data.size())
				return true;
			if (((unsigned char)data[i + j] & 0xc0) != 0x80)
				return false;
		}
		i += length - 1;
	}
	return true;
}

// "python3.11" and "python3" are python.
std::string_view interpreter_family(std::string_view name)
{
	const size_t end = name.find_first_of("0123456789.");
	return name.substr(0, end);
}

const char* script_type(std::string_view data)
{
	if (!starts_with(data, "#!"))
		return nullptr;
	std::string_view line = data.substr(2, data.find('\n') - 2);
	auto next_word = [&line]() {
		const size_t start = line.find_first_not_of(" \t");
		if (start == std::string_view::npos)
			return std::string_view();
		line.remove_prefix(start);
		const size_t end = line.find_first_of(" \t");
		std::string_view word = line.substr(0, end);
		line.remove_prefix(word.size());
		return word;
	};
	std::string_view program = next_word();
	program = program.substr(program.rfind('/') + 1);
	if (program == "env") {
		program = next_word();
		while (starts_with(program, "-"))
			program = next_word();
	}
	return find_rule(std::begin(kInterpreters), std::end(kInterpreters),
	                 interpreter_family(program));
}

const char* binary_type(const char* leaf, std::string_view data, mode_t mode)
{
	if ((mode & 0111) != 0 && starts_with(data, "\177ELF"))
		return B_ELF_APP_MIME_TYPE;
	for (const Rule& rule : kMagic) {
		if (starts_with(data, rule.key))
			return rule.type;
	}
	// Compiled Python: two bytes of version, then CR LF.
	const char* dot = leaf != nullptr ? strrchr(leaf, '.') : nullptr;
	if (dot != nullptr && strcmp(dot, ".pyc") == 0 && data.size() >= 16 &&
	    data.substr(2, 2) == "\r\n")
		return "application/x-bytecode.python";
	return nullptr;
}

} // namespace

std::string rule_mime_type(const char* leaf, const void* data, size_t length, mode_t mode)
{
	// Empty files are plain data, whatever their name.
	if (length == 0)
		return B_FILE_MIME_TYPE;
	const std::string_view bytes(static_cast<const char*>(data), length);
	if (const char* type = binary_type(leaf, bytes, mode))
		return type;
	if (!looks_like_text(bytes))
		return std::string();
	if (const char* type = script_type(bytes))
		return type;
	const char* dot = leaf != nullptr ? strrchr(leaf, '.') : nullptr;
	if (dot == nullptr || dot == leaf)
		return std::string();
	const char* type = find_rule(std::begin(kTextExtensions), std::end(kTextExtensions), dot + 1);
	return type != nullptr ? type : std::string();
}
