// BMenu: owned items, radio marking and the item lookups.
#include "Menu.h"

#include <algorithm>
#include <cstring>

#include "MenuItem.h"
#include "Message.h"
#include "SeparatorItem.h"

BMenu::BMenu(const char* name, menu_layout layout)
    : BView(BRect(0, 0, 0, 0), name, B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW),
      fSuperitem(nullptr), fOwner(nullptr), fLayout(layout), fRadioMode(false),
      fLabelFromMarked(false), fEnabled(true)
{
}

BMenu::~BMenu()
{
	RemoveItems(0, CountItems(), true);
	if (fSuperitem != nullptr && fSuperitem->fSubmenu == this)
		fSuperitem->fSubmenu = nullptr;
}

bool BMenu::AddItem(BMenuItem* item)
{
	return AddItem(item, CountItems());
}

bool BMenu::AddItem(BMenuItem* item, int32 index)
{
	if (item == nullptr || item->fMenu != nullptr || index < 0 || index > CountItems())
		return false;
	fItems.insert(fItems.begin() + index, item);
	item->fMenu = this;
	if (fRadioMode && item->IsMarked())
		ItemMarked(item);
	ItemChanged(item);
	return true;
}

bool BMenu::AddItem(BMenu* submenu)
{
	return AddItem(submenu, CountItems());
}

bool BMenu::AddItem(BMenu* submenu, int32 index)
{
	if (submenu == nullptr)
		return false;
	BMenuItem* item = new BMenuItem(submenu);
	if (!AddItem(item, index)) {
		item->fSubmenu = nullptr;
		delete item;
		return false;
	}
	return true;
}

bool BMenu::AddSeparatorItem()
{
	return AddItem(new BSeparatorItem());
}

bool BMenu::RemoveItem(BMenuItem* item)
{
	auto found = std::find(fItems.begin(), fItems.end(), item);
	if (item == nullptr || found == fItems.end())
		return false;
	fItems.erase(found);
	item->fMenu = nullptr;
	ItemChanged(nullptr);
	return true;
}

BMenuItem* BMenu::RemoveItem(int32 index)
{
	BMenuItem* item = ItemAt(index);
	if (item != nullptr)
		RemoveItem(item);
	return item;
}

bool BMenu::RemoveItem(BMenu* submenu)
{
	int32 index = IndexOf(submenu);
	if (index < 0)
		return false;
	BMenuItem* item = RemoveItem(index);
	item->fSubmenu = nullptr;
	submenu->fSuperitem = nullptr;
	delete item;
	return true;
}

bool BMenu::RemoveItems(int32 index, int32 count, bool deleteItems)
{
	if (index < 0 || count < 0 || index + count > CountItems())
		return false;
	for (int32 i = 0; i < count; i++) {
		BMenuItem* item = RemoveItem(index);
		if (deleteItems)
			delete item;
	}
	return true;
}

BMenuItem* BMenu::ItemAt(int32 index) const
{
	if (index < 0 || index >= CountItems())
		return nullptr;
	return fItems[index];
}

BMenu* BMenu::SubmenuAt(int32 index) const
{
	BMenuItem* item = ItemAt(index);
	return item != nullptr ? item->Submenu() : nullptr;
}

int32 BMenu::IndexOf(const BMenuItem* item) const
{
	auto found = std::find(fItems.begin(), fItems.end(), item);
	return found == fItems.end() ? -1 : int32(found - fItems.begin());
}

int32 BMenu::IndexOf(const BMenu* submenu) const
{
	for (int32 i = 0; i < CountItems(); i++) {
		if (fItems[i]->Submenu() == submenu)
			return i;
	}
	return -1;
}

BMenuItem* BMenu::FindItem(const char* label) const
{
	if (label == nullptr)
		return nullptr;
	for (BMenuItem* item : fItems) {
		if (!item->IsSeparator() && strcmp(item->Label(), label) == 0)
			return item;
		if (item->Submenu() != nullptr) {
			if (BMenuItem* found = item->Submenu()->FindItem(label))
				return found;
		}
	}
	return nullptr;
}

BMenuItem* BMenu::FindItem(uint32 command) const
{
	for (BMenuItem* item : fItems) {
		if (item->Message() != nullptr && item->Message()->what == command)
			return item;
		if (item->Submenu() != nullptr) {
			if (BMenuItem* found = item->Submenu()->FindItem(command))
				return found;
		}
	}
	return nullptr;
}

BMenuItem* BMenu::FindMarked() const
{
	return ItemAt(FindMarkedIndex());
}

int32 BMenu::FindMarkedIndex() const
{
	for (int32 i = 0; i < CountItems(); i++) {
		if (fItems[i]->IsMarked())
			return i;
	}
	return -1;
}

void BMenu::SetRadioMode(bool flag)
{
	fRadioMode = flag;
	if (!flag)
		fLabelFromMarked = false;
	ItemChanged(nullptr);
}

void BMenu::SetLabelFromMarked(bool flag)
{
	fLabelFromMarked = flag;
	if (flag)
		fRadioMode = true;
	ItemChanged(nullptr);
}

void BMenu::SetEnabled(bool enabled)
{
	fEnabled = enabled;
	ItemChanged(nullptr);
}

bool BMenu::IsEnabled() const
{
	if (!fEnabled)
		return false;
	BMenu* super = Supermenu();
	return super == nullptr || super->IsEnabled();
}

status_t BMenu::SetTargetForItems(BHandler* target)
{
	for (BMenuItem* item : fItems) {
		status_t status = item->SetTarget(target);
		if (status != B_OK)
			return status;
	}
	return B_OK;
}

status_t BMenu::SetTargetForItems(BMessenger messenger)
{
	for (BMenuItem* item : fItems)
		item->SetTarget(messenger);
	return B_OK;
}

BMenu* BMenu::Supermenu() const
{
	return fSuperitem != nullptr ? fSuperitem->Menu() : nullptr;
}

BView* BMenu::OwnerView() const
{
	if (fOwner != nullptr)
		return fOwner;
	BMenu* super = Supermenu();
	return super != nullptr ? super->OwnerView() : nullptr;
}

void BMenu::ItemChanged(BMenuItem* item)
{
	if (BView* owner = OwnerView())
		owner->Invalidate();
}

void BMenu::ItemMarked(BMenuItem* item)
{
	if (!fRadioMode)
		return;
	for (BMenuItem* other : fItems) {
		if (other != item && other->fMarked)
			other->fMarked = false;
	}
}
