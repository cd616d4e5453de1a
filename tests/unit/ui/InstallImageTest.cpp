// The product view: image files taken in with the size warning or the error,
// the click toggle, and the sideways lines centred on the view's height.
#include <gtest/gtest.h>

#include <string>

#include "AlertResponder.h"
#include "Bitmap.h"
#include "BitmapView.h"
#include "EntryRef.h"
#include "InstallImage.h"
#include "LibBitmap.h"
#include "LibEntry.h"
#include "Message.h"
#include "TempFolder.h"
#include "TestFiles.h"

namespace {

// Alerts answered by a script while a test runs.
class ScriptedAlerts {
public:
	ScriptedAlerts() : fPrevious(AlertPresenter::Set(&fResponder)) {}
	~ScriptedAlerts() { AlertPresenter::Set(fPrevious); }
	AlertResponder& Responder() { return fResponder; }

private:
	AlertResponder fResponder;
	AlertPresenter* fPrevious;
};

void Put32(std::string& bytes, const uint32_t& value)
{
	for (int i = 0; i < 4; i++)
		bytes += char((value >> (8 * i)) & 0xff);
}

// A grey 24-bit BMP image of the given size, which the image reader takes.
std::string WriteImage(const std::string& folder, const int& width, const int& height)
{
	const std::string path =
	        folder + "/" + std::to_string(width) + "x" + std::to_string(height) + ".bmp";
	const uint32_t rowBytes = (uint32_t(width) * 3 + 3) & ~3u;
	const uint32_t dataSize = rowBytes * uint32_t(height);
	std::string bytes = "BM";
	Put32(bytes, 54 + dataSize);
	Put32(bytes, 0);
	Put32(bytes, 54);
	Put32(bytes, 40);
	Put32(bytes, uint32_t(width));
	Put32(bytes, uint32_t(height));
	bytes += std::string("\x01\x00\x18\x00", 4);
	for (uint32_t value : {0u, dataSize, 2835u, 2835u, 0u, 0u})
		Put32(bytes, value);
	bytes += std::string(dataSize, char(200));
	WriteText(path, bytes);
	return path;
}

TEST(InstallImageTest, ImageFilesAreTakenWithTheSizeWarningOrRefused)
{
	TempFolder temp;
	struct Case {
		const char* name;
		std::string path;
		bool image;
		const char* alert; // null: none
	};
	const Case cases[] = {
	        {"right size", WriteImage(temp.Path(), 150, 200), true, nullptr},
	        {"wrong size", WriteImage(temp.Path(), 100, 100), true,
	         "Image is not the correct size of 150x200. You may use this image, but it will "
	         "appear in the installer as shown here."},
	        {"no image", temp.Path() + "/notes.txt", false, "Image file not current supported"},
	};
	WriteText(temp.Path() + "/notes.txt", "not an image");
	for (const Case& test : cases) {
		ScriptedAlerts alerts;
		InstallImage view(BPoint(10, 16), false);
		entry_ref ref;
		ASSERT_TRUE(LibGetEntryRef(test.path.c_str(), ref)) << test.name;
		view.ProcessImage(ref);
		EXPECT_EQ(view.Image() != nullptr, test.image) << test.name;
		EXPECT_EQ(view.ShowsImage(), test.image) << test.name;
		const auto records = alerts.Responder().Records();
		if (test.alert == nullptr) {
			EXPECT_TRUE(records.empty()) << test.name;
			continue;
		}
		ASSERT_EQ(records.size(), 1u) << test.name;
		EXPECT_EQ(records[0].text, test.alert) << test.name;
	}
}

TEST(InstallImageTest, ClicksToggleBetweenPictureAndTexts)
{
	InstallImage view(BPoint(10, 16), false);
	BBitmap picture(BRect(0, 0, 149, 199), B_RGB32);
	BMessage archive;
	ASSERT_EQ(picture.Archive(&archive), B_OK);
	view.SetImage(archive);
	ASSERT_TRUE(view.ShowsImage());
	view.MouseDown(BPoint(5, 5));
	EXPECT_FALSE(view.ShowsImage());
	view.MouseDown(BPoint(5, 5));
	EXPECT_TRUE(view.ShowsImage());

	BMessage empty;
	view.SetImage(empty);
	EXPECT_EQ(view.Image(), nullptr);
	EXPECT_FALSE(view.ShowsImage());
}

TEST(InstallImageTest, LinesAreCentredOnTheViewsHeight)
{
	InstallImage view(BPoint(10, 16), false);
	view.SetFontSize(14);
	const float width = view.StringWidth("Version 1.0");
	EXPECT_FLOAT_EQ(view.GetStringLocation("Version 1.0"), (200 - width) * 0.5f + width);
	EXPECT_FLOAT_EQ(view.GetStringLocation(""), 100);
	view.SetAppName(nullptr);
	EXPECT_STREQ(view.AppName().String(), "");
}

TEST(BitmapViewTest, ShowsTheLargeIconOfItsEntry)
{
	TempFolder temp;
	WriteText(temp.Path() + "/file.txt", "x");
	BitmapView view(BPoint(0, 65), "to_image", (temp.Path() + "/file.txt").c_str());
	EXPECT_EQ(view.Frame(), BRect(0, 65, 31, 96));
	ASSERT_NE(view.Icon(), nullptr);
	EXPECT_EQ(view.Icon()->Bounds(), BRect(0, 0, 31, 31));
}

} // namespace
