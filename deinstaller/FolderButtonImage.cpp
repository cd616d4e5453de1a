// The folder button's faces: a yellow folder with a dark outline.
#include "FolderButtonImage.h"

#include "Screen.h"

namespace {

const int kSize = 24;

bool Outline(const int& x, const int& y, const int& left, const int& top, const int& right,
             const int& bottom)
{
	return x == left || x == right || y == top || y == bottom;
}

} // namespace

std::vector<uint8> FolderButtonImage(const bool& pressed)
{
	BScreen screen;
	const uint8 face =
	        pressed ? screen.IndexForColor(184, 184, 184) : screen.IndexForColor(216, 216, 216);
	const uint8 line = screen.IndexForColor(96, 72, 0);
	const uint8 body = screen.IndexForColor(255, 203, 0);
	const uint8 tab = screen.IndexForColor(230, 170, 0);
	std::vector<uint8> bytes(kSize * kSize, face);
	for (int y = 0; y < kSize; y++) {
		for (int x = 0; x < kSize; x++) {
			uint8& pixel = bytes[y * kSize + x];
			// The tab on the folder's back, then its body.
			if (x >= 3 && x <= 10 && y >= 5 && y <= 8)
				pixel = Outline(x, y, 3, 5, 10, 8) ? line : tab;
			if (x >= 3 && x <= 20 && y >= 8 && y <= 19)
				pixel = Outline(x, y, 3, 8, 20, 19) ? line : body;
		}
	}
	return bytes;
}
