// DestinationResolver: destination names resolved to folders, custom
// folders on the chosen volume (replaced at most once per run) and standard
// folders on the boot volume, and the installation folder itself.
#pragma once

#include <string>

#include "EntryRef.h"
#include "LibString.h"
#include "Message.h"

class BVolume;
class CustomFolder;
class InstallJournal;
class InstallLog;

class DestinationResolver {
public:
	DestinationResolver(const BMessage& record, const entry_ref& destination, InstallLog& log,
	                    InstallJournal& journal);

	// The folder for `destination_name`, made when missing; an existing custom
	// folder that replaces is set aside first. Empty when no folder goes by
	// that name: the item then stays in the installation folder.
	void NewPath(const char* destination_name, BMessage& custom_folders, BVolume& volume,
	             const char* saved_files_path, LibString& path);
	// The folder NewPath will give, found without changing anything;
	// `replaced` tells whether the run replaces it whole.
	std::string PlannedFolder(const char* destination_name, BMessage& custom_folders,
	                          BVolume& volume, bool& replaced) const;
	// The destination with opt_created_folder appended; empty without either.
	std::string InstallFolderPath() const;
	bool InstallFolderExists() const;

private:
	// The custom folder named `destination_name`, its path and its index.
	bool CustomFolderPath(const char* destination_name, const BMessage& custom_folders,
	                      BVolume& volume, CustomFolder& folder, std::string& path,
	                      int32& index) const;
	bool ResolveCustomFolder(const char* destination_name, BMessage& custom_folders,
	                         BVolume& volume, const char* saved_files_path, LibString& path);
	static void ResolveStandardFolder(const char* destination_name, LibString& path);

	const BMessage& fRecord;
	const entry_ref& fDestination;
	InstallLog& fLog;
	InstallJournal& fJournal;
};
