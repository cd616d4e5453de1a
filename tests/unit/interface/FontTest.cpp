// Fonts: widths measured from DejaVu Sans and truncation that keeps UTF-8 whole.
#include <gtest/gtest.h>

#include "Font.h"
#include "InterfaceDefs.h"

namespace {

const char kEllipsis[] = "\xe2\x80\xa6";

bool valid_utf8(const std::string& text)
{
	for (size_t i = 0; i < text.size();) {
		uint8 c = uint8(text[i]);
		size_t length = c < 0x80         ? 1
		                : (c >> 5) == 6  ? 2
		                : (c >> 4) == 14 ? 3
		                : (c >> 3) == 30 ? 4
		                                 : 0;
		if (length == 0 || i + length > text.size())
			return false;
		for (size_t k = 1; k < length; k++) {
			if ((uint8(text[i + k]) & 0xc0) != 0x80)
				return false;
		}
		i += length;
	}
	return true;
}

} // namespace

TEST(FontTest, Widths_AddUpAndGrowWithSizeAndWeight)
{
	BFont font;
	font.SetSize(12);
	float w = font.StringWidth("W");
	EXPECT_GT(w, 0);
	EXPECT_FLOAT_EQ(font.StringWidth("WWW"), 3 * w);
	EXPECT_FLOAT_EQ(font.StringWidth("WWW", 2), 2 * w);
	EXPECT_LT(font.StringWidth("iii"), font.StringWidth("mmm"));
	BFont large(font);
	large.SetSize(24);
	EXPECT_GT(large.StringWidth("Vantry"), font.StringWidth("Vantry") * 1.8f);
	EXPECT_GE(be_bold_font->StringWidth("Vantry"), be_plain_font->StringWidth("Vantry"));
	font_height height;
	font.GetHeight(&height);
	EXPECT_GT(height.ascent, height.descent);
	EXPECT_LT(height.ascent + height.descent, 20);
}

TEST(FontTest, Truncation_KeepsTheRightEndAndFits)
{
	BFont font;
	const std::string path = "/boot/home/apps/Vantry/Installer";
	float full = font.StringWidth(path.c_str());
	struct Case {
		uint32 mode;
		bool keepsStart;
		bool keepsEnd;
	};
	const Case cases[] = {
	        {B_TRUNCATE_END, true, false},
	        {B_TRUNCATE_BEGINNING, false, true},
	        {B_TRUNCATE_MIDDLE, true, true},
	};
	for (const Case& c : cases) {
		std::string result = font.TruncateString(path.c_str(), c.mode, full / 2);
		EXPECT_LE(font.StringWidth(result.c_str()), full / 2) << c.mode;
		EXPECT_NE(result.find(kEllipsis), std::string::npos) << c.mode;
		EXPECT_EQ(result.compare(0, 2, "/b") == 0, c.keepsStart) << result;
		EXPECT_EQ(result.size() >= 3 && result.compare(result.size() - 3, 3, "ler") == 0,
		          c.keepsEnd)
		        << result;
		EXPECT_EQ(font.TruncateString(path.c_str(), c.mode, full), path) << "fits: unchanged";
	}
}

TEST(FontTest, Truncation_NeverSplitsACharacter)
{
	BFont font;
	const std::string text = "\xc3\xa9t\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac \xc3\xa9t\xc3\xa9";
	for (uint32 mode : {B_TRUNCATE_END, B_TRUNCATE_BEGINNING, B_TRUNCATE_MIDDLE}) {
		for (float width = 0; width < font.StringWidth(text.c_str()); width += 3) {
			std::string result = font.TruncateString(text.c_str(), mode, width);
			EXPECT_TRUE(valid_utf8(result)) << mode << " " << width;
			EXPECT_LE(font.StringWidth(result.c_str()), width) << mode << " " << width;
		}
	}
}
