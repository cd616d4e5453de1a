// InstallImage: picture or sideways product lines, the click toggle and
// image files dropped onto the panel.
#include "InstallImage.h"

#include <cmath>

#include "Bitmap.h"
#include "LibEntry.h"
#include "LibMessageBox.h"
#include "Looper.h"
#include "MenuItem.h"
#include "Message.h"
#include "Path.h"
#include "PopUpMenu.h"
#include "TranslationUtils.h"
#include "Window.h"

namespace {

const float kNameSize = 18;
const float kLineSize = 14;
const float kSignatureSize = 12;
const int32 kTertiaryButton = 4;

} // namespace

InstallImage::InstallImage(BPoint where, bool editable)
    : BBox(BRect(where.x, where.y, where.x + kWidth, where.y + kHeight), "InstallImage",
           B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE_JUMP,
           B_FANCY_BORDER),
      editable(editable), image(nullptr), show_image(true), app_name_y(0), version_y(0), date_y(0),
      company_y(0), email_y(0), signature_y(0), signature_size(kLineSize)
{
	BFont font;
	GetFont(&font);
	font.SetRotation(90);
	SetFont(&font, B_FONT_ROTATION);
}

InstallImage::~InstallImage()
{
	ClearImage();
}

float InstallImage::StoreText(LibString& target, const char* text, const float& size)
{
	target = text != nullptr ? text : "";
	SetFontSize(size);
	return GetStringLocation(target.String());
}

void InstallImage::SetAppName(const char* text)
{
	app_name_y = StoreText(app_name, text, kNameSize);
}

void InstallImage::SetVersion(const char* text)
{
	version_y = StoreText(version, text, kLineSize);
}

void InstallImage::SetDate(const char* text)
{
	date_y = StoreText(date, text, kLineSize);
}

void InstallImage::SetCompany(const char* text)
{
	company_y = StoreText(company, text, kLineSize);
}

void InstallImage::SetEmail(const char* text)
{
	email_y = StoreText(email, text, kLineSize);
}

void InstallImage::SetSignature(const char* text)
{
	// A key ID makes the line long: it is made smaller to fit the height.
	signature = text != nullptr ? text : "";
	SetFontSize(kSignatureSize);
	const float width = StringWidth(signature.String());
	const float room = kHeight - 10;
	signature_size = width > room ? kSignatureSize * room / width : kSignatureSize;
	signature_y = StoreText(signature, text, signature_size);
}

float InstallImage::GetStringLocation(const char* text)
{
	const float width = StringWidth(text != nullptr ? text : "");
	const float height = Frame().bottom - Frame().top;
	return (height - width) * 0.5f + width;
}

void InstallImage::SetImage(BMessage& archive)
{
	ClearImage();
	if (!archive.IsEmpty()) {
		image = new BBitmap(&archive);
		if (!image->IsValid())
			ClearImage();
	}
	Invalidate();
}

void InstallImage::GetImage(BMessage& archive)
{
	if (image != nullptr)
		image->Archive(&archive, true);
}

void InstallImage::ClearImage()
{
	delete image;
	image = nullptr;
}

void InstallImage::Draw(BRect update)
{
	if (show_image && image != nullptr) {
		DrawBitmap(image, BPoint(0, 0));
	} else {
		SetFontSize(kNameSize);
		SetHighColor(0, 0, 255);
		if (app_name.Length() > 0)
			DrawString(app_name.String(), BPoint(20, app_name_y));
		SetFontSize(kLineSize);
		SetHighColor(0, 0, 0);
		// Each line keeps its column, so an empty one leaves its gap.
		const struct {
			const LibString& text;
			float x;
			float y;
		} lines[] = {{version, 50, version_y},
		             {date, 70, date_y},
		             {company, 90, company_y},
		             {email, 110, email_y}};
		for (const auto& line : lines) {
			if (line.text.Length() > 0)
				DrawString(line.text.String(), BPoint(line.x, line.y));
		}
		SetFontSize(signature_size);
		if (signature.Length() > 0)
			DrawString(signature.String(), BPoint(130, signature_y));
	}
	BBox::Draw(update);
}

void InstallImage::MouseDown(BPoint where)
{
	BMessage* current = Window() != nullptr ? Window()->CurrentMessage() : nullptr;
	if (editable && current != nullptr && current->FindInt32("buttons") == kTertiaryButton) {
		BPopUpMenu menu("img_menu");
		menu.AddItem(new BMenuItem("Remove", nullptr));
		if (menu.Go(ConvertToScreen(where), false) != nullptr) {
			ClearImage();
			show_image = false;
		}
	} else {
		show_image = !show_image;
	}
	Invalidate();
}

void InstallImage::MessageReceived(BMessage* message)
{
	entry_ref ref;
	if (message->WasDropped() && message->FindRef("refs", &ref) == B_OK)
		ProcessImage(ref);
	BBox::MessageReceived(message);
}

void InstallImage::ProcessImage(entry_ref& file)
{
	ClearImage();
	BPath path;
	if (LibGetFullPath(file, path))
		image = BTranslationUtils::GetBitmap(path.Path());
	if (image == nullptr) {
		LibError("Image file not current supported");
	} else {
		const BRect bounds = image->Bounds();
		if (std::ceil(bounds.right - bounds.left) != kWidth - 1 ||
		    std::ceil(bounds.bottom - bounds.top) != kHeight - 1)
			LibWarning("Image is not the correct size of %dx%d. You may use this image, but it "
			           "will appear in the installer as shown here.",
			           int(kWidth), int(kHeight));
		show_image = true;
	}
	if (Window() != nullptr)
		Window()->PostMessage(INSTALL_IMAGE_CHANGED);
	Invalidate();
}
