// LibFilePanel: a modeless file panel that stays open, filters by MIME type,
// remembers its folder and frame, and can offer a "Format" menu whose marked
// item goes with every message it sends.
#pragma once

#include "FilePanel.h"
#include "FindDirectory.h"
#include "LibRefFilter.h"

class BLooper;
class BMenu;
class BMessage;

class LibFilePanel : public BFilePanel {
public:
	LibFilePanel(file_panel_mode mode, BLooper* target, const uint32& command,
	             const uint32& nodeFlavors, const bool& allowMultiple);
	~LibFilePanel() override;

	LibRefFilter* Filter() { return &fFilter; }
	void AddType(const char* mimeType) { fFilter.AddType(mimeType); }

	// Shows the folder that holds `path`.
	void SetPanelDirectory(const char* path);
	// Shows a standard folder.
	void SetPanelDirectory(const directory_which& which);
	void SetToParentDirectory();
	// The folder ("directory") and, with a panel window, its frame ("frame").
	void GetState(BMessage& state) const;
	void SetState(const BMessage& state);

	// Adds an item to the "Format" menu, made (in radio mode) on first use.
	void AddFormatMenuItem(const char* label, const bool& marked);
	BMenu* FormatMenu() const { return fFormatMenu; }
	// The marked format's label, or null.
	const char* MarkedFormat() const;

	// Adds "marked" with the marked format's label.
	void SendMessage(const BMessenger* target, BMessage* message) override;

private:
	BMenu* fFormatMenu;
	LibRefFilter fFilter;
};
