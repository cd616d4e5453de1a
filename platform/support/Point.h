// BPoint: a point in view coordinates.
#pragma once

class BRect;

class BPoint {
public:
	float x;
	float y;

	BPoint() : x(0), y(0) {}
	BPoint(float X, float Y) : x(X), y(Y) {}

	void Set(float X, float Y)
	{
		x = X;
		y = Y;
	}
	// Moves the point inside the rectangle when it lies outside.
	void ConstrainTo(BRect rect);
	void PrintToStream() const;

	BPoint operator+(const BPoint& p) const { return BPoint(x + p.x, y + p.y); }
	BPoint operator-(const BPoint& p) const { return BPoint(x - p.x, y - p.y); }
	BPoint& operator+=(const BPoint& p)
	{
		x += p.x;
		y += p.y;
		return *this;
	}
	BPoint& operator-=(const BPoint& p)
	{
		x -= p.x;
		y -= p.y;
		return *this;
	}
	bool operator==(const BPoint& p) const { return x == p.x && y == p.y; }
	bool operator!=(const BPoint& p) const { return !(*this == p); }
};

extern const BPoint B_ORIGIN;
