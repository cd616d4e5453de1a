// BBox: a framed group of views with an optional label in its top edge.
#pragma once

#include <string>

#include "View.h"

class BBox : public BView {
public:
	BBox(BRect frame, const char* name = nullptr,
	     uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
	     uint32 flags = B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE_JUMP,
	     border_style border = B_FANCY_BORDER);
	~BBox() override;

	void SetBorder(border_style border);
	border_style Border() const { return fBorder; }
	// Null or empty: no label.
	void SetLabel(const char* label);
	const char* Label() const { return fHasLabel ? fLabel.c_str() : nullptr; }
	void Draw(BRect updateRect) override;
	void AttachedToWindow() override;
	void FrameResized(float width, float height) override;

private:
	std::string fLabel;
	bool fHasLabel;
	border_style fBorder;
};
