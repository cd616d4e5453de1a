// Menu entries from an item's menu table on the Linux layout: every field and
// translation in a valid entry, the icon in the hicolor theme at its sizes,
// the program registered for its file types, and all of it gone at deinstall.
#include <png.h>

#include "DeinstallRemoval.h"
#include "InstallTestSupport.h"
#include "ScopedEnv.h"
#include "TagScan.h"

using namespace install_test;

namespace {

const char kCalcula[] = R"(
[[install_file]]
file_name = "files/calcula"
install_meta = { destination = "User Selected", link = "User Deskbar" }

[install_file.menu]
name = "Calcula"
generic_name = "Calculator"
comment = "Arbitrary precision calculator"
categories = ["Utility", "Calculator"]
keywords = ["math", "bc"]
mime_types = ["text/x-bc"]
icon = "ICON"
terminal = false
[install_file.menu.translations.de]
name = "Calcula"
comment = "Rechner mit beliebiger Genauigkeit"
[install_file.menu.translations.no]
comment = "Kalkulator"
)";

const char kSvg[] = "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
                    "width=\"48\" height=\"48\"><circle cx=\"24\" cy=\"24\" r=\"20\"/></svg>\n";

// A square PNG of `size` pixels, opaque red on the left half, clear on the right.
std::string SquarePng(const int& size)
{
	std::vector<uint8_t> pixels(size_t(size) * size * 4, 0);
	for (int y = 0; y < size; y++)
		for (int x = 0; x < size / 2; x++)
			pixels[(size_t(y) * size + x) * 4] = pixels[(size_t(y) * size + x) * 4 + 3] = 255;
	png_image image = {};
	image.version = PNG_IMAGE_VERSION;
	image.width = png_uint_32(size);
	image.height = png_uint_32(size);
	image.format = PNG_FORMAT_RGBA;
	png_alloc_size_t bytes = 0;
	png_image_write_to_memory(&image, nullptr, &bytes, 0, pixels.data(), 0, nullptr);
	std::string png(bytes, '\0');
	png_image_write_to_memory(&image, png.data(), &bytes, 0, pixels.data(), 0, nullptr);
	return png;
}

// The width and height a PNG file's header gives, or 0 x 0.
std::pair<int, int> PngSize(const std::string& path)
{
	png_image image = {};
	image.version = PNG_IMAGE_VERSION;
	if (!png_image_begin_read_from_file(&image, path.c_str()))
		return {0, 0};
	const std::pair<int, int> size(int(image.width), int(image.height));
	png_image_free(&image);
	return size;
}

bool HaveTool(const std::string& tool)
{
	return system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

class MenuEntryTest : public testing::Test {
protected:
	void SetUp() override
	{
		home = world.Temp() + "/linux-home";
		data = home + "/.local/share";
		fs::create_directories(home + "/Apps");
		world.SetEnv("VANTRY_ROOT", std::nullopt);
		world.SetEnv("HOME", home);
		world.SetEnv("XDG_CONFIG_HOME", home + "/.config");
		world.SetEnv("XDG_DATA_HOME", data);
		world.SetEnv("SHELL", "/bin/bash");
	}

	// Builds Calcula with its menu icon at `icon` holding `bytes`; the build's run.
	RunResult Build(const std::string& icon, const std::string& bytes)
	{
		const std::string product = world.ProductFolder("calcula");
		WriteFile(product + "/files/calcula", "#!/bin/sh\necho 2\n");
		chmod((product + "/files/calcula").c_str(), 0755);
		WriteFile(product + "/" + icon, bytes);
		std::string description = ProductHead("Calcula") + kCalcula;
		description.replace(description.find("ICON"), 4, icon);
		WriteFile(product + "/product.toml", description);
		installer = world.Temp() + "/installers/calcula";
		return world.Run({VANTRY_BUILD_TOOL, product + "/product.toml", "-o", installer});
	}

	InstallWorld world;
	std::string home;
	std::string data;
	std::string installer;
};

TEST_F(MenuEntryTest, MenuTableBecomesAValidEntryWithEveryFieldAndItsIcons)
{
	struct Case {
		const char* icon;
		std::string bytes;
		std::vector<std::string> icons; // below hicolor
		std::vector<int> pngSizes;      // of the PNGs, in that order
	};
	const Case cases[] = {
	        {"art/calcula.svg", kSvg, {"scalable/apps/vantry-calcula-calcula.svg"}, {}},
	        {"art/calcula.png",
	         SquarePng(300),
	         {"16x16/apps/vantry-calcula-calcula.png", "32x32/apps/vantry-calcula-calcula.png",
	          "48x48/apps/vantry-calcula-calcula.png", "128x128/apps/vantry-calcula-calcula.png",
	          "256x256/apps/vantry-calcula-calcula.png", "300x300/apps/vantry-calcula-calcula.png"},
	         {16, 32, 48, 128, 256, 300}},
	        {"art/calcula.png",
	         SquarePng(64),
	         {"16x16/apps/vantry-calcula-calcula.png", "32x32/apps/vantry-calcula-calcula.png",
	          "48x48/apps/vantry-calcula-calcula.png", "64x64/apps/vantry-calcula-calcula.png"},
	         {16, 32, 48, 64}},
	};
	const std::string entry = data + "/applications/vantry-calcula-calcula.desktop";
	const std::string theme = data + "/icons/hicolor";
	for (const Case& c : cases) {
		SCOPED_TRACE(std::string(c.icon) + " of " + std::to_string(c.bytes.size()) + " bytes");
		fs::remove_all(home);
		fs::create_directories(home + "/Apps");
		const RunResult built = Build(c.icon, c.bytes);
		ASSERT_EQ(built.code, 0) << built.errors;
		const RunResult run =
		        world.Install(installer, {"--dest", home + "/Apps", "--items", "calcula", "--yes"});
		ASSERT_EQ(run.code, 0) << run.output << run.errors;
		const std::string program = home + "/Apps/Calcula/calcula";
		const std::string text = ReadFile(entry);
		for (const std::string& line : std::vector<std::string>{
		             "Name=Calcula", "GenericName=Calculator",
		             "Comment=Arbitrary precision calculator", "Name[de]=Calcula",
		             "Comment[de]=Rechner mit beliebiger Genauigkeit", "Comment[nb]=Kalkulator",
		             "Exec=" + program + " %F", "Icon=vantry-calcula-calcula", "Terminal=false",
		             "Categories=Utility;Calculator;", "Keywords=math;bc;", "MimeType=text/x-bc;"})
			EXPECT_NE(text.find("\n" + line + "\n"), std::string::npos) << line << "\n" << text;
		EXPECT_EQ(text.find("Name[nb]"), std::string::npos) << "no name was translated";
		if (HaveTool("desktop-file-validate"))
			EXPECT_EQ(system(("desktop-file-validate '" + entry + "'").c_str()), 0) << text;
		// The link into the applications folder adds no second entry.
		EXPECT_EQ(Tree(data + "/applications").size(),
		          Exists(data + "/applications/mimeinfo.cache") ? 2u : 1u);
		std::vector<std::string> icons;
		for (const std::string& file : Tree(theme)) {
			if (fs::is_regular_file(theme + "/" + file) &&
			    file.find("icon-theme") == std::string::npos)
				icons.push_back(file);
		}
		std::vector<std::string> expected = c.icons;
		std::sort(expected.begin(), expected.end());
		std::sort(icons.begin(), icons.end());
		EXPECT_EQ(icons, expected);
		for (size_t i = 0; i < c.pngSizes.size(); i++) {
			const int size = c.pngSizes[i];
			EXPECT_EQ(PngSize(theme + "/" + c.icons[i]), std::make_pair(size, size)) << c.icons[i];
			EXPECT_TRUE(DeinstallTag(theme + "/" + c.icons[i]).has_value()) << c.icons[i];
		}
		// Registered as a handler of its type: the desktop's cache names it,
		// and the user's own choice of default applications stays untouched.
		if (HaveTool("update-desktop-database"))
			EXPECT_NE(ReadFile(data + "/applications/mimeinfo.cache")
			                  .find("text/x-bc=vantry-calcula-calcula.desktop;"),
			          std::string::npos);
		EXPECT_FALSE(Exists(home + "/.config/mimeapps.list"));
		EXPECT_FALSE(Exists(data + "/applications/mimeapps.list"));
	}
}

TEST_F(MenuEntryTest, DeinstallingRemovesTheEntryAndEveryIcon)
{
	ASSERT_EQ(Build("art/calcula.png", SquarePng(128)).code, 0);
	ASSERT_EQ(world.Install(installer, {"--dest", home + "/Apps", "--items", "calcula", "--yes"})
	                  .code,
	          0);
	const std::string theme = data + "/icons/hicolor";
	ASSERT_TRUE(Exists(theme + "/48x48/apps/vantry-calcula-calcula.png"));
	{
		ScopedEnv noRoot("VANTRY_ROOT", nullptr);
		ScopedEnv homeVariable("HOME", home);
		ScopedEnv dataVariable("XDG_DATA_HOME", data);
		TagScan scan(home, InstallWorld::Tag("Calcula", "1.0"));
		ASSERT_EQ(scan.Run(), B_OK);
		DeinstallRemoval removal("");
		ASSERT_EQ(removal.Remove(scan.Found()), B_OK);
	}
	EXPECT_FALSE(Exists(data + "/applications/vantry-calcula-calcula.desktop"));
	// The menu's cache no longer offers the program for its file type.
	EXPECT_EQ(ReadFile(data + "/applications/mimeinfo.cache").find("vantry-calcula"),
	          std::string::npos);
	for (const char* size : {"16x16", "32x32", "48x48", "128x128"})
		EXPECT_FALSE(Exists(theme + "/" + size + "/apps/vantry-calcula-calcula.png")) << size;
}

TEST_F(MenuEntryTest, BuildRefusesUnusableIconsAndWarnsOnUnknownCategories)
{
	struct Case {
		const char* icon;
		std::string bytes;
		const char* categories;
		int code;
		const char* message;
	};
	const Case cases[] = {
	        {"art/small.png", SquarePng(32), "[\"Utility\"]", 8,
	         "it must be square and at least 48 x 48, or an SVG"},
	        {"art/calcula.svg", "not a picture", "[\"Utility\"]", 8, "not an SVG picture"},
	        {"art/calcula.gif", "GIF89a", "[\"Utility\"]", 8, "a menu icon is an SVG (.svg)"},
	        {"art/calcula.svg", kSvg, "[\"Utility\", \"Calculators\"]", 0,
	         "warning: \"Calculators\" is no registered menu category"},
	        {"art/calcula.svg", kSvg, "[\"Utility\", \"X-Calcula\"]", 0, ""},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(std::string(c.icon) + " " + c.categories);
		const std::string product = world.ProductFolder("calcula");
		fs::remove_all(product);
		RunResult built = Build(c.icon, c.bytes);
		std::string description = ReadFile(product + "/product.toml");
		description.replace(description.find("[\"Utility\", \"Calculator\"]"),
		                    strlen("[\"Utility\", \"Calculator\"]"), c.categories);
		WriteFile(product + "/product.toml", description);
		built = world.Run({VANTRY_BUILD_TOOL, product + "/product.toml", "-o", installer});
		EXPECT_EQ(built.code != 0, c.code != 0) << built.errors;
		if (c.message[0] != '\0') {
			EXPECT_NE(built.errors.find(c.message), std::string::npos) << built.errors;
			EXPECT_NE(built.errors.find("install_file[0].menu"), std::string::npos) << built.errors;
		} else {
			EXPECT_EQ(built.errors.find("warning"), std::string::npos) << built.errors;
		}
	}
}

} // namespace
