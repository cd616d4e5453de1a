// Warnings for custom folders that replace what belongs to the user.
#include "ProductWarnings.h"

#include <gtest/gtest.h>

#include "BuildTestSupport.h"
#include "FindDirectory.h"
#include "Path.h"
#include "ProductDescription.h"
#include "ScopedEnv.h"

namespace {

TEST(ProductWarningsTest, ReplacingTheUsersOwnOrAStandardFolderIsWarnedAbout)
{
	TempFolder folder;
	folder.Write("a.txt", "alpha");
	ScopedEnv root("VANTRY_ROOT", nullptr);
	ScopedEnv home("HOME", (folder / "home").c_str());
	ScopedEnv config("XDG_CONFIG_HOME", nullptr);
	ScopedEnv data("XDG_DATA_HOME", nullptr);
	BPath settings;
	ASSERT_EQ(find_directory(B_USER_SETTINGS_DIRECTORY, &settings), B_OK);
	const std::string settingsSub =
	        std::string(settings.Path()).substr((folder / "home").size() + 1);
	struct Case {
		std::string sub;
		bool replace;
		const char* warned; // part of the warning, or nullptr for none
	};
	const Case cases[] = {
	        {"Documents", true, "the user's own folder \"Documents\""},
	        {"Pictures/", true, "the user's own folder \"Pictures\""},
	        {settingsSub, true, "the standard folder \""},
	        {"Documents", false, nullptr},
	        {"Tally", true, nullptr},
	        {"Documents/Tally", true, nullptr},
	};
	for (const Case& test : cases) {
		SCOPED_TRACE(test.sub);
		ProductDescription description;
		const std::string text = std::string("app_name = \"P\"\n[[custom_folder]]\n") +
		                         "custom_folder_name = \"Mine\"\ncustom_root_dir = \"User\"\n" +
		                         "custom_sub_dir = \"" + test.sub + "\"\n" +
		                         "custom_replace_existing = " + (test.replace ? "true" : "false") +
		                         "\n[[install_file]]\nfile_name = \"a.txt\"\n";
		ASSERT_EQ(description.Parse(text, (folder / "product.toml").c_str()), B_OK)
		        << testing::PrintToString(description.Errors());
		const std::vector<std::string> warnings = product_warnings(description.GetProduct());
		if (test.warned == nullptr) {
			EXPECT_TRUE(warnings.empty()) << testing::PrintToString(warnings);
			continue;
		}
		ASSERT_EQ(warnings.size(), 1u);
		EXPECT_NE(warnings[0].find(test.warned), std::string::npos) << warnings[0];
		EXPECT_NE(warnings[0].find("product.toml:3: field `custom_folder[0]"), std::string::npos)
		        << warnings[0];
	}
}

} // namespace
