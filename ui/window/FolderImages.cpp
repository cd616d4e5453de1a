// A folder drawn in palette indices, so the button needs no image file.
#include "FolderImages.h"

#include "Screen.h"

namespace {

struct Colors {
	rgb_color face;
	rgb_color tab;
	rgb_color edge;
	rgb_color back;
};

void Paint(uint8* bits, const Colors& colors)
{
	BScreen screen;
	const uint8 face = screen.IndexForColor(colors.face);
	const uint8 tab = screen.IndexForColor(colors.tab);
	const uint8 edge = screen.IndexForColor(colors.edge);
	const uint8 back = screen.IndexForColor(colors.back);
	for (int y = 0; y < FOLDER_IMAGE_SIZE; y++) {
		for (int x = 0; x < FOLDER_IMAGE_SIZE; x++) {
			const bool inTab = y >= 4 && y <= 7 && x >= 3 && x <= 10;
			const bool inBody = y >= 7 && y <= 19 && x >= 2 && x <= 21;
			const bool tabEdge = inTab && (y == 4 || x == 3 || x == 10);
			const bool bodyEdge = inBody && (y == 7 || y == 19 || x == 2 || x == 21);
			uint8 index = back;
			if (inTab)
				index = tabEdge ? edge : tab;
			if (inBody)
				index = bodyEdge ? edge : face;
			bits[y * FOLDER_IMAGE_SIZE + x] = index;
		}
	}
}

FolderImages Make()
{
	FolderImages images;
	const rgb_color panel = {216, 216, 216, 255};
	Paint(images.off, {{255, 216, 88, 255}, {240, 190, 60, 255}, {120, 90, 20, 255}, panel});
	Paint(images.on, {{220, 176, 48, 255}, {200, 150, 30, 255}, {80, 60, 10, 255}, panel});
	Paint(images.disabled,
	      {{200, 200, 200, 255}, {184, 184, 184, 255}, {144, 144, 144, 255}, panel});
	return images;
}

} // namespace

const FolderImages& GetFolderImages()
{
	static const FolderImages images = Make();
	return images;
}
