// Typed resource getters: a copy of the resource's bytes, checked and released.
#include "LibResource.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "TypeConstants.h"

namespace {

// The resource's bytes; false when it is missing, or not `size` bytes long
// when a size is asked for.
bool Fetch(BResources& resources, type_code type, int32 id, std::string& bytes,
           size_t size = (size_t)-1)
{
	size_t length = 0;
	void* data = resources.FindResource(type, id, &length);
	if (data == nullptr)
		return false;
	bytes.assign((const char*)data, length);
	free(data);
	return size == (size_t)-1 || length == size;
}

} // namespace

bool LibFindRGBResource(BResources& resources, const int32& id, rgb_color& color)
{
	std::string bytes;
	if (!Fetch(resources, B_RGB_COLOR_TYPE, id, bytes, 4))
		return false;
	color.red = (uint8)bytes[0];
	color.green = (uint8)bytes[1];
	color.blue = (uint8)bytes[2];
	color.alpha = (uint8)bytes[3];
	return true;
}

bool LibFindRectResource(BResources& resources, const int32& id, BRect& rect)
{
	std::string bytes;
	if (!Fetch(resources, B_RECT_TYPE, id, bytes, 16))
		return false;
	float sides[4];
	memcpy(sides, bytes.data(), sizeof(sides));
	rect.Set(sides[0], sides[1], sides[2], sides[3]);
	return true;
}

bool LibFindStringResource(BResources& resources, const int32& id, char* buffer, const size_t& size)
{
	if (buffer == nullptr || size == 0)
		return false;
	buffer[0] = '\0';
	std::string bytes;
	if (!Fetch(resources, B_STRING_TYPE, id, bytes))
		return false;
	// A stored terminating NUL is not part of the text.
	size_t length = strnlen(bytes.data(), bytes.size());
	if (length >= size)
		return false;
	memcpy(buffer, bytes.data(), length);
	buffer[length] = '\0';
	return true;
}

bool LibFindStringResource(BResources& resources, const int32& id, LibString& text)
{
	std::string bytes;
	if (!Fetch(resources, B_STRING_TYPE, id, bytes))
		return false;
	bytes.resize(strnlen(bytes.data(), bytes.size()));
	text = bytes.c_str();
	return true;
}

bool LibFindShortResource(BResources& resources, const int32& id, int8& value)
{
	std::string bytes;
	if (!Fetch(resources, 'BYTE', id, bytes, 1))
		return false;
	value = (int8)bytes[0];
	return true;
}

bool LibFindLongResource(BResources& resources, const int32& id, int32& value)
{
	std::string bytes;
	if (!Fetch(resources, B_INT32_TYPE, id, bytes, 4))
		return false;
	memcpy(&value, bytes.data(), 4);
	return true;
}

bool LibFindBoolResource(BResources& resources, const int32& id, bool& value)
{
	std::string bytes;
	if (!Fetch(resources, B_BOOL_TYPE, id, bytes, 1))
		return false;
	value = bytes[0] != 0;
	return true;
}
