// A small program that opens a window with the interface kit's controls, for
// the end-to-end tests: it reports what the user did as event lines. With the
// argument "toolkit" it shows rotated text and a button with a tool-tip; with
// "sysinfo" it prints the screen as the machine snapshot sees it.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

#include "Alert.h"
#include "Application.h"
#include "Box.h"
#include "Button.h"
#include "CheckBox.h"
#include "Font.h"
#include "InterfaceHost.h"
#include "LibPictureButton.h"
#include "LibSysInfo.h"
#include "LibTipManager.h"
#include "ListItem.h"
#include "ListView.h"
#include "MenuField.h"
#include "MenuItem.h"
#include "Message.h"
#include "OS.h"
#include "PopUpMenu.h"
#include "ScrollView.h"
#include "StatusBar.h"
#include "StringItem.h"
#include "StringView.h"
#include "TextView.h"
#include "Window.h"

namespace {

enum : uint32 {
	kListSelected = 'lsel',
	kMultiSelected = 'msel',
	kChecked = 'chck',
	kLanguage = 'lang',
	kAsk = 'ask_',
};

// A row drawn as a block of its own colour, grey when selected.
class ColorItem : public BListItem {
public:
	explicit ColorItem(rgb_color color) : fColor(color) {}

	void Update(BView* owner, const BFont* font) override
	{
		BListItem::Update(owner, font);
		SetHeight(18);
	}

	void DrawItem(BView* owner, BRect frame, bool complete) override
	{
		owner->SetHighColor(IsSelected() ? rgb_color{216, 216, 216, 255} : owner->ViewColor());
		owner->FillRect(frame);
		owner->SetHighColor(fColor);
		owner->FillRect(BRect(frame.left + 2, frame.top + 1, frame.left + 17, frame.top + 16));
	}

private:
	rgb_color fColor;
};

// A view that fills exactly its frame, so a screenshot shows where it is.
class MarkerView : public BView {
public:
	MarkerView(BRect frame) : BView(frame, "marker", B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW) {}

	void Draw(BRect updateRect) override
	{
		SetHighColor(255, 0, 0);
		FillRect(Bounds());
	}

	void MouseDown(BPoint where) override
	{
		InterfaceHost::Event("probe marker-click %d %d", int(where.x), int(where.y));
	}
};

int32 ask(void* data)
{
	BAlert* alert = new BAlert("Question", "Replace the file?", "Cancel", "Replace", nullptr,
	                           B_WIDTH_AS_USUAL, B_WARNING_ALERT);
	alert->SetShortcut(0, 'c');
	bool applyToAll = false;
	alert->AddCheckBox("Apply to all", &applyToAll);
	int32 answer = alert->Go();
	InterfaceHost::Event("probe alert-result %d apply %d", int(answer), applyToAll ? 1 : 0);
	return 0;
}

class ProbeWindow : public BWindow {
public:
	ProbeWindow()
	    : BWindow(BRect(100, 80, 555, 337), "Probe", B_TITLED_WINDOW,
	              B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE)
	{
		BView* background = new BView(Bounds(), "bgview", B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
		background->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
		AddChild(background);
		background->AddChild(new MarkerView(BRect(10, 16, 160, 216)));

		BBox* box = new BBox(BRect(165, 10, 445, 216), "box");
		box->SetLabel("Installation");
		background->AddChild(box);
		box->AddChild(new BStringView(BRect(10, 15, 70, 30), "label", "Groups"));

		BListView* list = new BListView(BRect(10, 33, 80, 140), "list");
		for (const char* name : {"Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta", "Eta"})
			list->AddItem(new BStringItem(name));
		list->SetSelectionMessage(new BMessage(kListSelected));
		box->AddChild(
		        new BScrollView("list_scroll", list, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, false, true));

		BListView* multi =
		        new BListView(BRect(110, 33, 263, 140), "multi", B_MULTIPLE_SELECTION_LIST);
		multi->AddItem(new ColorItem({0, 0, 255, 255}));
		multi->AddItem(new ColorItem({0, 160, 0, 255}));
		multi->AddItem(new ColorItem({255, 0, 255, 255}));
		multi->SetSelectionMessage(new BMessage(kMultiSelected));
		box->AddChild(new BScrollView("multi_scroll", multi, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, false,
		                              true));

		box->AddChild(new BCheckBox(BRect(10, 150, 150, 168), "check", "Apply to all",
		                            new BMessage(kChecked)));

		BPopUpMenu* menu = new BPopUpMenu("");
		fMenu = menu;
		for (const char* name : {"English", "French", "German"})
			menu->AddItem(new BMenuItem(name, new BMessage(kLanguage)));
		menu->ItemAt(0)->SetMarked(true);
		box->AddChild(new BMenuField(BRect(160, 150, 270, 172), "menu", nullptr, menu));

		BStatusBar* status = new BStatusBar(BRect(10, 175, 270, 200), "status", "Copying ");
		status->SetMaxValue(100);
		status->Update(50, "file");
		box->AddChild(status);

		BButton* button =
		        new BButton(BRect(330, 223, 425, 243), "button", "Ask", new BMessage(kAsk));
		background->AddChild(button);
		SetDefaultButton(button);
	}

	void MessageReceived(BMessage* message) override
	{
		switch (message->what) {
			case kListSelected:
			case kMultiSelected: {
				std::string indexes;
				int32 index;
				for (int32 i = 0; message->FindInt32("index", i, &index) == B_OK; i++)
					indexes += " " + std::to_string(index);
				InterfaceHost::Event("probe %s%s",
				                     message->what == kListSelected ? "list-selected"
				                                                    : "multi-selected",
				                     indexes.c_str());
				break;
			}
			case kChecked:
				InterfaceHost::Event("probe checked %d", int(message->FindInt32("be:value")));
				break;
			case kLanguage:
				InterfaceHost::Event("probe language %d marked %d",
				                     int(message->FindInt32("index")),
				                     int(fMenu->FindMarkedIndex()));
				break;
			case kAsk: {
				thread_id thread = spawn_thread(ask, "asker", B_NORMAL_PRIORITY, nullptr);
				resume_thread(thread);
				break;
			}
			default: BWindow::MessageReceived(message);
		}
	}

	bool QuitRequested() override
	{
		be_app->PostMessage(B_QUIT_REQUESTED);
		return true;
	}

private:
	BMenu* fMenu = nullptr;
};

class ProbeApp : public BApplication {
public:
	ProbeApp() : BApplication("application/x-vnd.Vantry-probe") {}

	void ReadyToRun() override
	{
		fWindow = new ProbeWindow();
		fWindow->Show();
	}

private:
	ProbeWindow* fWindow = nullptr;
};

// Text drawn at 90 degrees, so it reads upwards from its starting point.
class RotatedTextView : public BView {
public:
	static constexpr const char* kText = "Rotated type";
	static constexpr float kSize = 20;

	RotatedTextView(BRect frame, BPoint start)
	    : BView(frame, "rotated", B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW), fStart(start)
	{
		SetViewColor(255, 255, 255);
	}

	static BFont RotatedFont()
	{
		BFont font(be_plain_font);
		font.SetSize(kSize);
		font.SetRotation(90);
		return font;
	}

	void Draw(BRect updateRect) override
	{
		BFont font = RotatedFont();
		SetFont(&font);
		SetHighColor(0, 0, 0);
		DrawString(kText, fStart);
	}

private:
	BPoint fStart;
};

// A picture button whose tip stays up two seconds, so the test is short.
class TipButton : public LibPictureButton {
public:
	static constexpr int8 kSide = 24;

	TipButton(BPoint where, const uint8* face)
	    : LibPictureButton(where, kSide, kSide, "tip_button", face, face, 'tbtn')
	{
		AddTip(LIB_TIP_MESSAGE, "Shows a tip");
	}

protected:
	void PostTipRequest(BMessage& request) override
	{
		request.AddInt16("edelay", 2);
		LibPictureButton::PostTipRequest(request);
	}
};

class ToolkitWindow : public BWindow {
public:
	ToolkitWindow()
	    : BWindow(BRect(100, 80, 399, 359), "Toolkit", B_TITLED_WINDOW,
	              B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE)
	{
		BView* background = new BView(Bounds(), "bgview", B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
		background->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
		AddChild(background);

		// In the window's coordinates the text starts at (70, 230).
		BRect textFrame(10, 10, 129, 249);
		BPoint start(60, 220);
		background->AddChild(new RotatedTextView(textFrame, start));
		font_height height;
		BFont font = RotatedTextView::RotatedFont();
		font.GetHeight(&height);
		InterfaceHost::Event("probe rotated %d %d %d %d %d %d %d %d %d", int(textFrame.left),
		                     int(textFrame.top), int(textFrame.right), int(textFrame.bottom),
		                     int(textFrame.left + start.x), int(textFrame.top + start.y),
		                     int(font.StringWidth(RotatedTextView::kText)),
		                     int(height.ascent + 0.5f), int(height.descent + 0.5f));

		std::fill(std::begin(fFace), std::end(fFace), uint8(0x2a));
		background->AddChild(new TipButton(BPoint(160, 20), fFace));
	}

	bool QuitRequested() override
	{
		be_app->PostMessage(B_QUIT_REQUESTED);
		return true;
	}

private:
	uint8 fFace[TipButton::kSide * TipButton::kSide];
};

// Runs the tool-tip manager as an application does: tip requests and pulses.
class ToolkitApp : public BApplication {
public:
	ToolkitApp() : BApplication("application/x-vnd.Vantry-probe") {}

	void ReadyToRun() override { (new ToolkitWindow())->Show(); }

	void MessageReceived(BMessage* message) override
	{
		if (message->what != LIB_TIP_MESSAGE) {
			BApplication::MessageReceived(message);
			return;
		}
		bool show = false;
		message->FindBool("show", &show);
		InterfaceHost::Event("probe tip-request %d", show ? 1 : 0);
		fTips.MessageReceived(message);
	}

	void Pulse() override { fTips.PostPending(); }

private:
	LibTipManager fTips;
};

// The screen fields of a fresh snapshot: width, height and depth name.
void print_sysinfo()
{
	LibSysInfo info;
	printf("screen %d %d %s\n", int(info.screenWidth), int(info.screenHeight),
	       info.ScreenDepthStr());
}

} // namespace

int main(int argc, char** argv)
{
	std::string scene = argc > 1 ? argv[1] : "";
	if (scene == "sysinfo") {
		print_sysinfo();
		return 0;
	}
	if (scene == "toolkit") {
		ToolkitApp app;
		app.Run();
		InterfaceHost::Event("probe exit");
		return 0;
	}
	ProbeApp app;
	app.Run();
	InterfaceHost::Event("probe exit");
	return 0;
}
