// Menus: radio marking, separators, lookups, and the menu field's text and
// the item the user picks.
#include <gtest/gtest.h>

#include "InterfaceTestSupport.h"
#include "Menu.h"
#include "MenuField.h"
#include "MenuItem.h"
#include "PopUpMenu.h"
#include "SeparatorItem.h"

namespace {

const uint32 kLanguage = 'lang';

BPopUpMenu* languages()
{
	BPopUpMenu* menu = new BPopUpMenu("");
	for (const char* name : {"English", "French", "German"})
		menu->AddItem(new BMenuItem(name, new BMessage(kLanguage)));
	return menu;
}

} // namespace

TEST(MenuTest, RadioMode_KeepsOneMarkedItem)
{
	struct Case {
		bool radio;
		std::vector<int32> marks;
		std::vector<bool> expected;
	};
	const Case cases[] = {
	        {true, {0, 2}, {false, false, true}},
	        {true, {1}, {false, true, false}},
	        {false, {0, 2}, {true, false, true}},
	};
	for (const Case& c : cases) {
		BMenu menu("menu");
		menu.SetRadioMode(c.radio);
		for (const char* name : {"a", "b", "c"})
			menu.AddItem(new BMenuItem(name, nullptr));
		for (int32 index : c.marks)
			menu.ItemAt(index)->SetMarked(true);
		for (int32 i = 0; i < 3; i++)
			EXPECT_EQ(menu.ItemAt(i)->IsMarked(), c.expected[i]) << i;
		EXPECT_EQ(menu.FindMarkedIndex(), c.radio ? c.marks.back() : c.marks.front());
	}
}

TEST(MenuTest, Items_SeparatorsLookupsAndRemoval)
{
	BMenu menu("menu");
	menu.AddItem(new BMenuItem("Desktop", new BMessage('dskt')));
	menu.AddSeparatorItem();
	menu.AddItem(new BMenuItem("Trash", new BMessage('trsh')), 0);
	EXPECT_EQ(menu.CountItems(), 3);
	EXPECT_EQ(menu.IndexOf(menu.FindItem("Desktop")), 1);
	EXPECT_EQ(menu.FindItem('trsh'), menu.ItemAt(0));
	EXPECT_TRUE(menu.ItemAt(2)->IsSeparator());
	EXPECT_FALSE(menu.ItemAt(2)->IsEnabled());
	menu.ItemAt(2)->SetEnabled(true);
	EXPECT_FALSE(menu.ItemAt(2)->IsEnabled()) << "a separator is never enabled";
	menu.SetEnabled(false);
	EXPECT_FALSE(menu.ItemAt(0)->IsEnabled());
	menu.SetEnabled(true);

	BMenuItem* trash = menu.RemoveItem(int32(0));
	ASSERT_NE(trash, nullptr);
	EXPECT_EQ(trash->Menu(), nullptr);
	EXPECT_EQ(menu.FindItem("Trash"), nullptr);
	delete trash;
	EXPECT_TRUE(menu.RemoveItems(0, 2, true));
	EXPECT_EQ(menu.CountItems(), 0);
}

TEST(MenuTest, MenuField_ShowsTheMarkedItemAndMarksWhatIsPicked)
{
	auto* window = new RecordingWindow();
	BPopUpMenu* menu = languages();
	auto* field = new BMenuField(BRect(10, 10, 120, 30), "options", nullptr, menu);
	window->AddChild(field);
	EXPECT_STREQ(field->FieldText(), "") << "nothing marked: the menu's name";
	menu->ItemAt(0)->SetMarked(true);
	EXPECT_STREQ(field->FieldText(), "English");
	EXPECT_EQ(field->Divider(), 0) << "no label, no divider";
	window->Show();

	BMessage pick(BMenuField::kHostPick);
	pick.AddInt32("index", 2);
	BMessenger(field, nullptr).SendMessage(&pick);
	BMessage picked;
	ASSERT_TRUE(window->WaitFor(kLanguage, &picked));
	EXPECT_EQ(picked.FindInt32("index"), 2);
	window->OnThread([&] {
		EXPECT_STREQ(field->FieldText(), "German");
		EXPECT_EQ(menu->FindMarkedIndex(), 2);
		menu->ItemAt(1)->SetEnabled(false);
	});

	window->Forget();
	pick.ReplaceInt32("index", 1);
	BMessenger(field, nullptr).SendMessage(&pick);
	window->PostMessage(kLanguage + 1);
	window->WaitFor(kLanguage + 1);
	EXPECT_EQ(window->Count(kLanguage), 0) << "a disabled item cannot be picked";
	window->OnThread([&] { EXPECT_EQ(menu->FindMarkedIndex(), 2); });
	close_window(window);
}

TEST(MenuTest, PopUpGo_WithoutAWindowSystemChoosesNothing)
{
	BPopUpMenu* menu = languages();
	EXPECT_EQ(menu->Go(BPoint(10, 10), true), nullptr);
	EXPECT_EQ(menu->FindMarked(), nullptr);
	delete menu;
}
