// find_directory: the platform's standard folders, through one table with two
// layouts (see FindDirectory.cpp for the table).
//
// BeOS layout, when VANTRY_ROOT names a root: the R5 tree below that root
// ("/boot/home/config/boot" is "$VANTRY_ROOT/home/config/boot").
// Linux layout otherwise: system folders under /usr, common ones under
// /usr/local, /etc and /var, the user's under $HOME and the XDG folders.
// On a volume other than the boot volume a folder is the BeOS-layout path
// below that volume's root; the trash of a FAT volume is RECYCLED/_BEOS_.
#pragma once

#include "StorageDefs.h"

class BPath;
class BVolume;

typedef enum {
	B_DESKTOP_DIRECTORY = 0,
	B_TRASH_DIRECTORY,

	B_BEOS_DIRECTORY = 1000,
	B_BEOS_SYSTEM_DIRECTORY,
	B_BEOS_ADDONS_DIRECTORY,
	B_BEOS_BOOT_DIRECTORY,
	B_BEOS_FONTS_DIRECTORY,
	B_BEOS_LIB_DIRECTORY,
	B_BEOS_SERVERS_DIRECTORY,
	B_BEOS_APPS_DIRECTORY,
	B_BEOS_BIN_DIRECTORY,
	B_BEOS_ETC_DIRECTORY,
	B_BEOS_DOCUMENTATION_DIRECTORY,
	B_BEOS_PREFERENCES_DIRECTORY,
	B_BEOS_TRANSLATORS_DIRECTORY,
	B_BEOS_MEDIA_NODES_DIRECTORY,
	B_BEOS_SOUNDS_DIRECTORY,

	B_COMMON_DIRECTORY = 2000,
	B_COMMON_SYSTEM_DIRECTORY,
	B_COMMON_ADDONS_DIRECTORY,
	B_COMMON_BOOT_DIRECTORY,
	B_COMMON_FONTS_DIRECTORY,
	B_COMMON_LIB_DIRECTORY,
	B_COMMON_SERVERS_DIRECTORY,
	B_COMMON_BIN_DIRECTORY,
	B_COMMON_ETC_DIRECTORY,
	B_COMMON_DOCUMENTATION_DIRECTORY,
	B_COMMON_SETTINGS_DIRECTORY,
	B_COMMON_DEVELOP_DIRECTORY,
	B_COMMON_LOG_DIRECTORY,
	B_COMMON_SPOOL_DIRECTORY,
	B_COMMON_TEMP_DIRECTORY,
	B_COMMON_VAR_DIRECTORY,
	B_COMMON_TRANSLATORS_DIRECTORY,
	B_COMMON_MEDIA_NODES_DIRECTORY,
	B_COMMON_SOUNDS_DIRECTORY,

	B_USER_DIRECTORY = 3000,
	B_USER_CONFIG_DIRECTORY,
	B_USER_ADDONS_DIRECTORY,
	B_USER_BOOT_DIRECTORY,
	B_USER_FONTS_DIRECTORY,
	B_USER_LIB_DIRECTORY,
	B_USER_SETTINGS_DIRECTORY,
	B_USER_DESKBAR_DIRECTORY,
	B_USER_PRINTERS_DIRECTORY,
	B_USER_TRANSLATORS_DIRECTORY,
	B_USER_MEDIA_NODES_DIRECTORY,
	B_USER_SOUNDS_DIRECTORY,

	B_APPS_DIRECTORY = 4000,
	B_PREFERENCES_DIRECTORY,
	B_UTILITIES_DIRECTORY,
} directory_which;

// The folder on `volume` (null or negative device: the boot volume); with
// `create`, it and every missing folder above it are made.
status_t find_directory(directory_which which, BPath* path, bool create = false,
                        BVolume* volume = nullptr);
status_t find_directory(directory_which which, dev_t_b volume, bool create, char* returnedPath,
                        int32 pathLength);

// The system layout of Linux, for an install for every user: the menu folder
// ("User Deskbar") is /usr/local/share/applications, the boot folder ("User
// Boot") /etc/xdg/autostart and "Applications" /opt. Off until a program run
// as root turns it on; never with VANTRY_ROOT.
void set_linux_system_layout(const bool& system);
bool linux_system_layout();
// The folder `which` is in the system layout, whichever layout is in use;
// null for a folder the system layout keeps where the user's has it.
const char* linux_system_folder(directory_which which);
