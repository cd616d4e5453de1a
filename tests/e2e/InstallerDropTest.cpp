// Image files dropped on the product view from outside, through the X drag
// and drop protocol: shown at once, or after the size warning, or refused.
#include <filesystem>
#include <fstream>

#include "InstallerFixture.h"

using namespace std::chrono_literals;
using e2e::InstallerLayout;
using e2e::InstallerTest;
using namespace install_test;

namespace {

// The product view's frame in the window.
const int kViewLeft = 10;
const int kViewTop = 16;

class InstallerDropTest : public InstallerTest {
protected:
	void SetUp() override
	{
		InstallerTest::SetUp();
		if (IsSkipped() || HasFatalFailure())
			return;
#ifndef VANTRY_XDND_DROP
		GTEST_SKIP() << "the drag and drop source was not built (no X11 headers)";
#else
		if (!e2e::have_tool("convert"))
			GTEST_SKIP() << "convert is not installed";
		fPictures = fHome + "/My Pictures";
		std::filesystem::create_directories(fPictures);
		const std::string product =
		        ProductHead("Drop") + "\n[[install_file]]\nfile_name = \"files/tool.txt\"\n";
		Launch(fWorld.Build("Drop", product, {{"files/tool.txt", "tool"}}));
#endif
	}

	// A picture of one colour, made with ImageMagick.
	std::string Picture(const std::string& leaf, const std::string& size, const std::string& colour)
	{
		const std::string path = fPictures + "/" + leaf;
		EXPECT_EQ(e2e::run({"convert", "-size", size, "xc:" + colour, path}, 20s), 0);
		return path;
	}

	// Drops the file on the product view, its path written as a file manager
	// does (spaces escaped).
	void Drop(const std::string& path)
	{
		std::string uri = "file://";
		for (char c : path)
			uri += c == ' ' ? std::string("%20") : std::string(1, c);
#ifdef VANTRY_XDND_DROP
		std::string output;
		EXPECT_EQ(Tool({VANTRY_XDND_DROP, std::to_string(fX + InstallerLayout::kProductX),
		                std::to_string(fY + InstallerLayout::kProductY), "http://example.com/x.png",
		                uri},
		               &output),
		          0)
		        << output;
#endif
	}

	// Whether the view shows the colour at a point of the view.
	bool Shows(const e2e::Image& shot, int x, int y, int r, int g, int b) const
	{
		return shot.Is(fX + kViewLeft + x, fY + kViewTop + y, r, g, b);
	}

	bool NameShown(const e2e::Image& shot) const
	{
		int left = fX + kViewLeft, top = fY + kViewTop, right = left + 150, bottom = top + 200;
		return shot.BoundsOf(0, 0, 255, &left, &top, &right, &bottom);
	}

	std::string fPictures;
};

TEST_F(InstallerDropTest, APictureOfTheRightSizeIsShownAtOnce)
{
	e2e::Image shot;
	ASSERT_TRUE(Screenshot(&shot));
	ASSERT_TRUE(NameShown(shot)) << "the product's name is not shown before the drop";
	const size_t mark = fProbe.Mark();
	Drop(Picture("right size.png", "150x200", "#20c040"));
	auto pictureShown = [&](const e2e::Image& image) {
		return Shows(image, 20, 20, 0x20, 0xc0, 0x40) && Shows(image, 140, 190, 0x20, 0xc0, 0x40) &&
		       !NameShown(image);
	};
	EXPECT_TRUE(WaitForScreen(pictureShown, 10s, &shot)) << Output();
	EXPECT_FALSE(fProbe.WaitFor({"alert-shown"}, 500ms, nullptr, mark))
	        << "no box for a fit picture";
	// The click toggle works on the dropped picture as on the product's own.
	Click(InstallerLayout::kProductX, InstallerLayout::kProductY);
	EXPECT_TRUE(
	        WaitForScreen([&](const e2e::Image& image) { return NameShown(image); }, 5s, &shot));
}

TEST_F(InstallerDropTest, AWrongSizeWarnsThenShowsAndANonImageIsRefused)
{
	int left, top, width, height;
	size_t mark = fProbe.Mark();
	Drop(Picture("small.png", "100x100", "#c02080"));
	ASSERT_TRUE(WaitForAlert("Image is not the correct size of 150x200. You may use this image, "
	                         "but it will appear in the installer as shown here.",
	                         &left, &top, &width, &height, mark))
	        << Output();
	ClickDefaultButton(left, top, width, height);
	e2e::Image shot;
	auto cornerShown = [&](const e2e::Image& image) {
		return Shows(image, 50, 50, 0xc0, 0x20, 0x80) &&
		       !Shows(image, 120, 150, 0xc0, 0x20, 0x80) && !NameShown(image);
	};
	EXPECT_TRUE(WaitForScreen(cornerShown, 10s, &shot)) << Output();

	// A file no translator reads: the error box, and the texts come back.
	const std::string notes = fPictures + "/notes.png";
	std::ofstream(notes) << "not a picture";
	mark = fProbe.Mark();
	Drop(notes);
	ASSERT_TRUE(
	        WaitForAlert("Image file not current supported", &left, &top, &width, &height, mark))
	        << Output();
	ClickDefaultButton(left, top, width, height);
	EXPECT_TRUE(
	        WaitForScreen([&](const e2e::Image& image) { return NameShown(image); }, 10s, &shot));
}

} // namespace
