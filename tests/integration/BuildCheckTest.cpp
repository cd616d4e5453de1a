// vantry-build --check refuses what a build refuses, with the same words,
// file and line, without building anything.
#include "InstallTestSupport.h"

using namespace install_test;

namespace {

TEST(BuildCheckTest, CheckRefusesWhatTheBuildRefusesNamingFileAndLine)
{
	InstallWorld world;
	const std::string screenshot =
	        ReadFile(std::string(VANTRY_SOURCE_DIR) + "/tests/e2e/reference/step1-en.png");
	const struct {
		const char* name;
		const char* fields; // from line 7, after the product's head
		const char* error;
	} cases[] = {
	        {"picture of the wrong size", "about_image = \"wrong.png\"\n",
	         ":7: field `about_image`: the picture "},
	        {"picture that is no PNG", "about_image = \"text.png\"\n",
	         ":7: field `about_image`: not a PNG picture: "},
	        {"profile holding its end marker",
	         "edit_profile = true\nedit_profile_tag = \"T\"\n"
	         "edit_profile_contents = \"\"\"\necho\n#END_T\n\"\"\"\n",
	         ":9: field `edit_profile_contents`: holds a line \"#BEGIN_T\" or \"#END_T\""},
	};
	for (const auto& c : cases) {
		const std::string installer = world.Temp() + "/installers/refused";
		const std::string folder = world.ProductFolder(c.name);
		WriteFile(folder + "/wrong.png", screenshot);
		WriteFile(folder + "/text.png", "no picture");
		WriteFile(folder + "/a.txt", "a");
		const std::string description = folder + "/product.toml";
		WriteFile(description,
		          ProductHead("Checked") + c.fields + "[[install_file]]\nfile_name = \"a.txt\"\n");
		const RunResult check = world.Run({VANTRY_BUILD_TOOL, "--check", description});
		EXPECT_EQ(check.code, 1) << c.name << ": " << check.output;
		EXPECT_EQ(check.errors.rfind(description + c.error, 0), 0u)
		        << c.name << ": " << check.errors;
		const RunResult build = world.Run({VANTRY_BUILD_TOOL, description, "-o", installer});
		EXPECT_EQ(build.code, 1) << c.name;
		EXPECT_EQ(Lines(build.errors).front(), Lines(check.errors).front()) << c.name;
		EXPECT_FALSE(Exists(installer)) << c.name;
	}
}

} // namespace
