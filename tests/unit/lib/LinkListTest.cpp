// Tests of LinkList: ownership, the cursor and the searches.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LibString.h"
#include "LinkList.h"

namespace {

// Counts live instances so tests can see that the list deletes its items.
struct Tracked {
	static int sLive;
	int value;
	explicit Tracked(int v) : value(v) { sLive++; }
	Tracked(const Tracked& other) : value(other.value) { sLive++; }
	virtual ~Tracked() { sLive--; }
	bool operator==(const Tracked& other) const { return value == other.value; }
	bool operator>(const Tracked& other) const { return value > other.value; }
};

int Tracked::sLive = 0;

LinkList<Tracked>* MakeList(const std::vector<int>& values)
{
	auto* list = new LinkList<Tracked>;
	for (int value : values)
		list->Insert(new Tracked(value));
	return list;
}

std::vector<int> Walk(LinkList<Tracked>& list)
{
	std::vector<int> values;
	for (Tracked* item = list.First(); item != nullptr; item = list.Next())
		values.push_back(item->value);
	return values;
}

} // namespace

TEST(LinkListTest, WalksInInsertionOrderAndDeletesItems)
{
	Tracked::sLive = 0;
	LinkList<Tracked>* list = MakeList({3, 1, 2});
	EXPECT_EQ(list->Size(), 3);
	EXPECT_EQ(Walk(*list), (std::vector<int>{3, 1, 2}));
	EXPECT_EQ(list->Next(), nullptr);
	// A null item would break every later comparison: it is refused.
	EXPECT_FALSE(list->Insert(static_cast<Tracked*>(nullptr)));
	EXPECT_EQ(list->Size(), 3);
	EXPECT_EQ(Tracked::sLive, 3);
	delete list;
	EXPECT_EQ(Tracked::sLive, 0);
}

TEST(LinkListTest, RemoveMovesCursorBackOrToNewFirst)
{
	Tracked::sLive = 0;
	LinkList<Tracked> list;
	for (int value : {1, 2, 3, 4})
		list.Insert(new Tracked(value));

	list.First();
	EXPECT_TRUE(list.Remove());
	EXPECT_EQ(list.CurrentIndex(), 0);
	EXPECT_EQ(list.Current()->value, 2);
	EXPECT_EQ(list.Next()->value, 3);

	EXPECT_TRUE(list.Remove());
	EXPECT_EQ(list.Current()->value, 2);
	EXPECT_EQ(list.Next()->value, 4);
	EXPECT_EQ(Walk(list), (std::vector<int>{2, 4}));
	EXPECT_EQ(Tracked::sLive, 2);

	list.Clear();
	EXPECT_EQ(list.Size(), 0);
	EXPECT_EQ(Tracked::sLive, 0);
	EXPECT_FALSE(list.Remove());
	EXPECT_EQ(list.First(), nullptr);
}

TEST(LinkListTest, PositionWalksFromNearestStart)
{
	LinkList<Tracked>* list = MakeList({0, 1, 2, 3, 4, 5, 6, 7});
	// Out-of-order visits reach every item whichever end or cursor they
	// start from.
	for (int index : {5, 6, 2, 7, 0, 3, 3, 1, 4}) {
		Tracked* item = list->Get(index);
		ASSERT_NE(item, nullptr) << index;
		EXPECT_EQ(item->value, index);
		EXPECT_EQ(list->CurrentIndex(), index);
	}
	EXPECT_EQ(list->Position(int32(8)), nullptr);
	EXPECT_EQ(list->Position(int32(-1)), nullptr);
	delete list;

	LinkList<Tracked> empty;
	EXPECT_EQ(empty.Get(0), nullptr);
}

TEST(LinkListTest, SearchesByEquality)
{
	LinkList<Tracked>* list = MakeList({5, 7, 5, 9});
	Tracked five(5);
	Tracked absent(1);
	EXPECT_EQ(list->Position(&five), 0);
	EXPECT_EQ(list->Position(&absent), -1);

	Tracked* found = list->Get(&five);
	ASSERT_NE(found, nullptr);
	EXPECT_NE(found, &five);
	EXPECT_EQ(list->CurrentIndex(), 0);
	Tracked* next = list->FindNext(&five);
	EXPECT_EQ(list->CurrentIndex(), 2);
	EXPECT_EQ(next, list->Get(2));
	EXPECT_EQ(list->FindNext(&five), nullptr);
	EXPECT_EQ(list->CurrentIndex(), -1);

	EXPECT_TRUE(list->InList(&five));
	EXPECT_FALSE(list->InList(&absent));
	EXPECT_EQ(list->CurrentIndex(), -1);
	delete list;
}

TEST(LinkListTest, RemoveByValue)
{
	struct {
		std::vector<int> values;
		int target;
		bool all;
		bool result;
		std::vector<int> left;
	} cases[] = {
	        {{5, 7, 5, 9}, 5, false, true, {7, 5, 9}},
	        {{5, 7, 5, 9}, 5, true, true, {7, 9}},
	        {{5, 5, 5}, 5, true, true, {}},
	        {{7, 9}, 5, false, false, {7, 9}},
	        {{7, 9}, 5, true, false, {7, 9}},
	};
	for (const auto& c : cases) {
		Tracked::sLive = 0;
		LinkList<Tracked>* list = MakeList(c.values);
		Tracked target(c.target);
		EXPECT_EQ(list->Remove(&target, c.all), c.result) << c.target << " all " << c.all;
		EXPECT_EQ(Walk(*list), c.left) << c.target << " all " << c.all;
		EXPECT_EQ(target.value, c.target);
		delete list;
		EXPECT_EQ(Tracked::sLive, 1);
	}
}

TEST(LinkListTest, RemoveAllWithAnItemOfTheListAsArgument)
{
	Tracked::sLive = 0;
	LinkList<Tracked>* list = MakeList({5, 7, 5, 5});
	EXPECT_TRUE(list->Remove(list->Get(0), true));
	EXPECT_EQ(Walk(*list), (std::vector<int>{7}));
	EXPECT_EQ(Tracked::sLive, 1);
	delete list;
}

TEST(LinkListTest, CopiesAreDeepAndLeaveSourceCursor)
{
	Tracked::sLive = 0;
	LinkList<Tracked>* source = MakeList({1, 2});
	source->Get(1);
	LinkList<Tracked> copy;
	copy.Insert(new Tracked(0));
	EXPECT_EQ(copy.Copy(*source), 2);
	EXPECT_EQ(source->CurrentIndex(), 1);
	EXPECT_NE(copy.Get(0), source->Get(0));
	copy.Insert(*source);
	EXPECT_EQ(Walk(copy), (std::vector<int>{1, 2, 1, 2}));
	copy.Insert(copy);
	EXPECT_EQ(copy.Size(), 8);
	copy = copy;
	EXPECT_EQ(copy.Size(), 8);
	LinkList<Tracked> constructed(*source);
	EXPECT_EQ(Walk(constructed), (std::vector<int>{1, 2}));
	delete source;
	EXPECT_EQ(Tracked::sLive, 10);
}

TEST(LinkListTest, SortCompareOrdersLibStringsExactly)
{
	LinkList<LibString> list;
	LibString a("apple");
	LibString b("Banana");
	EXPECT_TRUE(list.SortCompare(&a, &b));
	EXPECT_FALSE(list.SortCompare(&b, &a));
	EXPECT_FALSE(list.SortCompare(&a, &a));
}
