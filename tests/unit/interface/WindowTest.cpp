// Windows: state, keyboard routing (default button, shortcuts), controls
// invoking their targets, pulses and mount messages, on a running looper.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "Button.h"
#include "CheckBox.h"
#include "InterfaceTestSupport.h"
#include "Message.h"

namespace {

const uint32 kPressed = 'prsd';
const uint32 kToggled = 'tggl';
const uint32 kShortcut = 'shct';

BMessage key_message(const char* bytes, uint32 modifiers, int32 rawChar)
{
	BMessage message(B_KEY_DOWN);
	message.AddString("bytes", bytes);
	message.AddInt32("modifiers", int32(modifiers));
	message.AddInt32("raw_char", rawChar);
	message.AddInt32("key", 0);
	return message;
}

class PulseView : public BView {
public:
	PulseView() : BView(BRect(0, 0, 5, 5), "pulse", B_FOLLOW_NONE, B_PULSE_NEEDED) {}
	void Pulse() override { pulses++; }
	std::atomic<int> pulses{0};
};

} // namespace

TEST(WindowTest, Constants_AreThoseOfThePlatform)
{
	BWindow* window =
	        new BWindow(BRect(0, 0, 455, 257), "InstallerWin", B_TITLED_WINDOW_LOOK,
	                    B_NORMAL_WINDOW_FEEL, B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE);
	EXPECT_EQ(window->Type(), B_TITLED_WINDOW);
	EXPECT_EQ(window->Flags(), 0x4042u);
	EXPECT_TRUE(window->IsHidden()) << "windows start hidden";
	EXPECT_EQ(window->Bounds(), BRect(0, 0, 455, 257));
	window->SetTitle("Setup");
	EXPECT_STREQ(window->Title(), "Setup");
	window->MoveTo(312, 234);
	EXPECT_EQ(window->Frame(), BRect(312, 234, 767, 491));
	EXPECT_TRUE(window->HasShortcut('W', B_COMMAND_KEY));
	window->RemoveShortcut('W', B_COMMAND_KEY);
	EXPECT_FALSE(window->HasShortcut('w', B_COMMAND_KEY));
	window->Quit();

	BWindow* tip = new BWindow(BRect(0, 0, 100, 13), "LibTipWin", B_BORDERED_WINDOW_LOOK,
	                           B_FLOATING_APP_WINDOW_FEEL, 0x6061);
	EXPECT_TRUE(tip->IsFloating());
	EXPECT_FALSE(tip->HasShortcut('W', B_COMMAND_KEY)) << "not closable: no Command+W";
	tip->Quit();
}

TEST(WindowTest, ResizeTo_ResizesTheViewsAndKeepsLimits)
{
	BWindow* window = new BWindow(BRect(0, 0, 99, 99), "w", B_TITLED_WINDOW, 0);
	BView* all = new BView(window->Bounds(), "all", B_FOLLOW_ALL_SIDES, 0);
	window->AddChild(all);
	window->SetSizeLimits(50, 150, 50, 150);
	window->ResizeTo(200, 120);
	EXPECT_EQ(window->Bounds(), BRect(0, 0, 150, 120));
	EXPECT_EQ(all->Frame(), BRect(0, 0, 150, 120));
	window->Quit();
}

TEST(WindowTest, EnterInvokesTheDefaultButtonAndCommandKeysTheShortcuts)
{
	auto* window = new RecordingWindow();
	BButton* button = new BButton(BRect(10, 10, 80, 30), "button", "OK", new BMessage(kPressed));
	window->AddChild(button);
	window->SetDefaultButton(button);
	window->AddShortcut('x', 0, new BMessage(kShortcut));
	window->Show();
	EXPECT_TRUE(button->IsDefault());

	BMessage enter = key_message("\n", 0, '\n');
	window->PostMessage(&enter);
	EXPECT_TRUE(window->WaitFor(kPressed));
	BMessage command = key_message("X", B_COMMAND_KEY | B_SHIFT_KEY, 'X');
	window->PostMessage(&command);
	EXPECT_TRUE(window->WaitFor(kShortcut));

	window->OnThread([&] { button->SetEnabled(false); });
	window->Forget();
	window->PostMessage(&enter);
	BMessage plainX = key_message("x", 0, 'x');
	window->PostMessage(&plainX);
	window->PostMessage(kShortcut + 1);
	window->WaitFor(kShortcut + 1);
	EXPECT_EQ(window->Count(kPressed), 0) << "a disabled default button ignores Enter";
	EXPECT_EQ(window->Count(kShortcut), 0) << "shortcuts need the Command key";
	close_window(window);
}

TEST(WindowTest, Controls_ReportTheUsersActionThroughTheirMessage)
{
	auto* window = new RecordingWindow();
	BCheckBox* check =
	        new BCheckBox(BRect(10, 10, 100, 25), "check", "Apply to all", new BMessage(kToggled));
	window->AddChild(check);
	window->Show();
	BMessenger messenger(check, nullptr);
	messenger.SendMessage(BControl::kHostAction);
	BMessage toggled;
	ASSERT_TRUE(window->WaitFor(kToggled, &toggled));
	EXPECT_EQ(toggled.FindInt32("be:value"), B_CONTROL_ON);
	void* source = nullptr;
	EXPECT_EQ(toggled.FindPointer("source", &source), B_OK);
	EXPECT_EQ(source, check);
	window->OnThread([&] { EXPECT_EQ(check->Value(), B_CONTROL_ON); });

	window->Forget();
	window->OnThread([&] { check->SetEnabled(false); });
	messenger.SendMessage(BControl::kHostAction);
	window->PostMessage(kPressed);
	window->WaitFor(kPressed);
	EXPECT_EQ(window->Count(kToggled), 0) << "a disabled control does not act";
	window->OnThread([&] { EXPECT_EQ(check->Value(), B_CONTROL_ON); });
	close_window(window);
}

TEST(WindowTest, PulseAndMountMessages_ReachTheWindow)
{
	auto* window = new RecordingWindow();
	PulseView* view = new PulseView();
	window->AddChild(view);
	window->Show();
	window->OnThread([&] { window->SetPulseRate(5000); });
	for (int i = 0; i < 200 && view->pulses < 3; i++)
		std::this_thread::sleep_for(std::chrono::milliseconds(5));
	EXPECT_GE(view->pulses.load(), 3);

	BMessage mounted(B_NODE_MONITOR);
	mounted.AddInt32("opcode", 6);
	mounted.AddInt32("new device", 7);
	BMessenger(nullptr, window).SendMessage(&mounted);
	BMessage received;
	ASSERT_TRUE(window->WaitFor(B_NODE_MONITOR, &received));
	EXPECT_EQ(received.FindInt32("opcode"), 6);
	close_window(window);
}
