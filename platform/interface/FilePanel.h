// BFilePanel: a window that lists a folder's entries so the user can pick
// one (or, with B_DIRECTORY_NODE, a folder); the choice is sent as "refs".
#pragma once

#include <string>
#include <vector>

#include "EntryRef.h"
#include "Messenger.h"
#include "SupportDefs.h"

class BMessage;
class BRefFilter;
class BWindow;
class FilePanelWindow;

enum file_panel_mode {
	B_OPEN_PANEL = 0,
	B_SAVE_PANEL = 1,
};

enum file_panel_button {
	B_CANCEL_BUTTON = 0,
	B_DEFAULT_BUTTON = 1,
};

class BFilePanel {
public:
	// `target` (copied) defaults to be_app_messenger; `message` (copied) to
	// B_REFS_RECEIVED; `nodeFlavors` are the storage kit's node flavours.
	BFilePanel(file_panel_mode mode = B_OPEN_PANEL, BMessenger* target = nullptr,
	           const entry_ref* directory = nullptr, uint32 nodeFlavors = 0,
	           bool allowMultipleSelection = true, BMessage* message = nullptr,
	           BRefFilter* filter = nullptr, bool modal = false, bool hideWhenDone = true);
	virtual ~BFilePanel();

	void Show();
	void Hide();
	bool IsShowing() const;
	BWindow* Window() const;

	// Sends the panel's result; subclasses may add fields first.
	virtual void SendMessage(const BMessenger* target, BMessage* message);
	// Called when the panel was hidden or the choice was made.
	virtual void WasHidden();
	virtual void SelectionChanged();

	void SetTarget(BMessenger target);
	BMessenger Messenger() const { return fTarget; }
	void SetMessage(BMessage* message);
	void SetRefFilter(BRefFilter* filter);
	BRefFilter* RefFilter() const { return fFilter; }
	void SetButtonLabel(file_panel_button button, const char* label);
	// Our addition: the label of the button that makes a folder.
	void SetNewFolderLabel(const char* label);
	void SetHideWhenDone(bool hide) { fHideWhenDone = hide; }
	bool HidesWhenDone() const { return fHideWhenDone; }
	file_panel_mode PanelMode() const { return fMode; }
	uint32 NodeFlavors() const { return fNodeFlavors; }
	bool IsModal() const { return fModal; }

	void SetPanelDirectory(const entry_ref* directory);
	void SetPanelDirectory(const char* path);
	void GetPanelDirectory(entry_ref* ref) const;
	// Our addition: the folder shown, as a path.
	const char* PanelDirectoryPath() const { return fDirectory.c_str(); }
	void Refresh();

	// The entries chosen by the last "Open": Rewind, then GetNextSelectedRef
	// until B_ENTRY_NOT_FOUND.
	void Rewind();
	status_t GetNextSelectedRef(entry_ref* ref);

	// Our additions for the panel window and tests: the entries it lists (after
	// the filter), and choosing as the user does. ChooseEntries with no names
	// chooses the folder shown (folder panels).
	// Hidden entries (a leading '.') come after the others.
	std::vector<std::string> ListedEntries() const;
	status_t ChooseEntries(const std::vector<std::string>& names);
	// Makes a folder named by the new-folder label ("label 2" ... when taken)
	// in the folder shown; its name, or empty when it could not be made.
	std::string MakeFolder();
	void Cancel();

private:
	friend class FilePanelWindow;
	bool Accepts(const std::string& path, const std::string& name) const;
	void Chosen(const std::vector<entry_ref>& refs);

	file_panel_mode fMode;
	BMessenger fTarget;
	BMessage* fMessage;
	BRefFilter* fFilter;
	std::string fDirectory;
	uint32 fNodeFlavors;
	bool fMultiple;
	bool fModal;
	bool fHideWhenDone;
	std::string fDefaultLabel;
	std::string fCancelLabel;
	std::string fNewFolderLabel;
	std::vector<entry_ref> fSelected;
	size_t fNextSelected;
	mutable FilePanelWindow* fWindow;
};

// Makes the reference of a path (stat of its folder), or B_ENTRY_NOT_FOUND
// when the folder does not exist.
status_t entry_ref_for_path(const char* path, entry_ref* ref);
