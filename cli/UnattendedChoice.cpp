// Choosing items and the destination from the command line, the way the
// window's install types, item list and volume menu choose them.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "ConfigRecord.h"
#include "Directory.h"
#include "FindDirectory.h"
#include "InstallConfig.h"
#include "InstallItemRecord.h"
#include "InstallRun.h"
#include "InstallTypes.h"
#include "LibEntry.h"
#include "LibPathParts.h"
#include "Path.h"
#include "UnattendedInstall.h"
#include "Volume.h"
#include "VolumeRoster.h"

namespace {

std::string ListOf(const std::vector<std::string>& names)
{
	std::string list;
	for (const std::string& name : names)
		list += (list.empty() ? "\"" : ", \"") + name + "\"";
	return list.empty() ? "none" : list;
}

std::vector<std::string> TypeNames(const InstallConfig& config)
{
	std::vector<std::string> names;
	for (const InstallType& type : InstallTypesOf(config))
		names.push_back(type.name);
	return names;
}

std::vector<std::string> ItemNames(const BMessage& instructions)
{
	std::vector<std::string> names;
	BMessage item;
	for (int32 i = 0; instructions.FindMessage(InstallItemRecord::kItem, i, &item) == B_OK; i++)
		names.push_back(InstallItemRecord(item).Leaf());
	return names;
}

bool Contains(const std::vector<std::string>& names, const std::string& name)
{
	for (const std::string& candidate : names) {
		if (candidate == name)
			return true;
	}
	return false;
}

// The volume menu offers a volume when it keeps attributes and is not
// read-only, removable or shared against the record's wishes.
bool VolumeOffered(const InstallConfig& config, const BVolume& volume, std::string& why)
{
	if (volume.IsBootVolume())
		return true;
	if (!volume.KnowsAttr())
		why = "it keeps no attributes";
	else if (volume.IsReadOnly())
		why = "it is read-only";
	else if (volume.IsRemovable() && !ConfigRecord(config).RemovableVolumeOk())
		why = "the product may not be installed on a removable volume";
	else if (volume.IsShared() && !ConfigRecord(config).SharedVolumeOk())
		why = "the product may not be installed on a shared volume";
	return why.empty();
}

// The names of the volumes the volume menu would offer.
std::vector<std::string> OfferedVolumes(const InstallConfig& config)
{
	std::vector<std::string> names;
	BVolumeRoster roster;
	BVolume volume;
	while (roster.GetNextVolume(&volume) == B_OK) {
		char name[B_FILE_NAME_LENGTH] = "";
		std::string why;
		if (volume.GetName(name) == B_OK && VolumeOffered(config, volume, why))
			names.push_back(name);
	}
	return names;
}

bool FindVolume(const std::string& name, BVolume& found)
{
	BVolumeRoster roster;
	BVolume volume;
	while (roster.GetNextVolume(&volume) == B_OK) {
		char volumeName[B_FILE_NAME_LENGTH] = "";
		if (volume.GetName(volumeName) == B_OK && name == volumeName) {
			found = volume;
			return true;
		}
	}
	return false;
}

std::string AbsolutePath(const std::string& path)
{
	if (!path.empty() && path[0] == '/')
		return path;
	char folder[PATH_MAX];
	if (getcwd(folder, sizeof(folder)) == nullptr)
		return path;
	return std::string(folder) + "/" + path;
}

} // namespace

bool ChooseItems(InstallConfig& config, const UnattendedOptions& options, std::string& error)
{
	BMessage instructions;
	ConfigRecord(config).Instructions(&instructions);
	const std::vector<std::string> names = ItemNames(instructions);
	for (const std::string& name : options.items) {
		if (!Contains(names, name)) {
			error = "no item is named \"" + name + "\"; the items are " + ListOf(names);
			return false;
		}
	}
	std::string type = options.type;
	const std::vector<std::string> types = TypeNames(config);
	if (!type.empty() && !Contains(types, type)) {
		error = "no install type is named \"" + type + "\"; the types are " + ListOf(types);
		return false;
	}
	// As the window starts: the first install type is selected.
	if (type.empty() && !options.itemsGiven && !types.empty())
		type = types[0];

	int32 selected = 0;
	BMessage item;
	for (int32 i = 0; instructions.FindMessage(InstallItemRecord::kItem, i, &item) == B_OK; i++) {
		const bool install = options.itemsGiven
		                             ? Contains(options.items, names[i])
		                             : !type.empty() && InstallItemRecord(item).InType(type);
		InstallItemRecord::SetSelected(item, install);
		instructions.ReplaceMessage(InstallItemRecord::kItem, i, &item);
		selected += install ? 1 : 0;
	}
	ConfigRecord::SetInstructions(config, instructions);
	if (selected == 0) {
		error = "nothing is selected to install; name items with --items (" + ListOf(names) + ")";
		return false;
	}
	return true;
}

bool ChooseDestination(InstallConfig& config, const UnattendedOptions& options, std::string& error,
                       std::string* missing)
{
	std::string folder = options.destination.empty() ? "" : AbsolutePath(options.destination);
	if (!options.volume.empty()) {
		BVolume volume;
		if (!FindVolume(options.volume, volume)) {
			error = "no volume is named \"" + options.volume + "\"; the volumes are " +
			        ListOf(OfferedVolumes(config));
			return false;
		}
		std::string why;
		if (!VolumeOffered(config, volume, why)) {
			error = "the volume \"" + options.volume + "\" is not offered: " + why;
			return false;
		}
		if (folder.empty()) {
			// The boot volume's "home" is the user's home folder, wherever it lies.
			BPath home;
			const std::string root = volume.HostRootPath();
			if (volume.IsBootVolume() && find_directory(B_USER_DIRECTORY, &home) == B_OK)
				folder = home.Path();
			else
				folder = root + (root.empty() || root.back() != '/' ? "/home" : "home");
		}
		BVolume folderVolume;
		BEntry entry(folder.c_str());
		if (entry.GetVolume(&folderVolume) == B_OK && folderVolume != volume) {
			error = folder + " does not lie on the volume \"" + options.volume + "\"";
			return false;
		}
	}
	// A folder that does not exist is the run's to report (error 1040).
	if (!LibGetEntryRef(folder.c_str(), config.destination) || !LibIsFolderEntry(folder)) {
		if (missing != nullptr) {
			struct stat info;
			*missing = folder + ": " +
			           (stat(folder.c_str(), &info) != 0 ? strerror(errno) : "not a folder");
		}
		return true;
	}
	// Free space and the volume's name come from the volume the folder is on.
	BVolume volume;
	if (InstallDestinationVolume(config.destination, volume) != B_OK) {
		error = "the destination " + folder + " lies on no volume the installer knows" +
		        (getenv("VANTRY_ROOT") != nullptr ? " (with VANTRY_ROOT set, only that root and "
		                                            "the folders of VANTRY_VOLUMES "
		                                            "are volumes)"
		                                          : "");
		return false;
	}
	return true;
}
