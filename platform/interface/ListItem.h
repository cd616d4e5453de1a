// BListItem: one row of a list view, which draws itself.
#pragma once

#include "Rect.h"
#include "SupportDefs.h"

class BFont;
class BView;

class BListItem {
public:
	BListItem(uint32 outlineLevel = 0, bool expanded = true);
	virtual ~BListItem();

	float Height() const { return fHeight; }
	float Width() const { return fWidth; }
	void SetHeight(float height) { fHeight = height; }
	void SetWidth(float width) { fWidth = width; }
	bool IsSelected() const { return fSelected; }
	void Select() { fSelected = true; }
	void Deselect() { fSelected = false; }
	virtual void SetEnabled(bool enabled) { fEnabled = enabled; }
	bool IsEnabled() const { return fEnabled; }
	uint32 OutlineLevel() const { return fOutlineLevel; }
	void SetExpanded(bool expanded) { fExpanded = expanded; }
	bool IsExpanded() const { return fExpanded; }

	// Draws the row into `owner` (a list view) within `frame`.
	virtual void DrawItem(BView* owner, BRect frame, bool complete = false) = 0;
	// Called when the item joins a list or the list's font changes: the
	// default takes the width of the owner and the height of the font.
	virtual void Update(BView* owner, const BFont* font);

private:
	float fWidth;
	float fHeight;
	uint32 fOutlineLevel;
	bool fSelected;
	bool fEnabled;
	bool fExpanded;
};
