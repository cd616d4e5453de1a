// LibStringView: a string view that shows a text truncated to its width, and
// whose Show and Hide do not nest.
#pragma once

#include "StringView.h"

class LibStringView : public BStringView {
public:
	LibStringView(BRect frame, const char* name, const char* text,
	              uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP, uint32 flags = B_WILL_DRAW);
	~LibStringView() override;

	// `mode` is one of the B_TRUNCATE_* modes.
	void SetTruncatedText(const char* text, const uint32& mode);

	void Show() override;
	void Hide() override;
};
