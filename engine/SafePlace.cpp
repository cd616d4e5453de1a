// Whole entries renamed into place; copies across volumes made beside the
// final place first, so the last step is always one rename.
#include "SafePlace.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "LibFile.h"
#include "LibPathParts.h"

namespace {

// A new hidden folder in `folder`, on the same volume as what goes there.
std::string MakeHiddenFolder(const std::string& folder, const char* prefix)
{
	std::string pattern = folder + "/" + prefix + "XXXXXX";
	if (mkdtemp(pattern.data()) == nullptr)
		return std::string();
	return pattern;
}

// Moves `source` to `final`, where nothing is expected to be.
bool MoveIntoPlace(const std::string& source, const std::string& final)
{
	if (rename(source.c_str(), final.c_str()) == 0)
		return true;
	if (errno != EXDEV)
		return false;
	const std::string work = MakeHiddenFolder(LibParentOf(final), ".vantry-place-");
	if (work.empty())
		return false;
	const std::string copy = work + "/" + SafeLeaf(final);
	const bool placed =
	        LibCopy(source.c_str(), copy.c_str()) && rename(copy.c_str(), final.c_str()) == 0;
	LibUnlink(work.c_str());
	// The source goes only once the whole copy is in place.
	if (placed)
		LibUnlink(source.c_str());
	return placed;
}

} // namespace

bool SafeEntryExists(const std::string& path)
{
	struct stat info;
	return !path.empty() && lstat(path.c_str(), &info) == 0;
}

bool SafeIsFolder(const std::string& path)
{
	struct stat info;
	return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string SafeLeaf(const std::string& path)
{
	const size_t slash = path.find_last_of('/');
	return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool SafeSameFolder(const std::string& first, const std::string& second)
{
	char firstReal[PATH_MAX];
	char secondReal[PATH_MAX];
	if (realpath(first.c_str(), firstReal) == nullptr ||
	    realpath(second.c_str(), secondReal) == nullptr)
		return false;
	return std::string(firstReal) == secondReal;
}

bool SafePlaceEntry(const std::string& source, const std::string& final, bool& replaced)
{
	replaced = SafeEntryExists(final);
	if (!SafeEntryExists(source))
		return false;
	if (!replaced)
		return MoveIntoPlace(source, final);
	const std::string aside = MakeHiddenFolder(LibParentOf(final), ".vantry-old-");
	if (aside.empty())
		return false;
	const std::string old = aside + "/" + SafeLeaf(final);
	if (rename(final.c_str(), old.c_str()) != 0) {
		rmdir(aside.c_str());
		return false;
	}
	if (!MoveIntoPlace(source, final)) {
		rename(old.c_str(), final.c_str());
		LibUnlink(aside.c_str());
		return false;
	}
	LibUnlink(aside.c_str());
	return true;
}

bool SafeRemoveEntry(const std::string& path)
{
	if (!SafeEntryExists(path))
		return true;
	const std::string hidden = MakeHiddenFolder(LibParentOf(path), ".vantry-gone-");
	if (hidden.empty())
		return false;
	if (rename(path.c_str(), (hidden + "/" + SafeLeaf(path)).c_str()) != 0) {
		rmdir(hidden.c_str());
		return false;
	}
	return LibUnlink(hidden.c_str());
}

bool SafePlaceLink(const std::string& target, const std::string& final, bool& replaced)
{
	replaced = false;
	const std::string work = MakeHiddenFolder(LibParentOf(final), ".vantry-link-");
	if (work.empty())
		return false;
	const std::string link = work + "/" + SafeLeaf(final);
	const bool placed =
	        symlink(target.c_str(), link.c_str()) == 0 && SafePlaceEntry(link, final, replaced);
	LibUnlink(work.c_str());
	return placed;
}
