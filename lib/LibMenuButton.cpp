// LibMenuButton: the label control with its menu field, forwarding to it.
#include "LibMenuButton.h"

#include "LibInterface.h"
#include "LibMenuField.h"

LibMenuButton::LibMenuButton(BPoint point, const char* name, const char* label,
                             const float& divider, const float& menuWidth, uint32 resizingMode,
                             const float& fontSize, const bool& radio)
    : LibLabelControl(LibRect(point.x, point.y, divider + menuWidth, 25), divider, name, label, 3,
                      ":", resizingMode),
      fMenuField(nullptr)
{
	BRect bounds = Bounds();
	fMenuField = new LibMenuField(BRect(divider - 3, 0, bounds.right, bounds.bottom), "menu",
	                              fontSize, radio, B_FOLLOW_LEFT | B_FOLLOW_TOP);
	AddChild(fMenuField);
}

LibMenuButton::~LibMenuButton() {}

bool LibMenuButton::AddItem(const char* label, BMessage* message, const int32& index)
{
	return fMenuField->Add(label, message, index);
}

void LibMenuButton::Clear()
{
	fMenuField->Clear();
}

void LibMenuButton::SetItem(const int32& index)
{
	fMenuField->SetItem(index);
}

void LibMenuButton::SetText(const char* label)
{
	fMenuField->SetText(label);
}

const char* LibMenuButton::Text() const
{
	return fMenuField->Text();
}

int32 LibMenuButton::CurrentSelection() const
{
	return fMenuField->CurrentSelection();
}

int32 LibMenuButton::CountItems() const
{
	return fMenuField->CountItems();
}

bool LibMenuButton::RemoveItem(const int32& index)
{
	return fMenuField->RemoveItem(index);
}

bool LibMenuButton::RemoveItem(const char* label)
{
	return fMenuField->RemoveItem(label);
}

bool LibMenuButton::ReplaceItem(const char* oldLabel, const char* newLabel)
{
	return fMenuField->Replace(oldLabel, newLabel);
}

bool LibMenuButton::InMenu(const char* label) const
{
	return fMenuField->InMenu(label);
}

bool LibMenuButton::IsItemEnabled(const int32& index) const
{
	return fMenuField->IsItemEnabled(index);
}

bool LibMenuButton::IsItemEnabled(const char* label) const
{
	return fMenuField->IsItemEnabled(label);
}

void LibMenuButton::SetEnableItem(const int32& index, const bool& enabled)
{
	fMenuField->SetEnableItem(index, enabled);
}

void LibMenuButton::SetEnableItem(const char* label, const bool& enabled)
{
	fMenuField->SetEnableItem(label, enabled);
}

void LibMenuButton::AddSeparatorItem()
{
	fMenuField->AddSeparatorItem();
}

void LibMenuButton::AddStdFolders(const bool& system, const uint32& command)
{
	fMenuField->AddStdFolders(system, command);
}

bool LibMenuButton::SetTo(const BMessage& message, const char* field, const uint32& command)
{
	return fMenuField->SetTo(message, field, command);
}

void LibMenuButton::SetEnabled(bool enabled)
{
	LibLabelControl::SetEnabled(enabled);
	fMenuField->SetEnabled(enabled);
}

void LibMenuButton::MakeFocus(bool focus)
{
	fMenuField->MakeFocus(focus);
}
