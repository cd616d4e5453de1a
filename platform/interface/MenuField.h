// BMenuField: a label and a pop-up menu whose marked item shows in the field.
#pragma once

#include <string>

#include "View.h"

class BMenu;
class BMenuBar;
class BMenuItem;

class BMenuField : public BView {
public:
	// Takes ownership of `menu`.
	BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
	           uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
	           uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	BMenuField(BRect frame, const char* name, const char* label, BMenu* menu, bool fixedSize,
	           uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
	           uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	~BMenuField() override;

	BMenu* Menu() const { return fMenu; }
	BMenuBar* MenuBar() const { return fMenuBar; }
	// The item that shows the field's text: the menu's superitem in the bar.
	BMenuItem* MenuItem() const;
	void SetLabel(const char* label);
	const char* Label() const { return fHasLabel ? fLabel.c_str() : nullptr; }
	virtual void SetEnabled(bool enabled);
	bool IsEnabled() const { return fEnabled; }
	void SetAlignment(alignment label);
	alignment Alignment() const { return fAlign; }
	void SetDivider(float divider);
	float Divider() const { return fDivider; }
	// The text the field shows: the marked item's label with a label-from-
	// marked menu, else the menu's name.
	const char* FieldText() const;

	void AttachedToWindow() override;
	void Draw(BRect updateRect) override;
	void KeyDown(const char* bytes, int32 numBytes) override;
	void MessageReceived(BMessage* message) override;
	void SetFont(const BFont* font, uint32 mask = B_FONT_ALL) override;

	// Our addition: the window system reports the item the user picked with
	// this message (int32 "index").
	enum : uint32 { kHostPick = '_hMP' };

private:
	void Init(const char* label, BMenu* menu);

	std::string fLabel;
	bool fHasLabel;
	BMenu* fMenu;
	BMenuBar* fMenuBar;
	float fDivider;
	alignment fAlign;
	bool fEnabled;
	mutable std::string fFieldText;
};
