// Destination names resolved to folders.
#include "DestinationResolver.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "ConfigRecord.h"
#include "CustomFolder.h"
#include "InstallJournal.h"
#include "InstallLog.h"
#include "LibFile.h"
#include "LibPathParts.h"
#include "LibStdDir.h"
#include "Path.h"
#include "ProtectedFolders.h"
#include "Volume.h"

DestinationResolver::DestinationResolver(const BMessage& record, const entry_ref& destination,
                                         InstallLog& log, InstallJournal& journal)
    : fRecord(record), fDestination(destination), fLog(log), fJournal(journal)
{
}

void DestinationResolver::NewPath(const char* destination_name, BMessage& custom_folders,
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
	fLog.Line("\t\t\tNo folder is named %s: the item stays in the installation folder\n",
	          destination_name);
}

bool DestinationResolver::CustomFolderPath(const char* destination_name,
                                           const BMessage& custom_folders, BVolume& volume,
                                           CustomFolder& folder, std::string& path,
                                           int32& index) const
{
	BMessage record;
	for (index = 0; custom_folders.FindMessage("custom_folder", index, &record) == B_OK; index++) {
		folder = CustomFolder();
		folder.Read(record);
		if (strcmp(folder.Name().String(), destination_name) != 0)
			continue;
		BPath root;
		BVolume* on = volume.InitCheck() == B_OK ? &volume : nullptr;
		if (find_directory(folder.Parent(), &root, false, on) != B_OK)
			return false;
		path = root.Path();
		if (folder.Sub().Length() > 0)
			path += std::string("/") + folder.Sub().String();
		return true;
	}
	return false;
}

std::string DestinationResolver::PlannedFolder(const char* destination_name,
                                               BMessage& custom_folders, BVolume& volume,
                                               bool& replaced) const
{
	replaced = false;
	std::string path;
	int32 index = 0;
	if (destination_name == nullptr)
		return path;
	CustomFolder folder;
	if (CustomFolderPath(destination_name, custom_folders, volume, folder, path, index)) {
		BVolume* on = volume.InitCheck() == B_OK ? &volume : nullptr;
		replaced =
		        folder.IsReplace() && ProtectedFolderReason(path, InstallFolderPath(), on).empty();
		return path;
	}
	LibString standard;
	ResolveStandardFolder(destination_name, standard);
	return standard.String();
}

bool DestinationResolver::ResolveCustomFolder(const char* destination_name,
                                              BMessage& custom_folders, BVolume& volume,
                                              const char* saved_files_path, LibString& path)
{
	std::string folderPath;
	int32 index = 0;
	CustomFolder folder;
	if (!CustomFolderPath(destination_name, custom_folders, volume, folder, folderPath, index))
		return false;
	BVolume* on = volume.InitCheck() == B_OK ? &volume : nullptr;

	const bool replace = folder.IsReplace();
	if (replace && LibEntryExists(folderPath)) {
		// Whatever the record says, these folders stay where they are.
		const std::string kept = ProtectedFolderReason(folderPath, InstallFolderPath(), on);
		if (!kept.empty())
			fLog.Line("\t\t\tNot replaced: %s %s\n", folderPath.c_str(), kept.c_str());
		else if (ConfigRecord(fRecord).SaveReplaced()
		                 ? !fJournal.MoveAside(folderPath, saved_files_path)
		                 : !fJournal.Trash(folderPath))
			fLog.Failure(folderPath, std::string("could not be set aside: ") + strerror(errno));
	}
	fJournal.WillMakeFolders(folderPath);
	Libmkdir(folderPath.c_str());
	if (replace) {
		// A custom folder is emptied at most once per run.
		folder.Replace(false);
		BMessage updated;
		folder.Write(updated);
		custom_folders.ReplaceMessage("custom_folder", index, &updated);
	}
	path = folderPath.c_str();
	return true;
}

void DestinationResolver::ResolveStandardFolder(const char* destination_name, LibString& path)
{
	directory_which which;
	if (!LibGetStdDirName(destination_name, which))
		return;
	BPath folder;
	if (find_directory(which, &folder) != B_OK)
		return;
	path = folder.Path();
}

std::string DestinationResolver::InstallFolderPath() const
{
	BPath folder(&fDestination);
	const char* created = ConfigRecord(fRecord).CreatedFolder();
	if (folder.InitCheck() != B_OK || created[0] == '\0')
		return std::string();
	return std::string(folder.Path()) + "/" + created;
}

bool DestinationResolver::InstallFolderExists() const
{
	const std::string path = InstallFolderPath();
	return !path.empty() && LibExists(path.c_str());
}
