// In-process file-system steps of an installation; no command line involved.
#include "InstallFiles.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "SafePlace.h"

namespace fs = std::filesystem;

namespace {

struct StdDirName {
	const char* name;
	directory_which which;
};

const StdDirName kStdDirNames[] = {
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
};

// A folder's contents across volumes; links are copied as links.
bool CopyAcross(const fs::path& source, const fs::path& destination)
{
	std::error_code error;
	fs::copy(source, destination,
		fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
	return !error;
}

} // namespace

bool InstallEntryExists(const char* path, const bool& follow)
{
	if (path == nullptr || path[0] == '\0')
		return false;
	struct stat info;
	return (follow ? stat(path, &info) : lstat(path, &info)) == 0;
}

bool InstallMakeFolders(const char* path)
{
	if (path == nullptr || path[0] == '\0' || InstallEntryExists(path))
		return false;
	std::error_code error;
	fs::create_directories(path, error);
	fs::permissions(path, fs::perms(0775), error);
	return true;
}

bool InstallMove(const char* source, const char* destination)
{
	if (source == nullptr || destination == nullptr || !InstallEntryExists(source))
		return false;
	fs::path target(destination);
	std::error_code error;
	if (fs::is_directory(target, error))
		target /= fs::path(source).filename();
	if (rename(source, target.c_str()) == 0)
		return true;
	if (errno != EXDEV || !CopyAcross(source, target))
		return false;
	// The copy is whole; the source leaves its place in one rename before it
	// is removed, so a stop never leaves part of it where it was.
	InstallRemove(source);
	return true;
}

bool InstallMoveAside(const char* source, const char* folder)
{
	if (source == nullptr || folder == nullptr || !InstallEntryExists(source))
		return false;
	std::error_code error;
	if (!fs::is_directory(folder, error))
		return false;
	const std::string base = std::string(folder) + "/" + InstallLeaf(source);
	std::string candidate = base;
	if (InstallEntryExists(candidate.c_str()))
		candidate = base + " copy";
	for (int32 number = 1; InstallEntryExists(candidate.c_str()); number++)
		candidate = base + " copy " + std::to_string(number);
	return InstallMove(source, candidate.c_str());
}

void InstallRemove(const char* path)
{
	if (path == nullptr || path[0] == '\0')
		return;
	if (SafeRemoveEntry(path))
		return;
	// An entry that cannot be renamed aside (a mount point) goes where it is.
	std::error_code error;
	fs::remove_all(path, error);
}

std::string InstallDuplicate(const char* path)
{
	if (!InstallEntryExists(path))
		return std::string();
	const std::string base(path);
	std::string candidate = base + " copy";
	for (int32 number = 1; InstallEntryExists(candidate.c_str()); number++)
		candidate = base + " copy " + std::to_string(number);
	if (rename(path, candidate.c_str()) != 0)
		return std::string();
	return candidate;
}

bool InstallStdDirFromName(const char* name, directory_which& which)
{
	if (name == nullptr)
		return false;
	for (const StdDirName& row : kStdDirNames) {
		if (strcmp(row.name, name) == 0) {
			which = row.which;
			return true;
		}
	}
	return false;
}

std::string InstallLeaf(const char* path)
{
	if (path == nullptr)
		return std::string();
	const char* slash = strrchr(path, '/');
	return slash != nullptr ? slash + 1 : path;
}
