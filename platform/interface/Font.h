// BFont: a font (DejaVu Sans, plain or bold) with size in pixels, rotation
// and face; it measures and truncates UTF-8 text.
#pragma once

#include <string>

#include "SupportDefs.h"

#define B_FONT_FAMILY_LENGTH 63
#define B_FONT_STYLE_LENGTH 63
typedef char font_family[B_FONT_FAMILY_LENGTH + 1];
typedef char font_style[B_FONT_STYLE_LENGTH + 1];

// Which properties SetFont applies.
enum : uint32 {
	B_FONT_FAMILY_AND_STYLE = 0x00000001,
	B_FONT_SIZE = 0x00000002,
	B_FONT_SHEAR = 0x00000004,
	B_FONT_ROTATION = 0x00000008,
	B_FONT_SPACING = 0x00000010,
	B_FONT_ENCODING = 0x00000020,
	B_FONT_FACE = 0x00000040,
	B_FONT_FLAGS = 0x00000080,
	B_FONT_ALL = 0x000000FF,
};

enum : uint16 {
	B_ITALIC_FACE = 0x0001,
	B_UNDERSCORE_FACE = 0x0002,
	B_NEGATIVE_FACE = 0x0004,
	B_OUTLINED_FACE = 0x0008,
	B_STRIKEOUT_FACE = 0x0010,
	B_BOLD_FACE = 0x0020,
	B_REGULAR_FACE = 0x0040,
};

enum {
	B_CHAR_SPACING = 0,
	B_STRING_SPACING = 1,
	B_BITMAP_SPACING = 2,
	B_FIXED_SPACING = 3,
};

struct font_height {
	float ascent;
	float descent;
	float leading;
};

struct escapement_delta {
	float nonspace;
	float space;
};

class BFont {
public:
	// The plain system font: DejaVu Sans, 12 pixels.
	BFont();
	BFont(const BFont& font) = default;
	BFont(const BFont* font);
	BFont& operator=(const BFont& font) = default;

	// Families are "DejaVu Sans" and "DejaVu Sans Mono"; styles "Book" and "Bold".
	status_t SetFamilyAndStyle(const font_family family, const font_style style);
	void SetFamilyAndStyle(uint32 code);
	void GetFamilyAndStyle(font_family* family, font_style* style) const;
	void SetFamilyAndFace(const font_family family, uint16 face);
	void SetSize(float size);
	void SetShear(float shear);
	void SetRotation(float rotation);
	void SetSpacing(uint8 spacing);
	void SetEncoding(uint8 encoding);
	void SetFace(uint16 face);
	void SetFlags(uint32 flags);

	float Size() const { return fSize; }
	float Shear() const { return fShear; }
	float Rotation() const { return fRotation; }
	uint8 Spacing() const { return fSpacing; }
	uint8 Encoding() const { return fEncoding; }
	uint16 Face() const { return fFace; }
	uint32 Flags() const { return fFlags; }
	bool IsBold() const { return (fFace & B_BOLD_FACE) != 0; }
	bool IsFixed() const { return fFixed; }

	// Widths of UTF-8 text in pixels, with the glyph advances of the font.
	float StringWidth(const char* string) const;
	float StringWidth(const char* string, int32 length) const;
	void GetStringWidths(const char* stringArray[], const int32 lengthArray[], int32 numStrings,
	                     float widthArray[]) const;
	void GetHeight(font_height* height) const;

	// Shortens each string to fit `width` pixels, putting "…" where characters
	// were cut (at the end, the beginning or the middle). Each result buffer
	// must hold the source's length plus 3 bytes.
	void GetTruncatedStrings(const char* stringArray[], int32 numStrings, uint32 mode, float width,
	                         char* resultArray[]) const;
	// Our addition: the same for one string.
	std::string TruncateString(const char* string, uint32 mode, float width) const;

	bool operator==(const BFont& other) const;
	bool operator!=(const BFont& other) const { return !(*this == other); }
	void PrintToStream() const;

private:
	float fSize;
	float fShear;
	float fRotation;
	uint32 fFlags;
	uint16 fFace;
	uint8 fSpacing;
	uint8 fEncoding;
	bool fFixed;
};

extern const BFont* be_plain_font;
extern const BFont* be_bold_font;
extern const BFont* be_fixed_font;
