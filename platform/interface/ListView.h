// BListView: a column of rows (BListItem) with single or multiple selection;
// each selection change sends the selection message.
#pragma once

#include <vector>

#include "Invoker.h"
#include "View.h"

class BList;
class BListItem;

enum list_view_type {
	B_SINGLE_SELECTION_LIST = 0,
	B_MULTIPLE_SELECTION_LIST = 1,
};

class BListView : public BView, public BInvoker {
public:
	BListView(BRect frame, const char* name, list_view_type type = B_SINGLE_SELECTION_LIST,
	          uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
	          uint32 flags = B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE);
	~BListView() override;

	// Items: the list does not own them (delete them yourself, as on the platform).
	virtual bool AddItem(BListItem* item);
	virtual bool AddItem(BListItem* item, int32 index);
	// Adds every item of the list at the end, or before `index`, measuring
	// the rows once at the end instead of after each.
	virtual bool AddList(BList* newItems);
	virtual bool AddList(BList* newItems, int32 index);
	virtual bool RemoveItem(BListItem* item);
	virtual BListItem* RemoveItem(int32 index);
	virtual bool RemoveItems(int32 index, int32 count);
	virtual void MakeEmpty();
	int32 CountItems() const { return int32(fItems.size()); }
	bool IsEmpty() const { return fItems.empty(); }
	BListItem* ItemAt(int32 index) const;
	BListItem* FirstItem() const { return ItemAt(0); }
	BListItem* LastItem() const { return ItemAt(CountItems() - 1); }
	int32 IndexOf(const BListItem* item) const;
	// The row under a point of the view, or -1.
	int32 IndexOf(BPoint point) const;
	bool HasItem(const BListItem* item) const { return IndexOf(item) >= 0; }
	BRect ItemFrame(int32 index) const;
	void InvalidateItem(int32 index);
	bool SwapItems(int32 a, int32 b);
	bool MoveItem(int32 from, int32 to);

	// Selection. Select with `extend` keeps the rows already selected (in a
	// multiple-selection list).
	void Select(int32 index, bool extend = false);
	void Select(int32 from, int32 to, bool extend = false);
	void Deselect(int32 index);
	void DeselectAll();
	void DeselectExcept(int32 from, int32 to);
	bool IsItemSelected(int32 index) const;
	// The index of the nth selected row, or -1.
	int32 CurrentSelection(int32 nth = 0) const;
	virtual void SelectionChanged();
	void ScrollToSelection();

	// The selection message; it gets "index" (each selected row), "when" and
	// "source". Takes ownership.
	virtual void SetSelectionMessage(BMessage* message);
	BMessage* SelectionMessage() const { return fSelectionMessage; }
	uint32 SelectionCommand() const;
	// The invocation message (double click, Enter) is the invoker's message.
	virtual void SetInvocationMessage(BMessage* message) { SetMessage(message); }
	BMessage* InvocationMessage() const { return Message(); }
	status_t Invoke(BMessage* message = nullptr) override;

	virtual void SetListType(list_view_type type);
	list_view_type ListType() const { return fListType; }

	void Draw(BRect updateRect) override;
	void MouseDown(BPoint where) override;
	void KeyDown(const char* bytes, int32 numBytes) override;
	void AttachedToWindow() override;
	void FrameResized(float width, float height) override;
	void SetFont(const BFont* font, uint32 mask = B_FONT_ALL) override;
	void ScrollTo(BPoint where) override;
	// Called when a click on a row may start a drag; false when none starts.
	virtual bool InitiateDrag(BPoint point, int32 index, bool wasSelected);

	// Our addition: the total height of the rows.
	float ItemsHeight() const;

private:
	void UpdateItems();
	void UpdateScrollBar();
	void SendSelection();
	bool SelectWithoutMessage(int32 index, bool extend);

	std::vector<BListItem*> fItems;
	BMessage* fSelectionMessage;
	list_view_type fListType;
	int32 fAnchor;
	int32 fLastClicked;
	bigtime_t fLastClickTime;
};
