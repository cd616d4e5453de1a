// Tests of LibStringIterator: both ways of splitting a text into fields.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LibStringIterator.h"

namespace {

// Calls GetNextField until it fails (at most 10 times) and records each
// delivered field.
std::vector<std::string> SplitAt(const char* text, const char& separator)
{
	LibStringIterator iterator(text);
	std::vector<std::string> fields;
	LibString field;
	while (fields.size() < 10 && iterator.GetNextField(separator, field))
		fields.push_back(field.String());
	return fields;
}

} // namespace

TEST(LibStringIteratorTest, OneSeparatorKeepsEmptyFieldsButNotATrailingOne)
{
	struct {
		const char* text;
		std::vector<std::string> fields;
	} cases[] = {
	        {"a,,b", {"a", "", "b"}},
	        {"a,b,", {"a", "b"}},
	        {"", {}},
	        {"x", {"x"}},
	        {",", {""}},
	        {",,", {"", ""}},
	        {",a", {"", "a"}},
	        {"Normal;", {"Normal;"}},
	};
	for (const auto& c : cases)
		EXPECT_EQ(SplitAt(c.text, ','), c.fields) << '"' << c.text << '"';
	EXPECT_EQ(SplitAt("Normal;Full;", ';'), (std::vector<std::string>{"Normal", "Full"}));
}

TEST(LibStringIteratorTest, SeparatorSetDeliversLastFieldWithFalse)
{
	LibStringIterator iterator("a b;c");
	LibString field;
	EXPECT_TRUE(iterator.GetNextField(" ;", field));
	EXPECT_STREQ(field.String(), "a");
	EXPECT_TRUE(iterator.GetNextField(" ;", field));
	EXPECT_STREQ(field.String(), "b");
	for (int i = 0; i < 2; i++) {
		EXPECT_FALSE(iterator.GetNextField(" ;", field));
		EXPECT_STREQ(field.String(), "c");
	}
	EXPECT_EQ(iterator.Position(), 4);

	LibStringIterator trailing("a;");
	EXPECT_TRUE(trailing.GetNextField(";", field));
	EXPECT_FALSE(trailing.GetNextField(";", field));
	EXPECT_STREQ(field.String(), "");
}

TEST(LibStringIteratorTest, IndexFieldRestartsAndLeavesMissingFieldUntouched)
{
	LibStringIterator iterator("name:3:sub:1");
	LibString field;
	EXPECT_TRUE(iterator.GetIndexField(':', 2, field));
	EXPECT_STREQ(field.String(), "sub");
	EXPECT_TRUE(iterator.GetIndexField(':', 0, field));
	EXPECT_STREQ(field.String(), "name");
	EXPECT_EQ(iterator.Position(), 5);
	EXPECT_FALSE(iterator.GetIndexField(':', 4, field));
	EXPECT_STREQ(field.String(), "name");
	EXPECT_FALSE(iterator.GetIndexField(':', -1, field));
}

TEST(LibStringIteratorTest, CursorFollowsAssignmentAndCopies)
{
	LibStringIterator iterator("a,b");
	LibString field;
	iterator.GetNextField(',', field);
	LibStringIterator copy(iterator);
	EXPECT_TRUE(copy.GetNextField(',', field));
	EXPECT_STREQ(field.String(), "b");

	iterator = "x,y";
	EXPECT_EQ(iterator.Position(), 0);
	EXPECT_TRUE(iterator.GetNextField(',', field));
	EXPECT_STREQ(field.String(), "x");

	// A cursor set outside the text reads nothing instead of past the end.
	iterator.Reset(50);
	EXPECT_FALSE(iterator.GetNextField(',', field));
	EXPECT_STREQ(field.String(), "");
	iterator.Reset(-3);
	EXPECT_FALSE(iterator.GetNextField(',', field));
}
