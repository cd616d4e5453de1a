// FileListItem as a row of the list: its height, truncation and drawing.
#include "FileListItem.h"

#include <cstring>

#include "Bitmap.h"
#include "Font.h"
#include "LibBitmap.h"
#include "View.h"

namespace {

const rgb_color kSelectedColor = {216, 216, 216, 255};
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
	owner->SetHighColor(IsSelected() ? kSelectedColor : owner->ViewColor());
	owner->FillRect(frame);
	owner->SetHighColor(kTextColor);
	owner->SetDrawingMode(B_OP_OVER);
	owner->DrawBitmap(fIcon, BPoint(margin - 1, frame.top + 1));
	BPoint where(margin + kTextIndent, frame.bottom - 4);
	const char* text = fDisplayText.String();
	const char* last = fShowFullPath ? strrchr(text, '/') : nullptr;
	if (last == nullptr) {
		owner->DrawString(fDisplayText.String(), where);
		return;
	}
	// The folders in grey, the leaf in black right after them.
	int32 folders = (int32)(last - text) + 1;
	owner->SetHighColor(kPathColor);
	owner->DrawString(text, folders, where);
	where.x += owner->StringWidth(text, folders);
	owner->SetHighColor(kTextColor);
	owner->DrawString(text + folders, where);
}
