// Trashing entries (freedesktop trash in the Linux layout, the Desktop's
// Trash folder in the BeOS layout) and renaming them aside to a free name.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "FindDirectory.h"
#include "LibFile.h"
#include "LibPathParts.h"
#include "LibTrashBin.h"
#include "Node.h"
#include "TypeConstants.h"

namespace {

std::atomic<int32> sHiddenCounter{0};

const size_t kLeafLimit = B_FILE_NAME_LENGTH - 1;
// A trashed leaf plus ".trashinfo" must still be a legal leaf.
const size_t kTrashInfoSuffix = 10;

bool Occupied(const std::string& path)
{
	struct stat st;
	return lstat(path.c_str(), &st) == 0;
}

// Candidate n of the free-name series: "leaf", "leaf copy", "leaf copy 1"...
std::string Candidate(const std::string& leaf, int32 n, size_t limit)
{
	std::string suffix;
	if (n == 1)
		suffix = " copy";
	else if (n > 1)
		suffix = " copy " + std::to_string(n - 1);
	return LibShortenedLeaf(leaf, limit - suffix.size()) + suffix;
}

bool LinuxLayout()
{
	const char* root = getenv("VANTRY_ROOT");
	return root == nullptr || root[0] == '\0';
}

// Writes the record at `path`; with `exclusive` it fails when one is there,
// which claims the name against other trashing processes.
bool WriteRecord(const std::string& path, const std::string& text, bool exclusive)
{
	std::string target = exclusive ? path : path + ".new";
	int fd = open(target.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (exclusive ? O_EXCL : O_TRUNC),
	              0600);
	if (fd < 0)
		return false;
	bool ok = write(fd, text.data(), text.size()) == (ssize_t)text.size();
	ok = close(fd) == 0 && ok;
	if (ok && !exclusive)
		ok = rename(target.c_str(), path.c_str()) == 0;
	if (!ok)
		unlink(target.c_str());
	return ok;
}

// Moves `source` to `folder`/`name`: first to a hidden name there (the slow
// part, when volumes differ), then into place, replacing what was there.
bool MoveInto(const std::string& source, const std::string& folder, const std::string& name,
              bool replace)
{
	std::string hidden = folder + "/.vantry-trash-" + std::to_string(getpid()) + "-" +
	                     std::to_string(sHiddenCounter.fetch_add(1));
	if (!LibMove(source.c_str(), hidden.c_str()))
		return false;
	std::string target = folder + "/" + name;
	if (replace && Occupied(target))
		LibUnlink(target.c_str());
	if (!Occupied(target) && rename(hidden.c_str(), target.c_str()) == 0)
		return true;
	LibMove(hidden.c_str(), source.c_str());
	return false;
}

void RecordOriginalPath(const std::string& trashed, const std::string& original)
{
	BNode node(trashed.c_str());
	if (node.InitCheck() == B_OK)
		node.WriteAttr("_trk/original_path", B_STRING_TYPE, 0, original.c_str(),
		               original.size() + 1);
}

} // namespace

bool LibTrash(const BPath& path, const bool& replace)
{
	if (path.InitCheck() != B_OK || path.Path() == nullptr || !Occupied(path.Path()))
		return false;
	BPath trash;
	if (find_directory(B_TRASH_DIRECTORY, &trash, true) != B_OK)
		return false;
	std::string source = path.Path();
	std::string leaf = LibLeafOf(source);
	std::string folder = trash.Path();
	bool linux = LinuxLayout();
	std::string records = LibParentOf(folder) + "/info";
	if (linux)
		mkdir(records.c_str(), 0700);
	size_t limit = linux ? kLeafLimit - kTrashInfoSuffix : kLeafLimit;
	for (int32 n = 0;; n++) {
		std::string name = Candidate(leaf, n, limit);
		if (!replace && Occupied(folder + "/" + name))
			continue;
		std::string record = records + "/" + name + ".trashinfo";
		// A free name is claimed by its record before the entry arrives.
		if (linux && !replace && !WriteRecord(record, LibTrashBin::RecordText(source), true)) {
			if (errno == EEXIST)
				continue;
			return false;
		}
		if (!MoveInto(source, folder, name, replace)) {
			if (linux && !replace)
				unlink(record.c_str());
			return false;
		}
		if (linux && replace)
			WriteRecord(record, LibTrashBin::RecordText(source), false);
		if (!linux)
			RecordOriginalPath(folder + "/" + name, source);
		return true;
	}
}

bool LibDuplicate(const char* path)
{
	if (path == nullptr || !Occupied(path))
		return false;
	return LibMove(path, LibFreeSibling(LibParentOf(path), LibLeafOf(path), false).c_str());
}
