// List views: selection rules of both kinds, the selection message, rows
// under points and clicks with modifier keys.
#include <gtest/gtest.h>

#include "InterfaceTestSupport.h"
#include "List.h"
#include "ListView.h"
#include "ScrollBar.h"
#include "ScrollView.h"
#include "StringItem.h"

namespace {

const uint32 kSelected = 'slct';

struct ListWindow {
	RecordingWindow* window;
	BListView* list;
};

ListWindow make_list(list_view_type type, int32 rows)
{
	auto* window = new RecordingWindow();
	auto* list = new BListView(BRect(10, 10, 110, 60), "list", type);
	for (int32 i = 0; i < rows; i++)
		list->AddItem(new BStringItem(("row " + std::to_string(i)).c_str()));
	list->SetSelectionMessage(new BMessage(kSelected));
	window->AddChild(new BScrollView("scroll", list, B_FOLLOW_NONE, 0, false, true));
	window->Show();
	return {window, list};
}

std::vector<int32> indexes_of(const BMessage& message)
{
	std::vector<int32> indexes;
	int32 index;
	for (int32 i = 0; message.FindInt32("index", i, &index) == B_OK; i++)
		indexes.push_back(index);
	return indexes;
}

void close_list(ListWindow& lw)
{
	lw.window->Lock();
	while (!lw.list->IsEmpty())
		delete lw.list->RemoveItem(int32(0));
	lw.window->Quit();
}

void click(ListWindow& lw, int32 row, uint32 modifiers)
{
	BRect frame;
	lw.window->OnThread([&] { frame = lw.list->ConvertToWindow(lw.list->ItemFrame(row)); });
	BMessage message(B_MOUSE_DOWN);
	message.AddPoint("be:window_where", BPoint(frame.left + 5, frame.top + 2));
	message.AddInt32("buttons", B_PRIMARY_MOUSE_BUTTON);
	message.AddInt32("modifiers", int32(modifiers));
	message.AddInt32("clicks", 1);
	BMessenger(lw.list, nullptr).SendMessage(&message);
}

} // namespace

TEST(ListViewTest, Select_FollowsTheListType)
{
	struct Step {
		int32 index;
		bool extend;
		std::vector<int32> single;
		std::vector<int32> multiple;
	};
	const Step steps[] = {
	        {1, false, {1}, {1}},   {3, true, {3}, {1, 3}},  {2, false, {2}, {2}},
	        {0, true, {0}, {0, 2}}, {9, false, {0}, {0, 2}}, // no such row: nothing changes
	};
	for (list_view_type type : {B_SINGLE_SELECTION_LIST, B_MULTIPLE_SELECTION_LIST}) {
		ListWindow lw = make_list(type, 4);
		for (const Step& step : steps) {
			std::vector<int32> selected;
			lw.window->OnThread([&] {
				lw.list->Select(step.index, step.extend);
				for (int32 i = 0; lw.list->CurrentSelection(i) >= 0; i++)
					selected.push_back(lw.list->CurrentSelection(i));
			});
			EXPECT_EQ(selected, type == B_SINGLE_SELECTION_LIST ? step.single : step.multiple)
			        << "type " << type << " index " << step.index;
		}
		close_list(lw);
	}
}

TEST(ListViewTest, SelectionMessage_IsSentOnlyWhenTheSelectionChanges)
{
	ListWindow lw = make_list(B_MULTIPLE_SELECTION_LIST, 5);
	lw.window->OnThread([&] {
		lw.list->Select(1, 3);
		lw.list->Select(1, 3); // unchanged: no message
	});
	BMessage message;
	ASSERT_TRUE(lw.window->WaitFor(kSelected, &message));
	EXPECT_EQ(indexes_of(message), (std::vector<int32>{1, 2, 3}));
	lw.window->PostMessage(kSelected + 1);
	lw.window->WaitFor(kSelected + 1);
	EXPECT_EQ(lw.window->Count(kSelected), 1);

	// Without a selection message the selection changes silently.
	lw.window->Forget();
	lw.window->OnThread([&] {
		BMessage* detached = lw.list->SelectionMessage();
		lw.list->SetSelectionMessage(nullptr);
		(void)detached;
		lw.list->DeselectAll();
		lw.list->SetSelectionMessage(new BMessage(kSelected));
	});
	lw.window->PostMessage(kSelected + 1);
	lw.window->WaitFor(kSelected + 1);
	EXPECT_EQ(lw.window->Count(kSelected), 0);
	close_list(lw);
}

TEST(ListViewTest, Clicks_ShiftExtendsAndCommandToggles)
{
	ListWindow lw = make_list(B_MULTIPLE_SELECTION_LIST, 6);
	struct Click {
		int32 row;
		uint32 modifiers;
		std::vector<int32> selected;
	};
	const Click clicks[] = {
	        {1, 0, {1}},
	        {4, B_SHIFT_KEY, {1, 2, 3, 4}},
	        {2, B_COMMAND_KEY, {1, 3, 4}},
	        {5, B_CONTROL_KEY, {1, 3, 4, 5}},
	        {0, 0, {0}},
	};
	for (const Click& c : clicks) {
		lw.window->Forget();
		click(lw, c.row, c.modifiers);
		BMessage message;
		ASSERT_TRUE(lw.window->WaitFor(kSelected, &message)) << "row " << c.row;
		EXPECT_EQ(indexes_of(message), c.selected) << "row " << c.row;
	}
	close_list(lw);
}

TEST(ListViewTest, Rows_HaveTheirFramesAndTheScrollBarTheirHeight)
{
	ListWindow lw = make_list(B_SINGLE_SELECTION_LIST, 10);
	lw.window->OnThread([&] {
		float height = lw.list->ItemAt(0)->Height();
		ASSERT_GT(height, 0);
		EXPECT_EQ(lw.list->ItemFrame(2), BRect(0, 2 * height, 100, 3 * height - 1));
		EXPECT_EQ(lw.list->IndexOf(BPoint(5, 2 * height)), 2);
		EXPECT_EQ(lw.list->IndexOf(BPoint(5, 3 * height - 0.5f)), 2);
		EXPECT_EQ(lw.list->IndexOf(BPoint(5, 10 * height)), -1);
		BScrollBar* bar = lw.list->ScrollBar(B_VERTICAL);
		ASSERT_NE(bar, nullptr);
		float min, max;
		bar->GetRange(&min, &max);
		EXPECT_EQ(max, 10 * height - 51);
		bar->SetValue(max + 100);
		EXPECT_EQ(bar->Value(), max);
		EXPECT_EQ(lw.list->Bounds().top, max) << "the bar scrolls its target";

		BListItem* removed = lw.list->RemoveItem(int32(9));
		delete removed;
		EXPECT_EQ(lw.list->CountItems(), 9);
		bar->GetRange(&min, &max);
		EXPECT_EQ(max, 9 * height - 51);

		// A whole list added at once: in its order, before the index, measured.
		BList rows;
		rows.AddItem(new BStringItem("added 0"));
		rows.AddItem(new BStringItem("added 1"));
		lw.list->Select(8);
		EXPECT_TRUE(lw.list->AddList(&rows, 1));
		EXPECT_EQ(lw.list->CountItems(), 11);
		EXPECT_STREQ(static_cast<BStringItem*>(lw.list->ItemAt(1))->Text(), "added 0");
		EXPECT_STREQ(static_cast<BStringItem*>(lw.list->ItemAt(2))->Text(), "added 1");
		EXPECT_STREQ(static_cast<BStringItem*>(lw.list->ItemAt(3))->Text(), "row 1");
		EXPECT_EQ(lw.list->ItemAt(2)->Height(), height);
		EXPECT_EQ(lw.list->CurrentSelection(), 10) << "the selection moves with its row";
		bar->GetRange(&min, &max);
		EXPECT_EQ(max, 11 * height - 51);
		BList holed;
		holed.AddItem(nullptr);
		EXPECT_FALSE(lw.list->AddList(&holed));
		EXPECT_FALSE(lw.list->AddList(&rows, 12));
		EXPECT_FALSE(lw.list->AddList(nullptr));
		EXPECT_EQ(lw.list->CountItems(), 11);
	});
	close_list(lw);
}
