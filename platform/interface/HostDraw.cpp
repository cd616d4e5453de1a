// Replaying recorded drawing with FLTK on the main thread.
#include <FL/Fl.H>
#include <FL/Fl_Image.H>
#include <FL/fl_draw.H>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "DrawList.h"
#include "HostNative.h"
#include "HostScale.h"

namespace {

// FLTK font slots for DejaVu Sans and DejaVu Sans Mono, plain and bold.
const Fl_Font kPlainFont = FL_FREE_FONT;
const Fl_Font kBoldFont = FL_FREE_FONT + 1;
const Fl_Font kMonoFont = FL_FREE_FONT + 2;
const Fl_Font kMonoBoldFont = FL_FREE_FONT + 3;

// The pixel a point falls in, at the host's scale.
int pixel(float value)
{
	return host_pixels(value);
}

// A line's width in pixels: a pen of one point is one point wide.
int line_width(float penSize)
{
	return std::max(1, int(std::lround(std::max(1.0f, penSize) * host_scale())));
}

// FLTK's thin line (width 0) where one pixel is meant, else `width`.
void set_line_width(int width)
{
	fl_line_style(FL_SOLID, width > 1 ? width : 0);
}

void set_color(rgb_color color)
{
	fl_color(fl_rgb_color(color.red, color.green, color.blue));
}

bool is_solid(const pattern& p, uint8 value)
{
	for (uint8 row : p.data) {
		if (row != value)
			return false;
	}
	return true;
}

// Fills a rectangle of pixels (both edges included) with the command's pattern.
void fill_pixels(const DrawCommand& c, int x0, int y0, int x1, int y1)
{
	if (x1 < x0 || y1 < y0)
		return;
	if (is_solid(c.fill, 0xff) || is_solid(c.fill, 0)) {
		bool high = is_solid(c.fill, 0xff);
		if (!high && c.mode == B_OP_OVER)
			return;
		set_color(high ? c.high : c.low);
		fl_rectf(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
		return;
	}
	for (int y = y0; y <= y1; y++) {
		for (int x = x0; x <= x1; x++) {
			bool bit = (c.fill.data[(y & 7)] & (0x80 >> (x & 7))) != 0;
			if (!bit && c.mode == B_OP_OVER)
				continue;
			set_color(bit ? c.high : c.low);
			fl_point(x, y);
		}
	}
}

void round_rect(const DrawCommand& c, int x, int y, int w, int h, bool fill)
{
	int rx = std::min(pixel(c.radiusX), w / 2);
	int ry = std::min(pixel(c.radiusY), h / 2);
	set_line_width(fill ? 1 : line_width(c.penSize));
	set_color(c.high);
	if (rx <= 0 || ry <= 0) {
		fill ? fl_rectf(x, y, w, h) : fl_rect(x, y, w, h);
		return;
	}
	int dx = 2 * rx;
	int dy = 2 * ry;
	if (fill) {
		fl_rectf(x + rx, y, w - dx, h);
		fl_rectf(x, y + ry, w, h - dy);
		fl_pie(x, y, dx, dy, 90, 180);
		fl_pie(x + w - dx - 1, y, dx, dy, 0, 90);
		fl_pie(x, y + h - dy - 1, dx, dy, 180, 270);
		fl_pie(x + w - dx - 1, y + h - dy - 1, dx, dy, 270, 360);
		return;
	}
	fl_line(x + rx, y, x + w - 1 - rx, y);
	fl_line(x + rx, y + h - 1, x + w - 1 - rx, y + h - 1);
	fl_line(x, y + ry, x, y + h - 1 - ry);
	fl_line(x + w - 1, y + ry, x + w - 1, y + h - 1 - ry);
	fl_arc(x, y, dx, dy, 90, 180);
	fl_arc(x + w - dx - 1, y, dx, dy, 0, 90);
	fl_arc(x, y + h - dy - 1, dx, dy, 180, 270);
	fl_arc(x + w - dx - 1, y + h - dy - 1, dx, dy, 270, 360);
	set_line_width(1);
}

void draw_string(const DrawCommand& c, int ox, int oy)
{
	Fl_Font face = c.fontFixed ? (c.fontBold ? kMonoBoldFont : kMonoFont)
	                           : (c.fontBold ? kBoldFont : kPlainFont);
	fl_font(face, std::max(1, int(std::lround(c.fontSize * host_scale()))));
	set_color(c.high);
	int x = ox + pixel(c.start.x);
	int y = oy + pixel(c.start.y);
	int angle = int(std::lround(c.fontRotation));
	if (angle != 0)
		fl_draw(angle, c.text.c_str(), int(c.text.size()), x, y);
	else
		fl_draw(c.text.c_str(), int(c.text.size()), x, y);
}

void draw_bitmap(const DrawCommand& c, int ox, int oy)
{
	if (c.image == nullptr || c.image->width <= 0)
		return;
	const RgbaImage& image = *c.image;
	// The source is in the picture's own pixels, the place in points.
	int sx = std::max(0, int(std::floor(c.source.left)));
	int sy = std::max(0, int(std::floor(c.source.top)));
	int w = std::min(image.width - sx, int(std::floor(c.source.right)) - sx + 1);
	int h = std::min(image.height - sy, int(std::floor(c.source.bottom)) - sy + 1);
	w = std::min(w, int(std::floor(c.rect.right)) - int(std::floor(c.rect.left)) + 1);
	h = std::min(h, int(std::floor(c.rect.bottom)) - int(std::floor(c.rect.top)) + 1);
	if (w <= 0 || h <= 0)
		return;
	// B_OP_COPY draws every pixel; B_OP_OVER and B_OP_ALPHA let transparent ones through.
	bool opaque = c.mode == B_OP_COPY;
	std::vector<uchar> pixels(size_t(w) * h * 4);
	for (int y = 0; y < h; y++) {
		const uint8* from = image.pixels.data() + (size_t(y + sy) * image.width + sx) * 4;
		uchar* to = pixels.data() + size_t(y) * w * 4;
		memcpy(to, from, size_t(w) * 4);
		if (opaque) {
			for (int x = 0; x < w; x++)
				to[x * 4 + 3] = 255;
		}
	}
	Fl_RGB_Image rgb(pixels.data(), w, h, 4);
	const int x = ox + pixel(c.rect.left);
	const int y = oy + pixel(c.rect.top);
	const int scaledWidth = pixel(c.rect.left + w) - pixel(c.rect.left);
	const int scaledHeight = pixel(c.rect.top + h) - pixel(c.rect.top);
	if (scaledWidth == w && scaledHeight == h) {
		rgb.draw(x, y);
		return;
	}
	// Scaled smoothly, not pixel by pixel.
	Fl_RGB_Image::RGB_scaling(FL_RGB_SCALING_BILINEAR);
	std::unique_ptr<Fl_Image> scaled(rgb.copy(scaledWidth, scaledHeight));
	scaled->draw(x, y);
}

} // namespace

void host_setup_fonts()
{
	Fl::set_font(kPlainFont, " DejaVu Sans");
	Fl::set_font(kBoldFont, "BDejaVu Sans");
	Fl::set_font(kMonoFont, " DejaVu Sans Mono");
	Fl::set_font(kMonoBoldFont, "BDejaVu Sans Mono");
	Fl::set_font(FL_HELVETICA, " DejaVu Sans");
	Fl::set_font(FL_HELVETICA_BOLD, "BDejaVu Sans");
	Fl::background(216, 216, 216);
}

// Strokes a line whose ends are the pixels of points `a` and `b`; an
// axis-aligned one covers exactly the pixels of the points it passes.
void stroke_line(const DrawCommand& c, int ox, int oy)
{
	set_color(c.high);
	const int width = line_width(c.penSize);
	const float minX = std::min(c.start.x, c.end.x), maxX = std::max(c.start.x, c.end.x);
	const float minY = std::min(c.start.y, c.end.y), maxY = std::max(c.start.y, c.end.y);
	const bool straight = minX == maxX || minY == maxY;
	if (straight && (c.penSize <= 1 || host_scale() != 1)) {
		const int left = ox + pixel(minX), top = oy + pixel(minY);
		const int right = minX == maxX ? left + width - 1 : ox + pixel(maxX + 1) - 1;
		const int bottom = minY == maxY ? top + width - 1 : oy + pixel(maxY + 1) - 1;
		fl_rectf(left, top, right - left + 1, bottom - top + 1);
		return;
	}
	// The middle of each end's pixels, for a line of any direction.
	const int middle = (pixel(1) - 1) / 2;
	int ax = ox + pixel(c.start.x) + middle, ay = oy + pixel(c.start.y) + middle;
	int bx = ox + pixel(c.end.x) + middle, by = oy + pixel(c.end.y) + middle;
	set_line_width(width);
	if (ax == bx && ay == by)
		fl_point(ax, ay);
	else
		fl_line(ax, ay, bx, by);
	set_line_width(1);
}

// The outline of a rectangle of pixels, `width` wide inside its edges.
void stroke_rect(int x0, int y0, int x1, int y1, int width)
{
	if (x1 < x0 || y1 < y0)
		return;
	width = std::min(width, std::min(x1 - x0 + 1, y1 - y0 + 1));
	fl_rectf(x0, y0, x1 - x0 + 1, width);
	fl_rectf(x0, y1 - width + 1, x1 - x0 + 1, width);
	fl_rectf(x0, y0, width, y1 - y0 + 1);
	fl_rectf(x1 - width + 1, y0, width, y1 - y0 + 1);
}

void host_replay(const DrawList& drawing, int ox, int oy)
{
	for (const DrawCommand& c : drawing.Commands()) {
		// Both edges are inside: the last pixel is the one before the next point's.
		int x0 = ox + pixel(c.rect.left);
		int y0 = oy + pixel(c.rect.top);
		int x1 = ox + pixel(c.rect.right + 1) - 1;
		int y1 = oy + pixel(c.rect.bottom + 1) - 1;
		switch (c.op) {
			case DrawCommand::kFillRect: fill_pixels(c, x0, y0, x1, y1); break;
			case DrawCommand::kStrokeRect:
				set_color(c.high);
				stroke_rect(x0, y0, x1, y1, line_width(c.penSize));
				break;
			case DrawCommand::kStrokeLine: stroke_line(c, ox, oy); break;
			case DrawCommand::kFillRoundRect:
			case DrawCommand::kStrokeRoundRect:
				if (x1 >= x0 && y1 >= y0)
					round_rect(c, x0, y0, x1 - x0 + 1, y1 - y0 + 1,
					           c.op == DrawCommand::kFillRoundRect);
				break;
			case DrawCommand::kFillEllipse:
				set_color(c.high);
				fl_pie(x0, y0, x1 - x0 + 1, y1 - y0 + 1, 0, 360);
				break;
			case DrawCommand::kStrokeEllipse:
				set_color(c.high);
				set_line_width(line_width(c.penSize));
				fl_arc(x0, y0, x1 - x0 + 1, y1 - y0 + 1, 0, 360);
				set_line_width(1);
				break;
			case DrawCommand::kDrawString: draw_string(c, ox, oy); break;
			case DrawCommand::kDrawBitmap: draw_bitmap(c, ox, oy); break;
		}
	}
}

std::string host_escape_label(const char* label)
{
	std::string result;
	for (const char* p = label != nullptr ? label : ""; *p != '\0'; p++) {
		if (*p == '@' || *p == '&')
			result += *p;
		result += *p;
	}
	return result;
}
