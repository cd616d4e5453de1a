// Which folders an installation must leave where they are.
#include "ProtectedFolders.h"

#include <stdlib.h>

#include <climits>

#include "FindDirectory.h"
#include "LibStdDir.h"
#include "Path.h"
#include "Volume.h"

namespace {

// The path with its links resolved where it exists, else as written.
std::string Resolved(const std::string& path)
{
	char resolved[PATH_MAX];
	if (realpath(path.c_str(), resolved) != nullptr)
		return resolved;
	return path;
}

// `folder` is `path` or lies below it.
bool Holds(const std::string& path, const std::string& folder)
{
	if (path == "/" || folder == path)
		return true;
	return folder.size() > path.size() && folder.compare(0, path.size(), path) == 0 &&
	       folder[path.size()] == '/';
}

struct Standard {
	const char* name;
	std::string path;
};

std::string StandardPath(const directory_which& which, BVolume* volume)
{
	BPath folder;
	if (find_directory(which, &folder, false, volume) != B_OK)
		return std::string();
	return Resolved(folder.Path());
}

} // namespace

std::string StandardFolderClash(const std::string& path, BVolume* volume, bool* inside)
{
	const std::string target = Resolved(path);
	for (const LibStdDirRow* row = LibStdDirTable(); row->name != nullptr; row++) {
		for (BVolume* on : {static_cast<BVolume*>(nullptr), volume}) {
			if (on != nullptr && on->InitCheck() != B_OK)
				continue;
			const std::string standard = StandardPath(row->which, on);
			if (standard.empty())
				continue;
			if (Holds(target, standard))
				return std::string(target == standard ? "is" : "holds") +
				       " the standard folder \"" + row->name + "\" (" + standard + ")";
			if (inside != nullptr && Holds(standard, target))
				*inside = true;
		}
	}
	return std::string();
}

std::string ProtectedFolderReason(const std::string& path, const std::string& install_folder,
                                  BVolume* volume)
{
	if (Holds(Resolved(path), Resolved(install_folder)))
		return "holds the installation folder " + install_folder;
	bool inside = false;
	const std::string clash = StandardFolderClash(path, volume, &inside);
	if (!clash.empty())
		return clash;
	return inside ? std::string() : "lies outside every standard folder";
}
