// LibMenuField: items by index or label, list loading, the standard folder
// menu and arrow-key browsing.
#include "LibMenuField.h"

#include <cstring>

#include "Font.h"
#include "LibStdDir.h"
#include "LibString.h"
#include "MenuItem.h"
#include "Message.h"
#include "PopUpMenu.h"
#include "TypeConstants.h"

namespace {

// The folder constants of the standard folder menu, in their groups.
const directory_which kFirstFolders[] = {B_DESKTOP_DIRECTORY, B_TRASH_DIRECTORY, B_APPS_DIRECTORY,
                                         B_PREFERENCES_DIRECTORY, B_UTILITIES_DIRECTORY};
const int32 kSystemFirst = 1000;
const int32 kSystemCount = 15;
const int32 kCommonFirst = 2000;
const int32 kCommonCount = 19;
const int32 kUserFirst = 3000;
const int32 kUserCount = 12;

} // namespace

LibMenuField::LibMenuField(BRect frame, const char* name, const float& fontSize, const bool& radio,
                           uint32 resizingMode, uint32 flags)
    : BMenuField(frame, name, nullptr, new BPopUpMenu("", radio, radio), resizingMode, flags),
      fRadio(radio)
{
	SetDivider(0);
	if (fontSize != 0) {
		BFont font(be_plain_font);
		font.SetSize(fontSize);
		SetFont(&font);
	}
}

LibMenuField::~LibMenuField() {}

bool LibMenuField::Add(const char* label, BMessage* message, const int32& index)
{
	if (label == nullptr) {
		delete message;
		return false;
	}
	bool first = Menu()->CountItems() == 0;
	BMenuItem* item = new BMenuItem(label, message);
	bool added = index < 0 ? Menu()->AddItem(item) : Menu()->AddItem(item, index);
	if (!added) {
		delete item;
		return false;
	}
	if (fRadio && first)
		item->SetMarked(true);
	return true;
}

void LibMenuField::SetItem(const int32& index)
{
	BMenuItem* item = ItemAt(index);
	if (item != nullptr)
		item->SetMarked(true);
}

void LibMenuField::SetText(const char* label)
{
	BMenuItem* item = FindLabel(label);
	if (item != nullptr)
		item->SetMarked(true);
}

int32 LibMenuField::CurrentSelection() const
{
	return Menu()->FindMarkedIndex();
}

const char* LibMenuField::Text() const
{
	BMenuItem* marked = Menu()->FindMarked();
	return marked != nullptr ? marked->Label() : "";
}

BMenuItem* LibMenuField::ItemAt(const int32& index) const
{
	return Menu()->ItemAt(index);
}

int32 LibMenuField::CountItems() const
{
	return Menu()->CountItems();
}

BMenuItem* LibMenuField::FindLabel(const char* label) const
{
	if (label == nullptr)
		return nullptr;
	for (int32 i = 0; i < Menu()->CountItems(); i++) {
		BMenuItem* item = Menu()->ItemAt(i);
		if (!item->IsSeparator() && strcmp(item->Label(), label) == 0)
			return item;
	}
	return nullptr;
}

bool LibMenuField::InMenu(const char* label) const
{
	return FindLabel(label) != nullptr;
}

bool LibMenuField::RemoveItem(const int32& index)
{
	BMenuItem* item = Menu()->RemoveItem(index);
	delete item;
	return item != nullptr;
}

bool LibMenuField::RemoveItem(const char* label)
{
	BMenuItem* item = FindLabel(label);
	if (item == nullptr || !Menu()->RemoveItem(item))
		return false;
	delete item;
	return true;
}

bool LibMenuField::Replace(const char* oldLabel, const char* newLabel)
{
	BMenuItem* item = FindLabel(oldLabel);
	if (item == nullptr || newLabel == nullptr)
		return false;
	item->SetLabel(newLabel);
	return true;
}

bool LibMenuField::IsMarked(const int32& index) const
{
	BMenuItem* item = ItemAt(index);
	return item != nullptr && item->IsMarked();
}

bool LibMenuField::IsMarked(const char* label) const
{
	BMenuItem* item = FindLabel(label);
	return item != nullptr && item->IsMarked();
}

void LibMenuField::SetMarked(const int32& index, const bool& marked)
{
	BMenuItem* item = ItemAt(index);
	if (item != nullptr)
		item->SetMarked(marked);
}

void LibMenuField::SetMarked(const char* label, const bool& marked)
{
	BMenuItem* item = FindLabel(label);
	if (item != nullptr)
		item->SetMarked(marked);
}

void LibMenuField::ToggleMarked(const int32& index)
{
	BMenuItem* item = ItemAt(index);
	if (item != nullptr)
		item->SetMarked(!item->IsMarked());
}

void LibMenuField::ToggleMarked(const char* label)
{
	BMenuItem* item = FindLabel(label);
	if (item != nullptr)
		item->SetMarked(!item->IsMarked());
}

bool LibMenuField::IsItemEnabled(const int32& index) const
{
	BMenuItem* item = ItemAt(index);
	return item != nullptr && item->IsEnabled();
}

bool LibMenuField::IsItemEnabled(const char* label) const
{
	BMenuItem* item = FindLabel(label);
	return item != nullptr && item->IsEnabled();
}

void LibMenuField::SetEnableItem(const int32& index, const bool& enabled)
{
	BMenuItem* item = ItemAt(index);
	if (item != nullptr)
		item->SetEnabled(enabled);
}

void LibMenuField::SetEnableItem(const char* label, const bool& enabled)
{
	BMenuItem* item = FindLabel(label);
	if (item != nullptr)
		item->SetEnabled(enabled);
}

void LibMenuField::AddSeparatorItem()
{
	Menu()->AddSeparatorItem();
}

void LibMenuField::Clear()
{
	Menu()->RemoveItems(0, Menu()->CountItems(), true);
}

bool LibMenuField::SetTo(const BMessage& message, const char* field, const uint32& command)
{
	type_code type = 0;
	int32 count = 0;
	if (field == nullptr || message.GetInfo(field, &type, &count) != B_OK ||
	    type != B_STRING_TYPE || count < 1)
		return false;
	LibString marked = Text();
	Clear();
	for (int32 i = 0; i < count; i++) {
		const char* label = nullptr;
		if (message.FindString(field, i, &label) == B_OK)
			Add(label, command != 0 ? new BMessage(command) : nullptr);
	}
	SetText(marked.String());
	return true;
}

void LibMenuField::AddStdFolder(const directory_which& which, const uint32& command)
{
	LibString name;
	if (!LibGetStdDirName(which, name))
		return;
	Add(name.String(), command != 0 ? new BMessage(command) : nullptr);
}

void LibMenuField::AddStdFolders(const bool& system, const uint32& command)
{
	for (directory_which which : kFirstFolders)
		AddStdFolder(which, command);
	AddSeparatorItem();
	if (system) {
		for (int32 i = 0; i < kSystemCount; i++)
			AddStdFolder(directory_which(kSystemFirst + i), command);
		AddSeparatorItem();
	}
	for (int32 i = 0; i < kCommonCount; i++)
		AddStdFolder(directory_which(kCommonFirst + i), command);
	AddSeparatorItem();
	for (int32 i = 0; i < kUserCount; i++)
		AddStdFolder(directory_which(kUserFirst + i), command);
}

// The first item that is not a separator, going from `from` by `step` and
// wrapping; -1 when there is none.
int32 LibMenuField::NextSelectable(int32 from, const int32& step) const
{
	int32 count = CountItems();
	for (int32 tries = 0; tries < count; tries++) {
		from = ((from % count) + count) % count;
		if (!ItemAt(from)->IsSeparator())
			return from;
		from += step;
	}
	return -1;
}

void LibMenuField::MoveMark(const int32& index)
{
	BMenuItem* item = ItemAt(index);
	if (item == nullptr)
		return;
	item->SetMarked(true);
	item->Invoke();
}

void LibMenuField::KeyDown(const char* bytes, int32 numBytes)
{
	int32 count = CountItems();
	if (bytes == nullptr || numBytes < 1 || count == 0) {
		BMenuField::KeyDown(bytes, numBytes);
		return;
	}
	int32 current = CurrentSelection();
	switch (bytes[0]) {
		case B_UP_ARROW:
			MoveMark(NextSelectable(current < 0 ? count - 1 : current - 1, -1));
			return;
		case B_DOWN_ARROW: MoveMark(NextSelectable(current + 1, 1)); return;
		case B_HOME: MoveMark(NextSelectable(0, 1)); return;
		case B_END: MoveMark(NextSelectable(count - 1, -1)); return;
		default: BMenuField::KeyDown(bytes, numBytes); return;
	}
}
