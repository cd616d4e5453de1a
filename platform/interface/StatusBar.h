// BStatusBar: a progress bar with a label and a text on the left, a trailing
// label and text on the right.
#pragma once

#include <string>

#include "View.h"

class BStatusBar : public BView {
public:
	BStatusBar(BRect frame, const char* name, const char* label = nullptr,
	           const char* trailingLabel = nullptr);
	~BStatusBar() override;

	// Value 0, texts empty, labels replaced.
	virtual void Reset(const char* label = nullptr, const char* trailingLabel = nullptr);
	// Adds `delta` to the value (kept within 0 and the maximum); non-null
	// texts replace the current ones.
	virtual void Update(float delta, const char* text = nullptr,
	                    const char* trailingText = nullptr);
	virtual void SetTo(float value, const char* text = nullptr, const char* trailingText = nullptr);
	virtual void SetMaxValue(float max);
	void SetText(const char* text);
	void SetTrailingText(const char* text);
	float CurrentValue() const { return fValue; }
	float MaxValue() const { return fMax; }
	const char* Text() const { return fText.c_str(); }
	const char* TrailingText() const { return fTrailingText.c_str(); }
	const char* Label() const { return fLabel.c_str(); }
	const char* TrailingLabel() const { return fTrailingLabel.c_str(); }
	void SetBarColor(rgb_color color);
	rgb_color BarColor() const { return fBarColor; }
	void SetBarHeight(float height);
	float BarHeight() const { return fBarHeight; }

	void Draw(BRect updateRect) override;
	void AttachedToWindow() override;
	void GetPreferredSize(float* width, float* height) override;
	void MessageReceived(BMessage* message) override;

	// Our addition: where the bar is drawn, in view coordinates.
	BRect BarFrame() const;

private:
	std::string fLabel;
	std::string fTrailingLabel;
	std::string fText;
	std::string fTrailingText;
	float fValue;
	float fMax;
	float fBarHeight;
	rgb_color fBarColor;
};

// Messages a status bar understands, as on the platform.
enum : uint32 {
	B_UPDATE_STATUS_BAR = 'SBUP',
	B_RESET_STATUS_BAR = 'SBRS',
};
