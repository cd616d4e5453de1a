// Destination names resolved to folders: custom folders on the chosen volume,
// standard folders on the boot volume, unknown names to no folder at all.
#include "InstallConfig.h"

#include <cstring>

#include "EngineTestSupport.h"
#include "Entry.h"
#include "FindDirectory.h"
#include "Path.h"
#include "Volume.h"
#include "VolumeRoster.h"

namespace {

BMessage CustomFolder(const char* name, const directory_which& root, const char* sub,
                      const bool& replace)
{
	BMessage folder;
	folder.AddString("custom_folder_name", name);
	folder.AddInt32("custom_root_dir", root);
	folder.AddString("custom_sub_dir", sub);
	folder.AddBool("custom_replace_existing", replace);
	return folder;
}

bool FindVolume(const char* name, BVolume& volume)
{
	BVolumeRoster roster;
	char found[B_FILE_NAME_LENGTH];
	while (roster.GetNextVolume(&volume) == B_OK) {
		if (volume.GetName(found) == B_OK && strcmp(found, name) == 0)
			return true;
	}
	return false;
}

std::string BootFolder(const directory_which& which)
{
	BPath path;
	find_directory(which, &path);
	return path.Path();
}

} // namespace

TEST(DestinationPathTest, EachKindOfNameResolvesToItsVolume)
{
	EngineWorld world;
	const std::string other = world.Temp() + "/Other";
	world.AddVolume(other);
	BVolume volume;
	ASSERT_TRUE(FindVolume("Other", volume));
	BVolume boot;
	BVolumeRoster().GetBootVolume(&boot);

	InstallConfig config;
	config.AddBool("opt_log", true);
	const std::string log = world.Temp() + "/Log";
	config.OpenLog(log.c_str());
	BMessage folders;
	BMessage tools = CustomFolder("Tools", B_APPS_DIRECTORY, "Acme/Tools", false);
	folders.AddMessage("custom_folder", &tools);

	struct Case {
		const char* name;
		BVolume* volume;
		std::string expected;
	};
	const Case cases[] = {
	        {"Tools", &volume, other + "/apps/Acme/Tools"},
	        {"Tools", &boot, world.Boot() + "/apps/Acme/Tools"},
	        {"Applications", &volume, BootFolder(B_APPS_DIRECTORY)},
	        {"User Boot", &volume, world.UserBoot()},
	        {"tools", &volume, ""},
	        {"StartUp", &volume, ""},
	};
	for (const Case& test : cases) {
		LibString path("unchanged");
		config.GetNewPath(test.name, folders, *test.volume, "", path);
		EXPECT_EQ(std::string(path.String()), test.expected) << test.name;
		if (!test.expected.empty())
			EXPECT_TRUE(std::filesystem::is_directory(test.expected)) << test.name;
	}
	EXPECT_EQ(BootFolder(B_APPS_DIRECTORY), world.Boot() + "/apps");
	config.CloseLog();
	const std::string text = ReadText(log);
	EXPECT_NE(text.find("No folder is named tools: the item stays in the installation folder\n"),
	          std::string::npos)
	        << text;
}

TEST(DestinationPathTest, ReplacedCustomFolderIsEmptiedOncePerRun)
{
	for (const bool saveReplaced : {false, true}) {
		EngineWorld world;
		const std::string saved = world.Temp() + "/Saved Files";
		std::filesystem::create_directories(saved);
		const std::string target = world.Boot() + "/home/config/StartUp";
		std::filesystem::create_directories(target);
		WriteText(target + "/old", "old");

		InstallConfig config;
		config.AddBool("opt_save_replaced", saveReplaced);
		BMessage folders;
		BMessage startup = CustomFolder("StartUp", B_USER_CONFIG_DIRECTORY, "StartUp", true);
		folders.AddMessage("custom_folder", &startup);
		BVolume boot;
		BVolumeRoster().GetBootVolume(&boot);

		LibString path;
		config.GetNewPath("StartUp", folders, boot, saved.c_str(), path);
		EXPECT_EQ(std::string(path.String()), target);
		EXPECT_TRUE(std::filesystem::is_directory(target));
		EXPECT_FALSE(std::filesystem::exists(target + "/old"));
		EXPECT_EQ(std::filesystem::exists(saved + "/StartUp/old"), saveReplaced);

		BMessage stored;
		folders.FindMessage("custom_folder", &stored);
		EXPECT_FALSE(stored.FindBool("custom_replace_existing"));
		// A second item going there finds the fresh folder and its new content.
		WriteText(target + "/first", "1");
		config.GetNewPath("StartUp", folders, boot, saved.c_str(), path);
		EXPECT_TRUE(std::filesystem::exists(target + "/first"));
	}
}

TEST(DestinationPathTest, DoesDestinationExistSeesFilesAndFolders)
{
	EngineWorld world;
	const std::string apps = world.Boot() + "/apps";
	std::filesystem::create_directories(apps);
	InstallConfig config;
	config.AddString("opt_created_folder", "Hello");
	BEntry(apps.c_str()).GetRef(&config.destination);
	EXPECT_FALSE(config.DoesDestinationExist());
	WriteText(apps + "/Hello", "a plain file");
	EXPECT_TRUE(config.DoesDestinationExist());
	std::filesystem::remove(apps + "/Hello");
	std::filesystem::create_directory(apps + "/Hello");
	EXPECT_TRUE(config.DoesDestinationExist());
}
