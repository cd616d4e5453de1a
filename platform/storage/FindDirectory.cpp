// The standard folder table and its two layouts.
#include "FindDirectory.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <string>

#include "Directory.h"
#include "Path.h"
#include "StorageHost.h"
#include "Volume.h"

namespace {

// Where a Linux-layout folder starts.
enum LinuxBase {
	kAbsolute, // the text is the path
	kHome,     // $HOME
	kConfig,   // $XDG_CONFIG_HOME, default ~/.config
	kData,     // $XDG_DATA_HOME, default ~/.local/share
	kDesktop,  // XDG_DESKTOP_DIR of user-dirs.dirs, default ~/Desktop
	kTemp,     // $TMPDIR, default /tmp
};

struct FolderRow {
	directory_which which;
	const char* beos; // below the boot volume's root (R5: below /boot)
	LinuxBase base;
	const char* linux; // below `base`
};

// clang-format off
const FolderRow kFolders[] = {
	{B_DESKTOP_DIRECTORY, "home/Desktop", kDesktop, ""},
	{B_TRASH_DIRECTORY, "home/Desktop/Trash", kData, "Trash/files"},
	{B_BEOS_DIRECTORY, "beos", kAbsolute, "/usr"},
	{B_BEOS_SYSTEM_DIRECTORY, "beos/system", kAbsolute, "/usr/lib"},
	{B_BEOS_ADDONS_DIRECTORY, "beos/system/add-ons", kAbsolute, "/usr/lib/add-ons"},
	{B_BEOS_BOOT_DIRECTORY, "beos/system/boot", kAbsolute, "/boot"},
	{B_BEOS_FONTS_DIRECTORY, "beos/etc/fonts", kAbsolute, "/usr/share/fonts"},
	{B_BEOS_LIB_DIRECTORY, "beos/system/lib", kAbsolute, "/usr/lib"},
	{B_BEOS_SERVERS_DIRECTORY, "beos/system/servers", kAbsolute, "/usr/libexec"},
	{B_BEOS_APPS_DIRECTORY, "beos/apps", kAbsolute, "/usr/bin"},
	{B_BEOS_BIN_DIRECTORY, "beos/bin", kAbsolute, "/usr/bin"},
	{B_BEOS_ETC_DIRECTORY, "beos/etc", kAbsolute, "/etc"},
	{B_BEOS_DOCUMENTATION_DIRECTORY, "beos/documentation", kAbsolute, "/usr/share/doc"},
	{B_BEOS_PREFERENCES_DIRECTORY, "beos/preferences", kAbsolute, "/usr/bin"},
	{B_BEOS_TRANSLATORS_DIRECTORY, "beos/system/add-ons/Translators", kAbsolute, "/usr/lib/add-ons/Translators"},
	{B_BEOS_MEDIA_NODES_DIRECTORY, "beos/system/add-ons/media", kAbsolute, "/usr/lib/add-ons/media"},
	{B_BEOS_SOUNDS_DIRECTORY, "beos/etc/sounds", kAbsolute, "/usr/share/sounds"},
	{B_COMMON_DIRECTORY, "home", kAbsolute, "/usr/local"},
	{B_COMMON_SYSTEM_DIRECTORY, "home/config", kAbsolute, "/usr/local"},
	{B_COMMON_ADDONS_DIRECTORY, "home/config/add-ons", kAbsolute, "/usr/local/lib/add-ons"},
	{B_COMMON_BOOT_DIRECTORY, "home/config/boot", kAbsolute, "/etc/xdg/autostart"},
	{B_COMMON_FONTS_DIRECTORY, "home/config/fonts", kAbsolute, "/usr/local/share/fonts"},
	{B_COMMON_LIB_DIRECTORY, "home/config/lib", kAbsolute, "/usr/local/lib"},
	{B_COMMON_SERVERS_DIRECTORY, "home/config/servers", kAbsolute, "/usr/local/libexec"},
	{B_COMMON_BIN_DIRECTORY, "home/config/bin", kAbsolute, "/usr/local/bin"},
	{B_COMMON_ETC_DIRECTORY, "home/config/etc", kAbsolute, "/usr/local/etc"},
	{B_COMMON_DOCUMENTATION_DIRECTORY, "home/config/documentation", kAbsolute, "/usr/local/share/doc"},
	{B_COMMON_SETTINGS_DIRECTORY, "home/config/settings", kAbsolute, "/etc"},
	{B_COMMON_DEVELOP_DIRECTORY, "develop", kAbsolute, "/usr/local/include"},
	{B_COMMON_LOG_DIRECTORY, "var/log", kAbsolute, "/var/log"},
	{B_COMMON_SPOOL_DIRECTORY, "var/spool", kAbsolute, "/var/spool"},
	{B_COMMON_TEMP_DIRECTORY, "var/tmp", kTemp, ""},
	{B_COMMON_VAR_DIRECTORY, "var", kAbsolute, "/var"},
	{B_COMMON_TRANSLATORS_DIRECTORY, "home/config/add-ons/Translators", kAbsolute, "/usr/local/lib/add-ons/Translators"},
	{B_COMMON_MEDIA_NODES_DIRECTORY, "home/config/add-ons/media", kAbsolute, "/usr/local/lib/add-ons/media"},
	{B_COMMON_SOUNDS_DIRECTORY, "home/config/sounds", kAbsolute, "/usr/local/share/sounds"},
	{B_USER_DIRECTORY, "home", kHome, ""},
	{B_USER_CONFIG_DIRECTORY, "home/config", kConfig, ""},
	{B_USER_ADDONS_DIRECTORY, "home/config/add-ons", kHome, ".local/lib/add-ons"},
	{B_USER_BOOT_DIRECTORY, "home/config/boot", kConfig, "autostart"},
	{B_USER_FONTS_DIRECTORY, "home/config/fonts", kData, "fonts"},
	{B_USER_LIB_DIRECTORY, "home/config/lib", kHome, ".local/lib"},
	{B_USER_SETTINGS_DIRECTORY, "home/config/settings", kConfig, ""},
	{B_USER_DESKBAR_DIRECTORY, "home/config/be", kData, "applications"},
	{B_USER_PRINTERS_DIRECTORY, "home/config/settings/printers", kConfig, "printers"},
	{B_USER_TRANSLATORS_DIRECTORY, "home/config/add-ons/Translators", kHome, ".local/lib/add-ons/Translators"},
	{B_USER_MEDIA_NODES_DIRECTORY, "home/config/add-ons/media", kHome, ".local/lib/add-ons/media"},
	{B_USER_SOUNDS_DIRECTORY, "home/config/sounds", kData, "sounds"},
	{B_APPS_DIRECTORY, "apps", kHome, "Applications"},
	{B_PREFERENCES_DIRECTORY, "preferences", kAbsolute, "/usr/bin"},
	{B_UTILITIES_DIRECTORY, "utilities", kAbsolute, "/usr/bin"},
};
// clang-format on

const FolderRow* find_row(directory_which which)
{
	for (const FolderRow& row : kFolders) {
		if (row.which == which)
			return &row;
	}
	return nullptr;
}

std::string without_trailing_slashes(std::string path)
{
	while (path.size() > 1 && path.back() == '/')
		path.pop_back();
	return path;
}

std::string absolute_env(const char* name)
{
	const char* value = getenv(name);
	if (value == nullptr || value[0] != '/')
		return std::string();
	return without_trailing_slashes(value);
}

std::string home_folder()
{
	std::string home = absolute_env("HOME");
	if (!home.empty())
		return home;
	struct passwd* entry = getpwuid(getuid());
	return entry != nullptr && entry->pw_dir != nullptr ? std::string(entry->pw_dir) : "/";
}

std::string config_folder()
{
	std::string config = absolute_env("XDG_CONFIG_HOME");
	return config.empty() ? host_join(home_folder(), ".config") : config;
}

std::string data_folder()
{
	std::string data = absolute_env("XDG_DATA_HOME");
	return data.empty() ? host_join(home_folder(), ".local/share") : data;
}

// A value of user-dirs.dirs: shell double quotes, "$HOME" expanded at the start.
std::string user_dirs_value(const std::string& quoted)
{
	std::string text;
	for (size_t i = 0; i < quoted.size(); i++) {
		if (quoted[i] == '"')
			continue;
		if (quoted[i] == '\\' && i + 1 < quoted.size())
			i++;
		text += quoted[i];
	}
	if (text.compare(0, 5, "$HOME") == 0)
		return without_trailing_slashes(home_folder() + text.substr(5));
	if (!text.empty() && text[0] == '/')
		return without_trailing_slashes(text);
	return std::string();
}

std::string desktop_folder()
{
	std::ifstream in(host_join(config_folder(), "user-dirs.dirs"));
	std::string line;
	const std::string key = "XDG_DESKTOP_DIR=";
	while (std::getline(in, line)) {
		size_t start = line.find_first_not_of(" \t");
		if (start == std::string::npos || line.compare(start, key.size(), key) != 0)
			continue;
		std::string value = user_dirs_value(line.substr(start + key.size()));
		if (!value.empty())
			return value;
	}
	return host_join(home_folder(), "Desktop");
}

bool sSystemLayout = false;

} // namespace

// Where an install for every user puts what a user's install keeps in the home.
const char* linux_system_folder(directory_which which)
{
	switch (which) {
		case B_USER_DESKBAR_DIRECTORY: return "/usr/local/share/applications";
		case B_USER_BOOT_DIRECTORY: return "/etc/xdg/autostart";
		case B_APPS_DIRECTORY: return "/opt";
		default: return nullptr;
	}
}

namespace {

std::string linux_path(const FolderRow& row)
{
	if (linux_system_layout() && linux_system_folder(row.which) != nullptr)
		return linux_system_folder(row.which);
	switch (row.base) {
		case kHome: return host_join(home_folder(), row.linux);
		case kConfig: return host_join(config_folder(), row.linux);
		case kData: return host_join(data_folder(), row.linux);
		case kDesktop: return desktop_folder();
		case kTemp: {
			std::string temp = absolute_env("TMPDIR");
			return temp.empty() ? std::string("/tmp") : temp;
		}
		case kAbsolute: break;
	}
	return row.linux;
}

bool dos_file_system(const char* fsType)
{
	static const std::set<std::string> kDos = {"vfat", "msdos", "fat", "exfat", "dos"};
	return fsType != nullptr && kDos.count(fsType) != 0;
}

std::string volume_path(const FolderRow& row, const BVolume& volume)
{
	if (row.which == B_TRASH_DIRECTORY && dos_file_system(volume.HostFileSystem()))
		return host_join(volume.HostRootPath(), "RECYCLED/_BEOS_");
	return host_join(volume.HostRootPath(), row.beos);
}

std::string boot_path(const FolderRow& row)
{
	const char* root = getenv("VANTRY_ROOT");
	if (root != nullptr && root[0] != '\0')
		return host_join(without_trailing_slashes(root), row.beos);
	return linux_path(row);
}

status_t resolve(directory_which which, bool create, const BVolume* volume, std::string* out)
{
	const FolderRow* row = find_row(which);
	if (row == nullptr)
		return B_BAD_VALUE;
	if (volume != nullptr && volume->InitCheck() != B_OK)
		return B_BAD_VALUE;
	bool boot = volume == nullptr || volume->IsBootVolume();
	std::string path = boot ? boot_path(*row) : volume_path(*row, *volume);
	if (create) {
		status_t status = create_directory(path.c_str(), 0755);
		if (status != B_OK)
			return status;
	}
	*out = path;
	return B_OK;
}

} // namespace

status_t find_directory(directory_which which, BPath* path, bool create, BVolume* volume)
{
	if (path == nullptr)
		return B_BAD_VALUE;
	std::string result;
	status_t status = resolve(which, create, volume, &result);
	if (status != B_OK)
		return status;
	return path->SetTo(result.c_str());
}

status_t find_directory(directory_which which, dev_t_b volume, bool create, char* returnedPath,
                        int32 pathLength)
{
	if (returnedPath == nullptr || pathLength <= 0)
		return B_BAD_VALUE;
	BVolume target;
	if (volume >= 0 && target.SetTo(volume) != B_OK)
		return B_BAD_VALUE;
	std::string result;
	status_t status = resolve(which, create, volume >= 0 ? &target : nullptr, &result);
	if (status != B_OK)
		return status;
	if ((int32)result.size() >= pathLength)
		return B_BUFFER_OVERFLOW;
	memcpy(returnedPath, result.c_str(), result.size() + 1);
	return B_OK;
}

void set_linux_system_layout(const bool& system)
{
	sSystemLayout = system;
}

bool linux_system_layout()
{
	const char* root = getenv("VANTRY_ROOT");
	return sSystemLayout && (root == nullptr || root[0] == '\0');
}
