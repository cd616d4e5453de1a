// InstallImage: the product's portrait panel, its picture or five lines of
// product information written upwards; a click switches between the two.
#pragma once

#include "Box.h"
#include "LibString.h"

class BBitmap;
class BMessage;
struct entry_ref;

// Posted to the window when a dropped file changed the image.
enum { INSTALL_IMAGE_CHANGED = 'eiia' };

class InstallImage : public BBox {
public:
	InstallImage(BPoint where, bool editable);
	~InstallImage() override;

	void MessageReceived(BMessage* message) override;
	void Draw(BRect update) override;
	void MouseDown(BPoint where) override;

	void SetAppName(const char* text);
	void SetVersion(const char* text);
	void SetDate(const char* text);
	void SetCompany(const char* text);
	void SetEmail(const char* text);
	// Who signed the installer, or that nobody did: the last line.
	void SetSignature(const char* text);
	const LibString& Signature() const { return signature; }
	// The start that centres `text`, written upwards, on the view's height.
	float GetStringLocation(const char* text);

	void SetImage(BMessage& archive);
	void GetImage(BMessage& archive);
	void ClearImage();
	void ProcessImage(entry_ref& file);

	bool ShowsImage() const { return show_image && image != nullptr; }
	const BBitmap* Image() const { return image; }
	const LibString& AppName() const { return app_name; }

	static constexpr float kWidth = 150;
	static constexpr float kHeight = 200;

private:
	float StoreText(LibString& target, const char* text, const float& size);

	bool editable;
	BBitmap* image;
	bool show_image;
	float app_name_y;
	float version_y;
	float date_y;
	float company_y;
	float email_y;
	float signature_y;
	float signature_size;
	LibString app_name;
	LibString version;
	LibString date;
	LibString company;
	LibString email;
	LibString signature;
};
