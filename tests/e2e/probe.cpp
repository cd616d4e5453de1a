// A small program that opens a window with the interface kit's controls, for
// the end-to-end tests: it reports what the user did as event lines.
#include <cstdio>
#include <cstring>
#include <string>

#include "Alert.h"
#include "Application.h"
#include "Box.h"
#include "Button.h"
#include "CheckBox.h"
#include "InterfaceHost.h"
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
		box->AddChild(new BScrollView("list_scroll", list, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, false,
			true));

		BListView* multi = new BListView(BRect(110, 33, 263, 140), "multi",
			B_MULTIPLE_SELECTION_LIST);
		multi->AddItem(new ColorItem({0, 0, 255, 255}));
		multi->AddItem(new ColorItem({0, 160, 0, 255}));
		multi->AddItem(new ColorItem({255, 0, 255, 255}));
		multi->SetSelectionMessage(new BMessage(kMultiSelected));
		box->AddChild(new BScrollView("multi_scroll", multi, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0,
			false, true));

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

		BButton* button = new BButton(BRect(330, 223, 425, 243), "button", "Ask",
			new BMessage(kAsk));
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
					message->what == kListSelected ? "list-selected" : "multi-selected",
					indexes.c_str());
				break;
			}
			case kChecked:
				InterfaceHost::Event("probe checked %d", int(message->FindInt32("be:value")));
				break;
			case kLanguage:
				InterfaceHost::Event("probe language %d marked %d", int(message->FindInt32("index")),
					int(fMenu->FindMarkedIndex()));
				break;
			case kAsk: {
				thread_id thread = spawn_thread(ask, "asker", B_NORMAL_PRIORITY, nullptr);
				resume_thread(thread);
				break;
			}
			default:
				BWindow::MessageReceived(message);
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

}  // namespace

int main()
{
	ProbeApp app;
	app.Run();
	InterfaceHost::Event("probe exit");
	return 0;
}
