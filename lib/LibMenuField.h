// LibMenuField: a label-less pop-up menu field with the menu operations the
// windows need, arrow-key browsing and the standard folder menu.
#pragma once

#include "FindDirectory.h"
#include "MenuField.h"

class BMenuItem;
class BMessage;

class LibMenuField : public BMenuField {
public:
	// A `fontSize` of 0 keeps the default; in `radio` mode one item is marked.
	LibMenuField(BRect frame, const char* name, const float& fontSize, const bool& radio,
	             uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
	             uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	~LibMenuField() override;

	// Adds an item at `index` (-1: at the end), taking `message`.
	bool Add(const char* label, BMessage* message = nullptr, const int32& index = -1);
	void SetItem(const int32& index);
	void SetText(const char* label);
	// The marked item's index, or -1; its label, or "".
	int32 CurrentSelection() const;
	const char* Text() const;
	BMenuItem* ItemAt(const int32& index) const;
	int32 CountItems() const;
	bool InMenu(const char* label) const;
	bool RemoveItem(const int32& index);
	bool RemoveItem(const char* label);
	bool Replace(const char* oldLabel, const char* newLabel);
	bool IsMarked(const int32& index) const;
	bool IsMarked(const char* label) const;
	void SetMarked(const int32& index, const bool& marked);
	void SetMarked(const char* label, const bool& marked);
	void ToggleMarked(const int32& index);
	void ToggleMarked(const char* label);
	bool IsItemEnabled(const int32& index) const;
	bool IsItemEnabled(const char* label) const;
	void SetEnableItem(const int32& index, const bool& enabled);
	void SetEnableItem(const char* label, const bool& enabled);
	void AddSeparatorItem();
	// Removes and deletes every item.
	void Clear();

	// Replaces the items by the strings of `field` (each with a message of
	// `command` unless it is 0) and marks the item marked before again;
	// false, and no change, when the field holds no string.
	bool SetTo(const BMessage& message, const char* field, const uint32& command);
	void AddStdFolder(const directory_which& which, const uint32& command);
	// Desktop, Trash, Applications, Preferences, Utilities; the BeOS folders
	// when `system`; the Common folders; the User folders; separators between.
	void AddStdFolders(const bool& system, const uint32& command);

	// Up, down, Home and End move the mark (wrapping, past separators) and
	// send the newly marked item's message.
	void KeyDown(const char* bytes, int32 numBytes) override;

private:
	BMenuItem* FindLabel(const char* label) const;
	int32 NextSelectable(int32 from, const int32& step) const;
	void MoveMark(const int32& index);

	bool fRadio;
};
