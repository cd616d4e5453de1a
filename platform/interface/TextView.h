// BTextView: a block of UTF-8 text wrapped to its text rectangle, one font
// and colour, editable and selectable or not.
#pragma once

#include <string>
#include <vector>

#include "View.h"

class BTextView : public BView {
public:
	BTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode, uint32 flags);
	BTextView(BRect frame, const char* name, BRect textRect, const BFont* font,
	          const rgb_color* color, uint32 resizingMode, uint32 flags);
	~BTextView() override;

	void SetText(const char* text);
	void SetText(const char* text, int32 length);
	const char* Text() const { return fText.c_str(); }
	int32 TextLength() const { return int32(fText.size()); }
	void Insert(const char* text);
	void Insert(int32 offset, const char* text, int32 length);
	void Delete(int32 start, int32 finish);
	void Select(int32 start, int32 finish);
	void GetSelection(int32* start, int32* finish) const;
	void SelectAll() { Select(0, TextLength()); }

	void SetTextRect(BRect rect);
	BRect TextRect() const { return fTextRect; }
	void MakeEditable(bool editable = true);
	bool IsEditable() const { return fEditable; }
	void MakeSelectable(bool selectable = true);
	bool IsSelectable() const { return fSelectable; }
	void SetWordWrap(bool wrap);
	bool DoesWordWrap() const { return fWordWrap; }
	void SetStylable(bool stylable) { fStylable = stylable; }
	bool IsStylable() const { return fStylable; }
	void SetAlignment(alignment flag);
	alignment Alignment() const { return fAlign; }
	void SetFontAndColor(const BFont* font, uint32 mode = B_FONT_ALL,
	                     const rgb_color* color = nullptr);
	void GetFontAndColor(BFont* font, uint32* sameProperties, rgb_color* color = nullptr,
	                     bool* sameColor = nullptr) const;

	// Lines as wrapped to the text rectangle's width.
	int32 CountLines() const;
	float LineHeight(int32 line = 0) const;
	float TextHeight(int32 startLine, int32 endLine) const;
	// Our addition: the text of one wrapped line, without its line feed.
	std::string LineAt(int32 line) const;

	void Draw(BRect updateRect) override;
	void FrameResized(float width, float height) override;
	void AttachedToWindow() override;
	void SetFont(const BFont* font, uint32 mask = B_FONT_ALL) override;
	void KeyDown(const char* bytes, int32 numBytes) override;
	void MouseDown(BPoint where) override;

private:
	void Rewrap() const;

	std::string fText;
	BRect fTextRect;
	rgb_color fTextColor;
	alignment fAlign;
	int32 fSelStart;
	int32 fSelEnd;
	bool fEditable;
	bool fSelectable;
	bool fWordWrap;
	bool fStylable;
	mutable bool fWrapValid;
	mutable float fWrapWidth;
	mutable std::vector<std::string> fLines;
};
