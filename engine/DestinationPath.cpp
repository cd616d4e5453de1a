// InstallConfig: destination names resolved to folders, custom folders on the
// chosen volume and standard folders on the boot volume.
#include "InstallConfig.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "ConfigText.h"
#include "LibFile.h"
#include "LibPathParts.h"
#include "LibStdDir.h"
#include "Path.h"
#include "ProtectedFolders.h"
#include "Volume.h"

void InstallConfig::GetNewPath(const char* destination_name, BMessage& custom_folders,
                               BVolume& volume, const char* saved_files_path, LibString& path)
{
	path = "";
	if (destination_name == nullptr)
		return;
	if (ResolveCustomFolder(destination_name, custom_folders, volume, saved_files_path, path))
		return;
	ResolveStandardFolder(destination_name, path);
	if (path.Length() > 0)
		return;
	// No folder goes by that name: placing the item anywhere would be a guess.
	Log("\t\t\tNo folder is named %s: the item stays in the installation folder\n",
	    destination_name);
}

bool InstallConfig::CustomFolderPath(const char* destination_name, BMessage& custom_folders,
                                     BVolume& volume, std::string& path, int32& index)
{
	BMessage folder;
	for (index = 0; custom_folders.FindMessage("custom_folder", index, &folder) == B_OK; index++) {
		if (strcmp(ConfigText(folder, "custom_folder_name"), destination_name) == 0)
			break;
	}
	if (custom_folders.FindMessage("custom_folder", index, &folder) != B_OK)
		return false;
	BPath root;
	const directory_which which = directory_which(folder.FindInt32("custom_root_dir"));
	BVolume* on = volume.InitCheck() == B_OK ? &volume : nullptr;
	if (find_directory(which, &root, false, on) != B_OK)
		return false;
	path = root.Path();
	const char* sub = ConfigText(folder, "custom_sub_dir");
	if (sub[0] != '\0')
		path += std::string("/") + sub;
	return true;
}

std::string InstallConfig::PlannedFolder(const char* destination_name, BMessage& custom_folders,
                                         BVolume& volume, bool& replaced)
{
	replaced = false;
	std::string path;
	int32 index = 0;
	if (destination_name == nullptr)
		return path;
	if (CustomFolderPath(destination_name, custom_folders, volume, path, index)) {
		BMessage folder;
		custom_folders.FindMessage("custom_folder", index, &folder);
		BVolume* on = volume.InitCheck() == B_OK ? &volume : nullptr;
		replaced = folder.FindBool("custom_replace_existing") &&
		           ProtectedFolderReason(path, InstallFolderPath(), on).empty();
		return path;
	}
	LibString standard;
	ResolveStandardFolder(destination_name, standard);
	return standard.String();
}

bool InstallConfig::ResolveCustomFolder(const char* destination_name, BMessage& custom_folders,
                                        BVolume& volume, const char* saved_files_path,
                                        LibString& path)
{
	std::string folderPath;
	int32 index = 0;
	if (!CustomFolderPath(destination_name, custom_folders, volume, folderPath, index))
		return false;
	BMessage folder;
	custom_folders.FindMessage("custom_folder", index, &folder);
	BVolume* on = volume.InitCheck() == B_OK ? &volume : nullptr;

	const bool replace = folder.FindBool("custom_replace_existing");
	if (replace && LibEntryExists(folderPath)) {
		// Whatever the record says, these folders stay where they are.
		const std::string kept = ProtectedFolderReason(folderPath, InstallFolderPath(), on);
		if (!kept.empty())
			Log("\t\t\tNot replaced: %s %s\n", folderPath.c_str(), kept.c_str());
		else if (FindBool("opt_save_replaced") ? !journal.MoveAside(folderPath, saved_files_path)
		                                       : !journal.Trash(folderPath))
			LogFailure(folderPath, std::string("could not be set aside: ") + strerror(errno));
	}
	journal.WillMakeFolders(folderPath);
	Libmkdir(folderPath.c_str());
	if (replace) {
		// A custom folder is emptied at most once per run.
		folder.ReplaceBool("custom_replace_existing", false);
		custom_folders.ReplaceMessage("custom_folder", index, &folder);
	}
	path = folderPath.c_str();
	return true;
}

void InstallConfig::ResolveStandardFolder(const char* destination_name, LibString& path)
{
	directory_which which;
	if (!LibGetStdDirName(destination_name, which))
		return;
	BPath folder;
	if (find_directory(which, &folder) != B_OK)
		return;
	path = folder.Path();
}

std::string InstallConfig::InstallFolderPath()
{
	BPath folder(&destination);
	const char* created = ConfigText(*this, "opt_created_folder");
	if (folder.InitCheck() != B_OK || created[0] == '\0')
		return std::string();
	return std::string(folder.Path()) + "/" + created;
}

bool InstallConfig::DoesDestinationExist()
{
	const std::string path = InstallFolderPath();
	return !path.empty() && LibExists(path.c_str());
}
