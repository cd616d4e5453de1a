// LibListView: hover notifications as the mouse moves over rows and leaves,
// and moving the selected row.
#include <gtest/gtest.h>

#include <vector>

#include "LibListView.h"
#include "LibStringView.h"
#include "LibToolkitTestSupport.h"
#include "StringItem.h"

using namespace toolkit_test;

namespace {

class RecordingList : public LibListView {
public:
	RecordingList() : LibListView(BRect(0, 0, 199, 299), "items") {}
	void ItemReordered(int32 from, int32 to) override { moves.push_back({from, to}); }
	std::vector<std::pair<int32, int32>> moves;
};

class LibListViewTest : public testing::Test {
protected:
	void SetUp() override
	{
		fWindow.reset(new TestWindow());
		fList = new RecordingList();
		fWindow->AddChild(fList);
		for (const char* text : {"Alpha", "Beta", "Gamma", "Delta"})
			fList->AddItem(new BStringItem(text));
		fWindow->Activate(true);
	}

	void TearDown() override
	{
		for (int32 i = fList->CountItems() - 1; i >= 0; i--)
			delete fList->RemoveItem(i);
	}

	BPoint Middle(int32 index) const
	{
		BRect frame = fList->ItemFrame(index);
		return BPoint(frame.left + 5, (frame.top + frame.bottom) / 2);
	}

	std::vector<int32> Hovered()
	{
		std::vector<int32> items;
		for (const BMessage& message : OfCode(fWindow->Take(), 'hovr'))
			items.push_back(message.FindInt32("item"));
		return items;
	}

	WindowPtr<TestWindow> fWindow;
	RecordingList* fList = nullptr;
};

TEST_F(LibListViewTest, FollowsAllSidesWithOneSelection)
{
	EXPECT_EQ(fList->ResizingMode(), uint32(B_FOLLOW_ALL_SIDES));
	EXPECT_EQ(fList->ListType(), B_SINGLE_SELECTION_LIST);
	EXPECT_EQ(fList->LastHovered(), -1);
}

TEST_F(LibListViewTest, OneNotificationPerChangeAndMinusOneOnLeaving)
{
	fList->SetHoverCommand('hovr');
	struct Move {
		BPoint where;
		uint32 transit;
		std::vector<int32> posted;
	};
	const BPoint below(5, fList->ItemFrame(3).bottom + 20);
	const std::vector<Move> moves = {
	        {Middle(0), B_ENTERED_VIEW, {0}},      {Middle(0) + BPoint(3, 1), B_INSIDE_VIEW, {}},
	        {Middle(2), B_INSIDE_VIEW, {2}},       {Middle(3), B_INSIDE_VIEW, {3}},
	        {below, B_INSIDE_VIEW, {-1}},          {Middle(1), B_INSIDE_VIEW, {1}},
	        {BPoint(500, 5), B_EXITED_VIEW, {-1}}, {BPoint(600, 5), B_OUTSIDE_VIEW, {}},
	        {Middle(1), B_ENTERED_VIEW, {1}},
	};
	for (const Move& move : moves) {
		fList->MouseMoved(move.where, move.transit, nullptr);
		EXPECT_EQ(Hovered(), move.posted) << move.where.x << "," << move.where.y;
	}
}

TEST_F(LibListViewTest, NoNotificationsWhenOffOrInAnInactiveWindow)
{
	fList->MouseMoved(Middle(0), B_ENTERED_VIEW, nullptr);
	fList->MouseMoved(Middle(2), B_INSIDE_VIEW, nullptr);
	EXPECT_TRUE(Hovered().empty());
	fList->SetHoverCommand('hovr');
	fWindow->Activate(false);
	fList->MouseMoved(Middle(1), B_INSIDE_VIEW, nullptr);
	EXPECT_TRUE(Hovered().empty());
}

TEST_F(LibListViewTest, MovingTheSelectedRowCallsTheHookAndTellsTheWindow)
{
	fList->Select(1);
	EXPECT_FALSE(fList->MoveSelected(1));
	fList->AllowReorder(true);
	fList->SetReorderCommand('reor');
	ASSERT_TRUE(fList->MoveSelected(1));
	EXPECT_STREQ(static_cast<BStringItem*>(fList->ItemAt(2))->Text(), "Beta");
	EXPECT_STREQ(static_cast<BStringItem*>(fList->ItemAt(1))->Text(), "Gamma");
	EXPECT_EQ(fList->CurrentSelection(), 2);
	ASSERT_EQ(fList->moves.size(), 1u);
	EXPECT_EQ(fList->moves[0], std::make_pair(int32(1), int32(2)));
	std::vector<BMessage> posted = OfCode(fWindow->Take(), 'reor');
	ASSERT_EQ(posted.size(), 1u);
	EXPECT_EQ(posted[0].FindInt32("from"), 1);
	EXPECT_EQ(posted[0].FindInt32("to"), 2);
	fList->Select(0);
	EXPECT_FALSE(fList->MoveSelected(-1));
	fList->Select(3);
	EXPECT_FALSE(fList->MoveSelected(1));
	EXPECT_EQ(fList->moves.size(), 1u);
}

TEST(LibListViewBaseTest, BaseReorderHookAsksToBeInherited)
{
	LibListView list(BRect(0, 0, 10, 10), "list");
	testing::internal::CaptureStderr();
	list.ItemReordered(0, 1);
	EXPECT_EQ(testing::internal::GetCapturedStderr(), "ItemReordered needs to be inherited\n");
}

TEST(LibStringViewTest, TruncatesToTheFrameWidth)
{
	LibStringView view(BRect(0, 0, 80, 15), "path", "");
	const char* longText = "/boot/home/config/settings/an/install/folder/of/some/length";
	view.SetTruncatedText(longText, B_TRUNCATE_END);
	std::string shown = view.Text();
	EXPECT_LT(shown.size(), strlen(longText));
	EXPECT_LE(view.StringWidth(shown.c_str()), 80);
	EXPECT_EQ(shown.compare(0, 5, "/boot"), 0);
	view.SetTruncatedText(longText, B_TRUNCATE_BEGINNING);
	shown = view.Text();
	EXPECT_EQ(shown.substr(shown.size() - 6), "length");
	view.SetTruncatedText("short", B_TRUNCATE_MIDDLE);
	EXPECT_STREQ(view.Text(), "short");
	view.SetTruncatedText(nullptr, B_TRUNCATE_END);
	EXPECT_STREQ(view.Text(), "");
}

TEST(LibStringViewTest, ShowAndHideDoNotNest)
{
	LibStringView view(BRect(0, 0, 80, 15), "label", "text");
	view.Hide();
	view.Hide();
	EXPECT_EQ(view.HideLevel(), 1);
	view.Show();
	EXPECT_EQ(view.HideLevel(), 0);
	view.Show();
	EXPECT_EQ(view.HideLevel(), 0);
	EXPECT_EQ(view.ResizingMode(), uint32(B_FOLLOW_LEFT | B_FOLLOW_TOP));
}

} // namespace
