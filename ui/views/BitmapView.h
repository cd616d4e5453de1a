// BitmapView: the 32 by 32 icon of an entry, drawn over the background.
#pragma once

#include "View.h"

class LibBitmap;

class BitmapView : public BView {
public:
	BitmapView(BPoint where, const char* name, const char* path);
	~BitmapView() override;

	void Draw(BRect update) override;

	// The icon shown; null when the entry gave none.
	const LibBitmap* Icon() const { return icon; }

private:
	LibBitmap* icon;
};
