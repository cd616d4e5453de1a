// find_directory: every constant in both layouts, other volumes, creation.
#include "FindDirectory.h"

#include <gtest/gtest.h>

#include <cstring>

#include "Path.h"
#include "StorageTestSupport.h"
#include "Volume.h"
#include "VolumeRoster.h"

namespace {

// Linux-layout bases as the test environment sets them.
enum Base { kAbs, kHome, kConfig, kData, kDesktop, kTemp };

struct Row {
	directory_which which;
	int value;
	const char* beos;
	Base base;
	const char* linux;
};

const Row kRows[] = {
        {B_DESKTOP_DIRECTORY, 0, "/boot/home/Desktop", kDesktop, ""},
        {B_TRASH_DIRECTORY, 1, "/boot/home/Desktop/Trash", kData, "/Trash/files"},
        {B_BEOS_DIRECTORY, 1000, "/boot/beos", kAbs, "/usr"},
        {B_BEOS_SYSTEM_DIRECTORY, 1001, "/boot/beos/system", kAbs, "/usr/lib"},
        {B_BEOS_ADDONS_DIRECTORY, 1002, "/boot/beos/system/add-ons", kAbs, "/usr/lib/add-ons"},
        {B_BEOS_BOOT_DIRECTORY, 1003, "/boot/beos/system/boot", kAbs, "/boot"},
        {B_BEOS_FONTS_DIRECTORY, 1004, "/boot/beos/etc/fonts", kAbs, "/usr/share/fonts"},
        {B_BEOS_LIB_DIRECTORY, 1005, "/boot/beos/system/lib", kAbs, "/usr/lib"},
        {B_BEOS_SERVERS_DIRECTORY, 1006, "/boot/beos/system/servers", kAbs, "/usr/libexec"},
        {B_BEOS_APPS_DIRECTORY, 1007, "/boot/beos/apps", kAbs, "/usr/bin"},
        {B_BEOS_BIN_DIRECTORY, 1008, "/boot/beos/bin", kAbs, "/usr/bin"},
        {B_BEOS_ETC_DIRECTORY, 1009, "/boot/beos/etc", kAbs, "/etc"},
        {B_BEOS_DOCUMENTATION_DIRECTORY, 1010, "/boot/beos/documentation", kAbs, "/usr/share/doc"},
        {B_BEOS_PREFERENCES_DIRECTORY, 1011, "/boot/beos/preferences", kAbs, "/usr/bin"},
        {B_BEOS_TRANSLATORS_DIRECTORY, 1012, "/boot/beos/system/add-ons/Translators", kAbs,
         "/usr/lib/add-ons/Translators"},
        {B_BEOS_MEDIA_NODES_DIRECTORY, 1013, "/boot/beos/system/add-ons/media", kAbs,
         "/usr/lib/add-ons/media"},
        {B_BEOS_SOUNDS_DIRECTORY, 1014, "/boot/beos/etc/sounds", kAbs, "/usr/share/sounds"},
        {B_COMMON_DIRECTORY, 2000, "/boot/home", kAbs, "/usr/local"},
        {B_COMMON_SYSTEM_DIRECTORY, 2001, "/boot/home/config", kAbs, "/usr/local"},
        {B_COMMON_ADDONS_DIRECTORY, 2002, "/boot/home/config/add-ons", kAbs,
         "/usr/local/lib/add-ons"},
        {B_COMMON_BOOT_DIRECTORY, 2003, "/boot/home/config/boot", kAbs, "/etc/xdg/autostart"},
        {B_COMMON_FONTS_DIRECTORY, 2004, "/boot/home/config/fonts", kAbs, "/usr/local/share/fonts"},
        {B_COMMON_LIB_DIRECTORY, 2005, "/boot/home/config/lib", kAbs, "/usr/local/lib"},
        {B_COMMON_SERVERS_DIRECTORY, 2006, "/boot/home/config/servers", kAbs, "/usr/local/libexec"},
        {B_COMMON_BIN_DIRECTORY, 2007, "/boot/home/config/bin", kAbs, "/usr/local/bin"},
        {B_COMMON_ETC_DIRECTORY, 2008, "/boot/home/config/etc", kAbs, "/usr/local/etc"},
        {B_COMMON_DOCUMENTATION_DIRECTORY, 2009, "/boot/home/config/documentation", kAbs,
         "/usr/local/share/doc"},
        {B_COMMON_SETTINGS_DIRECTORY, 2010, "/boot/home/config/settings", kAbs, "/etc"},
        {B_COMMON_DEVELOP_DIRECTORY, 2011, "/boot/develop", kAbs, "/usr/local/include"},
        {B_COMMON_LOG_DIRECTORY, 2012, "/boot/var/log", kAbs, "/var/log"},
        {B_COMMON_SPOOL_DIRECTORY, 2013, "/boot/var/spool", kAbs, "/var/spool"},
        {B_COMMON_TEMP_DIRECTORY, 2014, "/boot/var/tmp", kTemp, ""},
        {B_COMMON_VAR_DIRECTORY, 2015, "/boot/var", kAbs, "/var"},
        {B_COMMON_TRANSLATORS_DIRECTORY, 2016, "/boot/home/config/add-ons/Translators", kAbs,
         "/usr/local/lib/add-ons/Translators"},
        {B_COMMON_MEDIA_NODES_DIRECTORY, 2017, "/boot/home/config/add-ons/media", kAbs,
         "/usr/local/lib/add-ons/media"},
        {B_COMMON_SOUNDS_DIRECTORY, 2018, "/boot/home/config/sounds", kAbs,
         "/usr/local/share/sounds"},
        {B_USER_DIRECTORY, 3000, "/boot/home", kHome, ""},
        {B_USER_CONFIG_DIRECTORY, 3001, "/boot/home/config", kConfig, ""},
        {B_USER_ADDONS_DIRECTORY, 3002, "/boot/home/config/add-ons", kHome, "/.local/lib/add-ons"},
        {B_USER_BOOT_DIRECTORY, 3003, "/boot/home/config/boot", kConfig, "/autostart"},
        {B_USER_FONTS_DIRECTORY, 3004, "/boot/home/config/fonts", kData, "/fonts"},
        {B_USER_LIB_DIRECTORY, 3005, "/boot/home/config/lib", kHome, "/.local/lib"},
        {B_USER_SETTINGS_DIRECTORY, 3006, "/boot/home/config/settings", kConfig, ""},
        {B_USER_DESKBAR_DIRECTORY, 3007, "/boot/home/config/be", kData, "/applications"},
        {B_USER_PRINTERS_DIRECTORY, 3008, "/boot/home/config/settings/printers", kConfig,
         "/printers"},
        {B_USER_TRANSLATORS_DIRECTORY, 3009, "/boot/home/config/add-ons/Translators", kHome,
         "/.local/lib/add-ons/Translators"},
        {B_USER_MEDIA_NODES_DIRECTORY, 3010, "/boot/home/config/add-ons/media", kHome,
         "/.local/lib/add-ons/media"},
        {B_USER_SOUNDS_DIRECTORY, 3011, "/boot/home/config/sounds", kData, "/sounds"},
        {B_APPS_DIRECTORY, 4000, "/boot/apps", kHome, "/Applications"},
        {B_PREFERENCES_DIRECTORY, 4001, "/boot/preferences", kAbs, "/usr/bin"},
        {B_UTILITIES_DIRECTORY, 4002, "/boot/utilities", kAbs, "/usr/bin"},
};

std::string Replace(const std::string& beos, const std::string& root)
{
	return root + beos.substr(strlen("/boot"));
}

std::string Find(directory_which which, BVolume* volume = nullptr)
{
	BPath path;
	status_t status = find_directory(which, &path, false, volume);
	return status == B_OK ? std::string(path.Path()) : "error " + std::to_string(status);
}

// A hermetic Linux-layout environment.
struct LinuxLayout {
	TempFolder temp;
	ScopedEnv root{"VANTRY_ROOT", std::nullopt};
	ScopedEnv home{"HOME", temp / "home"};
	ScopedEnv config{"XDG_CONFIG_HOME", temp / "config"};
	ScopedEnv data{"XDG_DATA_HOME", temp / "data"};
	ScopedEnv tmp{"TMPDIR", temp / "tmp"};
};

} // namespace

TEST(FindDirectoryTest, TableHasEveryConstantWithItsValue)
{
	EXPECT_EQ(sizeof(kRows) / sizeof(kRows[0]), 51u);
	for (const Row& row : kRows)
		EXPECT_EQ((int)row.which, row.value) << row.beos;
}

TEST(FindDirectoryTest, BeOSLayoutBelowTheRoot)
{
	TempFolder temp;
	ScopedEnv root("VANTRY_ROOT", temp / "boot");
	ScopedEnv volumes("VANTRY_VOLUMES", std::nullopt);
	for (const Row& row : kRows) {
		SCOPED_TRACE(row.value);
		EXPECT_EQ(Find(row.which), Replace(row.beos, temp / "boot"));
		char buffer[B_PATH_NAME_LENGTH];
		ASSERT_EQ(find_directory(row.which, -1, false, buffer, sizeof(buffer)), B_OK);
		EXPECT_EQ(std::string(buffer), Replace(row.beos, temp / "boot"));
	}
}

TEST(FindDirectoryTest, LinuxLayoutFromTheEnvironment)
{
	LinuxLayout env;
	const std::string bases[] = {"",
	                             env.temp / "home",
	                             env.temp / "config",
	                             env.temp / "data",
	                             env.temp / "home/Desktop",
	                             env.temp / "tmp"};
	for (const Row& row : kRows) {
		SCOPED_TRACE(row.value);
		EXPECT_EQ(Find(row.which), bases[row.base] + row.linux);
	}
}

TEST(FindDirectoryTest, SystemLayoutMovesTheUsersMenuBootAndApplicationsFolders)
{
	LinuxLayout env;
	struct Case {
		directory_which which;
		std::string user;   // the user's layout
		std::string system; // an install for every user
	};
	const Case cases[] = {
	        {B_USER_DESKBAR_DIRECTORY, env.temp / "data/applications",
	         "/usr/local/share/applications"},
	        {B_USER_BOOT_DIRECTORY, env.temp / "config/autostart", "/etc/xdg/autostart"},
	        {B_APPS_DIRECTORY, env.temp / "home/Applications", "/opt"},
	        {B_COMMON_BIN_DIRECTORY, "/usr/local/bin", "/usr/local/bin"},
	        {B_USER_SETTINGS_DIRECTORY, env.temp / "config", env.temp / "config"},
	};
	for (const bool system : {false, true}) {
		set_linux_system_layout(system);
		for (const Case& c : cases)
			EXPECT_EQ(Find(c.which), system ? c.system : c.user) << c.which << " " << system;
		// A BeOS-layout root has no system layout.
		ScopedEnv root("VANTRY_ROOT", (env.temp / "boot").c_str());
		EXPECT_FALSE(linux_system_layout());
		EXPECT_EQ(Find(B_APPS_DIRECTORY), env.temp / "boot/apps");
	}
	set_linux_system_layout(false);
}

TEST(FindDirectoryTest, LinuxLayoutDefaultsAndDesktopFolder)
{
	LinuxLayout env;
	{
		ScopedEnv config("XDG_CONFIG_HOME", std::nullopt);
		ScopedEnv data("XDG_DATA_HOME", "relative/ignored");
		ScopedEnv tmp("TMPDIR", std::nullopt);
		EXPECT_EQ(Find(B_USER_SETTINGS_DIRECTORY), env.temp / "home/.config");
		EXPECT_EQ(Find(B_TRASH_DIRECTORY), env.temp / "home/.local/share/Trash/files");
		EXPECT_EQ(Find(B_COMMON_TEMP_DIRECTORY), "/tmp");
	}
	mkdir((env.temp / "config").c_str(), 0755);
	const std::pair<std::string, std::string> desktops[] = {
	        {"XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n", env.temp / "home/Schreibtisch"},
	        {"# comment\nXDG_DESKTOP_DIR=\"/elsewhere/My \\\"Desk\\\"\"\n",
	         "/elsewhere/My \"Desk\""},
	        {"XDG_MUSIC_DIR=\"$HOME/Music\"\n", env.temp / "home/Desktop"},
	};
	for (const auto& [file, expected] : desktops) {
		SCOPED_TRACE(file);
		WriteText(env.temp / "config/user-dirs.dirs", file);
		EXPECT_EQ(Find(B_DESKTOP_DIRECTORY), expected);
	}
}

TEST(FindDirectoryTest, OtherVolumesUseTheBeOSLayoutBelowTheirRoot)
{
	TempFolder temp;
	mkdir((temp / "boot").c_str(), 0755);
	mkdir((temp / "disk").c_str(), 0755);
	mkdir((temp / "stick").c_str(), 0755);
	ScopedEnv root("VANTRY_ROOT", temp / "boot");
	ScopedEnv volumes("VANTRY_VOLUMES", temp / "disk;" + temp / "stick:nonnative,fs=vfat");
	ScopedEnv file("VANTRY_VOLUMES_FILE", std::nullopt);
	BVolumeRoster roster;
	BVolume disk, stick, volume;
	while (roster.GetNextVolume(&volume) == B_OK) {
		if (std::string(volume.HostRootPath()) == temp / "disk")
			disk = volume;
		if (std::string(volume.HostRootPath()) == temp / "stick")
			stick = volume;
	}
	ASSERT_EQ(disk.InitCheck(), B_OK);
	ASSERT_EQ(stick.InitCheck(), B_OK);
	for (const Row& row : kRows) {
		SCOPED_TRACE(row.value);
		EXPECT_EQ(Find(row.which, &disk), Replace(row.beos, temp / "disk"));
		char buffer[B_PATH_NAME_LENGTH];
		ASSERT_EQ(find_directory(row.which, disk.Device(), false, buffer, sizeof(buffer)), B_OK);
		EXPECT_EQ(std::string(buffer), Replace(row.beos, temp / "disk"));
	}
	EXPECT_EQ(Find(B_TRASH_DIRECTORY, &stick), temp / "stick/RECYCLED/_BEOS_");
	EXPECT_EQ(Find(B_DESKTOP_DIRECTORY, &stick), temp / "stick/home/Desktop");
}

TEST(FindDirectoryTest, CreateMakesTheFolderAndBadInputIsRefused)
{
	TempFolder temp;
	ScopedEnv root("VANTRY_ROOT", temp / "boot");
	BPath path;
	ASSERT_EQ(find_directory(B_USER_BOOT_DIRECTORY, &path, true), B_OK);
	struct stat st;
	EXPECT_EQ(stat((temp / "boot/home/config/boot").c_str(), &st), 0);
	EXPECT_TRUE(S_ISDIR(st.st_mode));
	EXPECT_EQ(find_directory((directory_which)5000, &path), B_BAD_VALUE);
	EXPECT_EQ(find_directory(B_USER_DIRECTORY, nullptr), B_BAD_VALUE);
	char small[8];
	EXPECT_EQ(find_directory(B_USER_DIRECTORY, -1, false, small, sizeof(small)), B_BUFFER_OVERFLOW);
	EXPECT_EQ(find_directory(B_USER_DIRECTORY, 12345, false, small, sizeof(small)), B_BAD_VALUE);
	BVolume unset;
	EXPECT_EQ(find_directory(B_USER_DIRECTORY, &path, false, &unset), B_BAD_VALUE);
}
