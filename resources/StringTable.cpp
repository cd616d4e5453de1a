// StringTable: parsing of the string table text form and printf conversion scanning.
#include "StringTable.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

// Length of the UTF-8 sequence starting at text[i], or 0 when it is not valid UTF-8.
size_t Utf8SequenceLength(const std::string& text, const size_t& i)
{
	const unsigned char lead = (unsigned char)text[i];
	size_t length = 0;
	uint32 codePoint = 0;
	if (lead < 0x80)
		return 1;
	if ((lead & 0xe0) == 0xc0) {
		length = 2;
		codePoint = lead & 0x1f;
	} else if ((lead & 0xf0) == 0xe0) {
		length = 3;
		codePoint = lead & 0x0f;
	} else if ((lead & 0xf8) == 0xf0) {
		length = 4;
		codePoint = lead & 0x07;
	} else {
		return 0;
	}
	if (i + length > text.size())
		return 0;
	for (size_t k = 1; k < length; k++) {
		const unsigned char next = (unsigned char)text[i + k];
		if ((next & 0xc0) != 0x80)
			return 0;
		codePoint = (codePoint << 6) | (next & 0x3f);
	}
	// Overlong forms, surrogates and values past U+10FFFF are not text.
	static const uint32 kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
	if (codePoint < kSmallest[length] || codePoint > 0x10ffff)
		return 0;
	if (codePoint >= 0xd800 && codePoint <= 0xdfff)
		return 0;
	return length;
}

// Offset of the first byte that is not valid UTF-8, or npos.
size_t FindInvalidUtf8(const std::string& text)
{
	for (size_t i = 0; i < text.size();) {
		const size_t length = Utf8SequenceLength(text, i);
		if (length == 0)
			return i;
		i += length;
	}
	return std::string::npos;
}

bool IsControl(const char& c)
{
	return (unsigned char)c < 0x20 || c == 0x7f;
}

} // namespace

StringTable::StringTable() : fFirstId(0), fLastId(-1), fStatus(B_NO_INIT) {}

StringTable::StringTable(const char* path, const int32& firstId, const int32& lastId)
    : StringTable()
{
	SetTo(path, firstId, lastId);
}

status_t StringTable::SetTo(const char* path, const int32& firstId, const int32& lastId)
{
	if (path == nullptr)
		return fStatus = B_BAD_VALUE;
	std::ifstream file(path, std::ios::binary);
	if (!file) {
		const int error = errno;
		fStrings.clear();
		fSource = path;
		fError = std::string(path) + ": cannot open: " + strerror(error);
		return fStatus = status_from_errno(error);
	}
	std::ostringstream contents;
	contents << file.rdbuf();
	if (file.bad()) {
		fStrings.clear();
		fError = std::string(path) + ": read error";
		return fStatus = B_IO_ERROR;
	}
	const std::string text = contents.str();
	return SetTo(text.data(), text.size(), path, firstId, lastId);
}

status_t StringTable::SetTo(const char* text, const size_t& length, const char* sourceName,
                            const int32& firstId, const int32& lastId)
{
	fStrings.clear();
	fLineOf.clear();
	fError.clear();
	fSource = sourceName != nullptr ? sourceName : "<memory>";
	if ((text == nullptr && length > 0) || firstId > lastId)
		return fStatus = B_BAD_VALUE;
	fFirstId = firstId;
	fLastId = lastId;

	const std::string all(text != nullptr ? text : "", length);
	int32 lineNumber = 0;
	for (size_t start = 0; start < all.size();) {
		size_t end = all.find('\n', start);
		if (end == std::string::npos)
			end = all.size();
		lineNumber++;
		if (ParseLine(all.substr(start, end - start), lineNumber) != B_OK) {
			fStrings.clear();
			fLineOf.clear();
			return fStatus = B_BAD_DATA;
		}
		start = end + 1;
	}
	fLineOf.clear();
	return fStatus = B_OK;
}

bool StringTable::HasString(const int32& id) const
{
	return fStrings.find(id) != fStrings.end();
}

const char* StringTable::StringFor(const int32& id) const
{
	const auto found = fStrings.find(id);
	return found != fStrings.end() ? found->second.c_str() : nullptr;
}

status_t StringTable::ParseLine(const std::string& line, const int32& lineNumber)
{
	if (line.empty() || line[0] == '#')
		return B_OK;
	const size_t invalid = FindInvalidUtf8(line);
	if (invalid != std::string::npos)
		return Fail(lineNumber, "invalid UTF-8 at byte " + std::to_string(invalid + 1));
	if (line.back() == '\r')
		return Fail(lineNumber, "carriage return at end of line (lines end in a line feed)");
	const size_t tab = line.find('\t');
	if (tab == std::string::npos)
		return Fail(lineNumber, "malformed line, expected <id><TAB><text>");

	int32 id = 0;
	if (ParseId(line.substr(0, tab), id) != B_OK)
		return Fail(lineNumber, "malformed id '" + line.substr(0, tab) + "'");
	if (id < fFirstId || id > fLastId) {
		return Fail(lineNumber, "id " + std::to_string(id) + " out of range " +
		                                std::to_string(fFirstId) + ".." + std::to_string(fLastId));
	}
	const auto earlier = fLineOf.find(id);
	if (earlier != fLineOf.end()) {
		return Fail(lineNumber, "duplicate id " + std::to_string(id) + " (first on line " +
		                                std::to_string(earlier->second) + ")");
	}

	std::string text;
	std::string reason;
	if (Unescape(line.substr(tab + 1), text, reason) != B_OK)
		return Fail(lineNumber, reason);
	fStrings[id] = text;
	fLineOf[id] = lineNumber;
	return B_OK;
}

status_t StringTable::ParseId(const std::string& field, int32& id) const
{
	// Plain decimal digits, no sign, no leading zero, at most nine digits.
	if (field.empty() || field.size() > 9 || (field[0] == '0' && field.size() > 1))
		return B_BAD_DATA;
	int32 value = 0;
	for (const char c : field) {
		if (c < '0' || c > '9')
			return B_BAD_DATA;
		value = value * 10 + (c - '0');
	}
	id = value;
	return B_OK;
}

status_t StringTable::Unescape(const std::string& raw, std::string& text, std::string& reason) const
{
	text.clear();
	for (size_t i = 0; i < raw.size(); i++) {
		const char c = raw[i];
		if (IsControl(c)) {
			reason = "raw control character in text (write \\t or \\n)";
			return B_BAD_DATA;
		}
		if (c != '\\') {
			text += c;
			continue;
		}
		if (i + 1 == raw.size()) {
			reason = "backslash at end of line";
			return B_BAD_DATA;
		}
		const char escaped = raw[++i];
		switch (escaped) {
			case 'n': text += '\n'; break;
			case 't': text += '\t'; break;
			case '\\': text += '\\'; break;
			default: reason = std::string("unknown escape '\\") + escaped + "'"; return B_BAD_DATA;
		}
	}
	return B_OK;
}

status_t StringTable::Fail(const int32& lineNumber, const std::string& reason)
{
	fError = fSource + ":" + std::to_string(lineNumber) + ": " + reason;
	return B_BAD_DATA;
}

std::vector<std::string> StringTable::FormatConversions(const char* text)
{
	std::vector<std::string> conversions;
	if (text == nullptr)
		return conversions;
	for (const char* p = text; *p != '\0'; p++) {
		if (*p != '%')
			continue;
		if (p[1] == '%') {
			p++;
			continue;
		}
		const char* start = p++;
		p += strspn(p, "-+ #0");
		p += strspn(p, "0123456789*");
		if (*p == '.') {
			p++;
			p += strspn(p, "0123456789*");
		}
		p += strspn(p, "hlLqjzt");
		// The conversion letter ends it; a malformed one keeps what was read.
		if (*p != '\0' && strchr("diouxXeEfFgGaAcspn", *p) != nullptr) {
			conversions.emplace_back(start, p - start + 1);
			continue;
		}
		conversions.emplace_back(start, p - start);
		if (*p == '\0')
			break;
		p--;
	}
	return conversions;
}
