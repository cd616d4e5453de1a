// The removal's two passes and the move of one entry with its collision.
#include "DeinstallRemoval.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "Errors.h"
#include "LibPathParts.h"
#include "LibTrashBin.h"

namespace {

bool IsFolder(const std::string& path)
{
	struct stat st;
	return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path)
{
	struct stat st;
	return lstat(path.c_str(), &st) == 0;
}

// Whether the folder could be opened and holds nothing.
bool EmptyFolder(const std::string& path)
{
	DIR* dir = opendir(path.c_str());
	if (dir == nullptr)
		return false;
	bool empty = true;
	for (struct dirent* entry; empty && (entry = readdir(dir)) != nullptr;)
		empty = strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0;
	closedir(dir);
	return empty;
}

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

status_t DeinstallRemoval::Remove(const std::vector<std::string>& paths)
{
	fAsk = true;
	fReplace = false;
	int32 left = 0;
	for (const std::string& path : paths)
		left += Exists(path) ? 1 : 0;
	if (MoveFiles(paths, left))
		MoveEmptyFolders(paths, left);
	if (fStopped)
		return B_CANCELED;
	return fFailed.empty() ? B_OK : B_ERROR;
}

bool DeinstallRemoval::MoveFiles(const std::vector<std::string>& paths, int32& left)
{
	for (auto it = paths.rbegin(); it != paths.rend(); ++it) {
		if (IsFolder(*it))
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
		if (!IsFolder(*it))
			continue;
		if (Stopped())
			return false;
		if (EmptyFolder(*it))
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
	if (!Exists(path)) {
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
	if (Exists(namesake) && fAsk && fQuestion && !fQuestion(path, namesake, fAsk, fReplace)) {
		fStopped = true;
		return;
	}
	if (Exists(namesake) && fReplace && bin.Remove(leaf) != B_OK) {
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
	if (status != B_OK) {
		// The reason may lie with the target as well as the entry: both are named.
		fFailed.emplace_back(path, "not moved to " + target + ": " + status_text(status));
		return;
	}
	fMoved.emplace_back(path, target);
}

bool DeinstallRemoval::Stopped()
{
	if (!fStopped && fStop && fStop())
		fStopped = true;
	return fStopped;
}
