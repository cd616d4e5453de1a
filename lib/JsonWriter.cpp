// Writing JSON text with every byte of its strings made safe.
#include "JsonWriter.h"

#include <cstdio>

namespace {

// The length of the valid UTF-8 sequence at `at`, or 0 when it is not one:
// overlong forms, surrogates and code points past U+10FFFF are refused.
size_t Utf8Length(const std::string& text, const size_t& at)
{
	const unsigned char lead = (unsigned char)text[at];
	size_t length = 0;
	unsigned int point = 0;
	unsigned int least = 0;
	if (lead >= 0xC2 && lead <= 0xDF) {
		length = 2;
		point = lead & 0x1F;
		least = 0x80;
	} else if (lead >= 0xE0 && lead <= 0xEF) {
		length = 3;
		point = lead & 0x0F;
		least = 0x800;
	} else if (lead >= 0xF0 && lead <= 0xF4) {
		length = 4;
		point = lead & 0x07;
		least = 0x10000;
	} else {
		return 0;
	}
	if (at + length > text.size())
		return 0;
	for (size_t i = 1; i < length; i++) {
		const unsigned char next = (unsigned char)text[at + i];
		if ((next & 0xC0) != 0x80)
			return 0;
		point = (point << 6) | (next & 0x3F);
	}
	if (point < least || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
		return 0;
	return length;
}

} // namespace

std::string JsonWriter::Quote(const std::string& bytes)
{
	std::string quoted = "\"";
	quoted.reserve(bytes.size() + 2);
	for (size_t at = 0; at < bytes.size();) {
		const unsigned char byte = (unsigned char)bytes[at];
		if (byte >= 0x80) {
			const size_t length = Utf8Length(bytes, at);
			if (length == 0) {
				quoted += "\\ufffd";
				at++;
			} else {
				quoted.append(bytes, at, length);
				at += length;
			}
			continue;
		}
		at++;
		switch (byte) {
			case '"': quoted += "\\\""; continue;
			case '\\': quoted += "\\\\"; continue;
			case '\n': quoted += "\\n"; continue;
			case '\r': quoted += "\\r"; continue;
			case '\t': quoted += "\\t"; continue;
			case '\b': quoted += "\\b"; continue;
			case '\f': quoted += "\\f"; continue;
			default: break;
		}
		if (byte < 0x20 || byte == 0x7F) {
			char escaped[8];
			snprintf(escaped, sizeof(escaped), "\\u%04x", byte);
			quoted += escaped;
		} else {
			quoted += char(byte);
		}
	}
	quoted += '"';
	return quoted;
}

void JsonWriter::BeforeValue()
{
	if (fAfterKey) {
		fAfterKey = false;
		return;
	}
	if (fFilled.empty())
		return;
	if (fFilled.back())
		fText += ',';
	fFilled.back() = true;
}

JsonWriter& JsonWriter::BeginObject()
{
	BeforeValue();
	fText += '{';
	fFilled.push_back(false);
	return *this;
}

JsonWriter& JsonWriter::EndObject()
{
	fText += '}';
	if (!fFilled.empty())
		fFilled.pop_back();
	return *this;
}

JsonWriter& JsonWriter::BeginArray()
{
	BeforeValue();
	fText += '[';
	fFilled.push_back(false);
	return *this;
}

JsonWriter& JsonWriter::EndArray()
{
	fText += ']';
	if (!fFilled.empty())
		fFilled.pop_back();
	return *this;
}

JsonWriter& JsonWriter::Key(const std::string& name)
{
	BeforeValue();
	fText += Quote(name);
	fText += ':';
	fAfterKey = true;
	return *this;
}

JsonWriter& JsonWriter::String(const std::string& bytes)
{
	BeforeValue();
	fText += Quote(bytes);
	return *this;
}

JsonWriter& JsonWriter::Number(const int64& value)
{
	BeforeValue();
	fText += std::to_string(value);
	return *this;
}

JsonWriter& JsonWriter::Bool(const bool& value)
{
	BeforeValue();
	fText += value ? "true" : "false";
	return *this;
}

JsonWriter& JsonWriter::Null()
{
	BeforeValue();
	fText += "null";
	return *this;
}

JsonWriter& JsonWriter::Field(const std::string& name, const std::string& value)
{
	return Key(name).String(value);
}

JsonWriter& JsonWriter::Field(const std::string& name, const char* value)
{
	if (value == nullptr)
		return Key(name).Null();
	return Key(name).String(value);
}

JsonWriter& JsonWriter::Field(const std::string& name, const int64& value)
{
	return Key(name).Number(value);
}

JsonWriter& JsonWriter::Field(const std::string& name, const int& value)
{
	return Key(name).Number(value);
}

JsonWriter& JsonWriter::Field(const std::string& name, const bool& value)
{
	return Key(name).Bool(value);
}
