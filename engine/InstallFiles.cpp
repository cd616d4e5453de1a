// In-process file-system steps of an installation; no command line involved.
#include "InstallFiles.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "LibFile.h"
#include "LibPathParts.h"
#include "SafePlace.h"

namespace fs = std::filesystem;

// Not LibMove: across volumes it removes the source where it lies, entry by
// entry, so a stop meanwhile would leave part of it there.
bool InstallMove(const char* source, const char* destination)
{
	if (source == nullptr || destination == nullptr || !SafeEntryExists(source))
		return false;
	fs::path target(destination);
	std::error_code error;
	if (fs::is_directory(target, error))
		target /= fs::path(source).filename();
	if (rename(source, target.c_str()) == 0)
		return true;
	// LibCopy would put the copy inside a folder already at the target.
	if (errno != EXDEV || SafeEntryExists(target) || !LibCopy(source, target.c_str()))
		return false;
	// The copy is whole; the source leaves its place in one rename before it
	// is removed, so a stop never leaves part of it where it was.
	InstallRemove(source);
	return true;
}

bool InstallMoveAside(const char* source, const char* folder)
{
	if (source == nullptr || folder == nullptr || !SafeEntryExists(source))
		return false;
	std::error_code error;
	if (!fs::is_directory(folder, error))
		return false;
	const std::string base = std::string(folder) + "/" + LibLeafOf(source);
	std::string candidate = base;
	if (SafeEntryExists(candidate))
		candidate = base + " copy";
	for (int number = 1; SafeEntryExists(candidate); number++)
		candidate = base + " copy " + std::to_string(number);
	return InstallMove(source, candidate.c_str());
}

// Not LibUnlink: that removes the entry where it lies.
void InstallRemove(const char* path)
{
	if (path == nullptr || path[0] == '\0')
		return;
	if (SafeRemoveEntry(path))
		return;
	// An entry that cannot be renamed aside (a mount point) goes where it is.
	LibUnlink(path);
}
