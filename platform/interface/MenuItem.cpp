// BMenuItem: label, mark, enabled state and invocation of a menu entry.
#include "MenuItem.h"

#include "Menu.h"
#include "Message.h"
#include "Window.h"

BMenuItem::BMenuItem(const char* label, BMessage* message, char shortcut, uint32 modifiers)
    : BInvoker(message, nullptr, nullptr), fLabel(label != nullptr ? label : ""), fSubmenu(nullptr),
      fMenu(nullptr), fShortcut(shortcut), fModifiers(modifiers), fEnabled(true), fMarked(false)
{
}

BMenuItem::BMenuItem(BMenu* submenu, BMessage* message)
    : BInvoker(message, nullptr, nullptr),
      fLabel(submenu != nullptr && submenu->Name() != nullptr ? submenu->Name() : ""),
      fSubmenu(submenu), fMenu(nullptr), fShortcut(0), fModifiers(0), fEnabled(true), fMarked(false)
{
	if (submenu != nullptr)
		submenu->fSuperitem = this;
}

BMenuItem::~BMenuItem()
{
	if (fMenu != nullptr)
		fMenu->RemoveItem(this);
	delete fSubmenu;
}

void BMenuItem::SetLabel(const char* label)
{
	fLabel = label != nullptr ? label : "";
	if (fMenu != nullptr)
		fMenu->ItemChanged(this);
}

void BMenuItem::SetEnabled(bool enabled)
{
	fEnabled = enabled;
	if (fMenu != nullptr)
		fMenu->ItemChanged(this);
}

bool BMenuItem::IsEnabled() const
{
	if (!fEnabled)
		return false;
	return fMenu == nullptr || fMenu->IsEnabled();
}

void BMenuItem::SetMarked(bool marked)
{
	if (marked == fMarked)
		return;
	fMarked = marked;
	if (fMenu == nullptr)
		return;
	if (marked)
		fMenu->ItemMarked(this);
	fMenu->ItemChanged(this);
}

void BMenuItem::SetShortcut(char shortcut, uint32 modifiers)
{
	fShortcut = shortcut;
	fModifiers = modifiers;
}

char BMenuItem::Shortcut(uint32* modifiers) const
{
	if (modifiers != nullptr)
		*modifiers = fModifiers;
	return fShortcut;
}

status_t BMenuItem::Invoke(BMessage* message)
{
	BMessage copy;
	status_t status = StampedMessage(message, this, &copy);
	if (status != B_OK)
		return status;
	copy.AddInt32("index", fMenu != nullptr ? fMenu->IndexOf(this) : -1);
	if (Messenger().IsValid())
		return BInvoker::Invoke(&copy);
	// Without a target the message goes to the window that shows the menu.
	BView* owner = fMenu != nullptr ? fMenu->OwnerView() : nullptr;
	BWindow* window = owner != nullptr ? owner->Window() : nullptr;
	if (window == nullptr)
		return B_BAD_PORT_ID;
	return window->PostMessage(&copy);
}
