// BPopUpMenu: a menu opened at a point, answered by the window system.
#include "PopUpMenu.h"

#include "InterfaceHost.h"
#include "MenuItem.h"

BPopUpMenu::BPopUpMenu(const char* name, bool radioMode, bool labelFromMarked, menu_layout layout)
    : BMenu(name, layout), fAutoDestruct(false)
{
	SetRadioMode(radioMode);
	if (labelFromMarked)
		SetLabelFromMarked(true);
}

BPopUpMenu::~BPopUpMenu() {}

BMenuItem* BPopUpMenu::Go(BPoint where, bool deliversMessage, bool openAnyway, bool async)
{
	return Go(where, deliversMessage, openAnyway, BRect(), async);
}

BMenuItem* BPopUpMenu::Go(BPoint where, bool deliversMessage, bool openAnyway, BRect clickToOpen,
                          bool async)
{
	int32 index = -1;
	if (!InterfaceHost::IsRunning())
		return nullptr;
	if (!InterfaceHost::CallOnMainThread([&] { index = InterfaceHost::PopUp(*this, where); }))
		return nullptr;
	BMenuItem* item = ItemAt(index);
	if (item == nullptr || !item->IsEnabled())
		return nullptr;
	if (IsRadioMode())
		item->SetMarked(true);
	if (deliversMessage)
		item->Invoke();
	return item;
}
