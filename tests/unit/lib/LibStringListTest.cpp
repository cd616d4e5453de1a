// Tests of LibStringList: text lookups and the exchange with message fields.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LibStringList.h"
#include "Message.h"

namespace {

std::vector<std::string> Items(LibStringList& list)
{
	std::vector<std::string> items;
	for (LibString* item = list.First(); item != nullptr; item = list.Next())
		items.push_back(item->String());
	return items;
}

LibStringList MakeList(const std::vector<const char*>& texts)
{
	LibStringList list;
	for (const char* text : texts)
		list.Add(text);
	return list;
}

} // namespace

TEST(LibStringListTest, LookupsCompareAsAsked)
{
	LibStringList list = MakeList({"Normal", "Full Install", "normal"});
	EXPECT_TRUE(list.InList("normal"));
	EXPECT_FALSE(list.InList("NORMAL"));

	struct {
		const char* text;
		bool ignoreCase;
		int32 length;
		const char* found;
	} cases[] = {
	        {"normal", false, -1, "normal"},    {"NORMAL", true, -1, "Normal"},
	        {"Full", false, 4, "Full Install"}, {"Full", false, -1, nullptr},
	        {"FULL", true, 4, "Full Install"},  {"Nor", false, -1, nullptr},
	};
	for (const auto& c : cases) {
		LibString* item = list.Find(c.text, c.ignoreCase, c.length);
		if (c.found == nullptr) {
			EXPECT_EQ(item, nullptr) << c.text;
			continue;
		}
		ASSERT_NE(item, nullptr) << c.text;
		EXPECT_STREQ(item->String(), c.found) << c.text;
	}
}

TEST(LibStringListTest, RemoveTakesFirstExactMatch)
{
	LibStringList list = MakeList({"a", "b", "a", "A"});
	EXPECT_TRUE(list.Remove("a"));
	EXPECT_EQ(Items(list), (std::vector<std::string>{"b", "a", "A"}));
	EXPECT_TRUE(list.Remove(LibString("a")));
	EXPECT_FALSE(list.Remove("a"));
	EXPECT_EQ(Items(list), (std::vector<std::string>{"b", "A"}));

	LibStringList copy(list);
	list.Clear();
	EXPECT_EQ(Items(copy), (std::vector<std::string>{"b", "A"}));
}

TEST(LibStringListTest, MessageFieldRoundTrip)
{
	LibStringList list = MakeList({"one", "", "three"});
	BMessage message;
	ASSERT_EQ(list.GetFrom(message, "groups"), B_OK);
	type_code type = 0;
	int32 count = 0;
	ASSERT_EQ(message.GetInfo("groups", &type, &count), B_OK);
	EXPECT_EQ(type, B_STRING_TYPE);
	EXPECT_EQ(count, 3);

	LibStringList loaded = MakeList({"old"});
	EXPECT_EQ(loaded.Append(message, "groups"), 3);
	EXPECT_EQ(Items(loaded), (std::vector<std::string>{"old", "one", "", "three"}));
	EXPECT_TRUE(loaded.SetTo(message, "groups"));
	EXPECT_EQ(Items(loaded), (std::vector<std::string>{"one", "", "three"}));
}

TEST(LibStringListTest, SetToWithoutStringsLeavesListAlone)
{
	BMessage message;
	message.AddInt32("number", 4);
	struct {
		const char* field;
	} cases[] = {{"missing"}, {"number"}, {nullptr}};
	for (const auto& c : cases) {
		LibStringList list = MakeList({"kept"});
		EXPECT_FALSE(list.SetTo(message, c.field)) << (c.field ? c.field : "null");
		EXPECT_EQ(list.Append(message, c.field), 0);
		EXPECT_EQ(Items(list), (std::vector<std::string>{"kept"}));
	}
}
