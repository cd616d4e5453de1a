// JsonWriter: builds one JSON text from bytes that may be anything. Control
// characters are escaped; a byte that is not part of valid UTF-8 (a file
// name in another encoding, a cut sequence) becomes U+FFFD, so that every
// document parses whatever the paths it names hold.
#pragma once

#include <string>
#include <vector>

#include "SupportDefs.h"

class JsonWriter {
public:
	JsonWriter& BeginObject();
	JsonWriter& EndObject();
	JsonWriter& BeginArray();
	JsonWriter& EndArray();
	// The name of the object's next member.
	JsonWriter& Key(const std::string& name);
	JsonWriter& String(const std::string& bytes);
	JsonWriter& Number(const int64& value);
	JsonWriter& Bool(const bool& value);
	JsonWriter& Null();

	// Key(name) followed by its value.
	JsonWriter& Field(const std::string& name, const std::string& value);
	JsonWriter& Field(const std::string& name, const char* value);
	JsonWriter& Field(const std::string& name, const int64& value);
	JsonWriter& Field(const std::string& name, const int& value);
	JsonWriter& Field(const std::string& name, const bool& value);

	const std::string& Text() const { return fText; }

	// `bytes` as a JSON string, quotes included.
	static std::string Quote(const std::string& bytes);

private:
	// Writes the comma a value after the first one of its container needs.
	void BeforeValue();

	std::string fText;
	// Per open container: whether it has a value yet.
	std::vector<bool> fFilled;
	bool fAfterKey = false;
};
