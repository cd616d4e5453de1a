// LibListView: a single-selection list that follows its parent, tells its
// window which row the mouse is over, and may let rows be reordered.
#pragma once

#include "ListView.h"

class BScrollBar;

class LibListView : public BListView {
public:
	LibListView(BRect frame, const char* name);
	~LibListView() override;

	// Posts the hover command with int32 "item" (the row, or -1) to the
	// window whenever the row under the mouse changes; 0 turns it off.
	void SetHoverCommand(const uint32& command) { fHoverCommand = command; }
	uint32 HoverCommand() const { return fHoverCommand; }
	// After a move the reorder command goes to the window with int32 "from"
	// and "to".
	void SetReorderCommand(const uint32& command) { fReorderCommand = command; }
	// Rows move with Command (Alt) and the up or down arrow; the scroll bar
	// follows the moved row.
	void AllowReorder(const bool& allow, BScrollBar* scrollBar = nullptr);
	bool IsReorderAllowed() const { return fAllowReorder; }

	void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
	void KeyDown(const char* bytes, int32 numBytes) override;
	bool InitiateDrag(BPoint point, int32 index, bool wasSelected) override;
	// Called after a row moved from one place to another.
	virtual void ItemReordered(int32 from, int32 to);

	int32 LastHovered() const { return fLastHover; }
	bool MoveSelected(const int32& step);

private:
	void Hover(const int32& index);

	uint32 fReorderCommand;
	bool fAllowReorder;
	uint32 fHoverCommand;
	int32 fLastHover;
	BScrollBar* fScrollBar;
};
