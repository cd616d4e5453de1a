// DrawList: drawing recorded by a view's Draw (or a picture) on the window's
// thread, replayed by the window system on the main thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "GraphicsDefs.h"
#include "InterfaceDefs.h"
#include "Rect.h"

class BBitmap;

// Pixels converted for drawing: rows of red, green, blue, alpha.
struct RgbaImage {
	int32 width = 0;
	int32 height = 0;
	std::vector<uint8> pixels;

	// The bitmap's pixels; transparent ones (the colour space's magic value)
	// get alpha 0 so that B_OP_OVER leaves the background showing.
	static std::shared_ptr<const RgbaImage> FromBitmap(const BBitmap& bitmap);
	rgb_color PixelAt(int32 x, int32 y) const;
};

// One recorded drawing call, in the view's own coordinates.
struct DrawCommand {
	enum Op {
		kFillRect,
		kStrokeRect,
		kStrokeLine,
		kFillRoundRect,
		kStrokeRoundRect,
		kFillEllipse,
		kStrokeEllipse,
		kDrawString,
		kDrawBitmap,
	};

	Op op = kFillRect;
	BRect rect;   // shapes; a bitmap's destination
	BRect source; // a bitmap's source rectangle
	BPoint start; // lines; a string's baseline origin
	BPoint end;
	float radiusX = 0;
	float radiusY = 0;
	rgb_color high = {0, 0, 0, 255};
	rgb_color low = {255, 255, 255, 255};
	pattern fill = {{0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff}};
	drawing_mode mode = B_OP_COPY;
	float penSize = 1;
	float fontSize = 12;
	float fontRotation = 0;
	bool fontBold = false;
	bool fontFixed = false;
	std::string text;
	std::shared_ptr<const RgbaImage> image;
};

class DrawList {
public:
	void Add(DrawCommand command) { fCommands.push_back(std::move(command)); }
	// Appends another list's commands moved by `offset`.
	void Append(const DrawList& other, BPoint offset);
	void Clear() { fCommands.clear(); }
	bool IsEmpty() const { return fCommands.empty(); }
	int32 CountCommands() const { return int32(fCommands.size()); }
	const DrawCommand& CommandAt(int32 index) const { return fCommands[index]; }
	const std::vector<DrawCommand>& Commands() const { return fCommands; }

	// Texts drawn, in order: what tests read back instead of pixels.
	std::vector<std::string> Strings() const;

private:
	std::vector<DrawCommand> fCommands;
};
