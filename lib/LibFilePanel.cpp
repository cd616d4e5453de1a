// LibFilePanel: folder placement, state and the format menu.
#include "LibFilePanel.h"

#include "Looper.h"
#include "Menu.h"
#include "MenuItem.h"
#include "Message.h"
#include "Path.h"
#include "Window.h"

LibFilePanel::LibFilePanel(file_panel_mode mode, BLooper* target, const uint32& command,
                           const uint32& nodeFlavors, const bool& allowMultiple)
    : BFilePanel(mode, nullptr, nullptr, nodeFlavors, allowMultiple, nullptr, nullptr, false,
                 false),
      fFormatMenu(nullptr)
{
	SetTarget(BMessenger(target));
	BMessage message(command);
	SetMessage(&message);
	SetRefFilter(&fFilter);
}

LibFilePanel::~LibFilePanel()
{
	SetRefFilter(nullptr);
	delete fFormatMenu;
}

void LibFilePanel::SetPanelDirectory(const char* path)
{
	if (path == nullptr)
		return;
	BPath folder;
	BPath(path).GetParent(&folder);
	if (folder.Path() != nullptr)
		BFilePanel::SetPanelDirectory(folder.Path());
}

void LibFilePanel::SetPanelDirectory(const directory_which& which)
{
	BPath folder;
	if (find_directory(which, &folder) == B_OK)
		BFilePanel::SetPanelDirectory(folder.Path());
}

void LibFilePanel::SetToParentDirectory()
{
	BPath parent;
	if (BPath(PanelDirectoryPath()).GetParent(&parent) == B_OK)
		BFilePanel::SetPanelDirectory(parent.Path());
}

void LibFilePanel::GetState(BMessage& state) const
{
	state.AddString("directory", PanelDirectoryPath());
	if (Window() != nullptr)
		state.AddRect("frame", Window()->Frame());
}

void LibFilePanel::SetState(const BMessage& state)
{
	const char* folder = nullptr;
	if (state.FindString("directory", &folder) == B_OK)
		BFilePanel::SetPanelDirectory(folder);
	BRect frame;
	BWindow* window = Window();
	if (window == nullptr || state.FindRect("frame", &frame) != B_OK || !frame.IsValid())
		return;
	if (window->Lock()) {
		window->MoveTo(frame.LeftTop());
		window->ResizeTo(frame.Width(), frame.Height());
		window->Unlock();
	}
}

void LibFilePanel::AddFormatMenuItem(const char* label, const bool& marked)
{
	if (label == nullptr)
		return;
	if (fFormatMenu == nullptr) {
		fFormatMenu = new BMenu("Format");
		fFormatMenu->SetRadioMode(true);
	}
	BMenuItem* item = new BMenuItem(label, nullptr);
	fFormatMenu->AddItem(item);
	if (marked)
		item->SetMarked(true);
}

const char* LibFilePanel::MarkedFormat() const
{
	if (fFormatMenu == nullptr)
		return nullptr;
	BMenuItem* item = fFormatMenu->FindMarked();
	return item != nullptr ? item->Label() : nullptr;
}

void LibFilePanel::SendMessage(const BMessenger* target, BMessage* message)
{
	const char* format = MarkedFormat();
	if (message != nullptr && format != nullptr)
		message->AddString("marked", format);
	BFilePanel::SendMessage(target, message);
}
