// LibMenuButton: a label with ":" and a pop-up menu field to its right, as
// one control.
#pragma once

#include "FindDirectory.h"
#include "LibLabelControl.h"

class BMenuItem;
class BMessage;
class LibMenuField;

class LibMenuButton : public LibLabelControl {
public:
	// The control is divider + menuWidth wide and 25 high.
	LibMenuButton(BPoint point, const char* name, const char* label, const float& divider,
	              const float& menuWidth, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
	              const float& fontSize = 0, const bool& radio = true);
	~LibMenuButton() override;

	LibMenuField* MenuField() const { return fMenuField; }

	bool AddItem(const char* label, BMessage* message = nullptr, const int32& index = -1);
	void Clear();
	void SetItem(const int32& index);
	void SetText(const char* label);
	const char* Text() const;
	int32 CurrentSelection() const;
	int32 CountItems() const;
	bool RemoveItem(const int32& index);
	bool RemoveItem(const char* label);
	bool ReplaceItem(const char* oldLabel, const char* newLabel);
	bool InMenu(const char* label) const;
	bool IsItemEnabled(const int32& index) const;
	bool IsItemEnabled(const char* label) const;
	void SetEnableItem(const int32& index, const bool& enabled);
	void SetEnableItem(const char* label, const bool& enabled);
	void AddSeparatorItem();
	void AddStdFolders(const bool& system, const uint32& command);
	bool SetTo(const BMessage& message, const char* field, const uint32& command);

	// Greys the label and disables the menu.
	void SetEnabled(bool enabled) override;
	// Focuses the menu field.
	void MakeFocus(bool focus = true) override;

private:
	LibMenuField* fMenuField;
};
