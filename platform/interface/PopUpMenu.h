// BPopUpMenu: a menu that opens under the mouse or in a menu field.
#pragma once

#include "Menu.h"

class BPopUpMenu : public BMenu {
public:
	BPopUpMenu(const char* name, bool radioMode = true, bool labelFromMarked = true,
	           menu_layout layout = B_ITEMS_IN_COLUMN);
	~BPopUpMenu() override;

	// Opens the menu at a screen point and waits for the user's choice (the
	// item, or null). With `deliversMessage` the chosen item is also invoked.
	// Without a window system it answers null at once.
	BMenuItem* Go(BPoint where, bool deliversMessage = false, bool openAnyway = false,
	              bool async = false);
	BMenuItem* Go(BPoint where, bool deliversMessage, bool openAnyway, BRect clickToOpen,
	              bool async = false);
	void SetAsyncAutoDestruct(bool state) { fAutoDestruct = state; }
	bool AsyncAutoDestruct() const { return fAutoDestruct; }

private:
	bool fAutoDestruct;
};
