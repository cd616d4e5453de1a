// JsonLine: one line of the JSON the programs print read back: a flat object
// whose members are strings, numbers, booleans, null or arrays of strings.
// Anything else, or a line that is not such an object, fails to read.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "SupportDefs.h"

class JsonLine {
public:
	// Reads `text`; false when it is not a flat object as above.
	bool SetTo(const std::string& text);

	bool Has(const std::string& name) const { return fMembers.count(name) > 0; }
	// A string member's text; "" when absent or not a string.
	std::string String(const std::string& name) const;
	// A number or boolean member as an integer; `fallback` otherwise.
	int64 Number(const std::string& name, const int64& fallback = 0) const;
	// An array member's strings; empty when absent.
	std::vector<std::string> Strings(const std::string& name) const;

private:
	struct Value {
		bool isString = false;
		std::string text;
		std::vector<std::string> items;
	};

	bool ReadValue(Value& value);
	bool ReadString(std::string& text);
	bool ReadEscape(std::string& text);
	bool ReadWord(std::string& word);
	void SkipSpace();

	std::string fText;
	size_t fAt = 0;
	std::map<std::string, Value> fMembers;
};
