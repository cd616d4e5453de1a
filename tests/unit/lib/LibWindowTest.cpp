// LibWindow: placement on the screen and beside another window, screen
// changes, single-level Show and Hide, and Shift-F1 help requests.
#include <gtest/gtest.h>

#include "LibToolkitTestSupport.h"
#include "View.h"

using namespace toolkit_test;

namespace {

class LibWindowTest : public testing::Test {
protected:
	void SetUp() override
	{
		if (!UseTestScreen())
			GTEST_SKIP() << "a real screen of another size is in use";
	}
};

struct PlaceCase {
	LibWindow::ScreenPosition position;
	window_look look;
	BPoint expected;
};

TEST_F(LibWindowTest, SetPositionOnTheScreen)
{
	const std::vector<PlaceCase> cases = {
	        {LibWindow::kTopLeft, B_TITLED_WINDOW_LOOK, BPoint(10, 30)},
	        {LibWindow::kTopCenter, B_TITLED_WINDOW_LOOK, BPoint(312, 30)},
	        {LibWindow::kTopRight, B_DOCUMENT_WINDOW_LOOK, BPoint(614, 30)},
	        {LibWindow::kTopRight, B_BORDERED_WINDOW_LOOK, BPoint(614, 0)},
	        {LibWindow::kMiddleLeft, B_TITLED_WINDOW_LOOK, BPoint(10, 234)},
	        {LibWindow::kCenter, B_TITLED_WINDOW_LOOK, BPoint(312, 234)},
	        {LibWindow::kCenter, B_MODAL_WINDOW_LOOK, BPoint(312, 234)},
	        {LibWindow::kMiddleRight, B_TITLED_WINDOW_LOOK, BPoint(614, 234)},
	        {LibWindow::kBottomLeft, B_TITLED_WINDOW_LOOK, BPoint(10, 458)},
	        {LibWindow::kBottomCenter, B_TITLED_WINDOW_LOOK, BPoint(312, 458)},
	        {LibWindow::kBottomRight, B_FLOATING_WINDOW_LOOK, BPoint(614, 458)},
	};
	for (const PlaceCase& c : cases) {
		SCOPED_TRACE(int(c.position));
		WindowPtr<TestWindow> window(new TestWindow(BRect(50, 50, 449, 349), c.look));
		window->SetPosition(c.position);
		EXPECT_EQ(window->Frame().LeftTop(), c.expected);
		EXPECT_EQ(window->Bounds(), BRect(0, 0, 399, 299));
	}
}

struct BesideCase {
	const char* name;
	BRect reference;
	LibWindow::ScreenPosition position;
	BPoint expected;
};

TEST_F(LibWindowTest, SetPositionBesideAnotherWindowStaysOnTheScreen)
{
	const BRect middle(300, 200, 599, 399);
	const std::vector<BesideCase> cases = {
	        {"above left", middle, LibWindow::kTopLeft, BPoint(81, 71)},
	        {"above", middle, LibWindow::kTopCenter, BPoint(350, 71)},
	        {"right", middle, LibWindow::kMiddleRight, BPoint(619, 250)},
	        {"over the centre", middle, LibWindow::kCenter, BPoint(350, 250)},
	        {"below right", middle, LibWindow::kBottomRight, BPoint(619, 439)},
	        {"below left", middle, LibWindow::kBottomLeft, BPoint(81, 439)},
	        {"off the top left", BRect(10, 10, 109, 59), LibWindow::kTopLeft, BPoint(2, 25)},
	        {"off the bottom right", BRect(900, 700, 1000, 760), LibWindow::kBottomRight,
	         BPoint(819, 663)},
	        {"at the right edge", BRect(600, 300, 804, 400), LibWindow::kMiddleRight,
	         BPoint(819, 300.5)},
	};
	for (const BesideCase& c : cases) {
		SCOPED_TRACE(c.name);
		WindowPtr<TestWindow> reference(new TestWindow(c.reference));
		WindowPtr<TestWindow> window(new TestWindow(BRect(0, 0, 199, 99)));
		window->SetPosition(c.position, reference.get());
		EXPECT_EQ(window->Frame().LeftTop(), c.expected);
	}
}

TEST_F(LibWindowTest, ScreenChangeKeepsTheWindowsProportionalPlace)
{
	WindowPtr<TestWindow> window(new TestWindow(BRect(100, 60, 299, 159)));
	EXPECT_EQ(window->ScreenFrame(), kScreen);
	window->ScreenChanged(BRect(0, 0, 2046, 1534), B_RGB32);
	EXPECT_NEAR(window->Frame().left, 200, 0.01);
	EXPECT_NEAR(window->Frame().top, 120, 0.01);
	EXPECT_EQ(window->ScreenFrame(), BRect(0, 0, 2046, 1534));
	window->ScreenChanged(BRect(0, 0, 2046, 1534), B_RGB32);
	EXPECT_NEAR(window->Frame().left, 200, 0.01);
}

TEST_F(LibWindowTest, ShowAndHideDoNotNest)
{
	WindowPtr<TestWindow> window(new TestWindow());
	window->Hide();
	EXPECT_EQ(window->HideLevel(), 1);
	window->Show();
	window->Show();
	EXPECT_EQ(window->HideLevel(), 0);
	ASSERT_TRUE(window->Lock());
	window->Hide();
	window->Hide();
	EXPECT_EQ(window->HideLevel(), 1);
	window->Pop();
	EXPECT_FALSE(window->IsHidden());
	EXPECT_TRUE(window->IsActive());
	window->Unlock();
}

class HelpWindow : public TestWindow {
public:
	bool InsertHelpRequest(BView* view, BMessage& message) override
	{
		if (view == nullptr)
			return false;
		message.AddString("topic", view->Name());
		return true;
	}
};

TEST_F(LibWindowTest, HelpRequestNamesTheViewsUnderTheMouseInnermostFirst)
{
	WindowPtr<TestWindow> window(new TestWindow());
	BView* outer = new BView(BRect(10, 10, 200, 200), "outer", B_FOLLOW_NONE, 0);
	BView* inner = new BView(BRect(20, 20, 60, 60), "inner", B_FOLLOW_NONE, 0);
	outer->AddChild(inner);
	window->AddChild(outer);
	window->MouseAt(BPoint(40, 40));
	BMessage request;
	window->MakeHelpRequest(request);
	EXPECT_EQ(request.what, uint32('help'));
	EXPECT_STREQ(request.FindString("window"), "Test Window");
	EXPECT_STREQ(request.FindString("view", 0), "inner");
	EXPECT_STREQ(request.FindString("view", 1), "outer");
	EXPECT_EQ(request.FindString("view", 2), nullptr);
	BMessage inserts;
	EXPECT_NE(request.FindMessage("inserts", &inserts), B_OK);

	WindowPtr<HelpWindow> helped(new HelpWindow());
	helped->AddChild(new BView(BRect(0, 0, 50, 50), "topic view", B_FOLLOW_NONE, 0));
	helped->MouseAt(BPoint(5, 5));
	BMessage withInserts;
	helped->MakeHelpRequest(withInserts);
	ASSERT_EQ(withInserts.FindMessage("inserts", &inserts), B_OK);
	EXPECT_STREQ(inserts.FindString("topic"), "topic view");
}

TEST_F(LibWindowTest, OnlyShiftF1PostsAHelpRequestToTheApplication)
{
	TestApp app;
	WindowPtr<TestWindow> window(new TestWindow());
	window->AddChild(new BView(BRect(0, 0, 50, 50), "target", B_FOLLOW_NONE, 0));
	window->MouseAt(BPoint(10, 10));
	struct KeyCase {
		int32 key;
		int32 modifiers;
		bool asks;
	};
	const KeyCase cases[] = {{B_F1_KEY, B_SHIFT_KEY, true},
	                         {B_F1_KEY, 0, false},
	                         {B_F2_KEY, B_SHIFT_KEY, false},
	                         {B_F1_KEY, B_SHIFT_KEY | B_CONTROL_KEY, true}};
	for (const KeyCase& c : cases) {
		BMessage key(B_KEY_DOWN);
		key.AddInt32("key", c.key);
		key.AddInt32("modifiers", c.modifiers);
		key.AddString("bytes", "\x10");
		window->DispatchMessage(&key, window.get());
		std::vector<BMessage> help = OfCode(app.Take(), 'help');
		ASSERT_EQ(help.size(), c.asks ? 1u : 0u) << c.key << " " << c.modifiers;
		if (c.asks) {
			EXPECT_STREQ(help[0].FindString("view"), "target");
		}
	}
}

} // namespace
