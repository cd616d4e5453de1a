// Install types: their numbers, their list and the record's `groups` form.
#include "GroupContextList.h"

#include <gtest/gtest.h>

#include "Message.h"

namespace {

std::vector<std::string> names_of(GroupContextList& list)
{
	std::vector<std::string> names;
	for (GroupContext* group = list.First(); group != nullptr; group = list.Next())
		names.push_back(group->Name().String());
	return names;
}

TEST(GroupContextTest, ReadGivesPositionsAsUidsAndEmptyMissingDescriptions)
{
	BMessage groups;
	groups.AddString("group_name", "Normal");
	groups.AddString("group_name", "Full");
	groups.AddString("group_description", "The usual files");
	GroupContextList list;
	list.Add("Stale");
	list.Read(groups);
	ASSERT_EQ(list.Size(), 2);
	EXPECT_EQ(names_of(list), (std::vector<std::string>{"Normal", "Full"}));
	EXPECT_STREQ(list.FindContext(0)->Description().String(), "The usual files");
	ASSERT_NE(list.FindContext(1), nullptr);
	EXPECT_STREQ(list.FindContext(1)->Name().String(), "Full");
	EXPECT_STREQ(list.FindContext(1)->Description().String(), "");
}

TEST(GroupContextTest, WriteStoresNamesAndDescriptionsButNotUids)
{
	GroupContextList list;
	list.Add("Normal");
	list.Add("Full");
	list.FindContext(1)->SetDescription("Everything");
	BMessage groups;
	list.Write(groups);
	EXPECT_EQ(groups.CountNames(B_ANY_TYPE), 2);
	EXPECT_STREQ(groups.FindString("group_name", 1), "Full");
	EXPECT_STREQ(groups.FindString("group_description", 0), "");
	EXPECT_STREQ(groups.FindString("group_description", 1), "Everything");
	GroupContextList copy;
	copy.Read(groups);
	EXPECT_EQ(names_of(copy), names_of(list));
}

TEST(GroupContextTest, RemovedUidIsReusedAndTheNewGroupAppended)
{
	GroupContextList list;
	list.Add("A");
	list.Add("B");
	EXPECT_EQ(list.NextUid(), 2);
	list.RemoveContext(0);
	EXPECT_EQ(list.NextUid(), 0);
	list.Add("C");
	EXPECT_EQ(names_of(list), (std::vector<std::string>{"B", "C"}));
	EXPECT_EQ(list.FindContext(0)->Name(), "C");
	list.RemoveContext(7);
	EXPECT_EQ(list.Size(), 2);
}

TEST(GroupContextTest, NamesAreUniqueAndComparedExactly)
{
	GroupContextList list;
	list.Add("Normal");
	list.Add("Normal");
	list.Add("normal");
	EXPECT_EQ(list.Size(), 2);
	EXPECT_TRUE(list.HasGroup("normal"));
	EXPECT_FALSE(list.HasGroup("NORMAL"));
	EXPECT_TRUE(GroupContext("B") > GroupContext("A"));
	EXPECT_FALSE(GroupContext("A") > GroupContext("B"));
	EXPECT_TRUE(GroupContext("A") == GroupContext("A"));
	EXPECT_FALSE(GroupContext("A") == GroupContext("a"));
}

TEST(GroupContextTest, AssignmentCopiesNameUidAndDescription)
{
	GroupContext group("Full");
	group.SetUid(4);
	group.SetDescription("All");
	GroupContext copy;
	copy = group;
	EXPECT_EQ(copy.Name(), "Full");
	EXPECT_EQ(copy.Uid(), 4);
	EXPECT_EQ(copy.Description(), "All");
}

} // namespace
