// LibPictureButton: pictures from bitmap bytes, tip requests and button faces.
#include "LibPictureButton.h"

#include <cstdlib>
#include <memory>
#include <string>

#include <unistd.h>

#include "Application.h"
#include "Bitmap.h"
#include "LibInterface.h"
#include "Message.h"
#include "Picture.h"
#include "Resources.h"
#include "Window.h"

namespace {

const rgb_color kPressedFace = {232, 232, 232, 255};
const rgb_color kFrame = {96, 96, 96, 255};
const rgb_color kEdgeShadow = {152, 152, 152, 255};
const rgb_color kEdgeLight = {255, 255, 255, 255};

BPicture* PictureOf(const uint8* bits, const int8& width, const int8& height)
{
	if (bits == nullptr || width < 1 || height < 1)
		return new BPicture;
	// Icon bytes have no row padding; the bitmap's rows may.
	BBitmap bitmap(BRect(0, 0, width - 1, height - 1), B_CMAP8);
	uint8* target = static_cast<uint8*>(bitmap.Bits());
	for (int32 y = 0; y < height; y++) {
		for (int32 x = 0; x < width; x++)
			target[y * bitmap.BytesPerRow() + x] = bits[y * width + x];
	}
	BPicture* picture = LibBitmapToPicture(&bitmap);
	return picture != nullptr ? picture : new BPicture;
}

BRect FrameAt(const BPoint& point, const int8& width, const int8& height)
{
	return BRect(point.x, point.y, point.x + width - 1, point.y + height - 1);
}

std::string ExecutablePath()
{
	app_info info;
	if (be_app != nullptr && be_app->GetAppInfo(&info) == B_OK && info.ref.name != nullptr)
		return info.ref.directory_path + "/" + info.ref.name;
	char path[4096];
	ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
	if (length <= 0)
		return std::string();
	path[length] = '\0';
	return path;
}

void DrawFace(BView& view, const int8& width, const int8& height, const bool& pressed)
{
	BRect face(0, 0, width - 1, height - 1);
	view.SetHighColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	view.FillRect(face);
	view.SetHighColor(pressed ? kPressedFace : ui_color(B_PANEL_BACKGROUND_COLOR));
	view.FillRect(face);
	view.SetHighColor(kFrame);
	view.StrokeRoundRect(face, 2, 2);
	rgb_color topLeft = pressed ? kEdgeLight : kEdgeShadow;
	rgb_color bottomRight = pressed ? kEdgeShadow : kEdgeLight;
	float w = width;
	float h = height;
	view.BeginLineArray(4);
	view.AddLine(BPoint(1, 1), BPoint(w - 2, 1), topLeft);
	view.AddLine(BPoint(1, 1), BPoint(1, h - 2), topLeft);
	view.AddLine(BPoint(2, h - 2), BPoint(w - 2, h - 2), bottomRight);
	view.AddLine(BPoint(w - 2, 2), BPoint(w - 2, h - 2), bottomRight);
	view.EndLineArray();
}

void DrawCentred(BView& view, const BBitmap* bitmap, const int8& width, const int8& height,
                 const bool& pressed)
{
	if (bitmap == nullptr || !bitmap->IsValid())
		return;
	BRect bounds = bitmap->Bounds();
	float x = float(int32((width - (bounds.Width() + 1)) / 2));
	float y = float(int32((height - (bounds.Height() + 1)) / 2));
	if (pressed) {
		x -= 1;
		y -= 1;
	}
	view.SetDrawingMode(B_OP_OVER);
	view.DrawBitmap(bitmap, BPoint(x, y));
	view.SetDrawingMode(B_OP_COPY);
}

void GreyOut(BView& view, const int8& width, const int8& height)
{
	view.SetHighColor(kPressedFace);
	view.SetLowColor(B_TRANSPARENT_COLOR);
	view.SetDrawingMode(B_OP_OVER);
	view.FillRect(BRect(2, 2, width - 3, height - 3), B_MIXED_COLORS);
	view.SetDrawingMode(B_OP_COPY);
}

} // namespace

LibPictureButton::LibPictureButton(BPoint point, const int8& width, const int8& height,
                                   const char* name, const uint8* on, const uint8* off,
                                   const uint32& command, const uint8* disabled,
                                   uint32 resizingMode, uint32 flags)
    : BPictureButton(FrameAt(point, width, height), name, nullptr, nullptr, new BMessage(command),
                     B_ONE_STATE_BUTTON, resizingMode, flags),
      fFocus(false), fTipCommand(0)
{
	std::unique_ptr<BPicture> onPicture(PictureOf(on, width, height));
	std::unique_ptr<BPicture> offPicture(PictureOf(off, width, height));
	SetEnabledOn(onPicture.get());
	SetEnabledOff(offPicture.get());
	if (disabled != nullptr) {
		std::unique_ptr<BPicture> disabledPicture(PictureOf(disabled, width, height));
		SetDisabledOn(disabledPicture.get());
		SetDisabledOff(disabledPicture.get());
	}
	SetLabel(name);
}

LibPictureButton::~LibPictureButton() {}

void LibPictureButton::AddTip(const uint32& command, const char* text)
{
	fTipCommand = command;
	fTipText = text != nullptr ? text : "";
}

bool LibPictureButton::WantsTips() const
{
	return fTipText.Length() > 0 && Window() != nullptr && Window()->IsActive();
}

void LibPictureButton::RequestTip(const bool& show)
{
	BMessage request(fTipCommand);
	request.AddBool("show", show);
	if (show) {
		request.AddString("tip", fTipText.String());
		BRect bounds = Bounds();
		request.AddPoint("loc", ConvertToScreen(BPoint(bounds.right + 5, bounds.top + 1)));
	}
	PostTipRequest(request);
}

void LibPictureButton::PostTipRequest(BMessage& request)
{
	if (be_app != nullptr)
		be_app->PostMessage(&request);
}

void LibPictureButton::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
	if (WantsTips()) {
		if (transit == B_ENTERED_VIEW)
			RequestTip(true);
		else if (transit == B_EXITED_VIEW)
			RequestTip(false);
	}
	BPictureButton::MouseMoved(where, transit, dragMessage);
}

void LibPictureButton::MouseDown(BPoint where)
{
	if (WantsTips())
		RequestTip(false);
	BPictureButton::MouseDown(where);
}

void LibPictureButton::MakeFocus(bool focus)
{
	fFocus = focus;
	BPictureButton::MakeFocus(focus);
}

BBitmap* LibGetResourceBitmap(BResources& resources, const char* name)
{
	if (name == nullptr || resources.InitCheck() != B_OK)
		return nullptr;
	size_t size = 0;
	const void* data = resources.LoadResource('BBMP', name, &size);
	if (data == nullptr || size == 0)
		return nullptr;
	BMessage archive('ARCV');
	if (archive.Unflatten(static_cast<const char*>(data), ssize_t(size)) != B_OK)
		return nullptr;
	auto bitmap = std::make_unique<BBitmap>(&archive);
	return bitmap->IsValid() ? bitmap.release() : nullptr;
}

BPicture* Res2Picture(const char* name, const int8& width, const int8& height, const bool& pressed,
                      const bool& enabled)
{
	BResources resources(ExecutablePath().c_str(), false);
	return Res2Picture(resources, name, width, height, pressed, enabled);
}

BPicture* Res2Picture(BResources& resources, const char* name, const int8& width,
                      const int8& height, const bool& pressed, const bool& enabled)
{
	std::unique_ptr<BBitmap> bitmap(LibGetResourceBitmap(resources, name));
	return Res2Picture(bitmap.get(), width, height, pressed, enabled);
}

BPicture* Res2Picture(const BBitmap* bitmap, const int8& width, const int8& height,
                      const bool& pressed, const bool& enabled)
{
	if (width < 1 || height < 1)
		return new BPicture;
	BView view(BRect(0, 0, width - 1, height - 1), "face", B_FOLLOW_NONE, 0);
	BPicture* picture = new BPicture;
	view.BeginPicture(picture);
	DrawFace(view, width, height, pressed);
	DrawCentred(view, bitmap, width, height, pressed);
	if (!enabled)
		GreyOut(view, width, height);
	return view.EndPicture();
}
