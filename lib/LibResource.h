// Typed resources of a resource file, each checked for its type and size.
#pragma once

#include <cstddef>

#include "GraphicsDefs.h"
#include "LibString.h"
#include "Rect.h"
#include "Resources.h"

// Each answers false, leaving the value as it was, when the resource is
// missing or has another size.
bool LibFindRGBResource(BResources& resources, const int32& id, rgb_color& color);
bool LibFindRectResource(BResources& resources, const int32& id, BRect& rect);
// The buffer is emptied first; false when the text (with its NUL) does not
// fit in `size` bytes, the buffer then staying empty.
bool LibFindStringResource(BResources& resources, const int32& id, char* buffer,
                           const size_t& size);
bool LibFindStringResource(BResources& resources, const int32& id, LibString& text);
bool LibFindShortResource(BResources& resources, const int32& id, int8& value);
bool LibFindLongResource(BResources& resources, const int32& id, int32& value);
bool LibFindBoolResource(BResources& resources, const int32& id, bool& value);
