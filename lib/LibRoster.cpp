// LibRoster: applications found by signature among the executables of the
// application folders and PATH, and programs started detached.
#include "LibRoster.h"
#include "LibPathParts.h"
#include "LibProcess.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "AppFileInfo.h"
#include "Entry.h"
#include "File.h"
#include "FindDirectory.h"
#include "Mime.h"
#include "Path.h"

namespace {

// Applications lie in a folder of their own inside an application folder.
const int32 kApplicationDepth = 2;
const char* const kDeepMark = "/*";

const directory_which kApplicationFolders[] = {B_APPS_DIRECTORY, B_PREFERENCES_DIRECTORY,
                                               B_UTILITIES_DIRECTORY, B_BEOS_APPS_DIRECTORY,
                                               B_BEOS_PREFERENCES_DIRECTORY};

bool EndsWith(const std::string& text, const char* end)
{
	const size_t length = strlen(end);
	return text.size() >= length && text.compare(text.size() - length, length, end) == 0;
}

// Adds a folder once: several standard folders can be one host folder.
void AddFolder(std::vector<std::string>& folders, const std::string& folder)
{
	for (const std::string& known : folders) {
		if (known == folder || known == folder + kDeepMark)
			return;
	}
	folders.push_back(folder);
}

std::vector<std::string> StandardFolders()
{
	std::vector<std::string> folders;
	for (directory_which which : kApplicationFolders) {
		BPath path;
		if (find_directory(which, &path) == B_OK)
			AddFolder(folders, std::string(path.Path()) + kDeepMark);
	}
	const char* searchPath = getenv("PATH");
	std::string list = searchPath != nullptr ? searchPath : "";
	size_t start = 0;
	while (start <= list.size()) {
		size_t end = list.find(':', start);
		if (end == std::string::npos)
			end = list.size();
		if (end > start)
			AddFolder(folders, list.substr(start, end - start));
		start = end + 1;
	}
	return folders;
}

bool IsExecutableFile(const std::string& path)
{
	struct stat info;
	return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & 0111) != 0;
}

} // namespace

LibRoster::LibRoster() : fFolders(StandardFolders()) {}

LibRoster::LibRoster(const std::vector<std::string>& folders) : fFolders(folders) {}

bool LibRoster::ReadSignature(const char* path, std::string& signature)
{
	BFile file(path, B_READ_ONLY);
	if (file.InitCheck() != B_OK)
		return false;
	BAppFileInfo info(&file);
	char text[B_MIME_TYPE_LENGTH] = "";
	if (info.InitCheck() != B_OK || info.GetSignature(text) != B_OK || text[0] == '\0')
		return false;
	signature = text;
	return true;
}

status_t LibRoster::FindApp(const char* mimeSig, entry_ref* app) const
{
	if (mimeSig == nullptr || mimeSig[0] == '\0' || app == nullptr)
		return B_BAD_VALUE;
	for (const std::string& folder : fFolders) {
		const bool deep = EndsWith(folder, kDeepMark);
		const std::string path = deep ? folder.substr(0, folder.size() - 2) : folder;
		if (SearchFolder(path, mimeSig, deep ? kApplicationDepth : 0, app))
			return B_OK;
	}
	return B_LAUNCH_FAILED_APP_NOT_FOUND;
}

bool LibRoster::SearchFolder(const std::string& folder, const char* mimeSig, const int32& depth,
                             entry_ref* app) const
{
	DIR* listing = opendir(folder.c_str());
	if (listing == nullptr)
		return false;
	std::vector<std::string> subfolders;
	bool found = false;
	while (const dirent* entry = readdir(listing)) {
		if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0)
			continue;
		const std::string path = folder + "/" + entry->d_name;
		if (depth > 0 && LibIsFolderEntry(path)) {
			subfolders.push_back(path);
			continue;
		}
		std::string signature;
		if (!IsExecutableFile(path) || !ReadSignature(path.c_str(), signature) ||
		    strcasecmp(signature.c_str(), mimeSig) != 0)
			continue;
		found = BEntry(path.c_str()).GetRef(app) == B_OK;
		if (found)
			break;
	}
	closedir(listing);
	for (size_t i = 0; !found && i < subfolders.size(); i++)
		found = SearchFolder(subfolders[i], mimeSig, depth - 1, app);
	return found;
}

status_t LibRoster::Launch(const entry_ref* ref, const BMessage* initialMessage,
                           team_id* appTeam) const
{
	return Launch(ref, 0, nullptr, appTeam);
}

status_t LibRoster::Launch(const entry_ref* ref, int argc, const char* const* args,
                           team_id* appTeam) const
{
	if (ref == nullptr || argc < 0 || (argc > 0 && args == nullptr))
		return B_BAD_VALUE;
	BPath path(ref);
	if (path.InitCheck() != B_OK)
		return B_LAUNCH_FAILED_APP_NOT_FOUND;
	if (!IsExecutableFile(path.Path()))
		return B_LAUNCH_FAILED_EXECUTABLE;
	BPath folder;
	path.GetParent(&folder);

	std::vector<std::string> arguments = {path.Path()};
	for (int i = 0; i < argc; i++)
		arguments.push_back(args[i]);
	LibProcess program(arguments);
	program.SetQuietInput(true);
	if (folder.InitCheck() == B_OK)
		program.SetWorkingFolder(folder.Path());
	pid_t child = -1;
	const status_t status = program.Detach(&child);
	if (status != B_OK)
		return status;
	if (appTeam != nullptr)
		*appTeam = child;
	return B_OK;
}
