// Reading a flat JSON object, escapes and \u sequences turned back into UTF-8.
#include "JsonLine.h"

#include <cctype>
#include <cstdlib>

namespace {

void AppendUtf8(std::string& text, const uint32& code)
{
	if (code < 0x80) {
		text += char(code);
	} else if (code < 0x800) {
		text += char(0xc0 | (code >> 6));
		text += char(0x80 | (code & 0x3f));
	} else if (code < 0x10000) {
		text += char(0xe0 | (code >> 12));
		text += char(0x80 | ((code >> 6) & 0x3f));
		text += char(0x80 | (code & 0x3f));
	} else {
		text += char(0xf0 | (code >> 18));
		text += char(0x80 | ((code >> 12) & 0x3f));
		text += char(0x80 | ((code >> 6) & 0x3f));
		text += char(0x80 | (code & 0x3f));
	}
}

bool ParseHex4(const std::string& text, const size_t& at, uint32& code)
{
	if (at + 4 > text.size())
		return false;
	code = 0;
	for (size_t i = at; i < at + 4; i++) {
		const char c = text[i];
		const int digit = c >= '0' && c <= '9'   ? c - '0'
		                  : c >= 'a' && c <= 'f' ? c - 'a' + 10
		                  : c >= 'A' && c <= 'F' ? c - 'A' + 10
		                                         : -1;
		if (digit < 0)
			return false;
		code = code * 16 + uint32(digit);
	}
	return true;
}

} // namespace

bool JsonLine::SetTo(const std::string& text)
{
	fText = text;
	fAt = 0;
	fMembers.clear();
	SkipSpace();
	if (fAt >= fText.size() || fText[fAt++] != '{')
		return false;
	SkipSpace();
	if (fAt < fText.size() && fText[fAt] == '}') {
		fAt++;
	} else {
		for (;;) {
			std::string name;
			SkipSpace();
			if (!ReadString(name))
				return false;
			SkipSpace();
			if (fAt >= fText.size() || fText[fAt++] != ':')
				return false;
			Value value;
			if (!ReadValue(value))
				return false;
			fMembers[name] = value;
			SkipSpace();
			if (fAt < fText.size() && fText[fAt] == ',') {
				fAt++;
				continue;
			}
			if (fAt >= fText.size() || fText[fAt++] != '}')
				return false;
			break;
		}
	}
	SkipSpace();
	return fAt == fText.size();
}

std::string JsonLine::String(const std::string& name) const
{
	const auto found = fMembers.find(name);
	return found != fMembers.end() && found->second.isString ? found->second.text : "";
}

int64 JsonLine::Number(const std::string& name, const int64& fallback) const
{
	const auto found = fMembers.find(name);
	if (found == fMembers.end() || found->second.isString || found->second.text.empty())
		return fallback;
	const std::string& word = found->second.text;
	if (word == "true" || word == "false")
		return word == "true" ? 1 : 0;
	char* end = nullptr;
	const long long value = strtoll(word.c_str(), &end, 10);
	return end != word.c_str() ? int64(value) : fallback;
}

std::vector<std::string> JsonLine::Strings(const std::string& name) const
{
	const auto found = fMembers.find(name);
	return found != fMembers.end() ? found->second.items : std::vector<std::string>();
}

void JsonLine::SkipSpace()
{
	while (fAt < fText.size() &&
	       (fText[fAt] == ' ' || fText[fAt] == '\t' || fText[fAt] == '\r' || fText[fAt] == '\n'))
		fAt++;
}

bool JsonLine::ReadValue(Value& value)
{
	SkipSpace();
	if (fAt >= fText.size())
		return false;
	if (fText[fAt] == '"') {
		value.isString = true;
		return ReadString(value.text);
	}
	if (fText[fAt] != '[')
		return ReadWord(value.text);
	fAt++;
	SkipSpace();
	if (fAt < fText.size() && fText[fAt] == ']') {
		fAt++;
		return true;
	}
	for (;;) {
		std::string item;
		SkipSpace();
		if (!ReadString(item))
			return false;
		value.items.push_back(item);
		SkipSpace();
		if (fAt >= fText.size())
			return false;
		const char next = fText[fAt++];
		if (next == ']')
			return true;
		if (next != ',')
			return false;
	}
}

// A number, true, false or null: kept as its text.
bool JsonLine::ReadWord(std::string& word)
{
	const size_t start = fAt;
	while (fAt < fText.size() && (isalnum((unsigned char)fText[fAt]) || fText[fAt] == '-' ||
	                              fText[fAt] == '+' || fText[fAt] == '.'))
		fAt++;
	word = fText.substr(start, fAt - start);
	if (word == "true" || word == "false" || word == "null")
		return true;
	char* end = nullptr;
	strtod(word.c_str(), &end);
	return !word.empty() && end == word.c_str() + word.size();
}

bool JsonLine::ReadString(std::string& text)
{
	if (fAt >= fText.size() || fText[fAt] != '"')
		return false;
	fAt++;
	while (fAt < fText.size()) {
		const char c = fText[fAt++];
		if (c == '"')
			return true;
		if ((unsigned char)c < 0x20)
			return false;
		if (c != '\\') {
			text += c;
			continue;
		}
		if (!ReadEscape(text))
			return false;
	}
	return false;
}

bool JsonLine::ReadEscape(std::string& text)
{
	if (fAt >= fText.size())
		return false;
	const char c = fText[fAt++];
	switch (c) {
		case '"':
		case '\\':
		case '/': text += c; return true;
		case 'b': text += '\b'; return true;
		case 'f': text += '\f'; return true;
		case 'n': text += '\n'; return true;
		case 'r': text += '\r'; return true;
		case 't': text += '\t'; return true;
		case 'u': break;
		default: return false;
	}
	uint32 code = 0;
	if (!ParseHex4(fText, fAt, code))
		return false;
	fAt += 4;
	// A surrogate pair stands for one character beyond the first plane.
	uint32 low = 0;
	if (code >= 0xd800 && code < 0xdc00 && fText.compare(fAt, 2, "\\u") == 0 &&
	    ParseHex4(fText, fAt + 2, low) && low >= 0xdc00 && low < 0xe000) {
		fAt += 6;
		code = 0x10000 + ((code - 0xd800) << 10) + (low - 0xdc00);
	} else if (code >= 0xd800 && code < 0xe000) {
		code = 0xfffd;
	}
	AppendUtf8(text, code);
	return true;
}
