// Rectangles, bitmap pictures and the mouse button test.
#include "LibInterface.h"

#include "Bitmap.h"
#include "InterfaceDefs.h"
#include "Picture.h"
#include "View.h"

BRect LibRect(const float& left, const float& top, const float& width, const float& height)
{
	return BRect(left, top, left + width, top + height);
}

BPicture* LibBitmapToPicture(const BBitmap* bitmap)
{
	if (bitmap == nullptr || !bitmap->IsValid())
		return nullptr;
	BView view(bitmap->Bounds(), "picture", B_FOLLOW_NONE, 0);
	BPicture* picture = new BPicture;
	view.BeginPicture(picture);
	view.SetDrawingMode(B_OP_OVER);
	view.DrawBitmap(bitmap, BPoint(0, 0));
	return view.EndPicture();
}

BPicture* LibBitmapToPicture(const BRect& rect, const void* bits, const color_space& space)
{
	if (bits == nullptr || !rect.IsValid())
		return nullptr;
	BBitmap bitmap(rect, space);
	if (!bitmap.IsValid())
		return nullptr;
	bitmap.SetBits(bits, bitmap.BitsLength(), 0, space);
	return LibBitmapToPicture(&bitmap);
}

bool LibIsMouseButton3(BView* view)
{
	if (view == nullptr)
		return false;
	BPoint where;
	uint32 buttons = 0;
	view->GetMouse(&where, &buttons, false);
	return buttons == B_SECONDARY_MOUSE_BUTTON;
}
