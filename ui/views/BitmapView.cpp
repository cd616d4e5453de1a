// BitmapView: the file manager's large icon of an entry.
#include "BitmapView.h"

#include "LibBitmap.h"

BitmapView::BitmapView(BPoint where, const char* name, const char* path)
    : BView(BRect(where.x, where.y, where.x + 31, where.y + 31), name, B_FOLLOW_LEFT | B_FOLLOW_TOP,
            B_WILL_DRAW),
      icon(new LibBitmap(B_LARGE_ICON))
{
	if (path == nullptr || icon->SetTo(nullptr, path, B_LARGE_ICON) != B_OK) {
		delete icon;
		icon = nullptr;
	}
}

BitmapView::~BitmapView()
{
	delete icon;
}

void BitmapView::Draw(BRect update)
{
	if (icon == nullptr)
		return;
	// Transparent pixels let the dialog's colour through.
	SetDrawingMode(B_OP_OVER);
	DrawBitmap(icon, BPoint(0, 0));
	SetDrawingMode(B_OP_COPY);
}
