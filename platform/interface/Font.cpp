// BFont: DejaVu Sans measured with FreeType, so widths are the same on every
// thread and without a display.
#include "Font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <tuple>

#include "FontSetup.h"
#include "FontUtf8.h"
#include "InterfaceDefs.h"

namespace {

const char kPlainFamily[] = "DejaVu Sans";
const char kFixedFamily[] = "DejaVu Sans Mono";
const char kEllipsis[] = "\xe2\x80\xa6";

// One FreeType face per family and weight, and the advances measured so far.
class FontMetrics {
public:
	static FontMetrics& Get()
	{
		static FontMetrics metrics;
		return metrics;
	}

	float Advance(bool fixed, bool bold, float size, uint32 codepoint)
	{
		std::lock_guard<std::mutex> guard(fLock);
		int32 size64 = int32(std::lround(size * 64));
		auto key = std::make_tuple(fixed, bold, size64, codepoint);
		auto found = fAdvances.find(key);
		if (found != fAdvances.end())
			return found->second;
		float advance = Measure(fixed, bold, size64, codepoint);
		fAdvances[key] = advance;
		return advance;
	}

	font_height Height(bool fixed, bool bold, float size)
	{
		std::lock_guard<std::mutex> guard(fLock);
		FT_Face face = Face(fixed, bold, int32(std::lround(size * 64)));
		if (face == nullptr)
			return font_height{std::ceil(size * 0.76f), std::ceil(size * 0.24f), 0};
		const FT_Size_Metrics& m = face->size->metrics;
		float ascent = m.ascender / 64.0f;
		float descent = -m.descender / 64.0f;
		float leading = std::max(0.0f, m.height / 64.0f - ascent - descent);
		return font_height{ascent, descent, leading};
	}

private:
	FontMetrics() { fReady = FT_Init_FreeType(&fLibrary) == 0; }

	FT_Face Face(bool fixed, bool bold, int32 size64)
	{
		if (!fReady)
			return nullptr;
		int slot = (fixed ? 2 : 0) + (bold ? 1 : 0);
		if (!fTried[slot]) {
			fTried[slot] = true;
			std::string file = FindFile(fixed ? kFixedFamily : kPlainFamily, bold);
			if (file.empty() || FT_New_Face(fLibrary, file.c_str(), 0, &fFaces[slot]) != 0)
				fFaces[slot] = nullptr;
		}
		FT_Face face = fFaces[slot];
		if (face != nullptr && fSizes[slot] != size64) {
			FT_Set_Char_Size(face, 0, size64, 72, 72);
			fSizes[slot] = size64;
		}
		return face;
	}

	float Measure(bool fixed, bool bold, int32 size64, uint32 codepoint)
	{
		FT_Face face = Face(fixed, bold, size64);
		if (face == nullptr)
			return std::round(size64 / 64.0f * (fixed ? 0.6f : 0.55f));
		FT_UInt glyph = FT_Get_Char_Index(face, codepoint);
		if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) != 0)
			return 0;
		return std::round(face->glyph->advance.x / 64.0f);
	}

	static std::string FindFile(const char* family, bool bold)
	{
		if (!wait_font_setup())
			return "";
		FcPattern* pattern = FcPatternCreate();
		FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
		FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
		FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
		FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
		FcDefaultSubstitute(pattern);
		FcResult result;
		FcPattern* match = FcFontMatch(nullptr, pattern, &result);
		std::string path;
		FcChar8* file = nullptr;
		if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
			path = reinterpret_cast<const char*>(file);
		if (match != nullptr)
			FcPatternDestroy(match);
		FcPatternDestroy(pattern);
		return path;
	}

	std::mutex fLock;
	FT_Library fLibrary = nullptr;
	bool fReady = false;
	FT_Face fFaces[4] = {nullptr, nullptr, nullptr, nullptr};
	bool fTried[4] = {false, false, false, false};
	int32 fSizes[4] = {0, 0, 0, 0};
	std::map<std::tuple<bool, bool, int32, uint32>, float> fAdvances;
};

const BFont sPlainFont;
const BFont sBoldFont = [] {
	BFont font;
	font.SetFace(B_BOLD_FACE);
	return font;
}();
const BFont sFixedFont = [] {
	BFont font;
	font.SetFamilyAndStyle("DejaVu Sans Mono", "Book");
	return font;
}();

} // namespace

const BFont* be_plain_font = &sPlainFont;
const BFont* be_bold_font = &sBoldFont;
const BFont* be_fixed_font = &sFixedFont;

BFont::BFont()
    : fSize(12), fShear(90), fRotation(0), fFlags(0), fFace(B_REGULAR_FACE),
      fSpacing(B_BITMAP_SPACING), fEncoding(0), fFixed(false)
{
}

BFont::BFont(const BFont* font) : BFont()
{
	if (font != nullptr)
		*this = *font;
}

status_t BFont::SetFamilyAndStyle(const font_family family, const font_style style)
{
	if (family != nullptr) {
		if (strcmp(family, kPlainFamily) == 0)
			fFixed = false;
		else if (strcmp(family, kFixedFamily) == 0)
			fFixed = true;
		else
			return B_NAME_NOT_FOUND;
	}
	if (style != nullptr)
		fFace = strstr(style, "Bold") != nullptr ? B_BOLD_FACE : B_REGULAR_FACE;
	return B_OK;
}

void BFont::SetFamilyAndStyle(uint32 code)
{
	fFixed = (code & 0x2) != 0;
	fFace = (code & 0x1) != 0 ? B_BOLD_FACE : B_REGULAR_FACE;
}

void BFont::GetFamilyAndStyle(font_family* family, font_style* style) const
{
	if (family != nullptr)
		snprintf(*family, sizeof(font_family), "%s", fFixed ? kFixedFamily : kPlainFamily);
	if (style != nullptr)
		snprintf(*style, sizeof(font_style), "%s", IsBold() ? "Bold" : "Book");
}

void BFont::SetFamilyAndFace(const font_family family, uint16 face)
{
	SetFamilyAndStyle(family, nullptr);
	SetFace(face);
}

void BFont::SetSize(float size)
{
	if (size > 0)
		fSize = size;
}

void BFont::SetShear(float shear)
{
	fShear = std::clamp(shear, 45.0f, 135.0f);
}

void BFont::SetRotation(float rotation)
{
	fRotation = rotation;
}

void BFont::SetSpacing(uint8 spacing)
{
	fSpacing = spacing;
}

void BFont::SetEncoding(uint8 encoding)
{
	fEncoding = encoding;
}

void BFont::SetFace(uint16 face)
{
	fFace = face != 0 ? face : uint16(B_REGULAR_FACE);
}

void BFont::SetFlags(uint32 flags)
{
	fFlags = flags;
}

float BFont::StringWidth(const char* string) const
{
	return string != nullptr ? StringWidth(string, int32(strlen(string))) : 0;
}

float BFont::StringWidth(const char* string, int32 length) const
{
	if (string == nullptr || length <= 0)
		return 0;
	float width = 0;
	FontMetrics& metrics = FontMetrics::Get();
	for (uint32 codepoint : utf8_codepoints(std::string_view(string, length)))
		width += metrics.Advance(fFixed, IsBold(), fSize, codepoint);
	return width;
}

void BFont::GetStringWidths(const char* stringArray[], const int32 lengthArray[], int32 numStrings,
                            float widthArray[]) const
{
	for (int32 i = 0; i < numStrings; i++)
		widthArray[i] = StringWidth(stringArray[i], lengthArray[i]);
}

void BFont::GetHeight(font_height* height) const
{
	if (height != nullptr)
		*height = FontMetrics::Get().Height(fFixed, IsBold(), fSize);
}

std::string BFont::TruncateString(const char* string, uint32 mode, float width) const
{
	if (string == nullptr)
		return "";
	std::string text(string);
	if (StringWidth(text.c_str()) <= width)
		return text;
	std::vector<size_t> starts = utf8_starts(text);
	size_t count = starts.size();
	auto piece = [&](size_t from, size_t to) {
		size_t begin = from < count ? starts[from] : text.size();
		size_t end = to < count ? starts[to] : text.size();
		return text.substr(begin, end - begin);
	};
	auto fits = [&](const std::string& candidate) {
		return StringWidth(candidate.c_str()) <= width;
	};
	// Keep as many characters as fit, taken from the kept end(s).
	for (size_t kept = count; kept-- > 0;) {
		std::string candidate;
		if (mode == B_TRUNCATE_BEGINNING) {
			candidate = kEllipsis + piece(count - kept, count);
		} else if (mode == B_TRUNCATE_MIDDLE || mode == B_TRUNCATE_SMART) {
			size_t head = (kept + 1) / 2;
			candidate = piece(0, head) + kEllipsis + piece(count - (kept - head), count);
		} else {
			candidate = piece(0, kept) + kEllipsis;
		}
		if (fits(candidate))
			return candidate;
	}
	return fits(kEllipsis) ? kEllipsis : "";
}

void BFont::GetTruncatedStrings(const char* stringArray[], int32 numStrings, uint32 mode,
                                float width, char* resultArray[]) const
{
	for (int32 i = 0; i < numStrings; i++) {
		std::string result = TruncateString(stringArray[i], mode, width);
		memcpy(resultArray[i], result.c_str(), result.size() + 1);
	}
}

bool BFont::operator==(const BFont& other) const
{
	return fSize == other.fSize && fShear == other.fShear && fRotation == other.fRotation &&
	       fFace == other.fFace && fFixed == other.fFixed && fSpacing == other.fSpacing &&
	       fFlags == other.fFlags;
}

void BFont::PrintToStream() const
{
	printf("BFont(\"%s\" %s, size %.1f, rotation %.1f)\n", fFixed ? kFixedFamily : kPlainFamily,
	       IsBold() ? "Bold" : "Book", fSize, fRotation);
}
