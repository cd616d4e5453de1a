// Small interface helpers: rectangles by size, pictures of bitmaps, and the
// secondary mouse button.
#pragma once

#include "GraphicsDefs.h"
#include "Rect.h"

class BBitmap;
class BPicture;
class BView;

// The rectangle left, top, left + width, top + height.
BRect LibRect(const float& left, const float& top, const float& width, const float& height);
// A new picture that draws the bitmap at the origin (transparent pixels stay
// transparent); null without a valid bitmap.
BPicture* LibBitmapToPicture(const BBitmap* bitmap);
// The same from raw bits of the rectangle's size in the colour space, rows
// not padded.
BPicture* LibBitmapToPicture(const BRect& rect, const void* bits, const color_space& space);
// True when the buttons held over the view are exactly the secondary one.
bool LibIsMouseButton3(BView* view);
