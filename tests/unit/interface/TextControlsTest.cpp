// Text views wrapping to their text rectangle, string views, boxes and
// status bars keeping their state.
#include <gtest/gtest.h>

#include "Box.h"
#include "HostNative.h"
#include "StatusBar.h"
#include "StringView.h"
#include "TextView.h"

TEST(TextControlsTest, TextView_WrapsAtSpacesAndKeepsParagraphs)
{
	BTextView view(BRect(0, 0, 200, 100), "text", BRect(0, 0, 99, 100), B_FOLLOW_NONE, B_WILL_DRAW);
	view.SetText("one two three four five six seven eight\n\nnine");
	int32 lines = view.CountLines();
	ASSERT_GE(lines, 4);
	BFont font;
	view.GetFont(&font);
	for (int32 i = 0; i < lines; i++) {
		std::string line = view.LineAt(i);
		EXPECT_LE(font.StringWidth(line.c_str()), 100) << line;
	}
	EXPECT_EQ(view.LineAt(lines - 2), "") << "the empty paragraph stays a line";
	EXPECT_EQ(view.LineAt(lines - 1), "nine");
	std::string joined;
	for (int32 i = 0; i < lines - 2; i++)
		joined += view.LineAt(i);
	EXPECT_EQ(joined, "one two three four five six seven eight") << "no text lost";

	view.SetTextRect(BRect(0, 0, 399, 100));
	EXPECT_EQ(view.CountLines(), 3) << "a wider rectangle wraps again";
}

TEST(TextControlsTest, TextView_SplitsAWordWiderThanTheRectangle)
{
	BTextView view(BRect(0, 0, 50, 50), "text", BRect(0, 0, 30, 50), B_FOLLOW_NONE, B_WILL_DRAW);
	view.SetText("Supercalifragilistic");
	EXPECT_GT(view.CountLines(), 1);
	std::string joined;
	for (int32 i = 0; i < view.CountLines(); i++)
		joined += view.LineAt(i);
	EXPECT_EQ(joined, "Supercalifragilistic");
	view.MakeEditable(false);
	view.MakeSelectable(false);
	EXPECT_FALSE(view.IsEditable());
	EXPECT_FALSE(view.IsSelectable());
}

TEST(TextControlsTest, StringViewAndBox_DrawTheirTexts)
{
	BStringView label(BRect(10, 15, 70, 30), "install_size", "0 bytes");
	label.SetAlignment(B_ALIGN_RIGHT);
	label.UpdateDrawing();
	ASSERT_EQ(label.Drawing()->CountCommands(), 1);
	const DrawCommand& text = label.Drawing()->CommandAt(0);
	EXPECT_EQ(text.text, "0 bytes");
	EXPECT_FLOAT_EQ(text.start.x + label.StringWidth("0 bytes"), 60) << "right-aligned";

	BBox box(BRect(165, 10, 445, 216), "license_box");
	box.SetLabel("License");
	box.UpdateDrawing();
	EXPECT_EQ(box.Drawing()->Strings(), std::vector<std::string>{"License"});
	box.SetLabel(nullptr);
	EXPECT_EQ(box.Label(), nullptr);
}

TEST(TextControlsTest, StatusBar_AddsClampedDeltasAndKeepsTexts)
{
	BStatusBar bar(BRect(5, 0, 168, 29), "status_bar");
	bar.Reset(".../", " found");
	bar.SetMaxValue(1000);
	struct Step {
		float delta;
		const char* text;
		float value;
		const char* shown;
	};
	const Step steps[] = {
	        {250, "apps", 250, "apps"},
	        {-1, nullptr, 249, "apps"},
	        {5000, "home", 1000, "home"},
	        {-5000, nullptr, 0, "home"},
	};
	for (const Step& s : steps) {
		bar.Update(s.delta, s.text, "3");
		EXPECT_EQ(bar.CurrentValue(), s.value);
		EXPECT_STREQ(bar.Text(), s.shown);
	}
	EXPECT_STREQ(bar.Label(), ".../");
	EXPECT_STREQ(bar.TrailingLabel(), " found");
	bar.SetTo(500);
	bar.UpdateDrawing();
	EXPECT_EQ(bar.Drawing()->Strings(), (std::vector<std::string>{".../home", "3 found"}));
}

TEST(TextControlsTest, Labels_AreEscapedForTheWindowSystem)
{
	struct Case {
		const char* label;
		const char* shown;
	};
	const Case cases[] = {
	        {"Save & Quit", "Save && Quit"},
	        {"@home", "@@home"},
	        {"/boot/apps", "/boot/apps"},
	        {"\xc3\xa9t\xc3\xa9", "\xc3\xa9t\xc3\xa9"},
	        {nullptr, ""},
	};
	for (const Case& c : cases)
		EXPECT_EQ(host_escape_label(c.label), c.shown);
}
