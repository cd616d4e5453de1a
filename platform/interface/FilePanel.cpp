// BFilePanel: a window listing a folder (filtered by node flavours and the
// reference filter) from which the user picks entries or a folder.
#include "FilePanel.h"

#include <sys/stat.h>
#include <sys/xattr.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>

#include "Application.h"
#include "Button.h"
#include "ListView.h"
#include "Message.h"
#include "RefFilter.h"
#include "ScrollView.h"
#include "StringItem.h"
#include "StringView.h"
#include "TextView.h"
#include "Window.h"

namespace {

// The storage kit's node flavours, which this layer may not include.
const uint32 kFileNode = 0x01;
const uint32 kSymlinkNode = 0x02;
const uint32 kDirectoryNode = 0x04;

enum : uint32 {
	kOpen = '_fpO',
	kCancelPanel = '_fpC',
	kParent = '_fpP',
	kEnter = '_fpE',
	kNewFolder = '_fpN',
};

// The folder's path, which a person may also type; Enter goes there.
class PathField : public BTextView {
public:
	explicit PathField(BRect frame)
	    : BTextView(frame, "path", BRect(2, 1, frame.Width() - 2, frame.Height() - 1),
	                B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE | B_FRAME_EVENTS)
	{
		SetWordWrap(false);
	}

	void FrameResized(float width, float height) override
	{
		SetTextRect(BRect(2, 1, width - 2, height - 1));
		BTextView::FrameResized(width, height);
	}

	// Typing replaces the path shown.
	void MakeFocus(bool focus) override
	{
		BTextView::MakeFocus(focus);
		if (focus)
			SelectAll();
	}
};

// Hidden entries last, each part in name order.
bool ListedBefore(const std::string& a, const std::string& b)
{
	const bool hiddenA = !a.empty() && a[0] == '.';
	const bool hiddenB = !b.empty() && b[0] == '.';
	return hiddenA != hiddenB ? hiddenB : a < b;
}

std::string parent_of(const std::string& path)
{
	std::filesystem::path p(path);
	std::string parent = p.parent_path().string();
	return parent.empty() ? "/" : parent;
}

std::string mime_type_of(const std::string& path, const struct stat& st)
{
	if (S_ISDIR(st.st_mode)) {
		struct stat parent;
		bool mountPoint = stat(parent_of(path).c_str(), &parent) == 0 && parent.st_dev != st.st_dev;
		return mountPoint || path == "/" ? "application/x-vnd.Be-volume"
		                                 : "application/x-vnd.Be-directory";
	}
	if (S_ISLNK(st.st_mode))
		return "application/x-vnd.Be-symlink";
	char type[256];
	ssize_t length = getxattr(path.c_str(), "user.mime_type", type, sizeof(type) - 1);
	if (length > 0) {
		type[length] = '\0';
		return type;
	}
	return "application/octet-stream";
}

} // namespace

status_t entry_ref_for_path(const char* path, entry_ref* ref)
{
	if (path == nullptr || ref == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	std::filesystem::path p = std::filesystem::path(path).lexically_normal();
	std::string text = p.string();
	if (text.size() > 1 && text.back() == '/')
		text.pop_back();
	std::string folder = parent_of(text);
	std::string leaf = std::filesystem::path(text).filename().string();
	if (leaf.empty())
		leaf = ".";
	struct stat st;
	if (stat(folder.c_str(), &st) != 0)
		return B_ENTRY_NOT_FOUND;
	*ref = entry_ref(int32(st.st_dev), int64(st.st_ino), leaf.c_str());
	ref->directory_path = folder;
	return B_OK;
}

// The panel's window: the folder's path, its entries and the buttons.
class FilePanelWindow : public BWindow {
public:
	explicit FilePanelWindow(BFilePanel* panel)
	    : BWindow(BRect(120, 100, 519, 399), panel->PanelMode() == B_SAVE_PANEL ? "Save" : "Open",
	              B_TITLED_WINDOW, B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE),
	      fPanel(panel)
	{
		if (panel->IsModal())
			SetFeel(B_MODAL_APP_WINDOW_FEEL);
		BView* background = new BView(Bounds(), "background", B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
		background->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
		AddChild(background);
		fPath = new PathField(BRect(12, 6, 387, 24));
		background->AddChild(new BScrollView("path_frame", fPath,
		                                     B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, 0, false, false,
		                                     B_FANCY_BORDER));
		fList = new BListView(BRect(12, 32, 372, 250), "entries",
		                      panel->fMultiple ? B_MULTIPLE_SELECTION_LIST
		                                       : B_SINGLE_SELECTION_LIST,
		                      B_FOLLOW_ALL_SIDES);
		fList->SetInvocationMessage(new BMessage(kEnter));
		background->AddChild(
		        new BScrollView("entries_scroll", fList, B_FOLLOW_ALL_SIDES, 0, false, true));
		BRect button(10, 266, 89, 289);
		background->AddChild(new BButton(button, "parent", "Parent", new BMessage(kParent),
		                                 B_FOLLOW_LEFT | B_FOLLOW_BOTTOM));
		if ((panel->NodeFlavors() & kDirectoryNode) != 0)
			background->AddChild(new BButton(
			        BRect(96, 266, 205, 289), "new_folder", panel->fNewFolderLabel.c_str(),
			        new BMessage(kNewFolder), B_FOLLOW_LEFT | B_FOLLOW_BOTTOM));
		button.OffsetTo(220, 266);
		background->AddChild(new BButton(button, "cancel", panel->fCancelLabel.c_str(),
		                                 new BMessage(kCancelPanel),
		                                 B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM));
		button.OffsetTo(310, 266);
		BButton* open = new BButton(button, "open", panel->fDefaultLabel.c_str(),
		                            new BMessage(kOpen), B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
		background->AddChild(open);
		SetDefaultButton(open);
		Fill();
	}

	~FilePanelWindow() override { Clear(); }

	// Lists the panel's folder again.
	void Fill()
	{
		Clear();
		fPath->SetText(fPanel->fDirectory.c_str());
		fPath->Select(fPath->TextLength(), fPath->TextLength());
		for (const std::string& name : fPanel->ListedEntries())
			fList->AddItem(new BStringItem(name.c_str()));
	}

	// Enter in the path field goes to the folder typed, not to the default button.
	void DispatchMessage(BMessage* message, BHandler* handler) override
	{
		const char* bytes = nullptr;
		if (message->what == B_KEY_DOWN && CurrentFocus() == fPath &&
		    message->FindString("bytes", &bytes) == B_OK && bytes[0] == B_ENTER) {
			fPanel->SetPanelDirectory(fPath->Text());
			return;
		}
		BWindow::DispatchMessage(message, handler);
	}

	void MessageReceived(BMessage* message) override
	{
		switch (message->what) {
			case kOpen: fPanel->ChooseEntries(Selected()); break;
			case kEnter: Enter(); break;
			case kParent: fPanel->SetPanelDirectory(parent_of(fPanel->fDirectory).c_str()); break;
			case kNewFolder: Select(fPanel->MakeFolder()); break;
			case kCancelPanel: fPanel->Cancel(); break;
			default: BWindow::MessageReceived(message);
		}
	}

	bool QuitRequested() override
	{
		fPanel->Cancel();
		return false;
	}

private:
	void Select(const std::string& name)
	{
		for (int32 i = 0; i < fList->CountItems(); i++) {
			if (name == static_cast<BStringItem*>(fList->ItemAt(i))->Text()) {
				fList->Select(i);
				fList->ScrollToSelection();
			}
		}
	}

	std::vector<std::string> Selected() const
	{
		std::vector<std::string> names;
		for (int32 i = 0; fList->CurrentSelection(i) >= 0; i++) {
			auto* item = static_cast<BStringItem*>(fList->ItemAt(fList->CurrentSelection(i)));
			names.push_back(item->Text());
		}
		return names;
	}

	void Enter()
	{
		std::vector<std::string> names = Selected();
		if (names.size() != 1)
			return;
		std::string path = fPanel->fDirectory + "/" + names[0];
		if (std::filesystem::is_directory(path))
			fPanel->SetPanelDirectory(path.c_str());
		else
			fPanel->ChooseEntries(names);
	}

	void Clear()
	{
		while (!fList->IsEmpty())
			delete fList->RemoveItem(fList->CountItems() - 1);
	}

	BFilePanel* fPanel;
	BTextView* fPath;
	BListView* fList;
};

BFilePanel::BFilePanel(file_panel_mode mode, BMessenger* target, const entry_ref* directory,
                       uint32 nodeFlavors, bool allowMultipleSelection, BMessage* message,
                       BRefFilter* filter, bool modal, bool hideWhenDone)
    : fMode(mode), fTarget(target != nullptr ? *target : be_app_messenger),
      fMessage(message != nullptr ? new BMessage(*message) : nullptr), fFilter(filter),
      fNodeFlavors(nodeFlavors != 0 ? nodeFlavors : kFileNode), fMultiple(allowMultipleSelection),
      fModal(modal), fHideWhenDone(hideWhenDone),
      fDefaultLabel(mode == B_SAVE_PANEL ? "Save" : "Open"), fCancelLabel("Cancel"),
      fNewFolderLabel("New Folder"), fNextSelected(0), fWindow(nullptr)
{
	const char* home = getenv("HOME");
	fDirectory = home != nullptr ? home : "/";
	if (directory != nullptr)
		SetPanelDirectory(directory);
}

BFilePanel::~BFilePanel()
{
	if (fWindow != nullptr && fWindow->Lock())
		fWindow->BLooper::Quit();
	delete fMessage;
}

void BFilePanel::Show()
{
	if (fWindow == nullptr)
		fWindow = new FilePanelWindow(this);
	else if (fWindow->Lock()) {
		fWindow->Fill();
		fWindow->Unlock();
	}
	if (fWindow->IsHidden())
		fWindow->Show();
}

void BFilePanel::Hide()
{
	if (fWindow != nullptr && !fWindow->IsHidden())
		fWindow->Hide();
	WasHidden();
}

bool BFilePanel::IsShowing() const
{
	return fWindow != nullptr && !fWindow->IsHidden();
}

BWindow* BFilePanel::Window() const
{
	// Made on first need, hidden, as the platform's exists from the start.
	if (fWindow == nullptr)
		fWindow = new FilePanelWindow(const_cast<BFilePanel*>(this));
	return fWindow;
}

void BFilePanel::SendMessage(const BMessenger* target, BMessage* message)
{
	if (target != nullptr && message != nullptr)
		target->SendMessage(message);
}

void BFilePanel::WasHidden() {}

void BFilePanel::SelectionChanged() {}

void BFilePanel::SetTarget(BMessenger target)
{
	fTarget = target;
}

void BFilePanel::SetMessage(BMessage* message)
{
	delete fMessage;
	fMessage = message != nullptr ? new BMessage(*message) : nullptr;
}

void BFilePanel::SetRefFilter(BRefFilter* filter)
{
	fFilter = filter;
	Refresh();
}

void BFilePanel::SetButtonLabel(file_panel_button button, const char* label)
{
	(button == B_CANCEL_BUTTON ? fCancelLabel : fDefaultLabel) = label != nullptr ? label : "";
}

void BFilePanel::SetNewFolderLabel(const char* label)
{
	fNewFolderLabel = label != nullptr && label[0] != '\0' ? label : "New Folder";
}

std::string BFilePanel::MakeFolder()
{
	for (int copy = 1; copy < 1000; copy++) {
		const std::string name =
		        fNewFolderLabel + (copy > 1 ? " " + std::to_string(copy) : std::string());
		const std::string path = fDirectory + "/" + name;
		if (mkdir(path.c_str(), 0777) == 0) {
			Refresh();
			return name;
		}
		if (errno != EEXIST)
			return std::string();
	}
	return std::string();
}

void BFilePanel::SetPanelDirectory(const entry_ref* directory)
{
	if (directory == nullptr || directory->name == nullptr)
		return;
	SetPanelDirectory((directory->directory_path + "/" + directory->name).c_str());
}

void BFilePanel::SetPanelDirectory(const char* path)
{
	if (path == nullptr || !std::filesystem::is_directory(path))
		return;
	std::string normal = std::filesystem::path(path).lexically_normal().string();
	if (normal.size() > 1 && normal.back() == '/')
		normal.pop_back();
	fDirectory = normal;
	Refresh();
}

void BFilePanel::GetPanelDirectory(entry_ref* ref) const
{
	if (ref != nullptr)
		entry_ref_for_path(fDirectory.c_str(), ref);
}

void BFilePanel::Refresh()
{
	if (fWindow == nullptr || !fWindow->Lock())
		return;
	fWindow->Fill();
	fWindow->Unlock();
}

void BFilePanel::Rewind()
{
	fNextSelected = 0;
}

status_t BFilePanel::GetNextSelectedRef(entry_ref* ref)
{
	if (ref == nullptr)
		return B_BAD_VALUE;
	if (fNextSelected >= fSelected.size())
		return B_ENTRY_NOT_FOUND;
	*ref = fSelected[fNextSelected++];
	return B_OK;
}

bool BFilePanel::Accepts(const std::string& path, const std::string& name) const
{
	struct stat st;
	if (lstat(path.c_str(), &st) != 0)
		return false;
	bool folder = S_ISDIR(st.st_mode);
	if (S_ISLNK(st.st_mode)) {
		struct stat target;
		folder = stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
		if (!folder && (fNodeFlavors & kSymlinkNode) == 0 && (fNodeFlavors & kFileNode) == 0)
			return false;
	} else if (!folder && (fNodeFlavors & kFileNode) == 0) {
		return false;
	}
	if (fFilter == nullptr)
		return true;
	entry_ref ref;
	if (entry_ref_for_path(path.c_str(), &ref) != B_OK)
		return false;
	std::string type = mime_type_of(path, st);
	return fFilter->Filter(&ref, nullptr, &st, type.c_str());
}

std::vector<std::string> BFilePanel::ListedEntries() const
{
	std::vector<std::string> names;
	std::error_code error;
	for (const auto& entry : std::filesystem::directory_iterator(fDirectory, error)) {
		std::string name = entry.path().filename().string();
		if (Accepts(entry.path().string(), name))
			names.push_back(name);
	}
	std::sort(names.begin(), names.end(), ListedBefore);
	return names;
}

status_t BFilePanel::ChooseEntries(const std::vector<std::string>& names)
{
	std::vector<entry_ref> refs;
	if (names.empty()) {
		// A folder panel with nothing selected chooses the folder it shows.
		if ((fNodeFlavors & kDirectoryNode) == 0)
			return B_BAD_VALUE;
		entry_ref ref;
		if (entry_ref_for_path(fDirectory.c_str(), &ref) != B_OK)
			return B_ENTRY_NOT_FOUND;
		refs.push_back(ref);
	}
	for (const std::string& name : names) {
		std::string path = fDirectory + "/" + name;
		bool folder = std::filesystem::is_directory(path);
		if (folder && (fNodeFlavors & kDirectoryNode) == 0) {
			// Opening a folder in a file panel enters it.
			SetPanelDirectory(path.c_str());
			return B_OK;
		}
		entry_ref ref;
		if (!Accepts(path, name) || entry_ref_for_path(path.c_str(), &ref) != B_OK)
			return B_ENTRY_NOT_FOUND;
		refs.push_back(ref);
	}
	if (!fMultiple && refs.size() > 1)
		return B_BAD_VALUE;
	Chosen(refs);
	return B_OK;
}

void BFilePanel::Chosen(const std::vector<entry_ref>& refs)
{
	fSelected = refs;
	fNextSelected = 0;
	BMessage message(fMessage != nullptr ? *fMessage : BMessage(B_REFS_RECEIVED));
	for (const entry_ref& ref : refs)
		message.AddRef("refs", &ref);
	SendMessage(&fTarget, &message);
	if (fHideWhenDone)
		Hide();
}

void BFilePanel::Cancel()
{
	BMessage message(B_CANCEL);
	message.AddInt32("old_what",
	                 fMessage != nullptr ? int32(fMessage->what) : int32(B_REFS_RECEIVED));
	SendMessage(&fTarget, &message);
	Hide();
}
