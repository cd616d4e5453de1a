// Tool-tips: requests with and without delays, the application's pulse, the
// tip window's size and place, switching tips off, and hiding after the end delay.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "LibTipManager.h"
#include "LibTipString.h"
#include "LibTipWin.h"
#include "LibToolkitTestSupport.h"

using namespace toolkit_test;

namespace {

const bigtime_t kSecond = 1000000;

BMessage TipRequest(bool show, const char* text = "Install the product", int32 width = -1,
                    int16 startDelay = -1, int16 endDelay = -1)
{
	BMessage request('stip');
	request.AddBool("show", show);
	request.AddString("tip", text);
	request.AddPoint("loc", BPoint(120, 240));
	if (width >= 0)
		request.AddInt32("width", width);
	if (startDelay >= 0)
		request.AddInt16("sdelay", startDelay);
	if (endDelay >= 0)
		request.AddInt16("edelay", endDelay);
	return request;
}

struct TipState {
	bool hidden;
	BPoint where;
	BRect bounds;
	bigtime_t pulse;
	std::string text;
};

TipState StateOf(LibTipWin* window)
{
	EXPECT_TRUE(window->Lock());
	TipState state = {window->IsHidden(), window->Frame().LeftTop(), window->Bounds(),
	                  window->PulseRate(), window->Text()};
	window->Unlock();
	return state;
}

TEST(LibTipManagerTest, NoStartDelayShowsAtOnce)
{
	TestApp app;
	LibTipManager tips;
	BMessage request = TipRequest(true, "Now", -1, 0, 2);
	tips.MessageReceived(&request);
	ASSERT_NE(tips.TipWindow(), nullptr);
	TipState state = StateOf(tips.TipWindow());
	EXPECT_FALSE(state.hidden);
	EXPECT_EQ(state.where, BPoint(120, 240));
	EXPECT_EQ(state.text, "Now");
	EXPECT_EQ(state.pulse, 2 * kSecond);
	EXPECT_FALSE(tips.IsPending());
	EXPECT_EQ(app.PulseRate(), 0);
}

TEST(LibTipManagerTest, DefaultDelaysWaitForThePulseThenStayFourSeconds)
{
	TestApp app;
	LibTipManager tips;
	BMessage request = TipRequest(true);
	tips.MessageReceived(&request);
	EXPECT_TRUE(tips.IsPending());
	EXPECT_EQ(tips.StartDelay(), 1);
	EXPECT_EQ(tips.EndDelay(), 4);
	EXPECT_EQ(app.PulseRate(), kSecond);
	EXPECT_TRUE(StateOf(tips.TipWindow()).hidden);
	tips.PostPending();
	TipState state = StateOf(tips.TipWindow());
	EXPECT_FALSE(state.hidden);
	EXPECT_EQ(state.pulse, 4 * kSecond);
	EXPECT_FALSE(tips.IsPending());
	// Nothing more is pending: another pulse changes nothing.
	tips.PostPending();
	EXPECT_FALSE(StateOf(tips.TipWindow()).hidden);
}

TEST(LibTipManagerTest, HideRequestHidesAndStopsThePulse)
{
	TestApp app;
	LibTipManager tips;
	BMessage show = TipRequest(true, "Tip", -1, 0);
	tips.MessageReceived(&show);
	BMessage pending = TipRequest(true, "Later", -1, 3);
	tips.MessageReceived(&pending);
	EXPECT_EQ(app.PulseRate(), 3 * kSecond);
	BMessage hide = TipRequest(false);
	tips.MessageReceived(&hide);
	EXPECT_TRUE(StateOf(tips.TipWindow()).hidden);
	EXPECT_FALSE(tips.IsPending());
	EXPECT_EQ(app.PulseRate(), 0);
	BMessage bare('stip');
	tips.MessageReceived(&show);
	tips.MessageReceived(&bare); // no "show" field: hide
	EXPECT_TRUE(StateOf(tips.TipWindow()).hidden);
}

TEST(LibTipManagerTest, SwitchedOffTipsIgnoreRequests)
{
	TestApp app;
	LibTipManager tips;
	EXPECT_TRUE(tips.ShowTips());
	tips.ToggleTips();
	EXPECT_FALSE(tips.ShowTips());
	BMessage request = TipRequest(true, "Ignored", -1, 0);
	tips.MessageReceived(&request);
	EXPECT_EQ(tips.TipWindow(), nullptr);
	EXPECT_FALSE(tips.IsPending());
	tips.SetShowTips(true);
	tips.MessageReceived(&request);
	ASSERT_NE(tips.TipWindow(), nullptr);
	EXPECT_FALSE(StateOf(tips.TipWindow()).hidden);
}

TEST(LibTipManagerTest, TipWindowSizeFollowsTheTextAndWidth)
{
	TestApp app;
	LibTipManager tips;
	const char* text = "Choose where the product goes on your disk";
	BMessage oneLine = TipRequest(true, text, 0, 0);
	tips.MessageReceived(&oneLine);
	LibTipWin* window = tips.TipWindow();
	ASSERT_TRUE(window->Lock());
	float textWidth = window->TipString()->StringWidth(text);
	EXPECT_FLOAT_EQ(window->Bounds().Width(), textWidth + 3);
	EXPECT_FLOAT_EQ(window->Bounds().Height(), 13);
	window->Unlock();

	BMessage wrapped = TipRequest(true, text, 80, 0);
	tips.MessageReceived(&wrapped);
	ASSERT_TRUE(window->Lock());
	int32 lines = window->TipString()->CountLines();
	EXPECT_GT(lines, 1);
	EXPECT_FLOAT_EQ(window->Bounds().Width(), 83);
	EXPECT_FLOAT_EQ(window->Bounds().Height(), lines * window->TipString()->LineHeight(0) + 2);
	window->Unlock();
}

TEST(LibTipManagerTest, TipWindowLooksAndFloatsAsATip)
{
	LibTipWin* window = new LibTipWin();
	EXPECT_STREQ(window->Title(), "LibTipWin");
	EXPECT_EQ(window->Look(), B_BORDERED_WINDOW_LOOK);
	EXPECT_EQ(window->Feel(), B_FLOATING_APP_WINDOW_FEEL);
	EXPECT_EQ(window->Flags(), 0x6061u);
	LibTipString* text = window->TipString();
	EXPECT_STREQ(text->Name(), "text_view");
	EXPECT_EQ(text->ViewColor(), (rgb_color{255, 255, 203, 255}));
	EXPECT_FALSE(text->IsEditable());
	EXPECT_FALSE(text->IsSelectable());
	BFont font;
	text->GetFont(&font);
	EXPECT_FLOAT_EQ(font.Size(), 10);
	EXPECT_EQ(text->TextRect(), text->Bounds().InsetByCopy(1, 1));
	Close(window);
}

TEST(LibTipManagerTest, TipHidesOneEndDelayAfterAppearing)
{
	TestApp app;
	LibTipManager tips;
	BMessage request = TipRequest(true, "Brief", -1, 0, 1);
	auto start = std::chrono::steady_clock::now();
	tips.MessageReceived(&request);
	bool hidden = false;
	while (!hidden && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
		std::this_thread::sleep_for(std::chrono::milliseconds(20));
		hidden = StateOf(tips.TipWindow()).hidden;
	}
	double elapsed =
	        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
	EXPECT_TRUE(hidden);
	EXPECT_GT(elapsed, 0.9);
	EXPECT_EQ(StateOf(tips.TipWindow()).pulse, 0);
}

TEST(LibTipManagerTest, LosingActivationHidesTheTip)
{
	TestApp app;
	LibTipManager tips;
	BMessage request = TipRequest(true, "Focus", -1, 0);
	tips.MessageReceived(&request);
	LibTipWin* window = tips.TipWindow();
	ASSERT_TRUE(window->Lock());
	window->WindowActivated(false);
	EXPECT_TRUE(window->IsHidden());
	window->Unlock();
}

} // namespace
