// What the installer looks like: steps 1 and 2, step 3 at a collision and at
// its end, and the collision dialog in English and German, and steps 1 and 2
// at twice the scale, compared with the reference images of
// tests/e2e/reference (VANTRY_UPDATE_REFERENCES=1 writes them anew). Texts that
// change from run to run (paths, free space, dates) are left out of the
// comparison.
#include <sys/time.h>

#include <fstream>
#include <random>

#include "InstallerFixture.h"
#include "StringTable.h"
#include "oLocalize.h"

using namespace std::chrono_literals;
using e2e::InstallerTest;
using namespace install_test;

namespace {

struct Rect {
	int left, top, right, bottom;
	bool Holds(const int& x, const int& y) const
	{
		return x >= left && x <= right && y >= top && y <= bottom;
	}
};

// The window's changing texts: destination, volume free space, status.
const std::vector<Rect> kWindowMasks = {{200, 186, 445, 205}, {199, 152, 430, 177}};
// The dialog's value column (dates, size, kind, path, version of both entries).
const std::vector<Rect> kDialogMasks = {{55 + 110, 10 + 30, 2000, 10 + 240}};

e2e::Image Crop(const e2e::Image& shot, const int& left, const int& top, const int& width,
                const int& height)
{
	e2e::Image part;
	part.width = width;
	part.height = height;
	part.pixels.resize(size_t(width) * height * 3);
	for (int y = 0; y < height; y++) {
		for (int x = 0; x < width; x++) {
			int r, g, b;
			shot.Pixel(left + x, top + y, &r, &g, &b);
			uint8_t* p = part.pixels.data() + (size_t(y) * width + x) * 3;
			p[0] = uint8_t(std::max(r, 0));
			p[1] = uint8_t(std::max(g, 0));
			p[2] = uint8_t(std::max(b, 0));
		}
	}
	return part;
}

bool SavePpm(const e2e::Image& image, const std::string& path)
{
	std::ofstream out(path, std::ios::binary);
	out << "P6\n" << image.width << " " << image.height << "\n255\n";
	out.write(reinterpret_cast<const char*>(image.pixels.data()),
	          std::streamsize(image.pixels.size()));
	return bool(out);
}

std::string Noise(const size_t& size)
{
	std::mt19937 random(7);
	std::string bytes(size, '\0');
	for (char& byte : bytes)
		byte = char(random());
	return bytes;
}

std::string LookProduct()
{
	return ProductHead("Look") +
	       R"(license = "Read these terms before you install the product. By pressing the button below you agree to them."
opt_compression = 1

[[groups]]
group_name = "Minimal"
group_description = "Only the notes."
[[groups]]
group_name = "Full"
group_description = "Everything."

)" + UserFolder("Target", "target") +
	       R"(
[[install_file]]
file_name = "files/big"
groups = ["Full"]

[[install_file]]
file_name = "files/notes.txt"
groups = ["Minimal", "Full"]
install_meta = { destination = "Target", destination_exists = "Prompt", link = "None" }

[[install_file]]
file_name = "files/more"
groups = ["Full"]
)";
}

class InstallerLookTest : public InstallerTest {
protected:
	// Room for the dialogs, centred on the screen, above the window moved
	// to the bottom left corner.
	std::string ScreenSize() const override { return "1280x1024x24"; }

	// Compares a part of the screen with its reference; differing pixels
	// (outside the masks) may be at most half a percent.
	void Compare(const std::string& name, const e2e::Image& part, const std::vector<Rect>& masks)
	{
		const std::string reference =
		        std::string(VANTRY_SOURCE_DIR) + "/tests/e2e/reference/" + name + ".png";
		const std::string actual = fHome + "/" + name + ".ppm";
		ASSERT_TRUE(SavePpm(part, actual));
		const char* update = getenv("VANTRY_UPDATE_REFERENCES");
		if (update != nullptr && std::string(update) == "1") {
			ASSERT_EQ(Tool({"convert", actual, reference}), 0);
			return;
		}
		const std::string converted = fHome + "/" + name + ".reference.ppm";
		ASSERT_EQ(Tool({"convert", reference, "-depth", "8", converted}), 0) << reference;
		e2e::Image expected;
		ASSERT_TRUE(expected.Load(converted));
		ASSERT_EQ(expected.width, part.width) << name;
		ASSERT_EQ(expected.height, part.height) << name;
		int compared = 0, differing = 0;
		for (int y = 0; y < part.height; y++) {
			for (int x = 0; x < part.width; x++) {
				if (std::any_of(masks.begin(), masks.end(),
				                [&](const Rect& mask) { return mask.Holds(x, y); }))
					continue;
				compared++;
				int r1, g1, b1, r2, g2, b2;
				part.Pixel(x, y, &r1, &g1, &b1);
				expected.Pixel(x, y, &r2, &g2, &b2);
				if (std::abs(r1 - r2) + std::abs(g1 - g2) + std::abs(b1 - b2) > 60)
					differing++;
			}
		}
		EXPECT_LE(differing, compared / 200) << name << ": " << differing << " of " << compared
		                                     << " pixels differ; see " << actual;
		if (HasFailure())
			Tool({"convert", actual, std::string(VANTRY_ARTIFACTS) + "/" + name + ".png"});
	}

	// Moves the window to `x` at the bottom of the screen, and waits for it
	// to be drawn there.
	void MoveWindowTo(const int& x)
	{
		std::string id;
		Tool({"xdotool", "search", "--name", "^Look$"}, &id);
		const int top = 1024 - fHeight - 10;
		ASSERT_EQ(Tool({"xdotool", "windowmove", "--sync", id.substr(0, id.find('\n')),
		                std::to_string(x), std::to_string(top)}),
		          0);
		fX = x;
		fY = top;
		std::this_thread::sleep_for(300ms);
	}

	e2e::Image Window()
	{
		e2e::Image shot;
		EXPECT_TRUE(Screenshot(&shot));
		return Crop(shot, fX, fY, fWidth, fHeight);
	}

	// Steps 1 and 2 at twice the scale, which the desktop asks for through
	// its X resources (Xft.dpi) or GDK_SCALE: the window of the first scale,
	// drawn twice as large and twice as sharp.
	void RunTwice(const char* language, const bool& throughResources)
	{
		std::filesystem::create_directories(VANTRY_ARTIFACTS);
		std::vector<std::string> env;
		if (throughResources) {
			const std::string resources = fHome + "/resources";
			WriteFile(resources, "Xft.dpi: 192\n");
			ASSERT_EQ(Tool({"xrdb", "-display", fServer.Display(), "-merge", resources}), 0);
		} else {
			env.push_back("GDK_SCALE=2");
		}
		const std::string files = fWorld.ProductFolder("Look") + "/files";
		WriteFile(files + "/notes.txt", "new notes");
		WriteFile(files + "/big/data.bin", Noise(1 << 20));
		WriteFile(files + "/more/data.bin", Noise(1 << 10));
		const std::string installer = fWorld.Build("Look", LookProduct());
		ASSERT_EQ(oLocalize::WriteLanguage(installer.c_str(), language), B_OK);
		Launch(installer, env);
		EXPECT_EQ(fWidth, 912);
		EXPECT_EQ(fHeight, 516);
		MoveWindowTo(0);
		std::vector<Rect> masks;
		for (const Rect& mask : kWindowMasks)
			masks.push_back({2 * mask.left, 2 * mask.top, 2 * mask.right + 1, 2 * mask.bottom + 1});
		const std::string suffix = std::string("-2x-") + language;
		ASSERT_TRUE(WaitForState([](State& s) { return s["step"] == "1"; }, 0));
		Compare("step1" + suffix, Window(), masks);
		const size_t mark = fProbe.Mark();
		Click(2 * e2e::InstallerLayout::kButtonX, 2 * e2e::InstallerLayout::kButtonY);
		ASSERT_TRUE(WaitForState([](State& s) { return s["step"] == "2"; }, mark));
		// "Full": every item.
		Click(2 * e2e::InstallerLayout::kGroupX, 2 * (e2e::InstallerLayout::kListTop + 19 + 9));
		ASSERT_TRUE(WaitForState([](State& s) { return s["selected"] == "0,1,2"; }, mark));
		std::this_thread::sleep_for(300ms);
		Compare("step2" + suffix, Window(), masks);
	}

	void RunLook(const char* language)
	{
		std::filesystem::create_directories(VANTRY_ARTIFACTS);
		const std::string files = fWorld.ProductFolder("Look") + "/files";
		WriteFile(files + "/notes.txt", "new notes");
		// Half of the bytes come before the collision, half after it.
		const std::string noise = Noise(64 << 20);
		WriteFile(files + "/big/data.bin", noise.substr(0, 32 << 20));
		WriteFile(files + "/more/data.bin", noise.substr(32 << 20));
		WriteFile(fWorld.Home() + "/target/notes.txt", "old notes");
		const std::string installer = fWorld.Build("Look", LookProduct());
		ASSERT_EQ(oLocalize::WriteLanguage(installer.c_str(), language), B_OK);
		Launch(installer);
		MoveWindowTo(0);
		const std::string suffix = std::string("-") + language;

		ASSERT_TRUE(WaitForState([](State& s) { return s["step"] == "1"; }, 0));
		std::this_thread::sleep_for(300ms);
		Compare("step1" + suffix, Window(), kWindowMasks);

		size_t mark = fProbe.Mark();
		ClickButton();
		ASSERT_TRUE(WaitForState([](State& s) { return s["step"] == "2"; }, mark));
		// "Full": every item.
		Click(e2e::InstallerLayout::kGroupX, e2e::InstallerLayout::kListTop + 19 + 9);
		ASSERT_TRUE(WaitForState([](State& s) { return s["selected"] == "0,1,2"; }, mark));
		std::this_thread::sleep_for(300ms);
		Compare("step2" + suffix, Window(), kWindowMasks);

		mark = fProbe.Mark();
		ClickButton();
		int left, top, width, height;
		ASSERT_TRUE(WaitForAlert("notes.txt", &left, &top, &width, &height, mark)) << Output();
		std::this_thread::sleep_for(300ms);
		e2e::Image shot;
		ASSERT_TRUE(Screenshot(&shot));
		Compare("collision" + suffix, Crop(shot, left, top, width, height), kDialogMasks);
		// The run waits for the answer with the first half placed; the box,
		// centred on the window, is left behind when the window moves.
		MoveWindowTo(1280 - 456 - 10);
		Compare("step3-during" + suffix, Window(), kWindowMasks);
		mark = fProbe.Mark();
		Focus("ReplaceAlert");
		Key("d");
		const StringTable texts(
		        (std::string(VANTRY_STRINGS_DIR) + "/installer/" + language + ".txt").c_str(), 1000,
		        1203);
		ASSERT_NE(texts.StringFor(1038), nullptr);
		ASSERT_TRUE(WaitForAlert(texts.StringFor(1038), &left, &top, &width, &height, mark))
		        << Output();
		// Every byte is placed; the bar is full and the button quits.
		ASSERT_TRUE(WaitForState([](State& s) { return std::stod("0" + s["progress"]) >= 0.999; },
		                         mark));
		MoveWindowTo(0);
		Compare("step3-after" + suffix, Window(), kWindowMasks);
		ClickDefaultButton(left, top, width, height);
		EXPECT_EQ(WaitForEnd(), 0);
	}
};

TEST_F(InstallerLookTest, EnglishStepsAndDialogLookAsTheReferences)
{
	RunLook("en");
}

TEST_F(InstallerLookTest, GermanStepsAndDialogLookAsTheReferences)
{
	RunLook("de");
}

TEST_F(InstallerLookTest, EnglishAtTwiceTheScaleFromXftDpiLooksAsTheReferences)
{
	RunTwice("en", true);
}

TEST_F(InstallerLookTest, GermanAtTwiceTheScaleFromGdkScaleLooksAsTheReferences)
{
	RunTwice("de", false);
}

} // namespace
