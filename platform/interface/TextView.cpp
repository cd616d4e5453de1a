// BTextView: text wrapped at word boundaries to the text rectangle.
#include "TextView.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "FontUtf8.h"
#include "ScrollBar.h"

BTextView::BTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode,
                     uint32 flags)
    : BView(frame, name, resizingMode, flags | B_FRAME_EVENTS),
      fTextRect(textRect), fTextColor{0, 0, 0, 255}, fAlign(B_ALIGN_LEFT), fSelStart(0), fSelEnd(0),
      fEditable(true), fSelectable(true), fWordWrap(true), fStylable(false), fWrapValid(false),
      fWrapWidth(-1)
{
}

BTextView::BTextView(BRect frame, const char* name, BRect textRect, const BFont* font,
                     const rgb_color* color, uint32 resizingMode, uint32 flags)
    : BTextView(frame, name, textRect, resizingMode, flags)
{
	SetFontAndColor(font, B_FONT_ALL, color);
}

BTextView::~BTextView() {}

void BTextView::SetText(const char* text)
{
	SetText(text, text != nullptr ? int32(strlen(text)) : 0);
}

void BTextView::SetText(const char* text, int32 length)
{
	fText.assign(text != nullptr ? text : "", text != nullptr ? size_t(std::max(length, 0)) : 0);
	fSelStart = fSelEnd = 0;
	fWrapValid = false;
	Invalidate();
	StateChanged();
}

void BTextView::Insert(const char* text)
{
	Insert(fSelStart, text, text != nullptr ? int32(strlen(text)) : 0);
}

void BTextView::Insert(int32 offset, const char* text, int32 length)
{
	if (text == nullptr || length <= 0)
		return;
	offset = std::clamp(offset, 0, TextLength());
	fText.insert(size_t(offset), text, size_t(length));
	fSelStart = fSelEnd = offset + length;
	fWrapValid = false;
	Invalidate();
	StateChanged();
}

void BTextView::Delete(int32 start, int32 finish)
{
	start = std::clamp(start, 0, TextLength());
	finish = std::clamp(finish, start, TextLength());
	fText.erase(size_t(start), size_t(finish - start));
	fSelStart = fSelEnd = start;
	fWrapValid = false;
	Invalidate();
	StateChanged();
}

void BTextView::Select(int32 start, int32 finish)
{
	fSelStart = std::clamp(start, 0, TextLength());
	fSelEnd = std::clamp(finish, fSelStart, TextLength());
	Invalidate();
}

void BTextView::GetSelection(int32* start, int32* finish) const
{
	if (start != nullptr)
		*start = fSelStart;
	if (finish != nullptr)
		*finish = fSelEnd;
}

void BTextView::SetTextRect(BRect rect)
{
	fTextRect = rect;
	fWrapValid = false;
	Invalidate();
}

void BTextView::MakeEditable(bool editable)
{
	fEditable = editable;
	StateChanged();
}

void BTextView::MakeSelectable(bool selectable)
{
	fSelectable = selectable;
	StateChanged();
}

void BTextView::SetWordWrap(bool wrap)
{
	fWordWrap = wrap;
	fWrapValid = false;
	Invalidate();
}

void BTextView::SetAlignment(alignment flag)
{
	fAlign = flag;
	Invalidate();
}

void BTextView::SetFontAndColor(const BFont* font, uint32 mode, const rgb_color* color)
{
	if (font != nullptr)
		BView::SetFont(font, mode);
	if (color != nullptr)
		fTextColor = *color;
	fWrapValid = false;
	Invalidate();
}

void BTextView::GetFontAndColor(BFont* font, uint32* sameProperties, rgb_color* color,
                                bool* sameColor) const
{
	GetFont(font);
	if (sameProperties != nullptr)
		*sameProperties = B_FONT_ALL;
	if (color != nullptr)
		*color = fTextColor;
	if (sameColor != nullptr)
		*sameColor = true;
}

void BTextView::SetFont(const BFont* font, uint32 mask)
{
	BView::SetFont(font, mask);
	fWrapValid = false;
}

namespace {

// Splits one paragraph into lines no wider than `width`, breaking after
// spaces where possible and inside a word only when it alone is too wide.
void wrap_paragraph(const BFont& font, const std::string& text, float width,
                    std::vector<std::string>* lines)
{
	std::vector<size_t> starts = utf8_starts(text);
	size_t lineStart = 0;
	while (lineStart < text.size()) {
		size_t lastBreak = std::string::npos;
		size_t end = text.size();
		for (size_t k = 0; k < starts.size(); k++) {
			size_t at = starts[k];
			if (at < lineStart)
				continue;
			size_t next = k + 1 < starts.size() ? starts[k + 1] : text.size();
			if (font.StringWidth(text.c_str() + lineStart, int32(next - lineStart)) > width &&
			    at > lineStart) {
				end = lastBreak != std::string::npos ? lastBreak : at;
				break;
			}
			if (text[at] == ' ')
				lastBreak = next;
		}
		lines->push_back(text.substr(lineStart, end - lineStart));
		lineStart = end;
	}
}

} // namespace

void BTextView::Rewrap() const
{
	float width = fTextRect.Width() + 1;
	if (fWrapValid && width == fWrapWidth)
		return;
	fLines.clear();
	BFont font;
	GetFont(&font);
	size_t start = 0;
	while (start <= fText.size()) {
		size_t newline = fText.find('\n', start);
		size_t end = newline == std::string::npos ? fText.size() : newline;
		std::string paragraph = fText.substr(start, end - start);
		if (paragraph.empty() || !fWordWrap)
			fLines.push_back(paragraph);
		else
			wrap_paragraph(font, paragraph, width, &fLines);
		if (newline == std::string::npos)
			break;
		start = newline + 1;
	}
	fWrapValid = true;
	fWrapWidth = width;
}

int32 BTextView::CountLines() const
{
	Rewrap();
	return int32(fLines.size());
}

float BTextView::LineHeight(int32 line) const
{
	font_height fh;
	GetFontHeight(&fh);
	return std::ceil(fh.ascent + fh.descent + fh.leading);
}

float BTextView::TextHeight(int32 startLine, int32 endLine) const
{
	int32 count = CountLines();
	startLine = std::clamp(startLine, 0, count);
	endLine = std::clamp(endLine, startLine, count - 1);
	return (endLine - startLine + 1) * LineHeight();
}

std::string BTextView::LineAt(int32 line) const
{
	Rewrap();
	if (line < 0 || line >= int32(fLines.size()))
		return "";
	return fLines[line];
}

void BTextView::AttachedToWindow()
{
	BView::AttachedToWindow();
}

void BTextView::FrameResized(float width, float height)
{
	Invalidate();
}

void BTextView::Draw(BRect updateRect)
{
	Rewrap();
	font_height fh;
	GetFontHeight(&fh);
	float lineHeight = LineHeight();
	SetHighColor(fTextColor);
	SetLowColor(ViewColor());
	float y = fTextRect.top + std::ceil(fh.ascent);
	for (const std::string& line : fLines) {
		float x = fTextRect.left;
		float width = StringWidth(line.c_str());
		if (fAlign == B_ALIGN_RIGHT)
			x = fTextRect.right - width;
		else if (fAlign == B_ALIGN_CENTER)
			x = fTextRect.left + std::floor((fTextRect.Width() - width) / 2);
		if (!line.empty())
			DrawString(line.c_str(), BPoint(x, y));
		y += lineHeight;
	}
	if (BScrollBar* bar = ScrollBar(B_VERTICAL)) {
		float total = fTextRect.top + fLines.size() * lineHeight;
		float visible = Bounds().Height() + 1;
		bar->SetRange(0, std::max(0.0f, total - visible));
		bar->SetSteps(lineHeight, std::max(lineHeight, visible - lineHeight));
		bar->SetProportion(total > 0 ? std::min(1.0f, visible / total) : 1);
	}
}

void BTextView::KeyDown(const char* bytes, int32 numBytes)
{
	if (!fEditable || numBytes <= 0)
		return BView::KeyDown(bytes, numBytes);
	if (bytes[0] == B_BACKSPACE) {
		if (fSelEnd > fSelStart) {
			Delete(fSelStart, fSelEnd);
		} else if (fSelStart > 0) {
			std::vector<size_t> starts = utf8_starts(fText.substr(0, size_t(fSelStart)));
			Delete(int32(starts.back()), fSelStart);
		}
		return;
	}
	if (uint8(bytes[0]) < 0x20 && bytes[0] != B_ENTER && bytes[0] != B_TAB)
		return BView::KeyDown(bytes, numBytes);
	if (fSelEnd > fSelStart)
		Delete(fSelStart, fSelEnd);
	Insert(fSelStart, bytes, numBytes);
}

void BTextView::MouseDown(BPoint where)
{
	if (fEditable || fSelectable)
		MakeFocus(true);
}
