// The search thread: a tag scan of the volume's root folder that never leaves
// the volume, reported to the main window as it goes.
#include "DeinstallSearch.h"

#include "DeinstallRecords.h"
#include "Node.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <thread>

#include "FindDirectory.h"
#include "LibPathParts.h"
#include "Message.h"
#include "Messenger.h"
#include "Path.h"
#include "TagScan.h"
#include "VolumeRoster.h"

namespace {

// Trash folders of the freedesktop layout hold their records beside them.
void AddTrashFolder(const BPath& trash, std::vector<std::string>& folders)
{
	if (trash.Path() == nullptr)
		return;
	folders.push_back(trash.Path());
	if (LibLeafOf(trash.Path()) == "files")
		folders.push_back(LibParentOf(trash.Path()));
}

bool Below(const std::string& path, const std::string& folder)
{
	const std::string prefix = folder == "/" ? folder : folder + "/";
	return path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

DeinstallSearch::DeinstallSearch(const BVolume& volume, const char* record)
    : fVolume(volume), fRecord(record != nullptr ? record : ""), fEntries(0), fResult(B_NO_INIT)
{
}

DeinstallSearch::~DeinstallSearch()
{
	StopThread();
}

std::vector<std::string> DeinstallSearch::FoldersNotSearched(const BVolume& volume)
{
	std::vector<std::string> folders;
	BPath trash;
	if (find_directory(B_TRASH_DIRECTORY, &trash, false) == B_OK)
		AddTrashFolder(trash, folders);
	BVolume copy(volume);
	if (!volume.IsBootVolume() && find_directory(B_TRASH_DIRECTORY, &trash, false, &copy) == B_OK)
		AddTrashFolder(trash, folders);
	// A volume that lies inside this one is searched on its own.
	const std::string root = volume.HostRootPath() != nullptr ? volume.HostRootPath() : "";
	BVolumeRoster roster;
	BVolume other;
	while (roster.GetNextVolume(&other) == B_OK) {
		if (other != volume && other.HostRootPath() != nullptr && Below(other.HostRootPath(), root))
			folders.push_back(other.HostRootPath());
	}
	return folders;
}

std::vector<std::string> DeinstallSearch::SystemFolders(const std::string& root)
{
	std::vector<std::string> folders;
	if (!linux_system_layout())
		return folders;
	// What an install for every user placed outside its own folder lies
	// below these, on whatever volume each is.
	char self[PATH_MAX];
	const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
	// A search never leaves the volume it starts on: each of these may be one.
	std::vector<std::string> candidates = {"/opt",
	                                       "/usr/local",
	                                       "/usr/local/bin",
	                                       "/usr/local/share",
	                                       "/usr/local/share/applications",
	                                       "/usr/local/share/icons",
	                                       "/etc/xdg/autostart"};
	if (length > 0)
		candidates.push_back(LibParentOf(std::string(self, size_t(length))));
	std::vector<std::pair<std::string, dev_t>> searched;
	struct stat info;
	if (stat(root.c_str(), &info) == 0)
		searched.emplace_back(root, info.st_dev);
	for (const std::string& folder : candidates) {
		if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
			continue;
		// A folder a search already reaches is not searched twice.
		bool covered = false;
		for (const auto& [other, device] : searched) {
			covered = covered || (device == info.st_dev &&
			                      (folder == other || other == "/" || Below(folder, other)));
		}
		if (covered)
			continue;
		folders.push_back(folder);
		searched.emplace_back(folder, info.st_dev);
	}
	return folders;
}

int32 DeinstallSearch::Action()
{
	if (fVolume.InitCheck() != B_OK || fVolume.HostRootPath() == nullptr)
		return fResult = B_BAD_VALUE;
	fPaths.clear();
	fOthers.clear();
	fUnreadable.clear();
	fEntries = 0;
	status_t status = Search(fVolume.HostRootPath(), FoldersNotSearched(fVolume));
	for (const std::string& folder : SystemFolders(fVolume.HostRootPath())) {
		if (status == B_OK)
			status = Search(folder, {});
	}
	for (const std::string& path : fPaths)
		fFound.Add(path.c_str());
	return fResult = status;
}

status_t DeinstallSearch::Search(const std::string& root, const std::vector<std::string>& skipped)
{
	TagScan scan(root, fRecord.String());
	for (const std::string& folder : skipped)
		scan.SkipFolder(folder);
	scan.SetThreads(std::max(2u, std::thread::hardware_concurrency()));
	// Only the search's own thread hears a stop request; its helpers follow it.
	const thread_id self = find_thread(nullptr);
	std::atomic<bool> stopped(false);
	scan.SetStopCheck([&] {
		if (find_thread(nullptr) == self && thread_should_stop())
			stopped = true;
		return stopped.load();
	});
	if (target != nullptr) {
		scan.SetProgress([this](off_t bytes, const std::string& folder,
		                        size_t found) { SendProgress(float(bytes), folder, found); },
		                 true);
	}
	const status_t status = scan.Run();
	for (const std::string& path : scan.Found())
		(OfThisInstallation(path) ? fPaths : fOthers).push_back(path);
	fUnreadable.insert(fUnreadable.end(), scan.Unreadable().begin(), scan.Unreadable().end());
	fEntries += scan.EntriesSeen();
	return status;
}

void DeinstallSearch::SetInstallation(const std::string& identity, const bool& all)
{
	fIdentity = identity;
	fAllInstallations = all;
}

bool DeinstallSearch::OfThisInstallation(const std::string& path) const
{
	if (fAllInstallations || fIdentity.empty())
		return true;
	BNode node(path.c_str());
	char value[64] = "";
	const ssize_t size = node.InitCheck() == B_OK
	                             ? node.ReadAttr(DeinstallRecords::IdentityName(), B_STRING_TYPE, 0,
	                                             value, sizeof(value) - 1)
	                             : -1;
	// An entry tagged before installations had identities belongs to any.
	return size <= 0 || fIdentity == std::string(value, size_t(size));
}

void DeinstallSearch::SendProgress(const float& size, const std::string& folder,
                                   const size_t& found)
{
	BMessage message(DEINSTALL_PROGRESS);
	message.AddFloat("size", size);
	message.AddString("folder", LibLeafOf(folder).c_str());
	message.AddString("found", std::to_string(found).c_str());
	target->SendMessage(&message);
}
