// The standard folder table, searched from the top with exact names.
#include "LibStdDir.h"

#include <cstring>

namespace {

// clang-format off
const LibStdDirRow kStdDirs[] = {
	{"Desktop", B_DESKTOP_DIRECTORY},
	{"Trash", B_TRASH_DIRECTORY},
	{"BeOS", B_BEOS_DIRECTORY},
	{"BeOS System", B_BEOS_SYSTEM_DIRECTORY},
	{"BeOS Add-Ons", B_BEOS_ADDONS_DIRECTORY},
	{"BeOS Boot", B_BEOS_BOOT_DIRECTORY},
	{"BeOS Fonts", B_BEOS_FONTS_DIRECTORY},
	{"BeOS Libraries", B_BEOS_LIB_DIRECTORY},
	{"BeOS Servers", B_BEOS_SERVERS_DIRECTORY},
	{"BeOS Applications", B_BEOS_APPS_DIRECTORY},
	{"BeOS Bin", B_BEOS_BIN_DIRECTORY},
	{"BeOS Etc", B_BEOS_ETC_DIRECTORY},
	{"BeOS Documentation", B_BEOS_DOCUMENTATION_DIRECTORY},
	{"BeOS Preferences", B_BEOS_PREFERENCES_DIRECTORY},
	{"BeOS Translators", B_BEOS_TRANSLATORS_DIRECTORY},
	{"BeOS Media Nodes", B_BEOS_MEDIA_NODES_DIRECTORY},
	{"BeOS Sounds", B_BEOS_SOUNDS_DIRECTORY},
	{"Common", B_COMMON_DIRECTORY},
	{"Common System", B_COMMON_SYSTEM_DIRECTORY},
	{"Common Add-Ons", B_COMMON_ADDONS_DIRECTORY},
	{"Common Boot", B_COMMON_BOOT_DIRECTORY},
	{"Common Fonts", B_COMMON_FONTS_DIRECTORY},
	{"Common Libraries", B_COMMON_LIB_DIRECTORY},
	{"Common Servers", B_COMMON_SERVERS_DIRECTORY},
	{"Common Bin", B_COMMON_BIN_DIRECTORY},
	{"Common Etc", B_COMMON_ETC_DIRECTORY},
	{"Common Documentation", B_COMMON_DOCUMENTATION_DIRECTORY},
	{"Common Settings", B_COMMON_SETTINGS_DIRECTORY},
	{"Common Develop", B_COMMON_DEVELOP_DIRECTORY},
	{"Common Log", B_COMMON_LOG_DIRECTORY},
	{"Common Spool", B_COMMON_SPOOL_DIRECTORY},
	{"Common Temporary", B_COMMON_TEMP_DIRECTORY},
	{"Common Var", B_COMMON_VAR_DIRECTORY},
	{"Common Translators", B_COMMON_TRANSLATORS_DIRECTORY},
	{"Common Media Nodes", B_COMMON_MEDIA_NODES_DIRECTORY},
	{"Common Sounds", B_COMMON_SOUNDS_DIRECTORY},
	{"User", B_USER_DIRECTORY},
	{"User Configuration", B_USER_CONFIG_DIRECTORY},
	{"User Add-Ons", B_USER_ADDONS_DIRECTORY},
	{"User Boot", B_USER_BOOT_DIRECTORY},
	{"User Fonts", B_USER_FONTS_DIRECTORY},
	{"User Libraries", B_USER_LIB_DIRECTORY},
	{"User Settings", B_USER_SETTINGS_DIRECTORY},
	{"User Deskbar", B_USER_DESKBAR_DIRECTORY},
	{"User Printers", B_USER_PRINTERS_DIRECTORY},
	{"User Translators", B_USER_TRANSLATORS_DIRECTORY},
	{"User Media Nodes", B_USER_MEDIA_NODES_DIRECTORY},
	{"User Sounds", B_USER_SOUNDS_DIRECTORY},
	{"Applications", B_APPS_DIRECTORY},
	{"Preferences", B_PREFERENCES_DIRECTORY},
	{"Utilities", B_UTILITIES_DIRECTORY},
	{nullptr, B_DESKTOP_DIRECTORY},
};
// clang-format on

} // namespace

const LibStdDirRow* LibStdDirTable()
{
	return kStdDirs;
}

bool LibGetStdDirName(const char* name, directory_which& which)
{
	if (name == nullptr)
		return false;
	for (const LibStdDirRow* row = kStdDirs; row->name != nullptr; row++) {
		if (strcmp(row->name, name) == 0) {
			which = row->which;
			return true;
		}
	}
	return false;
}

bool LibGetStdDirName(const directory_which& which, LibString& name)
{
	for (const LibStdDirRow* row = kStdDirs; row->name != nullptr; row++) {
		if (row->which == which) {
			name = row->name;
			return true;
		}
	}
	return false;
}

bool LibStdDirNameExists(const char* name)
{
	directory_which which;
	return LibGetStdDirName(name, which);
}
