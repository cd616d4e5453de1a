// The installation folder emptied of the installation's own files.
#include "InstallationFolder.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "LibPathParts.h"

namespace {

const char kLog[] = "Log";
const char kSavedFiles[] = "Saved Files";
const char kDeinstallerSuffix[] = " Deinstaller";

bool EndsWith(const std::string& text, const std::string& end)
{
	return text.size() >= end.size() &&
	       text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Why `name` in `folder` is not one of the installation's own files, or nothing.
std::string Foreign(const std::string& folder, const std::string& name, const std::string& self)
{
	struct stat st;
	const std::string path = folder + "/" + name;
	if (lstat(path.c_str(), &st) != 0)
		return std::string();
	if (name == self || (name == kLog && S_ISREG(st.st_mode)))
		return std::string();
	if (name == kSavedFiles && S_ISDIR(st.st_mode))
		return LibFolderIsEmpty(path) ? std::string() : "\"Saved Files\" holds what was replaced";
	return "it holds \"" + name + "\"";
}

} // namespace

std::vector<FolderCleanup> RemoveCreatedFolders(const std::vector<std::string>& folders)
{
	std::vector<std::string> inner = folders;
	// The longest paths first: a folder's own folders go before it.
	std::sort(inner.begin(), inner.end(),
	          [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
	std::vector<FolderCleanup> done;
	for (const std::string& folder : inner) {
		struct stat st;
		if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
			continue;
		FolderCleanup cleanup;
		if (rmdir(folder.c_str()) == 0) {
			cleanup.removed.push_back(folder);
		} else {
			cleanup.kept = folder;
			cleanup.reason = "it holds \"" + LibFirstEntryOf(folder) + "\"";
		}
		done.push_back(cleanup);
	}
	return done;
}

FolderCleanup RemoveInstallationFolder(const std::string& deinstaller)
{
	FolderCleanup cleanup;
	const std::string self = LibLeafOf(deinstaller);
	const std::string folder = LibParentOf(deinstaller);
	// Only a deinstaller an installation placed speaks for its folder.
	if (!EndsWith(self, kDeinstallerSuffix) || folder.empty() || folder == "/")
		return cleanup;
	DIR* dir = opendir(folder.c_str());
	if (dir == nullptr)
		return cleanup;
	for (struct dirent* entry; cleanup.reason.empty() && (entry = readdir(dir)) != nullptr;) {
		if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
			cleanup.reason = Foreign(folder, entry->d_name, self);
	}
	closedir(dir);
	if (!cleanup.reason.empty()) {
		cleanup.kept = folder;
		return cleanup;
	}
	// The running program goes last: its file may be unlinked while it runs.
	for (const std::string& name : {std::string(kLog), std::string(kSavedFiles), self}) {
		const std::string path = folder + "/" + name;
		if ((name == kSavedFiles ? rmdir(path.c_str()) : unlink(path.c_str())) == 0)
			cleanup.removed.push_back(path);
	}
	if (rmdir(folder.c_str()) == 0)
		cleanup.removed.push_back(folder);
	return cleanup;
}
