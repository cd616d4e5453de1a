// LibLabelControl: a panel-coloured view with a label left of a divider and
// an optional suffix (":") just before it, greyed when disabled.
#pragma once

#include "View.h"

class BStringView;

class LibLabelControl : public BView {
public:
	// `label` and `suffix` may be null: that part is then absent.
	LibLabelControl(BRect frame, const float& divider, const char* name, const char* label,
	                const float& bottomInset, const char* suffix, uint32 resizingMode);
	~LibLabelControl() override;

	void SetLabel(const char* text);
	const char* LabelText() const;
	virtual void SetEnabled(bool enabled);
	bool IsEnabled() const { return fEnabled; }
	float Divider() const { return fDivider; }

	BStringView* LabelView() const { return fLabel; }
	BStringView* SuffixView() const { return fSuffix; }

private:
	BStringView* fLabel;
	BStringView* fSuffix;
	float fDivider;
	bool fEnabled;
};
