// The removal's two passes and the move of one entry with its collision.
#include "DeinstallRemoval.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <set>
#include <unordered_set>

#include <filesystem>

#include "DesktopEntry.h"
#include "Errors.h"
#include "LibBytes.h"
#include "LibPathParts.h"
#include "LibTrashBin.h"

namespace {

// The login name of `user`, or its number when it has none.
std::string UserName(const uid_t& user)
{
	struct passwd entry;
	struct passwd* found = nullptr;
	char buffer[4096];
	if (getpwuid_r(user, &entry, buffer, sizeof(buffer), &found) == 0 && found != nullptr)
		return found->pw_name;
	return std::to_string(user);
}

// The bytes of the entry at `path`, everything below it included.
int64 EntryBytes(const std::string& path)
{
	struct stat st;
	if (lstat(path.c_str(), &st) != 0)
		return 0;
	if (!S_ISDIR(st.st_mode))
		return st.st_size;
	int64 bytes = 0;
	std::error_code error;
	for (auto it = std::filesystem::recursive_directory_iterator(path, error);
	     !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
		if (lstat(it->path().c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
			bytes += st.st_size;
	}
	return bytes;
}

} // namespace

DeinstallRemoval::DeinstallRemoval(const std::string& destination)
    : fDestination(destination), fUser(geteuid()), fAnyOwner(false), fAsk(true), fReplace(false),
      fStopped(false)
{
}

void DeinstallRemoval::SetOwner(const uid_t& user, const bool& anyOwner)
{
	fUser = user;
	fAnyOwner = anyOwner;
}

std::string DeinstallRemoval::OtherOwner(const std::string& path, const uid_t& user)
{
	struct stat st;
	if (lstat(path.c_str(), &st) != 0 || st.st_uid == user)
		return std::string();
	return UserName(st.st_uid);
}

status_t DeinstallRemoval::Remove(const std::vector<std::string>& found)
{
	fAsk = true;
	fReplace = false;
	// A folder that holds only the product's entries goes whole, as one
	// entry of the trash that puts back the whole tree.
	const std::vector<std::string> paths = WholeEntries(found);
	int32 left = 0;
	for (const std::string& path : paths)
		left += LibEntryExists(path) ? 1 : 0;
	if (MoveFiles(paths, left))
		MoveEmptyFolders(paths, left);
	RefreshMenus(found);
	if (fStopped)
		return B_CANCELED;
	return fFailed.empty() ? B_OK : B_ERROR;
}

void DeinstallRemoval::RefreshMenus(const std::vector<std::string>& found)
{
	// A menu's cache would still name the program as the handler of its types.
	std::set<std::string> folders;
	for (const std::string& path : found) {
		const size_t length = path.size();
		if (length > 8 && path.compare(length - 8, 8, ".desktop") == 0 && !LibEntryExists(path))
			folders.insert(path.substr(0, path.rfind('/')));
	}
	for (const std::string& folder : folders) {
		if (LibEntryExists(folder))
			RunCacheTool("update-desktop-database", {"--quiet", folder});
	}
}

std::vector<std::string> DeinstallRemoval::WholeEntries(const std::vector<std::string>& found)
{
	const std::unordered_set<std::string> chosen(found.begin(), found.end());
	fWhole.clear();
	std::vector<std::string> entries;
	std::string whole;
	// Each folder comes before its contents: what lies below a whole folder goes with it.
	for (const std::string& path : found) {
		if (!whole.empty() && path.compare(0, whole.size() + 1, whole + "/") == 0)
			continue;
		entries.push_back(path);
		if (LibIsFolderEntry(path) && HoldsOnly(path, chosen)) {
			whole = path;
			fWhole.insert(path);
		}
	}
	return entries;
}

bool DeinstallRemoval::HoldsOnly(const std::string& folder,
                                 const std::unordered_set<std::string>& chosen) const
{
	DIR* dir = opendir(folder.c_str());
	if (dir == nullptr)
		return false;
	bool only = true;
	for (struct dirent* entry; only && (entry = readdir(dir)) != nullptr;) {
		if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0)
			continue;
		const std::string path = folder + "/" + entry->d_name;
		only = chosen.count(path) > 0 && (fAnyOwner || OtherOwner(path, fUser).empty()) &&
		       (!LibIsFolderEntry(path) || HoldsOnly(path, chosen));
	}
	closedir(dir);
	return only;
}

bool DeinstallRemoval::MoveFiles(const std::vector<std::string>& paths, int32& left)
{
	for (auto it = paths.rbegin(); it != paths.rend(); ++it) {
		if (LibIsFolderEntry(*it) && fWhole.count(*it) == 0)
			continue;
		if (Stopped())
			return false;
		MoveOne(*it);
		if (fProgress)
			fProgress(LibLeafOf(*it), left);
		left--;
	}
	return true;
}

bool DeinstallRemoval::MoveEmptyFolders(const std::vector<std::string>& paths, int32& left)
{
	for (auto it = paths.rbegin(); it != paths.rend(); ++it) {
		if (!LibIsFolderEntry(*it) || fWhole.count(*it) > 0)
			continue;
		if (Stopped())
			return false;
		if (LibFolderIsEmpty(*it))
			MoveOne(*it);
		else
			fKept.push_back(*it);
		if (fProgress)
			fProgress(LibLeafOf(*it), left);
		left--;
	}
	return true;
}

void DeinstallRemoval::MoveOne(const std::string& path)
{
	if (!LibEntryExists(path)) {
		fFailed.emplace_back(path, "it is no longer there");
		return;
	}
	const std::string owner = fAnyOwner ? std::string() : OtherOwner(path, fUser);
	if (!owner.empty()) {
		fLeft.emplace_back(path, "owned by " + owner);
		return;
	}
	LibTrashBin bin(path.c_str());
	if (!fDestination.empty())
		bin.SetToFolder(fDestination.c_str());
	if (bin.InitCheck() != B_OK) {
		const std::string taker =
		        fDestination.empty() ? "no trash can" : "the folder " + fDestination + " cannot";
		fFailed.emplace_back(path, taker + " take it: " + status_text(bin.InitCheck()));
		return;
	}
	const std::string leaf = LibLeafOf(path);
	const std::string namesake = std::string(bin.FilesFolder()) + "/" + leaf;
	// A trash with records puts each entry back by its record: a namesake is
	// no question there, the entry takes a free name.
	const bool records = bin.InfoFolder()[0] != '\0';
	if (!records && LibEntryExists(namesake) && fAsk && fQuestion &&
	    !fQuestion(path, namesake, fAsk, fReplace)) {
		fStopped = true;
		return;
	}
	if (!records && LibEntryExists(namesake) && fReplace && bin.Remove(leaf) != B_OK) {
		fFailed.emplace_back(path, "the entry of its name in " + std::string(bin.FilesFolder()) +
		                                   " could not be replaced");
		return;
	}
	// "Don't Replace": the entry takes the next free name of its series.
	std::string name = bin.FreeName(leaf);
	status_t status = bin.Put(path.c_str(), name);
	// Another program may take the name between the look and the move.
	for (int32 attempt = 0; status == B_FILE_EXISTS && attempt < 8; attempt++) {
		name = bin.FreeName(leaf);
		status = bin.Put(path.c_str(), name);
	}
	const std::string target = std::string(bin.FilesFolder()) + "/" + name;
	if (status == B_OK)
		fMovedBytes += EntryBytes(target);
	if (status != B_OK) {
		// The reason may lie with the target as well as the entry: both are named.
		fFailed.emplace_back(path, "not moved to " + target + ": " + status_text(status));
		return;
	}
	fMoved.emplace_back(path, target);
}

std::string DeinstallRemoval::Summary() const
{
	LibString size;
	LibBytesToString(fMovedBytes, size, 1);
	std::string text = std::to_string(fMoved.size()) +
	                   (fMoved.size() == 1 ? " entry" : " entries") + " moved (" + size.String() +
	                   "), " + std::to_string(fKept.size()) +
	                   (fKept.size() == 1 ? " folder" : " folders") + " kept";
	if (!fLeft.empty())
		text += ", " + std::to_string(fLeft.size()) + " left to their owners";
	return text + ", " + std::to_string(fFailed.size()) + " not moved";
}

bool DeinstallRemoval::Stopped()
{
	if (!fStopped && fStop && fStop())
		fStopped = true;
	return fStopped;
}
