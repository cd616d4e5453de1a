// HostScale: the factor from the environment, the X resources or the
// screen's size, decided once.
#include "HostScale.h"

#include <X11/Xlib.h>

#include <cmath>
#include <cstdlib>
#include <mutex>

#include "InterfaceHost.h"

namespace {

// A positive number, or 0.
float Number(const std::string& text)
{
	char* end = nullptr;
	const float value = text.empty() ? 0 : strtof(text.c_str(), &end);
	return end != nullptr && end != text.c_str() && std::isfinite(value) && value > 0 ? value : 0;
}

float Quarter(const float& value, const float& lowest)
{
	return std::min(4.0f, std::max(lowest, std::round(value * 4) / 4));
}

std::string Variable(const char* name)
{
	const char* value = getenv(name);
	return value != nullptr ? value : "";
}

float sScale = 1;
std::once_flag sDecided;

// The screen's facts and Xft.dpi, on the host's connection or one of its own.
void ReadDisplay(ScaleSources& sources)
{
	if (!InterfaceHost::DisplayAvailable())
		return;
	Display* shared = InterfaceHost::SharedConnection();
	Display* display = shared != nullptr ? shared : XOpenDisplay(nullptr);
	if (display == nullptr)
		return;
	const char* dpi = XGetDefault(display, "Xft", "dpi");
	sources.xftDpi = dpi != nullptr ? dpi : "";
	sources.screenPixels = DisplayWidth(display, DefaultScreen(display));
	sources.screenMm = DisplayWidthMM(display, DefaultScreen(display));
	if (shared == nullptr)
		XCloseDisplay(display);
}

} // namespace

float scale_factor(const ScaleSources& sources)
{
	if (Number(sources.vantry) > 0)
		return Quarter(Number(sources.vantry), 0.5f);
	for (const std::string& factor : {sources.gdk, sources.qt}) {
		if (Number(factor) > 0)
			return Quarter(Number(factor), 1);
	}
	if (Number(sources.xftDpi) > 0)
		return Quarter(Number(sources.xftDpi) / 96, 1);
	if (sources.screenPixels > 0 && sources.screenMm > 0)
		return Quarter(sources.screenPixels * 25.4f / sources.screenMm / 96, 1);
	return 1;
}

float host_scale()
{
	std::call_once(sDecided, [] {
		ScaleSources sources;
		sources.vantry = Variable("VANTRY_SCALE");
		sources.gdk = Variable("GDK_SCALE");
		sources.qt = Variable("QT_SCALE_FACTOR");
		ReadDisplay(sources);
		sScale = scale_factor(sources);
	});
	return sScale;
}

int host_pixels(const float& points)
{
	return int(std::floor(points * host_scale() + 0.0001f));
}

float host_points(const float& pixels)
{
	return pixels / host_scale();
}
