// Byte counts as short texts and back.
#include "LibBytes.h"

#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

namespace {

const uint64 kKilo = 1024;
const uint64 kMega = 1048576;

} // namespace

LibString& LibBytesToString(const uint64& bytes, LibString& text, const int32& decimals)
{
	double value = double(bytes);
	const char* unit = "bytes";
	if (bytes > kMega) {
		value /= double(kMega);
		unit = "MB";
	} else if (bytes > kKilo) {
		value /= double(kKilo);
		unit = "KB";
	}
	int precision = decimals < 0 ? 0 : (decimals > 20 ? 20 : int(decimals));
	text.Formatted("%.*f %s", precision, value, unit);
	return text;
}

LibString& LibBytesToString(const uint32& bytes, LibString& text, const int32& decimals)
{
	return LibBytesToString(uint64(bytes), text, decimals);
}

LibString& LibBytesToString(const int32& bytes, LibString& text, const int32& decimals)
{
	return LibBytesToString(uint64(bytes < 0 ? 0 : bytes), text, decimals);
}

LibString& LibBytesToString(const int64& bytes, LibString& text, const int32& decimals)
{
	return LibBytesToString(uint64(bytes < 0 ? 0 : bytes), text, decimals);
}

uint32 LibStringToBytes(const char* text)
{
	if (text == nullptr)
		return 0;
	const char* space = strchr(text, ' ');
	std::string numberPart = space != nullptr ? std::string(text, space - text) : text;
	std::string unit = space != nullptr ? std::string(space + 1) : text;
	LibString number(numberPart.c_str());
	float checked = 0;
	if (!number.GetFloat32(checked)) {
		fprintf(stderr, "LibConvertBytes <%s> not a float\n", numberPart.c_str());
		return 0;
	}
	double value = 0;
	number.GetFloat64(value);
	double factor = 0;
	if (unit == "KB")
		factor = double(kKilo);
	else if (unit == "MB")
		factor = double(kMega);
	double bytes = value * factor;
	if (!(bytes > 0))
		return 0;
	if (bytes >= double(std::numeric_limits<uint32>::max()))
		return std::numeric_limits<uint32>::max();
	return uint32(bytes);
}
