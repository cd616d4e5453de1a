// LibMenuField, LibLabelControl and LibMenuButton: items and marks, list
// loading, the standard folder menu, arrow-key browsing, geometry and greying.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LibColors.h"
#include "LibMenuButton.h"
#include "LibMenuField.h"
#include "LibToolkitTestSupport.h"
#include "Menu.h"
#include "MenuItem.h"
#include "StringView.h"

using namespace toolkit_test;

namespace {

std::vector<std::string> Labels(const LibMenuField& field)
{
	std::vector<std::string> labels;
	for (int32 i = 0; i < field.CountItems(); i++)
		labels.push_back(field.ItemAt(i)->IsSeparator() ? "-" : field.ItemAt(i)->Label());
	return labels;
}

LibMenuField* Field(bool radio = true)
{
	return new LibMenuField(BRect(0, 0, 150, 20), "field", 0, radio);
}

TEST(LibMenuFieldTest, RadioMenuMarksItsFirstItemAndMovesTheMark)
{
	std::unique_ptr<LibMenuField> field(Field());
	EXPECT_EQ(field->Label(), nullptr);
	EXPECT_EQ(field->CurrentSelection(), -1);
	EXPECT_STREQ(field->Text(), "");
	field->Add("Normal", new BMessage('grp '));
	field->Add("Minimal");
	field->Add("Full", nullptr, 0);
	EXPECT_EQ(Labels(*field), (std::vector<std::string>{"Full", "Normal", "Minimal"}));
	EXPECT_STREQ(field->Text(), "Normal");
	EXPECT_EQ(field->CurrentSelection(), 1);
	field->SetItem(2);
	EXPECT_STREQ(field->Text(), "Minimal");
	EXPECT_FALSE(field->IsMarked("Normal"));
	field->SetText("Full");
	EXPECT_EQ(field->CurrentSelection(), 0);
	field->SetText("Nothing like it");
	field->SetItem(9);
	EXPECT_EQ(field->CurrentSelection(), 0);
	EXPECT_STREQ(field->FieldText(), "Full");
}

TEST(LibMenuFieldTest, PlainMenuMarksOnlyWhenAsked)
{
	std::unique_ptr<LibMenuField> field(Field(false));
	field->Add("One");
	field->Add("Two");
	EXPECT_EQ(field->CurrentSelection(), -1);
	field->SetMarked("Two", true);
	field->SetMarked(0, true);
	EXPECT_TRUE(field->IsMarked(0));
	EXPECT_TRUE(field->IsMarked("Two"));
	field->ToggleMarked("Two");
	field->ToggleMarked(0);
	EXPECT_FALSE(field->IsMarked(0));
	EXPECT_FALSE(field->IsMarked(1));
}

TEST(LibMenuFieldTest, ItemsByIndexOrLabel)
{
	std::unique_ptr<LibMenuField> field(Field());
	for (const char* label : {"A", "B", "C", "D"})
		field->Add(label);
	EXPECT_TRUE(field->InMenu("C"));
	EXPECT_FALSE(field->InMenu("c"));
	EXPECT_TRUE(field->Replace("C", "Sea"));
	EXPECT_FALSE(field->Replace("C", "See"));
	EXPECT_TRUE(field->RemoveItem("B"));
	EXPECT_FALSE(field->RemoveItem("B"));
	EXPECT_TRUE(field->RemoveItem(int32(0)));
	EXPECT_FALSE(field->RemoveItem(int32(7)));
	EXPECT_EQ(Labels(*field), (std::vector<std::string>{"Sea", "D"}));
	field->SetEnableItem("D", false);
	field->SetEnableItem(int32(0), false);
	field->SetEnableItem(int32(0), true);
	EXPECT_TRUE(field->IsItemEnabled("Sea"));
	EXPECT_FALSE(field->IsItemEnabled(1));
	EXPECT_FALSE(field->IsItemEnabled("missing"));
	field->AddSeparatorItem();
	EXPECT_EQ(field->CountItems(), 3);
	field->Clear();
	EXPECT_EQ(field->CountItems(), 0);
}

TEST(LibMenuFieldTest, SetToReplacesItemsAndKeepsTheMark)
{
	std::unique_ptr<LibMenuField> field(Field());
	field->Add("old");
	field->Add("Custom");
	field->SetText("Custom");
	BMessage list;
	list.AddString("names", "Typical");
	list.AddString("names", "Custom");
	list.AddString("names", "Everything");
	EXPECT_TRUE(field->SetTo(list, "names", 'pick'));
	EXPECT_EQ(Labels(*field), (std::vector<std::string>{"Typical", "Custom", "Everything"}));
	EXPECT_STREQ(field->Text(), "Custom");
	ASSERT_NE(field->ItemAt(2)->Message(), nullptr);
	EXPECT_EQ(field->ItemAt(2)->Message()->what, uint32('pick'));

	BMessage other;
	other.AddString("names", "Only");
	EXPECT_TRUE(field->SetTo(other, "names", 0));
	EXPECT_STREQ(field->Text(), "Only");
	EXPECT_EQ(field->ItemAt(0)->Message(), nullptr);

	BMessage empty;
	empty.AddInt32("names", 3);
	EXPECT_FALSE(field->SetTo(empty, "names", 'pick'));
	EXPECT_FALSE(field->SetTo(empty, "absent", 'pick'));
	EXPECT_EQ(Labels(*field), (std::vector<std::string>{"Only"}));
}

TEST(LibMenuFieldTest, StandardFolderMenuGroups)
{
	struct Case {
		bool system;
		int32 items;
		std::vector<int32> separators;
	};
	const Case cases[] = {{false, 38, {5, 25}}, {true, 54, {5, 21, 41}}};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.system);
		std::unique_ptr<LibMenuField> field(Field());
		field->AddStdFolders(c.system, 'fold');
		std::vector<std::string> labels = Labels(*field);
		ASSERT_EQ(int32(labels.size()), c.items);
		std::vector<int32> separators;
		for (int32 i = 0; i < c.items; i++) {
			if (labels[i] == "-")
				separators.push_back(i);
		}
		EXPECT_EQ(separators, c.separators);
		EXPECT_EQ(std::vector<std::string>(labels.begin(), labels.begin() + 5),
		          (std::vector<std::string>{"Desktop", "Trash", "Applications", "Preferences",
		                                    "Utilities"}));
		size_t common = size_t(c.separators[c.separators.size() - 2] + 1);
		size_t user = size_t(c.separators.back() + 1);
		EXPECT_EQ(labels[common], "Common");
		EXPECT_EQ(labels[user - 2], "Common Sounds");
		EXPECT_EQ(labels[user], "User");
		EXPECT_EQ(labels.back(), "User Sounds");
		if (c.system) {
			EXPECT_EQ(labels[6], "BeOS");
			EXPECT_EQ(labels[20], "BeOS Sounds");
		}
		EXPECT_EQ(field->ItemAt(0)->Message()->what, uint32('fold'));
	}
}

TEST(LibMenuFieldTest, ArrowKeysMoveTheMarkWrapSkipSeparatorsAndSend)
{
	WindowPtr<TestWindow> window(new TestWindow());
	LibMenuField* field = Field();
	window->AddChild(field);
	const char* labels[] = {"one", nullptr, "two", "three", nullptr};
	int32 index = 0;
	for (const char* label : labels) {
		if (label == nullptr) {
			field->AddSeparatorItem();
			continue;
		}
		BMessage* message = new BMessage('item');
		message->AddInt32("n", index++);
		field->Add(label, message);
	}
	struct KeyCase {
		char key;
		const char* marked;
	};
	const KeyCase keys[] = {{B_DOWN_ARROW, "two"}, {B_DOWN_ARROW, "three"}, {B_DOWN_ARROW, "one"},
	                        {B_UP_ARROW, "three"}, {B_HOME, "one"},         {B_END, "three"},
	                        {B_UP_ARROW, "two"},   {B_UP_ARROW, "one"}};
	for (const KeyCase& k : keys) {
		char bytes[2] = {k.key, 0};
		field->KeyDown(bytes, 1);
		EXPECT_STREQ(field->Text(), k.marked);
		std::vector<BMessage> sent = OfCode(window->Take(), 'item');
		ASSERT_EQ(sent.size(), 1u) << k.marked;
		EXPECT_EQ(sent[0].FindInt32("index"), field->CurrentSelection());
	}
	field->KeyDown("x", 1);
	EXPECT_STREQ(field->Text(), "one");
	EXPECT_TRUE(OfCode(window->Take(), 'item').empty());
}

TEST(LibMenuFieldTest, FontSizeAppliesToTheMenu)
{
	LibMenuField field(BRect(0, 0, 100, 20), "small", 9, true);
	BFont font;
	field.GetFont(&font);
	EXPECT_FLOAT_EQ(font.Size(), 9);
	field.Menu()->GetFont(&font);
	EXPECT_FLOAT_EQ(font.Size(), 9);
	LibMenuField plain(BRect(0, 0, 100, 20), "plain", 0, true);
	plain.GetFont(&font);
	EXPECT_FLOAT_EQ(font.Size(), be_plain_font->Size());
}

TEST(LibLabelControlTest, LabelAndSuffixGeometryAndGreying)
{
	LibLabelControl control(BRect(0, 0, 200, 24), 80, "control", "Install to", 4, ":",
	                        B_FOLLOW_LEFT | B_FOLLOW_TOP);
	ASSERT_NE(control.LabelView(), nullptr);
	ASSERT_NE(control.SuffixView(), nullptr);
	EXPECT_STREQ(control.LabelView()->Name(), "label");
	EXPECT_STREQ(control.SuffixView()->Name(), "colon");
	EXPECT_EQ(control.LabelView()->Frame(), BRect(0, 0, 68, 20));
	EXPECT_EQ(control.SuffixView()->Frame(), BRect(69, 0, 78, 20));
	EXPECT_EQ(control.ViewColor(), ui_color(B_PANEL_BACKGROUND_COLOR));
	BFont font;
	control.LabelView()->GetFont(&font);
	EXPECT_FLOAT_EQ(font.Size(), 12);
	control.SetLabel("Folder");
	EXPECT_STREQ(control.LabelText(), "Folder");
	// A label too wide for its place is drawn smaller until it fits, and
	// at its own size again when a short one follows.
	control.SetLabel("Laufwerkliste");
	control.LabelView()->GetFont(&font);
	EXPECT_LT(font.Size(), 12);
	EXPECT_GE(font.Size(), 8);
	EXPECT_LE(control.LabelView()->StringWidth("Laufwerkliste"),
	          control.LabelView()->Bounds().Width() + 1);
	control.SetLabel("Folder");
	control.LabelView()->GetFont(&font);
	EXPECT_FLOAT_EQ(font.Size(), 12);
	EXPECT_EQ(control.LabelView()->HighColor(), lib_nearest_system_color(black_color));
	control.SetEnabled(false);
	EXPECT_FALSE(control.IsEnabled());
	EXPECT_EQ(control.LabelView()->HighColor(), lib_nearest_system_color(dark_grey_color));
	EXPECT_EQ(control.SuffixView()->HighColor(), lib_nearest_system_color(dark_grey_color));
	control.SetEnabled(true);
	EXPECT_EQ(control.SuffixView()->HighColor(), lib_nearest_system_color(black_color));

	LibLabelControl bare(BRect(0, 0, 100, 20), 50, "bare", "Name", 0, nullptr, B_FOLLOW_NONE);
	EXPECT_EQ(bare.SuffixView(), nullptr);
	EXPECT_EQ(bare.LabelView()->Frame(), BRect(0, 0, 48, 20));
	LibLabelControl empty(BRect(0, 0, 100, 20), 50, "empty", nullptr, 0, nullptr, B_FOLLOW_NONE);
	EXPECT_EQ(empty.LabelView(), nullptr);
	EXPECT_STREQ(empty.LabelText(), "");
	empty.SetLabel("ignored");
	empty.SetEnabled(false);
}

TEST(LibMenuButtonTest, GeometryForwardingEnablingAndFocus)
{
	WindowPtr<TestWindow> window(new TestWindow());
	LibMenuButton* button = new LibMenuButton(BPoint(10, 20), "types", "Type", 60, 130);
	window->AddChild(button);
	EXPECT_EQ(button->Frame(), BRect(10, 20, 200, 45));
	EXPECT_EQ(button->LabelView()->Frame(), BRect(0, 0, 48, 22));
	EXPECT_STREQ(button->SuffixView()->Text(), ":");
	LibMenuField* field = button->MenuField();
	EXPECT_STREQ(field->Name(), "menu");
	EXPECT_EQ(field->Frame(), BRect(57, 0, 190, 25));

	button->AddItem("Normal");
	button->AddItem("Custom");
	button->SetText("Custom");
	EXPECT_STREQ(button->Text(), "Custom");
	EXPECT_EQ(button->CurrentSelection(), 1);
	EXPECT_TRUE(button->ReplaceItem("Normal", "Typical"));
	EXPECT_TRUE(button->InMenu("Typical"));
	button->SetEnableItem("Typical", false);
	EXPECT_FALSE(button->IsItemEnabled(int32(0)));

	button->SetEnabled(false);
	EXPECT_FALSE(field->IsEnabled());
	EXPECT_EQ(button->LabelView()->HighColor(), lib_nearest_system_color(dark_grey_color));
	button->SetEnabled(true);
	EXPECT_TRUE(field->IsEnabled());
	button->MakeFocus(true);
	EXPECT_EQ(window->CurrentFocus(), field);
}

} // namespace
