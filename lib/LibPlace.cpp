// Whole entries renamed into place: the last step of every change is one
// rename, and an entry replaced leaves by a rename too, so a stop at any
// moment never leaves half an entry at a final place.
#include "LibFile.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "LibPathParts.h"
#include "LinkAttributes.h"

namespace {

// A new hidden folder in `folder`, on the same volume as what goes there.
std::string MakeHiddenFolder(const std::string& folder, const char* prefix)
{
	std::string pattern = folder + "/" + prefix + "XXXXXX";
	if (mkdtemp(pattern.data()) == nullptr)
		return std::string();
	return pattern;
}

// Removes the entry and everything below it where it lies; links are not
// followed. True when nothing is left.
bool RemoveWhereItLies(const std::string& path)
{
	struct stat st;
	const bool isLink = lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
	std::error_code error;
	std::filesystem::remove_all(path, error);
	if (error || lstat(path.c_str(), &st) == 0) {
		errno = error ? error.value() : EBUSY;
		return false;
	}
	// A link's attributes are kept on its folder: they go with it.
	if (isLink)
		host_link_attrs_drop(path);
	return true;
}

// Removes a hidden work folder and what is left in it.
void DropHiddenFolder(const std::string& folder)
{
	RemoveWhereItLies(folder);
}

// Moves `source` to `final`, where nothing is expected to be.
bool MoveIntoPlace(const std::string& source, const std::string& final)
{
	if (host_rename_entry(source, final) == 0)
		return true;
	if (errno != EXDEV)
		return false;
	const std::string work = MakeHiddenFolder(LibParentOf(final), ".vantry-place-");
	if (work.empty())
		return false;
	const std::string copy = work + "/" + LibLastComponent(final);
	// The copy's bytes reach the disk before its name appears.
	const bool placed = LibCopy(source.c_str(), copy.c_str()) && LibSyncVolume(work.c_str()) &&
	                    host_rename_entry(copy, final) == 0;
	const int error = errno;
	DropHiddenFolder(work);
	// The source goes only once the whole copy is in place.
	if (placed)
		LibUnlink(source.c_str());
	errno = error;
	return placed;
}

} // namespace

bool LibMoveReplacing(const std::string& source, const std::string& final, bool& replaced)
{
	replaced = LibEntryExists(final);
	if (!LibEntryExists(source)) {
		errno = ENOENT;
		return false;
	}
	if (!replaced)
		return MoveIntoPlace(source, final);
	const std::string aside = MakeHiddenFolder(LibParentOf(final), ".vantry-old-");
	if (aside.empty())
		return false;
	const std::string old = aside + "/" + LibLastComponent(final);
	if (host_rename_entry(final, old) != 0) {
		const int error = errno;
		rmdir(aside.c_str());
		errno = error;
		return false;
	}
	if (!MoveIntoPlace(source, final)) {
		const int error = errno;
		host_rename_entry(old, final);
		DropHiddenFolder(aside);
		errno = error;
		return false;
	}
	DropHiddenFolder(aside);
	return true;
}

bool LibMoveAside(const char* source, const char* folder)
{
	if (source == nullptr || folder == nullptr || !LibEntryExists(source) || !LibIsFolder(folder))
		return false;
	return LibMove(source, LibFreeSibling(folder, LibLeafOf(source), true).c_str());
}

std::string LibFreeSibling(const std::string& folder, const std::string& leaf,
                           const bool& leafItself,
                           const std::function<bool(const std::string&)>& taken)
{
	for (int32 n = leafItself ? 0 : 1;; n++) {
		const std::string candidate = folder + "/" + LibCopyName(leaf, n, B_FILE_NAME_LENGTH - 1);
		if (!LibEntryExists(candidate) && (!taken || !taken(candidate)))
			return candidate;
	}
}

bool LibSymLinkReplacing(const std::string& target, const std::string& final, bool& replaced)
{
	replaced = false;
	const std::string work = MakeHiddenFolder(LibParentOf(final), ".vantry-link-");
	if (work.empty())
		return false;
	const std::string link = work + "/" + LibLastComponent(final);
	const bool placed =
	        symlink(target.c_str(), link.c_str()) == 0 && LibMoveReplacing(link, final, replaced);
	const int error = errno;
	DropHiddenFolder(work);
	errno = error;
	return placed;
}

bool LibUnlink(const char* path)
{
	if (path == nullptr || path[0] == '\0')
		return false;
	if (!LibEntryExists(path))
		return true;
	const std::string hidden = MakeHiddenFolder(LibParentOf(path), ".vantry-gone-");
	const std::string aside = hidden + "/" + LibLastComponent(path);
	// An entry that cannot be renamed aside (a mount point) goes where it is.
	if (hidden.empty() || host_rename_entry(path, aside) != 0) {
		if (!hidden.empty())
			rmdir(hidden.c_str());
		return RemoveWhereItLies(path);
	}
	if (RemoveWhereItLies(hidden))
		return true;
	// What could not be removed is shown where it was, not hidden.
	const int error = errno;
	if (LibEntryExists(aside))
		host_rename_entry(aside, path);
	rmdir(hidden.c_str());
	errno = error;
	return false;
}
