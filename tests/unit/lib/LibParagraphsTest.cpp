// Joining hand-wrapped lines into paragraphs, and the breaks that stay.
#include "LibParagraphs.h"

#include <gtest/gtest.h>

namespace {

TEST(LibParagraphsTest, BreaksInsideAParagraphBecomeSpacesAndTheOthersStay)
{
	struct Case {
		const char* name;
		const char* text;
		const char* joined;
	};
	const Case cases[] = {
	        {"paragraph", "Permission is granted\nto anyone.\n",
	         "Permission is granted to anyone.\n"},
	        {"blank line", "First one\nends.\n\nSecond\none.", "First one ends.\n\nSecond one."},
	        {"trailing blanks and CR", "ends here   \r\nnext", "ends here next"},
	        {"indented title", "  GNU GENERAL PUBLIC LICENSE\n   Version 3\nThe text",
	         "  GNU GENERAL PUBLIC LICENSE\n   Version 3\nThe text"},
	        {"indented continuation", "Steps:\n  keep this\n  and this",
	         "Steps:\n  keep this\n  and this"},
	        {"list items", "You may:\n- copy it\n- change\n  it\n1. share\n2) sell\na) give",
	         "You may:\n- copy it\n- change\n  it\n1. share\n2) sell\na) give"},
	        {"list item continued unindented", "* one long\nitem", "* one long item"},
	        {"no list marker", "Version 2.0\nor later. See\nabove",
	         "Version 2.0 or later. See above"},
	        {"empty", "", ""},
	};
	for (const Case& test : cases)
		EXPECT_EQ(LibJoinParagraphs(test.text), test.joined) << test.name;
}

} // namespace
