// Readable dump of a message, one line per item, nested messages indented.
#include "MessagePrinter.h"

#include <cinttypes>
#include <cstring>

#include "ByteOrder.h"
#include "Message.h"
#include "TypeConstants.h"

namespace {

constexpr size_t kMaxDumpBytes = 32;

void print_indent(FILE* out, int indent)
{
	for (int i = 0; i < indent; i++)
		std::fputs("    ", out);
}

void print_code(FILE* out, uint32 code)
{
	char text[11];
	type_code_to_string(code, text);
	if (std::strlen(text) == 4)
		std::fprintf(out, "'%s'", text);
	else
		std::fputs(text, out);
}

// Quotes text, showing bytes that are not printable as \xNN.
void print_quoted(FILE* out, const char* text, size_t length)
{
	std::fputc('"', out);
	for (size_t i = 0; i < length; i++) {
		unsigned char c = (unsigned char)text[i];
		if (c == '"' || c == '\\')
			std::fprintf(out, "\\%c", c);
		else if (c < 0x20 || c == 0x7f)
			std::fprintf(out, "\\x%02x", c);
		else
			std::fputc(c, out);
	}
	std::fputc('"', out);
}

void print_hex(FILE* out, const uint8* bytes, size_t size)
{
	std::fprintf(out, "%zu bytes:", size);
	for (size_t i = 0; i < size && i < kMaxDumpBytes; i++)
		std::fprintf(out, " %02x", bytes[i]);
	if (size > kMaxDumpBytes)
		std::fputs(" ...", out);
}

void print_floats(FILE* out, const char* format, const uint8* bytes, size_t count)
{
	float values[4] = {};
	std::memcpy(values, bytes, count * 4);
	std::fprintf(out, format, values[0], values[1], values[2], values[3]);
}

void print_ref(FILE* out, const uint8* bytes, size_t size)
{
	if (size < 12) {
		print_hex(out, bytes, size);
		return;
	}
	std::fprintf(out, "entry_ref(device:%" PRId32 ", directory:%" PRId64 ", name:",
	             int32(read_u32(bytes, false)), int64(read_u64(bytes + 4, false)));
	const char* name = reinterpret_cast<const char*>(bytes + 12);
	print_quoted(out, name, strnlen(name, size - 12));
	std::fputc(')', out);
}

// Prints one item when its size fits its type; returns false otherwise.
bool print_typed(FILE* out, type_code type, const uint8* bytes, size_t size)
{
	switch (type) {
		case B_STRING_TYPE:
		case B_MIME_STRING_TYPE:
		case B_ASCII_TYPE: {
			const char* text = reinterpret_cast<const char*>(bytes);
			print_quoted(out, text, strnlen(text, size));
			return true;
		}
		case B_INT8_TYPE:
			if (size != 1)
				return false;
			std::fprintf(out, "int8 %d", int(int8(bytes[0])));
			return true;
		case B_BOOL_TYPE:
			if (size != 1)
				return false;
			std::fputs(bytes[0] ? "true" : "false", out);
			return true;
		case B_INT16_TYPE:
			if (size != 2)
				return false;
			std::fprintf(out, "int16 %d", int(int16(read_u16(bytes, false))));
			return true;
		case B_INT32_TYPE:
			if (size != 4)
				return false;
			std::fprintf(out, "int32 %" PRId32 " (0x%08" PRIx32 ")", int32(read_u32(bytes, false)),
			             read_u32(bytes, false));
			return true;
		case B_INT64_TYPE:
			if (size != 8)
				return false;
			std::fprintf(out, "int64 %" PRId64, int64(read_u64(bytes, false)));
			return true;
		case B_FLOAT_TYPE:
			if (size != 4)
				return false;
			print_floats(out, "float %g", bytes, 1);
			return true;
		case B_DOUBLE_TYPE: {
			if (size != 8)
				return false;
			double value;
			std::memcpy(&value, bytes, 8);
			std::fprintf(out, "double %g", value);
			return true;
		}
		case B_POINT_TYPE:
			if (size != 8)
				return false;
			print_floats(out, "BPoint(x:%g, y:%g)", bytes, 2);
			return true;
		case B_RECT_TYPE:
			if (size != 16)
				return false;
			print_floats(out, "BRect(l:%g, t:%g, r:%g, b:%g)", bytes, 4);
			return true;
		case B_REF_TYPE: print_ref(out, bytes, size); return true;
		default: return false;
	}
}

void print_body(const BMessage& msg, FILE* out, int indent);

void print_item(const BMessage& msg, FILE* out, int indent, const char* name, type_code type,
                int32 index)
{
	if (type == B_MESSAGE_TYPE) {
		BMessage nested;
		if (msg.FindMessage(name, index, &nested) == B_OK) {
			print_body(nested, out, indent);
			return;
		}
	}
	const void* data;
	ssize_t size;
	if (msg.FindData(name, type, index, &data, &size) != B_OK) {
		std::fputs("(unreadable)\n", out);
		return;
	}
	auto* bytes = static_cast<const uint8*>(data);
	if (!print_typed(out, type, bytes, size_t(size))) {
		print_code(out, type);
		std::fputc(' ', out);
		print_hex(out, bytes, size_t(size));
	}
	std::fputc('\n', out);
}

// Prints the header line where the cursor stands, and the fields below it.
void print_body(const BMessage& msg, FILE* out, int indent)
{
	std::fputs("BMessage: what = ", out);
	print_code(out, msg.what);
	std::fprintf(out, " (0x%08" PRIx32 ")\n", msg.what);
	char* name;
	type_code type;
	int32 count;
	for (int32 i = 0; msg.GetInfo(B_ANY_TYPE, i, &name, &type, &count) == B_OK; i++) {
		for (int32 index = 0; index < count; index++) {
			print_indent(out, indent + 1);
			print_quoted(out, name, std::strlen(name));
			if (count > 1)
				std::fprintf(out, "[%" PRId32 "]", index);
			std::fputs(" = ", out);
			print_item(msg, out, indent + 1, name, type, index);
		}
	}
}

} // namespace

void print_message(const BMessage& msg, FILE* out, int indent)
{
	print_indent(out, indent);
	print_body(msg, out, indent);
}
