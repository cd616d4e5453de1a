// LibTipWin: the small borderless floating window that shows a tool-tip.
#pragma once

#include "LibWindow.h"

class LibTipString;

class LibTipWin : public LibWindow {
public:
	LibTipWin();
	~LibTipWin() override;

	// With `width` below 1 the tip is one line as wide as its text; otherwise
	// it wraps at `width` pixels.
	void SetText(const char* text, const int32& width);
	const char* Text() const;
	// Moves the window's top-left corner to `where`.
	void PopTo(const BPoint& where, const int32& value);
	int32 Position() const { return fPosition; }
	LibTipString* TipString() const { return fText; }

	void Hide() override;
	void WindowActivated(bool active) override;

private:
	LibTipString* fText;
	int32 fPosition;
};
