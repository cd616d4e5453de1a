// BMenuBar: a menu laid out in a row.
#include "MenuBar.h"

BMenuBar::BMenuBar(BRect frame, const char* name, uint32 resizingMode, menu_layout layout,
                   bool resizeToFit)
    : BMenu(name, layout)
{
	MoveTo(frame.LeftTop());
	ResizeTo(frame.Width(), frame.Height());
	SetResizingMode(resizingMode);
}

BMenuBar::~BMenuBar() {}
