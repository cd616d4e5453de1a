// BTranslationUtils: reads an image file (PNG, JPEG, GIF or BMP) into a new
// bitmap, as the platform's translators do.
#pragma once

#include "EntryRef.h"
#include "SupportDefs.h"

class BBitmap;
class BTranslatorRoster;

class BTranslationUtils {
public:
	// The image in the file `name` (a path), or null when it cannot be read.
	// The caller owns the bitmap: B_RGBA32 for images with transparency,
	// B_RGB32 otherwise.
	static BBitmap* GetBitmap(const char* name, BTranslatorRoster* roster = nullptr);
	static BBitmap* GetBitmap(const entry_ref* ref, BTranslatorRoster* roster = nullptr);
	static BBitmap* GetBitmapFile(const char* name, BTranslatorRoster* roster = nullptr);

private:
	BTranslationUtils() = delete;
};
