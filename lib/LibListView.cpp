// LibListView: hover notifications and reordering by keyboard.
#include "LibListView.h"

#include <cstdio>

#include "Message.h"
#include "ScrollBar.h"
#include "Window.h"

LibListView::LibListView(BRect frame, const char* name)
    : BListView(frame, name, B_SINGLE_SELECTION_LIST, B_FOLLOW_ALL_SIDES), fReorderCommand(0),
      fAllowReorder(false), fHoverCommand(0), fLastHover(-1), fScrollBar(nullptr)
{
}

LibListView::~LibListView() {}

void LibListView::AllowReorder(const bool& allow, BScrollBar* scrollBar)
{
	fAllowReorder = allow;
	fScrollBar = scrollBar;
}

void LibListView::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
	BListView::MouseMoved(where, transit, dragMessage);
	if (fHoverCommand == 0 || Window() == nullptr || !Window()->IsActive())
		return;
	switch (transit) {
		case B_ENTERED_VIEW:
			fLastHover = -1;
			Hover(IndexOf(where));
			break;
		case B_INSIDE_VIEW: Hover(IndexOf(where)); break;
		default: Hover(-1); break;
	}
}

void LibListView::Hover(const int32& index)
{
	if (index == fLastHover)
		return;
	fLastHover = index;
	BMessage notification(fHoverCommand);
	notification.AddInt32("item", index);
	Window()->PostMessage(&notification);
}

void LibListView::KeyDown(const char* bytes, int32 numBytes)
{
	bool arrow = bytes != nullptr && numBytes > 0 &&
	             (bytes[0] == B_UP_ARROW || bytes[0] == B_DOWN_ARROW);
	if (fAllowReorder && arrow && (modifiers() & B_COMMAND_KEY) != 0) {
		MoveSelected(bytes[0] == B_UP_ARROW ? -1 : 1);
		return;
	}
	BListView::KeyDown(bytes, numBytes);
}

// Rows are reordered from the keyboard; the host has no drag and drop.
bool LibListView::InitiateDrag(BPoint point, int32 index, bool wasSelected)
{
	return false;
}

bool LibListView::MoveSelected(const int32& step)
{
	int32 from = CurrentSelection();
	int32 to = from + step;
	if (!fAllowReorder || from < 0 || to < 0 || to >= CountItems())
		return false;
	if (!MoveItem(from, to))
		return false;
	Select(to);
	ScrollToSelection();
	if (fScrollBar != nullptr && fScrollBar->Target() != this)
		fScrollBar->SetValue(ItemFrame(to).top);
	ItemReordered(from, to);
	if (fReorderCommand != 0 && Window() != nullptr) {
		BMessage reordered(fReorderCommand);
		reordered.AddInt32("from", from);
		reordered.AddInt32("to", to);
		Window()->PostMessage(&reordered);
	}
	return true;
}

void LibListView::ItemReordered(int32 from, int32 to)
{
	fputs("ItemReordered needs to be inherited\n", stderr);
}
