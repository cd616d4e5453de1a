// BRect and BPoint: edges belong to the rectangle.
#include <gtest/gtest.h>

#include "Rect.h"

TEST(RectTest, SizesCountBothEdgesAsThePlatformDoes)
{
	BRect frame(10, 16, 160, 216);
	EXPECT_EQ(frame.Width(), 150);
	EXPECT_EQ(frame.Height(), 200);
	EXPECT_EQ(frame.IntegerWidth() + 1, 151); // pixels covered
	EXPECT_FALSE(BRect().IsValid());
}

TEST(RectTest, ContainmentAndIntersectionIncludeEdges)
{
	BRect r(0, 0, 10, 10);
	struct {
		BPoint p;
		bool inside;
	} points[] = {{{0, 0}, true}, {{10, 10}, true}, {{10.5f, 5}, false}, {{-1, 0}, false}};
	for (const auto& c : points)
		EXPECT_EQ(r.Contains(c.p), c.inside) << c.p.x << "," << c.p.y;

	EXPECT_TRUE(r.Intersects(BRect(10, 10, 20, 20)));
	EXPECT_FALSE(r.Intersects(BRect(11, 0, 20, 10)));
	EXPECT_FALSE(r.Intersects(BRect()));
	EXPECT_EQ(r & BRect(5, 5, 20, 20), BRect(5, 5, 10, 10));
	EXPECT_EQ(r | BRect(5, 5, 20, 20), BRect(0, 0, 20, 20));
}

TEST(RectTest, OffsetToKeepsSize)
{
	BRect r(5, 6, 15, 26);
	r.OffsetTo(100, 200);
	EXPECT_EQ(r, BRect(100, 200, 110, 220));
	EXPECT_EQ(r.InsetByCopy(2, 3), BRect(102, 203, 108, 217));

	BPoint p(50, -5);
	p.ConstrainTo(BRect(0, 0, 20, 20));
	EXPECT_EQ(p, BPoint(20, 0));
}
