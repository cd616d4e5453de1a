// LibPictureButton: a button drawn from small indexed bitmaps that asks for a
// tool-tip while the mouse is over it; Res2Picture draws a standard button
// face around a bitmap of the application's resources.
#pragma once

#include "LibString.h"
#include "PictureButton.h"

class BBitmap;
class BPicture;
class BResources;

class LibPictureButton : public BPictureButton {
public:
	// `on`, `off` and `disabled` are width by height CMAP8 bytes (rows of
	// exactly `width` bytes); `disabled` may be null.
	LibPictureButton(BPoint point, const int8& width, const int8& height, const char* name,
	                 const uint8* on, const uint8* off, const uint32& command,
	                 const uint8* disabled = nullptr,
	                 uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
	                 uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	~LibPictureButton() override;

	// Without text the button asks for no tips.
	void AddTip(const uint32& command, const char* text);
	uint32 TipCommand() const { return fTipCommand; }
	const char* TipText() const { return fTipText.String(); }
	bool HasFocusFlag() const { return fFocus; }

	void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
	void MouseDown(BPoint where) override;
	void MakeFocus(bool focus = true) override;

protected:
	// Posts a tip request to the application.
	virtual void PostTipRequest(BMessage& request);

private:
	bool WantsTips() const;
	void RequestTip(const bool& show);

	bool fFocus;
	uint32 fTipCommand;
	LibString fTipText;
};

// A button face of `width` by `height` with the bitmap archived in the
// application's 'BBMP' resource `name` centred on it, pressed or not,
// greyed when not enabled. The caller owns the picture.
BPicture* Res2Picture(const char* name, const int8& width, const int8& height, const bool& pressed,
                      const bool& enabled);
// The same with the bitmap from other resources, or a bitmap at hand (which
// may be null: the face alone).
BPicture* Res2Picture(BResources& resources, const char* name, const int8& width,
                      const int8& height, const bool& pressed, const bool& enabled);
BPicture* Res2Picture(const BBitmap* bitmap, const int8& width, const int8& height,
                      const bool& pressed, const bool& enabled);
// A new bitmap from the archived bitmap in the 'BBMP' resource `name`, or null.
BBitmap* LibGetResourceBitmap(BResources& resources, const char* name);
