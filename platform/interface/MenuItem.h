// BMenuItem: an entry of a menu with a label, a message, a mark and an
// optional submenu.
#pragma once

#include <string>

#include "Invoker.h"
#include "SupportDefs.h"

class BMenu;

class BMenuItem : public BInvoker {
public:
	// Takes ownership of `message`.
	BMenuItem(const char* label, BMessage* message, char shortcut = 0, uint32 modifiers = 0);
	// An item that opens `submenu` (owned).
	explicit BMenuItem(BMenu* submenu, BMessage* message = nullptr);
	~BMenuItem() override;

	virtual void SetLabel(const char* label);
	const char* Label() const { return fLabel.c_str(); }
	virtual void SetEnabled(bool enabled);
	bool IsEnabled() const;
	// In a radio-mode menu marking an item unmarks the others.
	virtual void SetMarked(bool marked);
	bool IsMarked() const { return fMarked; }
	virtual void SetShortcut(char shortcut, uint32 modifiers);
	char Shortcut(uint32* modifiers = nullptr) const;
	BMenu* Submenu() const { return fSubmenu; }
	BMenu* Menu() const { return fMenu; }
	// Our addition: true for a separator.
	virtual bool IsSeparator() const { return false; }

	// Sends the message with "when", "source" (pointer) and "index" (the
	// item's place in its menu). The target defaults to the menu's window.
	status_t Invoke(BMessage* message = nullptr) override;

private:
	friend class BMenu;

	std::string fLabel;
	BMenu* fSubmenu;
	BMenu* fMenu;
	char fShortcut;
	uint32 fModifiers;
	bool fEnabled;
	bool fMarked;
};
