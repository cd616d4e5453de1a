// BList keeps order and rejects indexes outside it.
#include <gtest/gtest.h>

#include "List.h"

namespace {
int a = 1, b = 2, c = 3, d = 4;
}

TEST(ListTest, InsertRemoveAndMoveKeepOrder)
{
	BList list;
	EXPECT_TRUE(list.AddItem(&a));
	EXPECT_TRUE(list.AddItem(&c));
	EXPECT_TRUE(list.AddItem(&b, 1));
	EXPECT_FALSE(list.AddItem(&d, 5));
	ASSERT_EQ(list.CountItems(), 3);
	EXPECT_EQ(list.ItemAt(1), &b);
	EXPECT_EQ(list.ItemAt(3), nullptr);
	EXPECT_EQ(list.ItemAt(-1), nullptr);

	EXPECT_TRUE(list.MoveItem(0, 2));
	EXPECT_EQ(list.FirstItem(), &b);
	EXPECT_EQ(list.LastItem(), &a);
	EXPECT_TRUE(list.SwapItems(0, 2));
	EXPECT_EQ(list.IndexOf(&b), 2);

	EXPECT_EQ(list.RemoveItem(int32(0)), &a);
	EXPECT_FALSE(list.RemoveItem(&d));
	EXPECT_EQ(list.RemoveItem(int32(7)), nullptr);
	EXPECT_TRUE(list.RemoveItems(0, 10));
	EXPECT_TRUE(list.IsEmpty());
}

TEST(ListTest, SortHandsTheComparatorItemSlots)
{
	BList list;
	list.AddItem(&d);
	list.AddItem(&b);
	list.AddItem(&c);
	list.AddItem(&a);
	list.SortItems([](const void* x, const void* y) {
		int left = **static_cast<int* const*>(x);
		int right = **static_cast<int* const*>(y);
		return left - right;
	});
	for (int32 i = 0; i < 4; i++)
		EXPECT_EQ(*static_cast<int*>(list.ItemAt(i)), i + 1);
}

TEST(ListTest, DoForEachStopsWhenAsked)
{
	BList list;
	list.AddItem(&a);
	list.AddItem(&b);
	list.AddItem(&c);
	int seen = 0;
	list.DoForEach(
	        [](void* item, void* arg) {
		        int* count = static_cast<int*>(arg);
		        (*count)++;
		        return *static_cast<int*>(item) == 2;
	        },
	        &seen);
	EXPECT_EQ(seen, 2);
}
