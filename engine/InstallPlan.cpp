// Planning a run: every selected item and link resolved to its final place
// without changing anything.
#include "InstallPlan.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "ConfigRecord.h"
#include "InstallConfig.h"
#include "InstallItemRecord.h"
#include "InstallRun.h"
#include "LibPathParts.h"
#include "Volume.h"

namespace {

bool IsExactly(const char* text, const char* expected)
{
	return text != nullptr && strcmp(text, expected) == 0;
}

} // namespace

InstallPlan::InstallPlan(InstallConfig& config)
{
	BMessage instructions;
	BMessage customFolders;
	ConfigRecord(config).Instructions(&instructions);
	ConfigRecord(config).CustomFolders(&customFolders);
	BVolume volume;
	InstallDestinationVolume(config.destination, volume);
	const std::string installFolder = config.InstallFolderPath();
	NeedFolder(LibParentOf(installFolder));
	BMessage item;
	for (int32 i = 0; instructions.FindMessage(InstallItemRecord::kItem, i, &item) == B_OK; i++) {
		const InstallItemRecord record(item);
		if (!record.Selected())
			continue;
		const std::string leaf = record.Leaf();
		std::string placed = installFolder;
		const char* destination = record.Destination();
		bool replaced = false;
		if (destination != nullptr && !IsExactly(destination, "User Selected")) {
			const std::string folder =
			        config.PlannedFolder(destination, customFolders, volume, replaced);
			if (!folder.empty() && !LibSameFolder(folder, installFolder)) {
				NeedFolder(folder);
				if (!replaced)
					PlanEntry(folder, leaf, record.DestinationExists(), false);
				placed = folder;
			}
		}
		const char* link = record.Link();
		if (link == nullptr || link[0] == '\0' || IsExactly(link, "None") ||
		    IsExactly(link, "User Selected"))
			continue;
		const std::string folder = config.PlannedFolder(link, customFolders, volume, replaced);
		if (folder.empty() || LibSameFolder(folder, placed))
			continue;
		NeedFolder(folder);
		if (!replaced)
			PlanEntry(folder, leaf, record.LinkExists(), true);
	}
}

void InstallPlan::PlanEntry(const std::string& folder, const std::string& leaf, const char* rule,
                            const bool& link)
{
	const std::string path = folder + "/" + leaf;
	if (IsExactly(rule, "Prompt") && LibEntryExists(path))
		fQuestions.push_back(Question{path, leaf, link});
}

void InstallPlan::NeedFolder(const std::string& folder)
{
	// A folder still to be made is made in the nearest one that exists.
	std::string existing = folder;
	while (!existing.empty() && existing != "/" && !LibEntryExists(existing))
		existing = LibParentOf(existing);
	// A file where a folder must be is the run's to report, at that item.
	if (!existing.empty() && LibIsFolder(existing))
		fFolders.push_back(existing);
}

std::string InstallPlan::Unwritable(int& error) const
{
	for (const std::string& folder : fFolders) {
		if (access(folder.c_str(), W_OK | X_OK) != 0) {
			error = errno;
			return folder;
		}
	}
	error = 0;
	return std::string();
}
