// BView: a rectangle of a window that draws itself and takes mouse and key
// events. Its state (frame, colours, font, visibility) lives here, so it can
// be read back without the window system; drawing is recorded and shown by
// the main thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "DrawList.h"
#include "Font.h"
#include "GraphicsDefs.h"
#include "Handler.h"
#include "InterfaceDefs.h"
#include "Rect.h"

class BBitmap;
class BMessage;
class BPicture;
class BScrollBar;
class BWindow;

class BView : public BHandler {
public:
	// `frame` is in the parent's coordinates, both edges included.
	BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags);
	~BView() override;

	// Hierarchy.
	virtual void AttachedToWindow();
	virtual void AllAttached();
	virtual void DetachedFromWindow();
	virtual void AllDetached();
	void AddChild(BView* child, BView* before = nullptr);
	bool RemoveChild(BView* child);
	bool RemoveSelf();
	int32 CountChildren() const { return int32(fChildren.size()); }
	BView* ChildAt(int32 index) const;
	BView* NextSibling() const;
	BView* PreviousSibling() const;
	BView* Parent() const { return fParent; }
	BWindow* Window() const { return fWindow; }
	// Searches this view's descendants (not the view itself) by name.
	BView* FindView(const char* name) const;

	// Geometry. Bounds are the frame moved to the scrolling origin.
	BRect Frame() const { return fFrame; }
	BRect Bounds() const;
	void MoveTo(BPoint where);
	void MoveTo(float x, float y) { MoveTo(BPoint(x, y)); }
	void MoveBy(float dx, float dy);
	void ResizeTo(float width, float height);
	void ResizeBy(float dx, float dy);
	virtual void FrameMoved(BPoint newPosition);
	virtual void FrameResized(float newWidth, float newHeight);
	virtual void ScrollTo(BPoint where);
	void ScrollTo(float x, float y) { ScrollTo(BPoint(x, y)); }
	void ScrollBy(float dx, float dy);
	BPoint ScrollOffset() const { return fScroll; }
	// The scroll bar that targets this view, or null.
	BScrollBar* ScrollBar(orientation direction) const;
	uint32 ResizingMode() const { return fResizingMode; }
	void SetResizingMode(uint32 mode) { fResizingMode = mode; }
	uint32 Flags() const { return fFlags; }
	virtual void SetFlags(uint32 flags);
	virtual void GetPreferredSize(float* width, float* height);
	virtual void ResizeToPreferred();

	// Conversions between this view, its parent, the window and the screen.
	BPoint ConvertToParent(BPoint point) const;
	BRect ConvertToParent(BRect rect) const;
	BPoint ConvertFromParent(BPoint point) const;
	BRect ConvertFromParent(BRect rect) const;
	BPoint ConvertToWindow(BPoint point) const;
	BRect ConvertToWindow(BRect rect) const;
	BPoint ConvertFromWindow(BPoint point) const;
	void ConvertToScreen(BPoint* point) const;
	BPoint ConvertToScreen(BPoint point) const;
	void ConvertToScreen(BRect* rect) const;
	BRect ConvertToScreen(BRect rect) const;
	void ConvertFromScreen(BPoint* point) const;
	BPoint ConvertFromScreen(BPoint point) const;

	// Visibility: Hide and Show nest, as on the platform.
	virtual void Show();
	virtual void Hide();
	bool IsHidden() const;
	bool IsHidden(const BView* lookingFrom) const;

	// Event hooks, called on the window's thread.
	virtual void Draw(BRect updateRect);
	virtual void DrawAfterChildren(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void MouseUp(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	virtual void KeyDown(const char* bytes, int32 numBytes);
	virtual void KeyUp(const char* bytes, int32 numBytes);
	virtual void Pulse();
	virtual void WindowActivated(bool active);
	virtual void MakeFocus(bool focus = true);
	bool IsFocus() const;
	void MessageReceived(BMessage* message) override;
	// The mouse position (view coordinates) and buttons of the last mouse
	// event the window had.
	void GetMouse(BPoint* location, uint32* buttons, bool checkMessageQueue = true);

	// Asks for Draw to run again; the window shows the result.
	void Invalidate();
	void Invalidate(BRect rect);
	void Flush() const {}
	void Sync() const {}

	// Colours.
	virtual void SetViewColor(rgb_color color);
	void SetViewColor(uint8 r, uint8 g, uint8 b, uint8 a = 255);
	rgb_color ViewColor() const { return fViewColor; }
	void SetHighColor(rgb_color color) { fHighColor = color; }
	void SetHighColor(uint8 r, uint8 g, uint8 b, uint8 a = 255);
	rgb_color HighColor() const { return fHighColor; }
	void SetLowColor(rgb_color color) { fLowColor = color; }
	void SetLowColor(uint8 r, uint8 g, uint8 b, uint8 a = 255);
	rgb_color LowColor() const { return fLowColor; }

	// Font.
	virtual void SetFont(const BFont* font, uint32 mask = B_FONT_ALL);
	void GetFont(BFont* font) const;
	void SetFontSize(float size);
	float StringWidth(const char* string) const;
	float StringWidth(const char* string, int32 length) const;
	void GetFontHeight(font_height* height) const;

	// Drawing state.
	void SetDrawingMode(drawing_mode mode) { fDrawingMode = mode; }
	drawing_mode DrawingMode() const { return fDrawingMode; }
	void SetPenSize(float size) { fPenSize = size; }
	float PenSize() const { return fPenSize; }
	void MovePenTo(BPoint point) { fPenLocation = point; }
	void MovePenTo(float x, float y) { fPenLocation = BPoint(x, y); }
	void MovePenBy(float x, float y) { fPenLocation += BPoint(x, y); }
	BPoint PenLocation() const { return fPenLocation; }

	// Drawing, recorded while Draw (or BeginPicture) runs.
	void DrawString(const char* string, escapement_delta* delta = nullptr);
	void DrawString(const char* string, BPoint location, escapement_delta* delta = nullptr);
	void DrawString(const char* string, int32 length, BPoint location,
	                escapement_delta* delta = nullptr);
	void DrawBitmap(const BBitmap* bitmap);
	void DrawBitmap(const BBitmap* bitmap, BPoint where);
	void DrawBitmap(const BBitmap* bitmap, BRect destination);
	void DrawBitmap(const BBitmap* bitmap, BRect source, BRect destination);
	void DrawBitmapAsync(const BBitmap* bitmap, BPoint where) { DrawBitmap(bitmap, where); }
	void StrokeLine(BPoint end, const pattern& p = B_SOLID_HIGH);
	void StrokeLine(BPoint start, BPoint end, const pattern& p = B_SOLID_HIGH);
	void StrokeRect(BRect rect, const pattern& p = B_SOLID_HIGH);
	void FillRect(BRect rect, const pattern& p = B_SOLID_HIGH);
	void StrokeRoundRect(BRect rect, float xRadius, float yRadius, const pattern& p = B_SOLID_HIGH);
	void FillRoundRect(BRect rect, float xRadius, float yRadius, const pattern& p = B_SOLID_HIGH);
	void StrokeEllipse(BRect rect, const pattern& p = B_SOLID_HIGH);
	void FillEllipse(BRect rect, const pattern& p = B_SOLID_HIGH);
	void BeginLineArray(int32 count);
	void AddLine(BPoint start, BPoint end, rgb_color color);
	void EndLineArray();
	void DrawPicture(const BPicture* picture);
	void DrawPicture(const BPicture* picture, BPoint where);
	// Records the drawing calls that follow into `picture` until EndPicture.
	void BeginPicture(BPicture* picture);
	BPicture* EndPicture();

	// Our additions. The drawing of the last Draw, for the window system and
	// for tests; null before the view was first drawn.
	std::shared_ptr<const DrawList> Drawing() const { return fDrawing; }
	// Runs Draw now and keeps what it recorded (the window's thread calls it).
	void UpdateDrawing();
	bool NeedsDrawing() const { return fNeedsDrawing; }
	// A number never given to another view, naming the view to the window system.
	uint64 HostId() const { return fHostId; }
	// How many times Show and Hide nest: 0 is shown.
	int32 HideLevel() const { return fHideLevel; }

protected:
	// Tells the window that state it shows changed (a label, a value).
	void StateChanged();
	void Record(DrawCommand command);
	DrawCommand MakeCommand(DrawCommand::Op op) const;

private:
	friend class BWindow;
	friend class BScrollBar;
	void SetWindow(BWindow* window);
	void CallAttached(BWindow* window);
	void CallDetached();
	void ResizeChildrenBy(float dx, float dy);
	void FollowParent(float dx, float dy);
	BView* FindViewDeep(const char* name) const;

	BRect fFrame;
	BPoint fScroll;
	uint32 fResizingMode;
	uint32 fFlags;
	BView* fParent;
	BWindow* fWindow;
	std::vector<BView*> fChildren;
	int32 fHideLevel;
	rgb_color fViewColor;
	rgb_color fHighColor;
	rgb_color fLowColor;
	BFont fFont;
	drawing_mode fDrawingMode;
	float fPenSize;
	BPoint fPenLocation;
	std::unique_ptr<DrawList> fRecording;
	BPicture* fPicture;
	std::vector<DrawCommand> fLineArray;
	bool fInLineArray;
	std::shared_ptr<const DrawList> fDrawing;
	bool fNeedsDrawing;
	uint64 fHostId;
	BScrollBar* fVerticalBar;
	BScrollBar* fHorizontalBar;
};
