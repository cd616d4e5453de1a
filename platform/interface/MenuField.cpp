// BMenuField: a label and a pop-up menu showing its marked item.
#include "MenuField.h"

#include <cmath>

#include "Menu.h"
#include "MenuBar.h"
#include "MenuItem.h"
#include "Message.h"

BMenuField::BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
                       uint32 resizingMode, uint32 flags)
    : BView(frame, name, resizingMode, flags)
{
	Init(label, menu);
}

BMenuField::BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
                       bool fixedSize, uint32 resizingMode, uint32 flags)
    : BView(frame, name, resizingMode, flags)
{
	Init(label, menu);
}

void BMenuField::Init(const char* label, BMenu* menu)
{
	fHasLabel = label != nullptr && label[0] != '\0';
	fLabel = fHasLabel ? label : "";
	fMenu = menu != nullptr ? menu : new BMenu("");
	fAlign = B_ALIGN_LEFT;
	fEnabled = true;
	fDivider = fHasLabel ? std::ceil(StringWidth(fLabel.c_str())) + 5 : 0;
	// The bar's one item owns the menu, as on the platform.
	fMenuBar = new BMenuBar(BRect(fDivider + 1, 0, Bounds().right, Bounds().bottom), "_mc_mb_");
	fMenuBar->AddItem(fMenu);
	fMenuBar->SetOwnerView(this);
}

BMenuField::~BMenuField()
{
	delete fMenuBar;
}

BMenuItem* BMenuField::MenuItem() const
{
	return fMenuBar->ItemAt(0);
}

void BMenuField::SetLabel(const char* label)
{
	fHasLabel = label != nullptr && label[0] != '\0';
	fLabel = fHasLabel ? label : "";
	Invalidate();
	StateChanged();
}

void BMenuField::SetEnabled(bool enabled)
{
	if (enabled == fEnabled)
		return;
	fEnabled = enabled;
	Invalidate();
	StateChanged();
}

void BMenuField::SetAlignment(alignment label)
{
	fAlign = label;
	Invalidate();
}

void BMenuField::SetDivider(float divider)
{
	fDivider = divider;
	Invalidate();
	StateChanged();
}

const char* BMenuField::FieldText() const
{
	BMenuItem* marked = fMenu->FindMarked();
	if (fMenu->IsLabelFromMarked() && marked != nullptr)
		fFieldText = marked->Label();
	else
		fFieldText = fMenu->Name() != nullptr ? fMenu->Name() : "";
	return fFieldText.c_str();
}

void BMenuField::AttachedToWindow()
{
	if (Parent() != nullptr) {
		SetViewColor(Parent()->ViewColor());
		SetLowColor(Parent()->ViewColor());
	}
}

void BMenuField::Draw(BRect updateRect)
{
	if (!fHasLabel)
		return;
	BRect bounds = Bounds();
	font_height fh;
	GetFontHeight(&fh);
	float y = std::floor(
	        (bounds.top + bounds.bottom + std::ceil(fh.ascent) - std::ceil(fh.descent)) / 2);
	if (fEnabled)
		SetHighColor(0, 0, 0);
	else
		SetHighColor(tint_color(ViewColor(), B_DISABLED_LABEL_TINT));
	float x = bounds.left + 1;
	float width = StringWidth(fLabel.c_str());
	if (fAlign == B_ALIGN_RIGHT)
		x = bounds.left + fDivider - width - 3;
	else if (fAlign == B_ALIGN_CENTER)
		x = bounds.left + std::floor((fDivider - width) / 2);
	DrawString(fLabel.c_str(), BPoint(x, y));
}

void BMenuField::KeyDown(const char* bytes, int32 numBytes)
{
	BView::KeyDown(bytes, numBytes);
}

void BMenuField::MessageReceived(BMessage* message)
{
	if (message->what != kHostPick) {
		BView::MessageReceived(message);
		return;
	}
	BMenuItem* item = fMenu->ItemAt(message->FindInt32("index"));
	if (!fEnabled || item == nullptr || !item->IsEnabled() || item->IsSeparator())
		return;
	if (fMenu->IsRadioMode())
		item->SetMarked(true);
	item->Invoke();
}

void BMenuField::SetFont(const BFont* font, uint32 mask)
{
	BView::SetFont(font, mask);
	fMenuBar->SetFont(font, mask);
	fMenu->SetFont(font, mask);
}
