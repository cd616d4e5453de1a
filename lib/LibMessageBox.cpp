// One-button message boxes through BAlert.
#include "LibMessageBox.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "Alert.h"

namespace {

// The whole formatted text, however long.
std::string FormatText(const char* format, va_list args)
{
	if (format == nullptr)
		return "";
	va_list measure;
	va_copy(measure, args);
	int length = vsnprintf(nullptr, 0, format, measure);
	va_end(measure);
	if (length <= 0)
		return "";
	std::vector<char> text(size_t(length) + 1, '\0');
	vsnprintf(text.data(), text.size(), format, args);
	return std::string(text.data(), size_t(length));
}

BAlert* MakeBox(const std::string& text, alert_type type)
{
	BAlert* alert = new BAlert("", text.c_str(), "OK", nullptr, nullptr, B_WIDTH_AS_USUAL, type);
	alert->SetShortcut(0, 'O');
	return alert;
}

} // namespace

#define LIB_FORMAT_TEXT(text)                                                                      \
	va_list args;                                                                                  \
	va_start(args, format);                                                                        \
	std::string text = FormatText(format, args);                                                   \
	va_end(args)

int32 LibError(const char* format, ...)
{
	LIB_FORMAT_TEXT(text);
	return MakeBox(text, B_STOP_ALERT)->Go();
}

int32 LibWarning(const char* format, ...)
{
	LIB_FORMAT_TEXT(text);
	return MakeBox(text, B_WARNING_ALERT)->Go();
}

int32 LibInfo(const char* format, ...)
{
	LIB_FORMAT_TEXT(text);
	return MakeBox(text, B_INFO_ALERT)->Go();
}

int32 LibInfoNoWait(const char* format, ...)
{
	LIB_FORMAT_TEXT(text);
	MakeBox(text, B_INFO_ALERT)->Go(nullptr);
	return 0;
}
