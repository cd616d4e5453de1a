// BPicture: recorded drawing (BView::BeginPicture/EndPicture) that a view can
// draw again anywhere.
#pragma once

#include "DrawList.h"

class BPicture {
public:
	BPicture();
	BPicture(const BPicture& other);
	virtual ~BPicture();

	const DrawList& Drawing() const { return fDrawing; }
	DrawList& Drawing() { return fDrawing; }

private:
	DrawList fDrawing;
};
