// BMenu: a list of items, optionally in radio mode (one marked item); it
// owns its items.
#pragma once

#include <string>
#include <vector>

#include "Messenger.h"
#include "View.h"

class BMenuItem;

enum menu_layout {
	B_ITEMS_IN_ROW = 0,
	B_ITEMS_IN_COLUMN = 1,
	B_ITEMS_IN_MATRIX = 2,
};

class BMenu : public BView {
public:
	explicit BMenu(const char* name, menu_layout layout = B_ITEMS_IN_COLUMN);
	~BMenu() override;

	bool AddItem(BMenuItem* item);
	bool AddItem(BMenuItem* item, int32 index);
	// Adds an item that opens `submenu` (the item and the menu are owned).
	bool AddItem(BMenu* submenu);
	bool AddItem(BMenu* submenu, int32 index);
	bool AddSeparatorItem();
	// Removes without deleting.
	bool RemoveItem(BMenuItem* item);
	BMenuItem* RemoveItem(int32 index);
	bool RemoveItem(BMenu* submenu);
	bool RemoveItems(int32 index, int32 count, bool deleteItems = false);
	int32 CountItems() const { return int32(fItems.size()); }
	BMenuItem* ItemAt(int32 index) const;
	BMenu* SubmenuAt(int32 index) const;
	int32 IndexOf(const BMenuItem* item) const;
	int32 IndexOf(const BMenu* submenu) const;
	BMenuItem* FindItem(const char* label) const;
	BMenuItem* FindItem(uint32 command) const;
	BMenuItem* FindMarked() const;
	// Our addition (as Haiku has): the marked item's index, or -1.
	int32 FindMarkedIndex() const;

	virtual void SetRadioMode(bool flag);
	bool IsRadioMode() const { return fRadioMode; }
	virtual void SetLabelFromMarked(bool flag);
	bool IsLabelFromMarked() const { return fLabelFromMarked; }
	virtual void SetEnabled(bool enabled);
	bool IsEnabled() const;
	menu_layout Layout() const { return fLayout; }
	status_t SetTargetForItems(BHandler* target);
	status_t SetTargetForItems(BMessenger messenger);
	BMenuItem* Superitem() const { return fSuperitem; }
	BMenu* Supermenu() const;

	// Our additions: the view that shows the menu (a menu field or bar) whose
	// window is the default target of the items; the state changed.
	BView* OwnerView() const;
	void SetOwnerView(BView* view) { fOwner = view; }
	void ItemChanged(BMenuItem* item);

private:
	friend class BMenuItem;
	void ItemMarked(BMenuItem* item);

	std::vector<BMenuItem*> fItems;
	BMenuItem* fSuperitem;
	BView* fOwner;
	menu_layout fLayout;
	bool fRadioMode;
	bool fLabelFromMarked;
	bool fEnabled;
};
