// BRect: a rectangle whose four edges all belong to it, as on the platform.
#pragma once

#include <cmath>

#include "Point.h"
#include "SupportDefs.h"

class BRect {
public:
	float left;
	float top;
	float right;
	float bottom;

	// The default rectangle is invalid (right < left), as on the platform.
	BRect() : left(0), top(0), right(-1), bottom(-1) {}
	BRect(float l, float t, float r, float b) : left(l), top(t), right(r), bottom(b) {}
	BRect(BPoint leftTop, BPoint rightBottom)
	    : left(leftTop.x), top(leftTop.y), right(rightBottom.x), bottom(rightBottom.y)
	{
	}

	void Set(float l, float t, float r, float b)
	{
		left = l;
		top = t;
		right = r;
		bottom = b;
	}

	BPoint LeftTop() const { return BPoint(left, top); }
	BPoint RightBottom() const { return BPoint(right, bottom); }
	BPoint LeftBottom() const { return BPoint(left, bottom); }
	BPoint RightTop() const { return BPoint(right, top); }

	float Width() const { return right - left; }
	float Height() const { return bottom - top; }
	int32 IntegerWidth() const { return int32(std::ceil(right - left)); }
	int32 IntegerHeight() const { return int32(std::ceil(bottom - top)); }
	bool IsValid() const { return left <= right && top <= bottom; }

	BRect& InsetBy(float dx, float dy);
	BRect& OffsetBy(float dx, float dy);
	BRect& OffsetTo(float x, float y);
	BRect InsetByCopy(float dx, float dy) const
	{
		BRect r(*this);
		return r.InsetBy(dx, dy);
	}
	BRect OffsetByCopy(float dx, float dy) const
	{
		BRect r(*this);
		return r.OffsetBy(dx, dy);
	}
	BRect OffsetToCopy(float x, float y) const
	{
		BRect r(*this);
		return r.OffsetTo(x, y);
	}

	bool Contains(BPoint p) const;
	bool Contains(BRect r) const;
	bool Intersects(BRect r) const;
	BRect operator&(BRect r) const; // intersection
	BRect operator|(BRect r) const; // union

	bool operator==(const BRect& r) const
	{
		return left == r.left && top == r.top && right == r.right && bottom == r.bottom;
	}
	bool operator!=(const BRect& r) const { return !(*this == r); }

	void PrintToStream() const;
};
