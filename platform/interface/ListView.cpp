// BListView: rows, selection rules, the selection message and drawing.
#include "ListView.h"

#include <algorithm>
#include <cmath>

#include "List.h"
#include "ListItem.h"
#include "Message.h"
#include "ScrollBar.h"
#include "Window.h"

BListView::BListView(BRect frame, const char* name, list_view_type type, uint32 resizingMode,
                     uint32 flags)
    : BView(frame, name, resizingMode, flags), BInvoker(nullptr, nullptr, nullptr),
      fSelectionMessage(nullptr), fListType(type), fAnchor(-1), fLastClicked(-1), fLastClickTime(0)
{
}

BListView::~BListView()
{
	delete fSelectionMessage;
}

bool BListView::AddItem(BListItem* item)
{
	return AddItem(item, CountItems());
}

bool BListView::AddItem(BListItem* item, int32 index)
{
	if (item == nullptr || index < 0 || index > CountItems())
		return false;
	fItems.insert(fItems.begin() + index, item);
	if (Window() != nullptr) {
		BFont font;
		GetFont(&font);
		item->Update(this, &font);
	}
	if (fAnchor >= index)
		fAnchor++;
	UpdateScrollBar();
	Invalidate();
	StateChanged();
	return true;
}

bool BListView::AddList(BList* newItems)
{
	return AddList(newItems, CountItems());
}

bool BListView::AddList(BList* newItems, int32 index)
{
	if (newItems == nullptr || index < 0 || index > CountItems())
		return false;
	std::vector<BListItem*> added;
	added.reserve(size_t(newItems->CountItems()));
	for (int32 i = 0; i < newItems->CountItems(); i++) {
		auto* item = static_cast<BListItem*>(newItems->ItemAt(i));
		if (item == nullptr)
			return false;
		added.push_back(item);
	}
	fItems.insert(fItems.begin() + index, added.begin(), added.end());
	if (Window() != nullptr) {
		BFont font;
		GetFont(&font);
		for (BListItem* item : added)
			item->Update(this, &font);
	}
	if (fAnchor >= index)
		fAnchor += int32(added.size());
	UpdateScrollBar();
	Invalidate();
	StateChanged();
	return true;
}

bool BListView::RemoveItem(BListItem* item)
{
	int32 index = IndexOf(item);
	return index >= 0 && RemoveItem(index) != nullptr;
}

BListItem* BListView::RemoveItem(int32 index)
{
	BListItem* item = ItemAt(index);
	if (item == nullptr)
		return nullptr;
	fItems.erase(fItems.begin() + index);
	if (fAnchor == index)
		fAnchor = -1;
	else if (fAnchor > index)
		fAnchor--;
	UpdateScrollBar();
	Invalidate();
	StateChanged();
	return item;
}

bool BListView::RemoveItems(int32 index, int32 count)
{
	if (index < 0 || count < 0 || index + count > CountItems())
		return false;
	for (int32 i = 0; i < count; i++)
		RemoveItem(index);
	return true;
}

void BListView::MakeEmpty()
{
	fItems.clear();
	fAnchor = -1;
	ScrollTo(BPoint(0, 0));
	UpdateScrollBar();
	Invalidate();
	StateChanged();
}

BListItem* BListView::ItemAt(int32 index) const
{
	if (index < 0 || index >= CountItems())
		return nullptr;
	return fItems[index];
}

int32 BListView::IndexOf(const BListItem* item) const
{
	auto found = std::find(fItems.begin(), fItems.end(), item);
	return found == fItems.end() ? -1 : int32(found - fItems.begin());
}

int32 BListView::IndexOf(BPoint point) const
{
	float top = 0;
	for (int32 i = 0; i < CountItems(); i++) {
		float height = fItems[i]->Height();
		if (point.y >= top && point.y < top + height)
			return i;
		top += height;
	}
	return -1;
}

BRect BListView::ItemFrame(int32 index) const
{
	if (ItemAt(index) == nullptr)
		return BRect();
	float top = 0;
	for (int32 i = 0; i < index; i++)
		top += fItems[i]->Height();
	BRect bounds = Bounds();
	return BRect(bounds.left, top, bounds.right, top + fItems[index]->Height() - 1);
}

float BListView::ItemsHeight() const
{
	float total = 0;
	for (const BListItem* item : fItems)
		total += item->Height();
	return total;
}

void BListView::InvalidateItem(int32 index)
{
	if (ItemAt(index) != nullptr)
		Invalidate(ItemFrame(index));
}

bool BListView::SwapItems(int32 a, int32 b)
{
	if (ItemAt(a) == nullptr || ItemAt(b) == nullptr)
		return false;
	std::swap(fItems[a], fItems[b]);
	Invalidate();
	StateChanged();
	return true;
}

bool BListView::MoveItem(int32 from, int32 to)
{
	if (ItemAt(from) == nullptr || ItemAt(to) == nullptr)
		return false;
	BListItem* item = fItems[from];
	fItems.erase(fItems.begin() + from);
	fItems.insert(fItems.begin() + to, item);
	Invalidate();
	StateChanged();
	return true;
}

// Changes the selection without telling anyone; true when it changed.
bool BListView::SelectWithoutMessage(int32 index, bool extend)
{
	BListItem* item = ItemAt(index);
	if (item == nullptr)
		return false;
	bool changed = false;
	if (!extend || fListType == B_SINGLE_SELECTION_LIST) {
		for (int32 i = 0; i < CountItems(); i++) {
			if (i != index && fItems[i]->IsSelected()) {
				fItems[i]->Deselect();
				changed = true;
			}
		}
	}
	if (!item->IsSelected()) {
		item->Select();
		changed = true;
	}
	fAnchor = index;
	return changed;
}

void BListView::Select(int32 index, bool extend)
{
	if (SelectWithoutMessage(index, extend)) {
		Invalidate();
		StateChanged();
		SelectionChanged();
		SendSelection();
	}
}

void BListView::Select(int32 from, int32 to, bool extend)
{
	if (from > to)
		std::swap(from, to);
	if (ItemAt(from) == nullptr || ItemAt(to) == nullptr)
		return;
	if (fListType == B_SINGLE_SELECTION_LIST) {
		Select(from, extend);
		return;
	}
	bool changed = false;
	for (int32 i = 0; i < CountItems(); i++) {
		bool wanted = (i >= from && i <= to) || (extend && fItems[i]->IsSelected());
		if (wanted != fItems[i]->IsSelected()) {
			wanted ? fItems[i]->Select() : fItems[i]->Deselect();
			changed = true;
		}
	}
	if (!changed)
		return;
	Invalidate();
	StateChanged();
	SelectionChanged();
	SendSelection();
}

void BListView::Deselect(int32 index)
{
	BListItem* item = ItemAt(index);
	if (item == nullptr || !item->IsSelected())
		return;
	item->Deselect();
	Invalidate();
	StateChanged();
	SelectionChanged();
	SendSelection();
}

void BListView::DeselectAll()
{
	DeselectExcept(-1, -2);
}

void BListView::DeselectExcept(int32 from, int32 to)
{
	bool changed = false;
	for (int32 i = 0; i < CountItems(); i++) {
		if ((i < from || i > to) && fItems[i]->IsSelected()) {
			fItems[i]->Deselect();
			changed = true;
		}
	}
	if (!changed)
		return;
	Invalidate();
	StateChanged();
	SelectionChanged();
	SendSelection();
}

bool BListView::IsItemSelected(int32 index) const
{
	BListItem* item = ItemAt(index);
	return item != nullptr && item->IsSelected();
}

int32 BListView::CurrentSelection(int32 nth) const
{
	for (int32 i = 0; i < CountItems(); i++) {
		if (fItems[i]->IsSelected() && nth-- == 0)
			return i;
	}
	return -1;
}

void BListView::SelectionChanged() {}

void BListView::ScrollToSelection()
{
	int32 index = CurrentSelection();
	if (index < 0)
		return;
	BRect frame = ItemFrame(index);
	BRect bounds = Bounds();
	if (frame.top < bounds.top)
		ScrollTo(BPoint(bounds.left, frame.top));
	else if (frame.bottom > bounds.bottom)
		ScrollTo(BPoint(bounds.left, frame.bottom - bounds.Height()));
}

void BListView::SetSelectionMessage(BMessage* message)
{
	if (message == fSelectionMessage)
		return;
	delete fSelectionMessage;
	fSelectionMessage = message;
}

uint32 BListView::SelectionCommand() const
{
	return fSelectionMessage != nullptr ? fSelectionMessage->what : 0;
}

void BListView::SendSelection()
{
	if (fSelectionMessage == nullptr)
		return;
	BMessage copy(*fSelectionMessage);
	copy.AddInt64("when", system_time());
	copy.AddPointer("source", this);
	for (int32 i = 0; i < CountItems(); i++) {
		if (fItems[i]->IsSelected())
			copy.AddInt32("index", i);
	}
	BInvoker::Invoke(&copy);
}

status_t BListView::Invoke(BMessage* message)
{
	BMessage copy;
	status_t status = StampedMessage(message, this, &copy);
	if (status != B_OK)
		return status;
	for (int32 i = 0; i < CountItems(); i++) {
		if (fItems[i]->IsSelected())
			copy.AddInt32("index", i);
	}
	return BInvoker::Invoke(&copy);
}

void BListView::SetListType(list_view_type type)
{
	fListType = type;
	if (type == B_SINGLE_SELECTION_LIST && CurrentSelection(1) >= 0)
		Select(CurrentSelection());
}

void BListView::Draw(BRect updateRect)
{
	BRect bounds = Bounds();
	float top = 0;
	for (BListItem* item : fItems) {
		BRect frame(bounds.left, top, bounds.right, top + item->Height() - 1);
		top += item->Height();
		if (frame.bottom < bounds.top || frame.top > bounds.bottom)
			continue;
		item->DrawItem(this, frame, true);
	}
	UpdateScrollBar();
}

void BListView::MouseDown(BPoint where)
{
	int32 index = IndexOf(where);
	MakeFocus(true);
	if (index < 0)
		return;
	BMessage* current = Window() != nullptr ? Window()->CurrentMessage() : nullptr;
	int32 mods = current != nullptr ? current->FindInt32("modifiers") : 0;
	int32 clicks = current != nullptr ? current->FindInt32("clicks") : 1;
	bool wasSelected = IsItemSelected(index);
	if (fListType == B_MULTIPLE_SELECTION_LIST && (mods & B_SHIFT_KEY) != 0 && fAnchor >= 0) {
		int32 anchor = fAnchor;
		Select(anchor, index, false);
		fAnchor = anchor;
	} else if (fListType == B_MULTIPLE_SELECTION_LIST &&
	           (mods & (B_COMMAND_KEY | B_CONTROL_KEY)) != 0) {
		wasSelected ? Deselect(index) : Select(index, true);
	} else {
		Select(index, false);
	}
	if (clicks >= 2 && index == fLastClicked)
		Invoke();
	fLastClicked = index;
	InitiateDrag(where, index, wasSelected);
}

void BListView::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes != 1 || IsEmpty())
		return BView::KeyDown(bytes, numBytes);
	int32 current = CurrentSelection();
	switch (bytes[0]) {
		case B_UP_ARROW:
			Select(std::max(0, current - 1));
			ScrollToSelection();
			break;
		case B_DOWN_ARROW:
			Select(std::min(CountItems() - 1, current + 1));
			ScrollToSelection();
			break;
		case B_HOME:
			Select(0);
			ScrollToSelection();
			break;
		case B_END:
			Select(CountItems() - 1);
			ScrollToSelection();
			break;
		case B_ENTER:
		case B_SPACE: Invoke(); break;
		default: BView::KeyDown(bytes, numBytes);
	}
}

void BListView::UpdateItems()
{
	BFont font;
	GetFont(&font);
	for (BListItem* item : fItems)
		item->Update(this, &font);
}

void BListView::AttachedToWindow()
{
	if (!Messenger().IsValid())
		SetTarget(Window());
	UpdateItems();
	UpdateScrollBar();
	BView::AttachedToWindow();
}

void BListView::FrameResized(float width, float height)
{
	UpdateItems();
	UpdateScrollBar();
	Invalidate();
}

void BListView::SetFont(const BFont* font, uint32 mask)
{
	BView::SetFont(font, mask);
	if (Window() != nullptr)
		UpdateItems();
	UpdateScrollBar();
}

void BListView::ScrollTo(BPoint where)
{
	BView::ScrollTo(where);
}

bool BListView::InitiateDrag(BPoint point, int32 index, bool wasSelected)
{
	return false;
}

void BListView::UpdateScrollBar()
{
	BScrollBar* bar = ScrollBar(B_VERTICAL);
	if (bar == nullptr)
		return;
	float total = ItemsHeight();
	float visible = Bounds().Height() + 1;
	bar->SetRange(0, std::max(0.0f, total - visible));
	float step = IsEmpty() ? 20 : fItems[0]->Height();
	bar->SetSteps(step, std::max(step, visible - step));
	bar->SetProportion(total > 0 ? std::min(1.0f, visible / total) : 1);
}
