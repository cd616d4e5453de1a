// The deinstall tag on placed trees, and what the created deinstaller gets.
#include "InstallConfig.h"

#include "EngineTestSupport.h"
#include "Node.h"
#include "Resources.h"
#include "TypeConstants.h"
#include "oLocalize.h"

namespace {

void AddProduct(InstallConfig& config, const char* version)
{
	config.AddString("app_name", "Hello");
	config.AddString("version", version);
	config.AddString("release_date", "2024");
	config.AddString("company", "Acme");
	config.AddString("support_email", "help@acme.test");
}

} // namespace

TEST(DeinstallRecordsTest, ProductRecordEndsEachFieldWithASemicolon)
{
	InstallConfig config;
	AddProduct(config, "2.1");
	LibString record;
	config.BuildProductRecord(record);
	EXPECT_STREQ(record.String(), "Hello;2.1;2024;Acme;help@acme.test;");
	InstallConfig empty;
	empty.BuildProductRecord(record);
	EXPECT_STREQ(record.String(), ";;;;;");
}

TEST(DeinstallRecordsTest, TagCoversATreeAndStopsAtALinkLoop)
{
	EngineWorld world;
	if (!UserAttrsWork(world.Temp()))
		GTEST_SKIP() << "no user attributes on " << world.Temp();
	const std::string item = world.Temp() + "/Hello";
	std::filesystem::create_directories(item + "/lib/deep");
	WriteText(item + "/hello", "binary");
	WriteText(item + "/lib/deep/data", "data");
	std::filesystem::create_directory_symlink(item, item + "/lib/loop");

	InstallConfig config;
	config.AddDeinstallTag(item.c_str(), "Hello;1.0;;;;");
	config.AddDeinstallTag(item.c_str(), "Hello;2.0;;;;");
	for (const char* path : {"", "/hello", "/lib", "/lib/deep", "/lib/deep/data"})
		EXPECT_EQ(UserAttr(item + path, "InstallBy"), std::optional<std::string>("Hello;2.0;;;;"))
		        << path;
	// Reaching here at all means the walk did not follow the link back into itself.
	config.AddDeinstallTag((world.Temp() + "/missing").c_str(), "x");
}

TEST(DeinstallRecordsTest, LinksInATreeAndLinksOnTheirOwnAreTagged)
{
	EngineWorld world;
	if (!UserAttrsWork(world.Temp()))
		GTEST_SKIP() << "no user attributes on " << world.Temp();
	const std::string item = world.Temp() + "/Hello";
	std::filesystem::create_directories(item + "/lib");
	WriteText(world.Temp() + "/outside", "not ours");
	std::filesystem::create_symlink(world.Temp() + "/outside", item + "/lib/shortcut");
	std::filesystem::create_symlink(item, world.Temp() + "/Hello link");

	InstallConfig config;
	config.AddDeinstallTag(item.c_str(), "Hello;1.0;;;;");
	config.AddDeinstallTag((world.Temp() + "/Hello link").c_str(), "Hello;1.0;;;;");
	for (const std::string& path : {item + "/lib/shortcut", world.Temp() + "/Hello link"}) {
		BNode link(path.c_str());
		ASSERT_TRUE(link.IsSymLink()) << path;
		char value[32];
		const ssize_t size = link.ReadAttr("InstallBy", B_STRING_TYPE, 0, value, sizeof(value));
		ASSERT_GT(size, 0) << path;
		EXPECT_EQ(std::string(value, size_t(size)), "Hello;1.0;;;;") << path;
	}
	EXPECT_EQ(UserAttr(world.Temp() + "/outside", "InstallBy"), std::nullopt)
	        << "a link's target is not tagged through it";
}

TEST(DeinstallRecordsTest, DeinstallConfigCarriesOnlyWhatTheDeinstallerNeeds)
{
	InstallConfig config;
	AddProduct(config, "2.1");
	config.AddBool("edit_bootscript", true);
	config.AddString("edit_bootscript_tag", "HelloBoot");
	config.AddString("edit_bootscript_contents", "hello &");
	config.AddBool("edit_profile", false);
	config.AddString("edit_profile_tag", "HelloProfile");
	config.AddBool("opt_log", true);
	BMessage image;
	image.AddString("path", "about.png");
	config.AddMessage("about_image", &image);

	BMessage reduced;
	config.BuildDeinstallConfig(reduced);
	EXPECT_EQ(reduced.what, 0u);
	const char* const order[] = {
	        "app_name",       "version",     "release_date",    "company",
	        "support_email",  "about_image", "edit_bootscript", "edit_bootscript_tag",
	        "edit_setup_env", "edit_profile"};
	ASSERT_EQ(reduced.CountNames(B_ANY_TYPE), int32(std::size(order)));
	for (int32 i = 0; i < int32(std::size(order)); i++) {
		char* name = nullptr;
		type_code type;
		ASSERT_EQ(reduced.GetInfo(B_ANY_TYPE, i, &name, &type), B_OK);
		EXPECT_STREQ(name, order[i]);
	}
	EXPECT_STREQ(reduced.FindString("edit_bootscript_tag"), "HelloBoot");
	EXPECT_FALSE(reduced.HasString("edit_profile_tag"));
	EXPECT_FALSE(reduced.HasString("edit_bootscript_contents"));
}

TEST(DeinstallRecordsTest, ConfiguredDeinstallerHoldsConfigurationAndLanguage)
{
	EngineWorld world;
	InstallConfig config;
	AddProduct(config, "2.1");
	LibString path;
	config.DeinstallerPath(world.Temp().c_str(), path);
	EXPECT_EQ(std::string(path.String()), world.Temp() + "/Hello 2.1 Deinstaller");
	// Any executable stands in for the deinstaller program.
	std::filesystem::copy_file("/bin/true", path.String());

	ASSERT_EQ(config.ConfigureDeinstaller(path.String(), "de"), B_OK);
	BResources resources(path.String(), false);
	ASSERT_EQ(resources.InitCheck(), B_OK);
	size_t size = 0;
	const void* data = resources.LoadResource(B_STRING_TYPE, 2002, &size);
	ASSERT_NE(data, nullptr);
	const char* name = nullptr;
	ASSERT_TRUE(resources.GetResourceInfo(B_STRING_TYPE, 2002, &name, &size));
	EXPECT_STREQ(name, "VXC:configuration");
	BMessage stored;
	ASSERT_EQ(stored.Unflatten(static_cast<const char*>(data)), B_OK);
	EXPECT_STREQ(stored.FindString("version"), "2.1");
	LibString language;
	ASSERT_EQ(oLocalize::ReadLanguage(path.String(), language), B_OK);
	EXPECT_STREQ(language.String(), "de");
}
