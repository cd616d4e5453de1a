// Views: frames with both edges, resizing modes, conversions, visibility and
// the drawing a Draw records.
#include <gtest/gtest.h>

#include "Bitmap.h"
#include "InterfaceTestSupport.h"
#include "Picture.h"
#include "View.h"
#include "Window.h"

namespace {

class SketchView : public BView {
public:
	SketchView()
	    : BView(BRect(10, 16, 160, 216), "sketch", B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW)
	{
	}

	void Draw(BRect updateRect) override
	{
		draws++;
		SetHighColor(255, 0, 0);
		FillRect(Bounds());
		BFont font;
		font.SetSize(10);
		font.SetRotation(90);
		SetFont(&font, B_FONT_SIZE | B_FONT_ROTATION);
		SetDrawingMode(B_OP_OVER);
		DrawString("Vantry", BPoint(140, 150));
		Invalidate(); // must not schedule another Draw
	}

	int draws = 0;
};

} // namespace

TEST(ViewTest, Frame_IncludesBothEdges)
{
	BView view(BRect(10, 16, 160, 216), "v", B_FOLLOW_NONE, 0);
	EXPECT_EQ(view.Bounds(), BRect(0, 0, 150, 200));
	EXPECT_EQ(view.Bounds().IntegerWidth() + 1, 151);
	EXPECT_EQ(view.Bounds().IntegerHeight() + 1, 201);
}

TEST(ViewTest, ResizingModes_FollowTheParentsEdges)
{
	struct Case {
		uint32 mode;
		BRect expected;
	};
	// The parent grows by 40 by 20; the child starts at (10, 10, 50, 30).
	const Case cases[] = {
	        {B_FOLLOW_LEFT | B_FOLLOW_TOP, BRect(10, 10, 50, 30)},
	        {B_FOLLOW_NONE, BRect(10, 10, 50, 30)},
	        {B_FOLLOW_ALL_SIDES, BRect(10, 10, 90, 50)},
	        {B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM, BRect(50, 30, 90, 50)},
	        {B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, BRect(10, 10, 90, 30)},
	        {B_FOLLOW_H_CENTER | B_FOLLOW_V_CENTER, BRect(30, 20, 70, 40)},
	        {B_FOLLOW_LEFT | B_FOLLOW_TOP_BOTTOM, BRect(10, 10, 50, 50)},
	};
	for (const Case& c : cases) {
		BView parent(BRect(0, 0, 100, 100), "parent", B_FOLLOW_NONE, 0);
		BView* child = new BView(BRect(10, 10, 50, 30), "child", c.mode, 0);
		parent.AddChild(child);
		parent.ResizeBy(40, 20);
		EXPECT_EQ(child->Frame(), c.expected) << std::hex << c.mode;
	}
}

TEST(ViewTest, Conversions_GoThroughParentsScrollingAndWindow)
{
	BWindow* window = new BWindow(BRect(100, 50, 499, 349), "w", B_TITLED_WINDOW, 0);
	BView* outer = new BView(BRect(10, 20, 200, 200), "outer", B_FOLLOW_NONE, 0);
	BView* inner = new BView(BRect(5, 6, 50, 60), "inner", B_FOLLOW_NONE, 0);
	window->AddChild(outer);
	outer->AddChild(inner);
	EXPECT_EQ(inner->ConvertToWindow(BPoint(1, 2)), BPoint(16, 28));
	EXPECT_EQ(inner->ConvertToScreen(BPoint(1, 2)), BPoint(116, 78));
	EXPECT_EQ(inner->ConvertFromScreen(BPoint(116, 78)), BPoint(1, 2));
	outer->ScrollTo(BPoint(0, 10));
	EXPECT_EQ(inner->ConvertToWindow(BPoint(1, 2)), BPoint(16, 18));
	EXPECT_EQ(outer->Bounds(), BRect(0, 10, 190, 190));
	EXPECT_EQ(window->FindView("inner"), inner);
	EXPECT_EQ(window->FindView(BPoint(16, 28)), inner);
	EXPECT_EQ(window->FindView(BPoint(16, 18)), nullptr) << "scrolled out of its parent";
	EXPECT_EQ(window->FindView(BPoint(300, 250)), nullptr);
	window->Quit();
}

TEST(ViewTest, HideAndShow_NestAndHideChildren)
{
	BView parent(BRect(0, 0, 100, 100), "parent", B_FOLLOW_NONE, 0);
	BView* child = new BView(BRect(0, 0, 10, 10), "child", B_FOLLOW_NONE, 0);
	parent.AddChild(child);
	child->Hide();
	child->Hide();
	child->Show();
	EXPECT_TRUE(child->IsHidden());
	child->Show();
	EXPECT_FALSE(child->IsHidden());
	parent.Hide();
	EXPECT_TRUE(child->IsHidden());
	EXPECT_FALSE(child->IsHidden(child));
}

TEST(ViewTest, Draw_IsRecordedWithColoursFontAndMode)
{
	SketchView view;
	view.UpdateDrawing();
	EXPECT_EQ(view.draws, 1);
	EXPECT_FALSE(view.NeedsDrawing()) << "Invalidate inside Draw must not loop";
	std::shared_ptr<const DrawList> drawing = view.Drawing();
	ASSERT_NE(drawing, nullptr);
	ASSERT_EQ(drawing->CountCommands(), 2);
	const DrawCommand& fill = drawing->CommandAt(0);
	EXPECT_EQ(fill.op, DrawCommand::kFillRect);
	EXPECT_EQ(fill.rect, BRect(0, 0, 150, 200));
	EXPECT_EQ(fill.high, (rgb_color{255, 0, 0, 255}));
	const DrawCommand& text = drawing->CommandAt(1);
	EXPECT_EQ(text.text, "Vantry");
	EXPECT_EQ(text.fontSize, 10);
	EXPECT_EQ(text.fontRotation, 90);
	EXPECT_EQ(text.mode, B_OP_OVER);
	EXPECT_EQ(drawing->Strings(), std::vector<std::string>{"Vantry"});
	// Rotated text moves the pen upwards.
	EXPECT_EQ(view.PenLocation().x, 140);
	EXPECT_LT(view.PenLocation().y, 150);
}

TEST(ViewTest, Pictures_RecordAndReplayAtAnOffset)
{
	BView view(BRect(0, 0, 50, 50), "v", B_FOLLOW_NONE, 0);
	BPicture picture;
	view.BeginPicture(&picture);
	view.StrokeRoundRect(BRect(0, 0, 23, 23), 2, 2);
	BBitmap bitmap(BRect(0, 0, 1, 1), B_CMAP8);
	view.DrawBitmap(&bitmap, BPoint(4, 4));
	EXPECT_EQ(view.EndPicture(), &picture);
	ASSERT_EQ(picture.Drawing().CountCommands(), 2);
	EXPECT_EQ(picture.Drawing().CommandAt(1).rect, BRect(4, 4, 5, 5));

	DrawList shifted;
	shifted.Append(picture.Drawing(), BPoint(10, 20));
	EXPECT_EQ(shifted.CommandAt(0).rect, BRect(10, 20, 33, 43));
	EXPECT_EQ(shifted.CommandAt(0).radiusX, 2);
}

TEST(ViewTest, RemoveChild_DetachesFromTheWindowAndFocus)
{
	BWindow* window = new BWindow(BRect(0, 0, 99, 99), "w", B_TITLED_WINDOW, 0);
	BView* view = new BView(BRect(0, 0, 10, 10), "v", B_FOLLOW_NONE, B_NAVIGABLE);
	window->AddChild(view);
	EXPECT_EQ(view->Window(), window);
	EXPECT_EQ(view->Looper(), window);
	view->MakeFocus(true);
	EXPECT_EQ(window->CurrentFocus(), view);
	EXPECT_TRUE(view->RemoveSelf());
	EXPECT_EQ(view->Window(), nullptr);
	EXPECT_EQ(view->Looper(), nullptr);
	EXPECT_EQ(window->CurrentFocus(), nullptr);
	delete view;
	window->Quit();
}
