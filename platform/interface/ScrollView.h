// BScrollView: a frame around a target view with scroll bars beside it.
#pragma once

#include "View.h"

class BScrollBar;

class BScrollView : public BView {
public:
	// The scroll view's frame is the target's, grown by the border and the bars;
	// the target is moved inside it.
	BScrollView(const char* name, BView* target, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
	            uint32 flags = 0, bool horizontal = false, bool vertical = false,
	            border_style border = B_FANCY_BORDER);
	~BScrollView() override;

	BScrollBar* ScrollBar(orientation direction) const;
	BView* Target() const { return fTarget; }
	void SetBorder(border_style border);
	border_style Border() const { return fBorder; }
	void Draw(BRect updateRect) override;
	void FrameResized(float width, float height) override;

private:
	static BRect FrameFor(BView* target, bool horizontal, bool vertical, border_style border);
	void LayoutBars();

	BView* fTarget;
	BScrollBar* fVertical;
	BScrollBar* fHorizontal;
	border_style fBorder;
};
