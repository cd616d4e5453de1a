// StringTable: one language's table of user-interface strings, read from the
// text form kept in data/strings (see data/README.md) into id -> text.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "SupportDefs.h"

class StringTable {
public:
	StringTable();
	StringTable(const char* path, const int32& firstId, const int32& lastId);

	// Reads a table file; every id must lie in firstId..lastId.
	status_t SetTo(const char* path, const int32& firstId, const int32& lastId);
	// Reads a table from memory; sourceName stands for the file in errors.
	status_t SetTo(const char* text, const size_t& length, const char* sourceName,
	               const int32& firstId, const int32& lastId);
	status_t InitCheck() const { return fStatus; }
	// Why the last SetTo failed, as "<file>:<line>: <reason>"; empty after success.
	const char* ErrorText() const { return fError.c_str(); }

	int32 CountStrings() const { return (int32)fStrings.size(); }
	bool HasString(const int32& id) const;
	// The text of an id, or nullptr when the table has none.
	const char* StringFor(const int32& id) const;
	const std::map<int32, std::string>& Strings() const { return fStrings; }

	// The printf conversions of a text in order ("%s", "%ld", ...); "%%" is
	// not one. A malformed conversion is returned as far as it goes.
	static std::vector<std::string> FormatConversions(const char* text);

private:
	status_t ParseLine(const std::string& line, const int32& lineNumber);
	status_t ParseId(const std::string& field, int32& id) const;
	status_t Unescape(const std::string& raw, std::string& text, std::string& reason) const;
	status_t Fail(const int32& lineNumber, const std::string& reason);

	std::map<int32, std::string> fStrings;
	std::map<int32, int32> fLineOf;
	std::string fSource;
	std::string fError;
	int32 fFirstId;
	int32 fLastId;
	status_t fStatus;
};
