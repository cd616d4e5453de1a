// BStatusBar: labels and texts above a bar filled in proportion to the value.
#include "StatusBar.h"

#include <algorithm>
#include <cmath>

#include "Message.h"

BStatusBar::BStatusBar(BRect frame, const char* name, const char* label, const char* trailingLabel)
    : BView(frame, name, B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW),
      fLabel(label != nullptr ? label : ""),
      fTrailingLabel(trailingLabel != nullptr ? trailingLabel : ""), fValue(0), fMax(100),
      fBarHeight(16), fBarColor{50, 150, 255, 255}
{
}

BStatusBar::~BStatusBar() {}

void BStatusBar::Reset(const char* label, const char* trailingLabel)
{
	fLabel = label != nullptr ? label : "";
	fTrailingLabel = trailingLabel != nullptr ? trailingLabel : "";
	fText.clear();
	fTrailingText.clear();
	fValue = 0;
	fMax = 100;
	Invalidate();
	StateChanged();
}

void BStatusBar::Update(float delta, const char* text, const char* trailingText)
{
	SetTo(fValue + delta, text, trailingText);
}

void BStatusBar::SetTo(float value, const char* text, const char* trailingText)
{
	fValue = std::clamp(value, 0.0f, fMax);
	if (text != nullptr)
		fText = text;
	if (trailingText != nullptr)
		fTrailingText = trailingText;
	Invalidate();
	StateChanged();
}

void BStatusBar::SetMaxValue(float max)
{
	fMax = std::max(0.0f, max);
	fValue = std::min(fValue, fMax);
	Invalidate();
	StateChanged();
}

void BStatusBar::SetText(const char* text)
{
	fText = text != nullptr ? text : "";
	Invalidate();
}

void BStatusBar::SetTrailingText(const char* text)
{
	fTrailingText = text != nullptr ? text : "";
	Invalidate();
}

void BStatusBar::SetBarColor(rgb_color color)
{
	fBarColor = color;
	Invalidate();
}

void BStatusBar::SetBarHeight(float height)
{
	fBarHeight = std::max(1.0f, height);
	Invalidate();
}

void BStatusBar::AttachedToWindow()
{
	if (Parent() != nullptr) {
		SetViewColor(Parent()->ViewColor());
		SetLowColor(Parent()->ViewColor());
	}
}

void BStatusBar::GetPreferredSize(float* width, float* height)
{
	font_height fh;
	GetFontHeight(&fh);
	if (width != nullptr)
		*width = Bounds().Width();
	if (height != nullptr)
		*height = std::ceil(fh.ascent + fh.descent) + 3 + fBarHeight;
}

BRect BStatusBar::BarFrame() const
{
	font_height fh;
	GetFontHeight(&fh);
	BRect bounds = Bounds();
	float top = bounds.top + std::ceil(fh.ascent + fh.descent) + 3;
	return BRect(bounds.left, top, bounds.right, std::min(bounds.bottom, top + fBarHeight - 1));
}

void BStatusBar::Draw(BRect updateRect)
{
	font_height fh;
	GetFontHeight(&fh);
	BRect bounds = Bounds();
	float baseline = bounds.top + std::ceil(fh.ascent);
	SetHighColor(0, 0, 0);
	SetLowColor(ViewColor());
	std::string left = fLabel + fText;
	std::string right = fTrailingText + fTrailingLabel;
	if (!left.empty())
		DrawString(left.c_str(), BPoint(bounds.left, baseline));
	if (!right.empty())
		DrawString(right.c_str(), BPoint(bounds.right - StringWidth(right.c_str()), baseline));
	BRect bar = BarFrame();
	SetHighColor(tint_color(ViewColor(), B_DARKEN_2_TINT));
	StrokeRect(bar);
	BRect inside = bar.InsetByCopy(1, 1);
	SetHighColor(255, 255, 255);
	FillRect(inside);
	if (fMax <= 0 || fValue <= 0 || !inside.IsValid())
		return;
	float filled = std::round(inside.Width() * fValue / fMax);
	SetHighColor(fBarColor);
	FillRect(BRect(inside.left, inside.top, inside.left + filled, inside.bottom));
}

void BStatusBar::MessageReceived(BMessage* message)
{
	if (message->what == B_UPDATE_STATUS_BAR) {
		Update(message->FindFloat("delta"), message->FindString("text"),
		       message->FindString("trailing_text"));
		return;
	}
	if (message->what == B_RESET_STATUS_BAR) {
		Reset(message->FindString("label"), message->FindString("trailing_label"));
		return;
	}
	BView::MessageReceived(message);
}
