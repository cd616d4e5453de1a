// A strict reader of the JSON the programs print, for tests: it accepts a
// text only when it is one whole JSON value in UTF-8, and answers the
// members of a top-level object as their raw JSON texts.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace install_test {

class JsonCheck {
public:
	explicit JsonCheck(const std::string& text) : fText(text) {}

	// The members of the object the text is; nothing when it is not valid JSON.
	std::optional<std::map<std::string, std::string>> Members()
	{
		std::map<std::string, std::string> members;
		fAt = 0;
		Space();
		if (!Object(&members))
			return std::nullopt;
		Space();
		if (fAt != fText.size())
			return std::nullopt;
		return members;
	}

private:
	void Space()
	{
		while (fAt < fText.size() && (fText[fAt] == ' ' || fText[fAt] == '\n' ||
		                              fText[fAt] == '\r' || fText[fAt] == '\t'))
			fAt++;
	}

	bool Take(const char& expected)
	{
		Space();
		if (fAt >= fText.size() || fText[fAt] != expected)
			return false;
		fAt++;
		return true;
	}

	bool Object(std::map<std::string, std::string>* members)
	{
		if (!Take('{'))
			return false;
		if (Take('}'))
			return true;
		do {
			Space();
			std::string key;
			if (!String(&key) || !Take(':'))
				return false;
			Space();
			const size_t start = fAt;
			if (!Value())
				return false;
			if (members != nullptr)
				(*members)[key] = fText.substr(start, fAt - start);
		} while (Take(','));
		return Take('}');
	}

	bool Value()
	{
		Space();
		if (fAt >= fText.size())
			return false;
		const char first = fText[fAt];
		if (first == '{')
			return Object(nullptr);
		if (first == '[') {
			fAt++;
			if (Take(']'))
				return true;
			do {
				if (!Value())
					return false;
			} while (Take(','));
			return Take(']');
		}
		if (first == '"')
			return String(nullptr);
		for (const char* word : {"true", "false", "null"}) {
			if (fText.compare(fAt, strlen(word), word) == 0) {
				fAt += strlen(word);
				return true;
			}
		}
		const size_t start = fAt;
		if (fText[fAt] == '-')
			fAt++;
		while (fAt < fText.size() && isdigit((unsigned char)fText[fAt]))
			fAt++;
		return fAt > start && isdigit((unsigned char)fText[fAt - 1]);
	}

	// A string: escapes as JSON has them, no raw control character, UTF-8.
	bool String(std::string* value)
	{
		if (fAt >= fText.size() || fText[fAt] != '"')
			return false;
		fAt++;
		while (fAt < fText.size()) {
			const unsigned char byte = (unsigned char)fText[fAt];
			if (byte == '"') {
				fAt++;
				return true;
			}
			if (byte < 0x20)
				return false;
			if (byte == '\\') {
				if (fAt + 1 >= fText.size())
					return false;
				const char escape = fText[fAt + 1];
				if (escape == 'u') {
					if (fAt + 6 > fText.size())
						return false;
					for (size_t i = fAt + 2; i < fAt + 6; i++) {
						if (!isxdigit((unsigned char)fText[i]))
							return false;
					}
					fAt += 6;
					continue;
				}
				if (std::string("\"\\/bfnrt").find(escape) == std::string::npos)
					return false;
				if (value != nullptr)
					*value += escape;
				fAt += 2;
				continue;
			}
			size_t length = byte < 0x80                    ? 1
			                : byte >= 0xC2 && byte <= 0xDF ? 2
			                : byte >= 0xE0 && byte <= 0xEF ? 3
			                : byte >= 0xF0 && byte <= 0xF4 ? 4
			                                               : 0;
			if (length == 0 || fAt + length > fText.size())
				return false;
			for (size_t i = 1; i < length; i++) {
				if (((unsigned char)fText[fAt + i] & 0xC0) != 0x80)
					return false;
			}
			if (value != nullptr)
				value->append(fText, fAt, length);
			fAt += length;
		}
		return false;
	}

	const std::string& fText;
	size_t fAt = 0;
};

} // namespace install_test
