// Rectangles, bitmap pictures and the mouse button test.
#include "LibInterface.h"

#include <cstring>

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

// Raw bits have rows of exactly the width, where the bitmap's rows are padded.
BPicture* LibBitmapToPicture(const BRect& rect, const void* bits, const color_space& space)
{
	if (bits == nullptr || !rect.IsValid())
		return nullptr;
	BBitmap bitmap(rect, space);
	if (!bitmap.IsValid())
		return nullptr;
	int32 width = rect.IntegerWidth() + 1;
	int32 height = rect.IntegerHeight() + 1;
	int32 rowLength =
	        space == B_GRAY1 ? (width + 7) / 8 : width * (BBitmap::BytesPerRowFor(space, 4) / 4);
	const uint8* source = static_cast<const uint8*>(bits);
	uint8* target = static_cast<uint8*>(bitmap.Bits());
	for (int32 y = 0; y < height; y++)
		memcpy(target + y * bitmap.BytesPerRow(), source + y * rowLength, size_t(rowLength));
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
