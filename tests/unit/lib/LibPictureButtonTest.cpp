// LibPictureButton: its frame and pictures from icon bytes, the tip requests
// it posts, and the button faces Res2Picture draws.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Bitmap.h"
#include "InterfaceDefs.h"
#include "LibPictureButton.h"
#include "LibToolkitTestSupport.h"
#include "Picture.h"
#include "Resources.h"

using namespace toolkit_test;

namespace {

const rgb_color kPanel = ui_color(B_PANEL_BACKGROUND_COLOR);
const rgb_color kPressed = {232, 232, 232, 255};
const rgb_color kShadow = {152, 152, 152, 255};
const rgb_color kWhite = {255, 255, 255, 255};

// 4 by 3 icon bytes: black, white, transparent and red (index 42).
std::vector<uint8> IconBytes()
{
	return {0, 63, 255, 42, 0, 63, 255, 42, 0, 63, 255, 42};
}

TEST(LibPictureButtonTest, FrameLabelMessageAndPictures)
{
	std::vector<uint8> on = IconBytes();
	std::vector<uint8> off(12, 63);
	LibPictureButton button(BPoint(10, 20), 4, 3, "folder", on.data(), off.data(), 'fold');
	EXPECT_EQ(button.Frame(), BRect(10, 20, 13, 22));
	EXPECT_STREQ(button.Label(), "folder");
	EXPECT_STREQ(button.Name(), "folder");
	EXPECT_EQ(button.Command(), uint32('fold'));
	EXPECT_EQ(button.DisabledOff(), nullptr);

	const DrawList& drawing = button.EnabledOn()->Drawing();
	ASSERT_EQ(drawing.CountCommands(), 1);
	const DrawCommand& draw = drawing.CommandAt(0);
	EXPECT_EQ(draw.op, DrawCommand::kDrawBitmap);
	EXPECT_EQ(draw.rect, BRect(0, 0, 3, 2));
	ASSERT_NE(draw.image, nullptr);
	EXPECT_EQ(draw.image->PixelAt(0, 1), (rgb_color{0, 0, 0, 255}));
	EXPECT_EQ(draw.image->PixelAt(1, 2), kWhite);
	EXPECT_EQ(draw.image->PixelAt(2, 0).alpha, 0);
	EXPECT_EQ(draw.image->PixelAt(3, 0), (rgb_color{255, 0, 0, 255}));
	EXPECT_EQ(button.EnabledOff()->Drawing().CommandAt(0).image->PixelAt(2, 0), kWhite);

	LibPictureButton disabled(BPoint(0, 0), 4, 3, "d", on.data(), off.data(), 'd', off.data());
	ASSERT_NE(disabled.DisabledOff(), nullptr);
	ASSERT_NE(disabled.DisabledOn(), nullptr);
	EXPECT_EQ(disabled.DisabledOn()->Drawing().CommandAt(0).image->PixelAt(0, 0), kWhite);
}

class LibPictureButtonTipTest : public testing::Test {
protected:
	void SetUp() override
	{
		fWindow.reset(new TestWindow(BRect(100, 100, 499, 399)));
		std::vector<uint8> bits(16 * 16, 63);
		fButton = new LibPictureButton(BPoint(10, 20), 16, 16, "go", bits.data(), bits.data(),
		                               'go  ');
		fWindow->AddChild(fButton);
		fWindow->Activate(true);
	}

	TestApp fApp;
	WindowPtr<TestWindow> fWindow;
	LibPictureButton* fButton = nullptr;
};

TEST_F(LibPictureButtonTipTest, EnteringAndLeavingAskForTheTip)
{
	fButton->AddTip('tipc', "Choose a folder");
	fButton->MouseMoved(BPoint(3, 3), B_ENTERED_VIEW, nullptr);
	fButton->MouseMoved(BPoint(4, 4), B_INSIDE_VIEW, nullptr);
	fButton->MouseMoved(BPoint(40, 4), B_EXITED_VIEW, nullptr);
	std::vector<BMessage> posted = fApp.Take();
	ASSERT_EQ(posted.size(), 2u);
	EXPECT_EQ(posted[0].what, uint32('tipc'));
	EXPECT_TRUE(posted[0].FindBool("show"));
	EXPECT_STREQ(posted[0].FindString("tip"), "Choose a folder");
	EXPECT_EQ(posted[0].FindPoint("loc"), BPoint(130, 121));
	EXPECT_EQ(posted[1].what, uint32('tipc'));
	EXPECT_FALSE(posted[1].FindBool("show"));
}

TEST_F(LibPictureButtonTipTest, ClickHidesTheTip)
{
	fButton->AddTip('tipc', "Choose a folder");
	fButton->MouseDown(BPoint(2, 2));
	std::vector<BMessage> tips = OfCode(fApp.Take(), 'tipc');
	ASSERT_EQ(tips.size(), 1u);
	EXPECT_FALSE(tips[0].FindBool("show"));
}

TEST_F(LibPictureButtonTipTest, NoTipWithoutTextOrInAnInactiveWindow)
{
	fButton->MouseMoved(BPoint(3, 3), B_ENTERED_VIEW, nullptr);
	fButton->MouseMoved(BPoint(40, 3), B_EXITED_VIEW, nullptr);
	fButton->MouseDown(BPoint(2, 2));
	EXPECT_TRUE(OfCode(fApp.Take(), 0).empty());
	EXPECT_TRUE(fApp.Take().empty());

	fButton->AddTip('tipc', "Choose a folder");
	fWindow->Activate(false);
	fButton->MouseMoved(BPoint(3, 3), B_ENTERED_VIEW, nullptr);
	EXPECT_TRUE(fApp.Take().empty());
}

TEST_F(LibPictureButtonTipTest, FocusFlagFollowsMakeFocus)
{
	EXPECT_FALSE(fButton->HasFocusFlag());
	fButton->MakeFocus(true);
	EXPECT_TRUE(fButton->HasFocusFlag());
	fButton->MakeFocus(false);
	EXPECT_FALSE(fButton->HasFocusFlag());
}

struct FaceCase {
	bool pressed;
	bool enabled;
	rgb_color face;
	rgb_color topLeft;
	rgb_color bottomRight;
	BPoint bitmapAt;
};

TEST(Res2PictureTest, FaceEdgesBitmapAndGreying)
{
	BBitmap glyph(BRect(0, 0, 9, 5), B_CMAP8);
	const std::vector<FaceCase> cases = {
	        {false, true, kPanel, kShadow, kWhite, BPoint(5, 5)},
	        {true, true, kPressed, kWhite, kShadow, BPoint(4, 4)},
	        {false, false, kPanel, kShadow, kWhite, BPoint(5, 5)},
	};
	for (const FaceCase& c : cases) {
		SCOPED_TRACE(std::to_string(c.pressed) + std::to_string(c.enabled));
		std::unique_ptr<BPicture> picture(Res2Picture(&glyph, 20, 16, c.pressed, c.enabled));
		const DrawList& d = picture->Drawing();
		ASSERT_EQ(d.CountCommands(), c.enabled ? 8 : 9);
		EXPECT_EQ(d.CommandAt(0).op, DrawCommand::kFillRect);
		EXPECT_EQ(d.CommandAt(0).high, kPanel);
		EXPECT_EQ(d.CommandAt(1).rect, BRect(0, 0, 19, 15));
		EXPECT_EQ(d.CommandAt(1).high, c.face);
		EXPECT_EQ(d.CommandAt(2).op, DrawCommand::kStrokeRoundRect);
		EXPECT_EQ(d.CommandAt(2).high, (rgb_color{96, 96, 96, 255}));
		EXPECT_FLOAT_EQ(d.CommandAt(2).radiusX, 2);
		for (int i = 3; i < 7; i++) {
			const DrawCommand& line = d.CommandAt(i);
			EXPECT_EQ(line.op, DrawCommand::kStrokeLine);
			EXPECT_EQ(line.high, i < 5 ? c.topLeft : c.bottomRight) << i;
		}
		EXPECT_EQ(d.CommandAt(3).start, BPoint(1, 1));
		EXPECT_EQ(d.CommandAt(3).end, BPoint(18, 1));
		EXPECT_EQ(d.CommandAt(6).start, BPoint(18, 2));
		EXPECT_EQ(d.CommandAt(6).end, BPoint(18, 14));
		EXPECT_EQ(d.CommandAt(7).op, DrawCommand::kDrawBitmap);
		EXPECT_EQ(d.CommandAt(7).rect.LeftTop(), c.bitmapAt);
		EXPECT_EQ(d.CommandAt(7).mode, B_OP_OVER);
		if (!c.enabled) {
			const DrawCommand& grey = d.CommandAt(8);
			EXPECT_EQ(grey.op, DrawCommand::kFillRect);
			EXPECT_EQ(grey.rect, BRect(2, 2, 17, 13));
			EXPECT_EQ(grey.high, kPressed);
			EXPECT_EQ(grey.low.alpha, 0);
			EXPECT_EQ(grey.mode, B_OP_OVER);
			EXPECT_NE(grey.fill.data[0], grey.fill.data[1]);
		}
	}
}

TEST(Res2PictureTest, BitmapFromResourcesOrFaceAlone)
{
	std::string path = testing::TempDir() + "/res2picture.rsrc";
	BBitmap glyph(BRect(0, 0, 7, 7), B_CMAP8);
	memset(glyph.Bits(), 42, size_t(glyph.BitsLength()));
	BMessage archive;
	ASSERT_EQ(glyph.Archive(&archive), B_OK);
	std::vector<char> flat(size_t(archive.FlattenedSize()));
	ASSERT_EQ(archive.Flatten(flat.data(), ssize_t(flat.size())), B_OK);
	{
		BResources writer(path.c_str(), true, true);
		ASSERT_EQ(writer.InitCheck(), B_OK);
		ASSERT_EQ(writer.AddResource('BBMP', 1, flat.data(), flat.size(), "folder_up"), B_OK);
	}
	BResources resources(path.c_str(), false);
	std::unique_ptr<BBitmap> loaded(LibGetResourceBitmap(resources, "folder_up"));
	ASSERT_NE(loaded, nullptr);
	EXPECT_EQ(loaded->Bounds(), BRect(0, 0, 7, 7));
	EXPECT_EQ(LibGetResourceBitmap(resources, "missing"), nullptr);

	std::unique_ptr<BPicture> face(Res2Picture(resources, "folder_up", 20, 20, false, true));
	ASSERT_EQ(face->Drawing().CountCommands(), 8);
	const DrawCommand& bitmap = face->Drawing().CommandAt(7);
	EXPECT_EQ(bitmap.rect, BRect(6, 6, 13, 13));
	EXPECT_EQ(bitmap.image->PixelAt(3, 3), (rgb_color{255, 0, 0, 255}));
	std::unique_ptr<BPicture> bare(Res2Picture(resources, "missing", 20, 20, false, true));
	EXPECT_EQ(bare->Drawing().CountCommands(), 7);
}

} // namespace
