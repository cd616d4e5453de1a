// FileListItem as a row of the list: its height, truncation and drawing.
#include "FileListItem.h"

#include <cstring>

#include "Bitmap.h"
#include "Font.h"
#include "LibBitmap.h"
#include "View.h"

namespace {

const rgb_color kPathColor = {128, 128, 128, 255};
const rgb_color kTextColor = {0, 0, 0, 255};
const float kRowHeight = 18;
const float kTextIndent = 21;

} // namespace

void FileListItem::Update(BView* owner, const BFont* font)
{
	SetHeight(kRowHeight);
	if (fTruncateMode == 0 || owner == nullptr || font == nullptr)
		return;
	float width = owner->Frame().Width() - Margin() - kTextIndent;
	fDisplayText = font->TruncateString(fDisplayText.String(), fTruncateMode, width).c_str();
}

void FileListItem::DrawItem(BView* owner, BRect frame, bool complete)
{
	if (owner == nullptr)
		return;
	float margin = Margin();
	// Selected rows in the desktop's selection colours, so they stand out.
	const rgb_color text = IsSelected() ? ui_color(B_LIST_SELECTED_ITEM_TEXT_COLOR) : kTextColor;
	owner->SetHighColor(IsSelected() ? ui_color(B_LIST_SELECTED_BACKGROUND_COLOR)
	                                 : owner->ViewColor());
	owner->FillRect(frame);
	owner->SetHighColor(text);
	owner->SetDrawingMode(B_OP_OVER);
	owner->DrawBitmap(fIcon, BPoint(margin - 1, frame.top + 1));
	BPoint where(margin + kTextIndent, frame.bottom - 4);
	const char* shown = fDisplayText.String();
	const char* last = fShowFullPath ? strrchr(shown, '/') : nullptr;
	if (last == nullptr) {
		owner->DrawString(fDisplayText.String(), where);
		return;
	}
	// The folders in grey, the leaf in black right after them.
	int32 folders = (int32)(last - shown) + 1;
	owner->SetHighColor(IsSelected() ? text : kPathColor);
	owner->DrawString(shown, folders, where);
	where.x += owner->StringWidth(shown, folders);
	owner->SetHighColor(text);
	owner->DrawString(shown + folders, where);
}
