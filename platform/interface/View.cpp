// BView: the view tree, geometry, state and recorded drawing.
#include "View.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

#include "Bitmap.h"
#include "Message.h"
#include "Picture.h"
#include "ScrollBar.h"
#include "Window.h"

namespace {

std::atomic<uint64> sNextHostId{1};

// How one edge moves when the parent's size changes by `delta`.
float follow(uint32 rule, float delta, uint32 farRule)
{
	if (rule == farRule)
		return delta;
	if (rule == _VIEW_CENTER_)
		return delta / 2;
	return 0;
}

} // namespace

BView::BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags)
    : BHandler(name), fFrame(frame), fResizingMode(resizingMode), fFlags(flags), fParent(nullptr),
      fWindow(nullptr),
      fHideLevel(0), fViewColor{255, 255, 255, 255}, fHighColor{0, 0, 0, 255}, fLowColor{255, 255,
                                                                                         255, 255},
      fFont(be_plain_font), fDrawingMode(B_OP_COPY), fPenSize(1), fPicture(nullptr),
      fInLineArray(false), fNeedsDrawing(true), fHostId(sNextHostId++), fVerticalBar(nullptr),
      fHorizontalBar(nullptr)
{
}

BView::~BView()
{
	if (fParent != nullptr)
		fParent->RemoveChild(this);
	while (!fChildren.empty()) {
		BView* child = fChildren.back();
		RemoveChild(child);
		delete child;
	}
	if (fVerticalBar != nullptr)
		fVerticalBar->fTarget = nullptr;
	if (fHorizontalBar != nullptr)
		fHorizontalBar->fTarget = nullptr;
}

void BView::AttachedToWindow() {}
void BView::AllAttached() {}
void BView::DetachedFromWindow() {}
void BView::AllDetached() {}

void BView::AddChild(BView* child, BView* before)
{
	if (child == nullptr || child->fParent != nullptr || child == this)
		return;
	auto place = std::find(fChildren.begin(), fChildren.end(), before);
	fChildren.insert(place, child);
	child->fParent = this;
	if (fWindow != nullptr) {
		child->CallAttached(fWindow);
		fWindow->RequestSync();
	}
}

bool BView::RemoveChild(BView* child)
{
	auto place = std::find(fChildren.begin(), fChildren.end(), child);
	if (child == nullptr || place == fChildren.end())
		return false;
	BWindow* window = fWindow;
	if (window != nullptr)
		child->CallDetached();
	fChildren.erase(place);
	child->fParent = nullptr;
	if (window != nullptr)
		window->RequestSync();
	return true;
}

bool BView::RemoveSelf()
{
	return fParent != nullptr && fParent->RemoveChild(this);
}

BView* BView::ChildAt(int32 index) const
{
	if (index < 0 || index >= CountChildren())
		return nullptr;
	return fChildren[index];
}

BView* BView::NextSibling() const
{
	if (fParent == nullptr)
		return nullptr;
	const auto& siblings = fParent->fChildren;
	auto place = std::find(siblings.begin(), siblings.end(), this);
	return place + 1 < siblings.end() ? *(place + 1) : nullptr;
}

BView* BView::PreviousSibling() const
{
	if (fParent == nullptr)
		return nullptr;
	const auto& siblings = fParent->fChildren;
	auto place = std::find(siblings.begin(), siblings.end(), this);
	return place != siblings.begin() && place != siblings.end() ? *(place - 1) : nullptr;
}

BView* BView::FindView(const char* name) const
{
	if (name == nullptr)
		return nullptr;
	for (BView* child : fChildren) {
		if (child->Name() != nullptr && strcmp(child->Name(), name) == 0)
			return child;
		if (BView* found = child->FindView(name))
			return found;
	}
	return nullptr;
}

void BView::SetWindow(BWindow* window)
{
	fWindow = window;
}

// Joins the window: handlers first, then the hooks, parents before children.
void BView::CallAttached(BWindow* window)
{
	fWindow = window;
	window->AddHandler(this);
	SetNextHandler(fParent != nullptr ? static_cast<BHandler*>(fParent) : window);
	fNeedsDrawing = true;
	AttachedToWindow();
	for (BView* child : fChildren)
		child->CallAttached(window);
	AllAttached();
	window->ViewNeedsDrawing(this);
}

void BView::CallDetached()
{
	for (BView* child : fChildren)
		child->CallDetached();
	DetachedFromWindow();
	AllDetached();
	if (fWindow != nullptr) {
		if (fWindow->CurrentFocus() == this)
			fWindow->SetFocusView(nullptr);
		fWindow->RemoveHandler(this);
	}
	SetNextHandler(nullptr);
	fWindow = nullptr;
}

BRect BView::Bounds() const
{
	return BRect(fScroll.x, fScroll.y, fScroll.x + fFrame.Width(), fScroll.y + fFrame.Height());
}

void BView::MoveTo(BPoint where)
{
	if (where == fFrame.LeftTop())
		return;
	fFrame.OffsetTo(where.x, where.y);
	if ((fFlags & B_FRAME_EVENTS) != 0)
		FrameMoved(where);
	StateChanged();
}

void BView::MoveBy(float dx, float dy)
{
	MoveTo(fFrame.LeftTop() + BPoint(dx, dy));
}

void BView::ResizeTo(float width, float height)
{
	ResizeBy(width - fFrame.Width(), height - fFrame.Height());
}

void BView::ResizeBy(float dx, float dy)
{
	if (dx == 0 && dy == 0)
		return;
	fFrame.right += dx;
	fFrame.bottom += dy;
	ResizeChildrenBy(dx, dy);
	if ((fFlags & B_FRAME_EVENTS) != 0)
		FrameResized(fFrame.Width(), fFrame.Height());
	Invalidate();
	StateChanged();
}

void BView::ResizeChildrenBy(float dx, float dy)
{
	for (BView* child : fChildren)
		child->FollowParent(dx, dy);
}

// Moves and resizes the view as its resizing mode says when the parent grew
// by (dx, dy).
void BView::FollowParent(float dx, float dy)
{
	uint32 mode = fResizingMode;
	float left = follow((mode >> 8) & 0xf, dx, _VIEW_RIGHT_);
	float right = follow(mode & 0xf, dx, _VIEW_RIGHT_);
	float top = follow((mode >> 12) & 0xf, dy, _VIEW_BOTTOM_);
	float bottom = follow((mode >> 4) & 0xf, dy, _VIEW_BOTTOM_);
	if (left != 0 || top != 0)
		MoveBy(left, top);
	if (right - left != 0 || bottom - top != 0)
		ResizeBy(right - left, bottom - top);
}

void BView::FrameMoved(BPoint newPosition) {}
void BView::FrameResized(float newWidth, float newHeight) {}

void BView::ScrollTo(BPoint where)
{
	if (where == fScroll)
		return;
	fScroll = where;
	if (fVerticalBar != nullptr && fVerticalBar->Value() != where.y)
		fVerticalBar->SetValue(where.y);
	if (fHorizontalBar != nullptr && fHorizontalBar->Value() != where.x)
		fHorizontalBar->SetValue(where.x);
	Invalidate();
	StateChanged();
}

void BView::ScrollBy(float dx, float dy)
{
	ScrollTo(fScroll + BPoint(dx, dy));
}

BScrollBar* BView::ScrollBar(orientation direction) const
{
	return direction == B_VERTICAL ? fVerticalBar : fHorizontalBar;
}

void BView::SetFlags(uint32 flags)
{
	fFlags = flags;
	StateChanged();
}

void BView::GetPreferredSize(float* width, float* height)
{
	if (width != nullptr)
		*width = fFrame.Width();
	if (height != nullptr)
		*height = fFrame.Height();
}

void BView::ResizeToPreferred()
{
	float width, height;
	GetPreferredSize(&width, &height);
	ResizeTo(width, height);
}

BPoint BView::ConvertToParent(BPoint point) const
{
	return point - fScroll + fFrame.LeftTop();
}

BRect BView::ConvertToParent(BRect rect) const
{
	BPoint offset = fFrame.LeftTop() - fScroll;
	return rect.OffsetByCopy(offset.x, offset.y);
}

BPoint BView::ConvertFromParent(BPoint point) const
{
	return point - fFrame.LeftTop() + fScroll;
}

BRect BView::ConvertFromParent(BRect rect) const
{
	BPoint offset = fScroll - fFrame.LeftTop();
	return rect.OffsetByCopy(offset.x, offset.y);
}

BPoint BView::ConvertToWindow(BPoint point) const
{
	for (const BView* view = this; view != nullptr; view = view->fParent)
		point = view->ConvertToParent(point);
	return point;
}

BRect BView::ConvertToWindow(BRect rect) const
{
	BPoint offset = ConvertToWindow(BPoint(0, 0));
	return rect.OffsetByCopy(offset.x, offset.y);
}

BPoint BView::ConvertFromWindow(BPoint point) const
{
	return point - ConvertToWindow(BPoint(0, 0));
}

void BView::ConvertToScreen(BPoint* point) const
{
	if (point != nullptr)
		*point = ConvertToScreen(*point);
}

BPoint BView::ConvertToScreen(BPoint point) const
{
	BPoint inWindow = ConvertToWindow(point);
	return fWindow != nullptr ? fWindow->ConvertToScreen(inWindow) : inWindow;
}

void BView::ConvertToScreen(BRect* rect) const
{
	if (rect != nullptr)
		*rect = ConvertToScreen(*rect);
}

BRect BView::ConvertToScreen(BRect rect) const
{
	BPoint offset = ConvertToScreen(BPoint(0, 0));
	return rect.OffsetByCopy(offset.x, offset.y);
}

void BView::ConvertFromScreen(BPoint* point) const
{
	if (point != nullptr)
		*point = ConvertFromScreen(*point);
}

BPoint BView::ConvertFromScreen(BPoint point) const
{
	return point - ConvertToScreen(BPoint(0, 0));
}

void BView::Show()
{
	fHideLevel--;
	if (fHideLevel == 0)
		Invalidate();
	StateChanged();
}

void BView::Hide()
{
	fHideLevel++;
	StateChanged();
}

bool BView::IsHidden() const
{
	for (const BView* view = this; view != nullptr; view = view->fParent) {
		if (view->fHideLevel > 0)
			return true;
	}
	return fWindow != nullptr && fWindow->IsHidden();
}

bool BView::IsHidden(const BView* lookingFrom) const
{
	for (const BView* view = this; view != nullptr; view = view->fParent) {
		if (view->fHideLevel > 0)
			return true;
		if (view == lookingFrom)
			return false;
	}
	return false;
}

void BView::Draw(BRect updateRect) {}
void BView::DrawAfterChildren(BRect updateRect) {}
void BView::MouseDown(BPoint where) {}
void BView::MouseUp(BPoint where) {}
void BView::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) {}
void BView::KeyDown(const char* bytes, int32 numBytes) {}
void BView::KeyUp(const char* bytes, int32 numBytes) {}
void BView::Pulse() {}
void BView::WindowActivated(bool active) {}

void BView::MakeFocus(bool focus)
{
	if (fWindow == nullptr)
		return;
	if (focus)
		fWindow->SetFocusView(this);
	else if (fWindow->CurrentFocus() == this)
		fWindow->SetFocusView(nullptr);
}

bool BView::IsFocus() const
{
	return fWindow != nullptr && fWindow->CurrentFocus() == this;
}

void BView::MessageReceived(BMessage* message)
{
	if (message->what == B_MOUSE_WHEEL_CHANGED && fVerticalBar != nullptr) {
		float delta = message->FindFloat("be:wheel_delta_y");
		float small, large;
		fVerticalBar->GetSteps(&small, &large);
		fVerticalBar->SetValue(fVerticalBar->Value() + delta * small * 3);
		return;
	}
	BHandler::MessageReceived(message);
}

void BView::GetMouse(BPoint* location, uint32* buttons, bool checkMessageQueue)
{
	if (location != nullptr)
		*location = fWindow != nullptr ? ConvertFromWindow(fWindow->LastMousePosition()) : BPoint();
	if (buttons != nullptr)
		*buttons = fWindow != nullptr ? fWindow->LastMouseButtons() : 0;
}

void BView::Invalidate()
{
	// What Draw changes while it runs is already in its drawing.
	if (fRecording != nullptr)
		return;
	fNeedsDrawing = true;
	if (fWindow != nullptr)
		fWindow->ViewNeedsDrawing(this);
}

void BView::Invalidate(BRect rect)
{
	Invalidate();
}

void BView::UpdateDrawing()
{
	fRecording = std::make_unique<DrawList>();
	fNeedsDrawing = false;
	Draw(Bounds());
	DrawAfterChildren(Bounds());
	fDrawing = std::shared_ptr<const DrawList>(fRecording.release());
}

void BView::StateChanged()
{
	if (fWindow != nullptr)
		fWindow->RequestSync();
}

void BView::SetViewColor(rgb_color color)
{
	fViewColor = color;
	Invalidate();
}

void BView::SetViewColor(uint8 r, uint8 g, uint8 b, uint8 a)
{
	SetViewColor(rgb_color{r, g, b, a});
}

void BView::SetHighColor(uint8 r, uint8 g, uint8 b, uint8 a)
{
	fHighColor = rgb_color{r, g, b, a};
}

void BView::SetLowColor(uint8 r, uint8 g, uint8 b, uint8 a)
{
	fLowColor = rgb_color{r, g, b, a};
}

void BView::SetFont(const BFont* font, uint32 mask)
{
	if (font == nullptr)
		return;
	if ((mask & B_FONT_FAMILY_AND_STYLE) != 0) {
		font_family family;
		font_style style;
		font->GetFamilyAndStyle(&family, &style);
		fFont.SetFamilyAndStyle(family, style);
	}
	if ((mask & B_FONT_SIZE) != 0)
		fFont.SetSize(font->Size());
	if ((mask & B_FONT_SHEAR) != 0)
		fFont.SetShear(font->Shear());
	if ((mask & B_FONT_ROTATION) != 0)
		fFont.SetRotation(font->Rotation());
	if ((mask & B_FONT_SPACING) != 0)
		fFont.SetSpacing(font->Spacing());
	if ((mask & B_FONT_ENCODING) != 0)
		fFont.SetEncoding(font->Encoding());
	if ((mask & B_FONT_FACE) != 0)
		fFont.SetFace(font->Face());
	if ((mask & B_FONT_FLAGS) != 0)
		fFont.SetFlags(font->Flags());
	StateChanged();
}

void BView::GetFont(BFont* font) const
{
	if (font != nullptr)
		*font = fFont;
}

void BView::SetFontSize(float size)
{
	BFont font;
	font.SetSize(size);
	SetFont(&font, B_FONT_SIZE);
}

float BView::StringWidth(const char* string) const
{
	return fFont.StringWidth(string);
}

float BView::StringWidth(const char* string, int32 length) const
{
	return fFont.StringWidth(string, length);
}

void BView::GetFontHeight(font_height* height) const
{
	fFont.GetHeight(height);
}

DrawCommand BView::MakeCommand(DrawCommand::Op op) const
{
	DrawCommand command;
	command.op = op;
	command.high = fHighColor;
	command.low = fLowColor;
	command.mode = fDrawingMode;
	command.penSize = fPenSize;
	command.fontSize = fFont.Size();
	command.fontRotation = fFont.Rotation();
	command.fontBold = fFont.IsBold();
	command.fontFixed = fFont.IsFixed();
	return command;
}

void BView::Record(DrawCommand command)
{
	if (fPicture != nullptr) {
		fPicture->Drawing().Add(std::move(command));
		return;
	}
	if (fRecording != nullptr)
		fRecording->Add(std::move(command));
}

void BView::DrawString(const char* string, escapement_delta* delta)
{
	DrawString(string, fPenLocation, delta);
}

void BView::DrawString(const char* string, BPoint location, escapement_delta* delta)
{
	if (string == nullptr)
		return;
	DrawString(string, int32(strlen(string)), location, delta);
}

void BView::DrawString(const char* string, int32 length, BPoint location, escapement_delta* delta)
{
	if (string == nullptr || length <= 0)
		return;
	DrawCommand command = MakeCommand(DrawCommand::kDrawString);
	command.text.assign(string, strnlen(string, size_t(length)));
	command.start = location;
	Record(std::move(command));
	// The pen moves along the text's direction.
	float width = StringWidth(string, length);
	float angle = fFont.Rotation() * 3.14159265f / 180;
	fPenLocation = location + BPoint(width * std::cos(angle), -width * std::sin(angle));
}

void BView::DrawBitmap(const BBitmap* bitmap)
{
	DrawBitmap(bitmap, fPenLocation);
}

void BView::DrawBitmap(const BBitmap* bitmap, BPoint where)
{
	if (bitmap == nullptr)
		return;
	BRect bounds = bitmap->Bounds();
	DrawBitmap(bitmap, bounds, bounds.OffsetToCopy(where.x, where.y));
}

void BView::DrawBitmap(const BBitmap* bitmap, BRect destination)
{
	if (bitmap == nullptr)
		return;
	DrawBitmap(bitmap, bitmap->Bounds(), destination);
}

void BView::DrawBitmap(const BBitmap* bitmap, BRect source, BRect destination)
{
	if (bitmap == nullptr || !bitmap->IsValid())
		return;
	DrawCommand command = MakeCommand(DrawCommand::kDrawBitmap);
	BRect bounds = bitmap->Bounds();
	command.source = source.OffsetByCopy(-bounds.left, -bounds.top);
	command.rect = destination;
	command.image = RgbaImage::FromBitmap(*bitmap);
	Record(std::move(command));
}

void BView::StrokeLine(BPoint end, const pattern& p)
{
	StrokeLine(fPenLocation, end, p);
}

void BView::StrokeLine(BPoint start, BPoint end, const pattern& p)
{
	DrawCommand command = MakeCommand(DrawCommand::kStrokeLine);
	command.start = start;
	command.end = end;
	command.fill = p;
	Record(std::move(command));
	fPenLocation = end;
}

void BView::StrokeRect(BRect rect, const pattern& p)
{
	DrawCommand command = MakeCommand(DrawCommand::kStrokeRect);
	command.rect = rect;
	command.fill = p;
	Record(std::move(command));
}

void BView::FillRect(BRect rect, const pattern& p)
{
	DrawCommand command = MakeCommand(DrawCommand::kFillRect);
	command.rect = rect;
	command.fill = p;
	Record(std::move(command));
}

void BView::StrokeRoundRect(BRect rect, float xRadius, float yRadius, const pattern& p)
{
	DrawCommand command = MakeCommand(DrawCommand::kStrokeRoundRect);
	command.rect = rect;
	command.radiusX = xRadius;
	command.radiusY = yRadius;
	command.fill = p;
	Record(std::move(command));
}

void BView::FillRoundRect(BRect rect, float xRadius, float yRadius, const pattern& p)
{
	DrawCommand command = MakeCommand(DrawCommand::kFillRoundRect);
	command.rect = rect;
	command.radiusX = xRadius;
	command.radiusY = yRadius;
	command.fill = p;
	Record(std::move(command));
}

void BView::StrokeEllipse(BRect rect, const pattern& p)
{
	DrawCommand command = MakeCommand(DrawCommand::kStrokeEllipse);
	command.rect = rect;
	command.fill = p;
	Record(std::move(command));
}

void BView::FillEllipse(BRect rect, const pattern& p)
{
	DrawCommand command = MakeCommand(DrawCommand::kFillEllipse);
	command.rect = rect;
	command.fill = p;
	Record(std::move(command));
}

void BView::BeginLineArray(int32 count)
{
	fInLineArray = true;
	fLineArray.clear();
}

void BView::AddLine(BPoint start, BPoint end, rgb_color color)
{
	DrawCommand command = MakeCommand(DrawCommand::kStrokeLine);
	command.start = start;
	command.end = end;
	command.high = color;
	if (fInLineArray)
		fLineArray.push_back(std::move(command));
	else
		Record(std::move(command));
}

void BView::EndLineArray()
{
	for (DrawCommand& command : fLineArray)
		Record(std::move(command));
	fLineArray.clear();
	fInLineArray = false;
}

void BView::DrawPicture(const BPicture* picture)
{
	DrawPicture(picture, fPenLocation);
}

void BView::DrawPicture(const BPicture* picture, BPoint where)
{
	if (picture == nullptr)
		return;
	DrawList shifted;
	shifted.Append(picture->Drawing(), where);
	for (const DrawCommand& command : shifted.Commands())
		Record(command);
}

void BView::BeginPicture(BPicture* picture)
{
	fPicture = picture;
	if (fPicture != nullptr)
		fPicture->Drawing().Clear();
}

BPicture* BView::EndPicture()
{
	BPicture* picture = fPicture;
	fPicture = nullptr;
	return picture;
}
