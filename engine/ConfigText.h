// Reading a string field of the configuration record, absent as no text.
#pragma once

#include "Message.h"

inline const char* ConfigText(const BMessage& message, const char* name)
{
	const char* text = message.FindString(name);
	return text != nullptr ? text : "";
}
