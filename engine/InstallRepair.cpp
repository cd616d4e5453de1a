// A repair of an installation of the same version: every entry of its
// manifest that is missing or changed is put back from the payload (a
// changed one goes to the trash first), modes and tags are restored, and
// nothing else changes.
#include "InstallRun.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>

#include "ConfigRecord.h"
#include "DeinstallRecords.h"
#include "InstallItemRecord.h"
#include "LibAppResource.h"
#include "LibFile.h"
#include "LibPathParts.h"
#include "Node.h"

namespace {

const char kRepairFolder[] = ".vantry-repair";

bool HasTag(const std::string& path)
{
	BNode node(path.c_str());
	attr_info info;
	return node.InitCheck() == B_OK && node.GetAttrInfo(DeinstallRecords::TagName(), &info) == B_OK;
}

} // namespace

int32 InstallRun::RepairChanges(LibAppResource& store)
{
	ConfigRecord(fConfig).Instructions(&fInstructions);
	std::map<int32, std::vector<size_t>> unpack;
	const std::vector<InstallManifest::Entry>& entries = fEarlierManifest.Entries();
	for (size_t i = 0; i < entries.size() && !Failing(); i++) {
		if (!RepairEntry(entries[i]))
			unpack[entries[i].item].push_back(i);
	}
	for (const auto& [item, indexes] : unpack) {
		if (Failing())
			break;
		RestoreFromPayload(store, item, indexes);
	}
	LibUnlink((fInstallFolder + "/" + kRepairFolder).c_str());
	if (fConfig.fEarlierReport.empty())
		Report("checked", fInstallFolder + ": every entry is as it was installed");
	return Failing() ? INSTALL_RUN_OVER : kChangesMade;
}

bool InstallRun::RepairEntry(const InstallManifest::Entry& entry)
{
	const std::string path = InstallManifest::PathOf(entry, fInstallFolder);
	const InstallManifest::State state = InstallManifest::StateOf(entry, path);
	if (state == InstallManifest::kUnchanged) {
		RestoreModeAndTag(entry, path);
		return true;
	}
	if (state == InstallManifest::kChanged) {
		if (!TrashInTheWay(path))
			return true;
		Report("trashed", path + " (changed since it was installed)");
	}
	MakeFolder(LibParentOf(path));
	if (entry.type == 'f')
		return false;
	errno = 0;
	const bool made = entry.type == 'd'
	                          ? fConfig.Journal().WillMakeFolders(path) && Libmkdir(path.c_str())
	                          : fConfig.Journal().WillWrite(path) &&
	                                    symlink(entry.target.c_str(), path.c_str()) == 0;
	if (!made) {
		fConfig.LogFailure(path, errno);
		return true;
	}
	RestoreModeAndTag(entry, path);
	Report("restored", path);
	return true;
}

void InstallRun::RestoreFromPayload(LibAppResource& store, const int32& item,
                                    const std::vector<size_t>& indexes)
{
	const std::string staging = fInstallFolder + "/" + kRepairFolder;
	const std::string unpacked = staging + "/" + std::to_string(item);
	MakeFolder(staging);
	store.SetBeforePlace([this](const std::string& from, const std::string& place) {
		return fConfig.Journal().WillPlaceUnpacked(from, place);
	});
	store.SetStopCheck([this] { return Stopped(); });
	const bool extracted = store.ExtractEntry(kFirstPayloadId + item, unpacked.c_str(), true);
	store.SetStopCheck(nullptr);
	const std::vector<InstallManifest::Entry>& entries = fEarlierManifest.Entries();
	for (const size_t index : indexes) {
		const InstallManifest::Entry& entry = entries[index];
		const std::string path = InstallManifest::PathOf(entry, fInstallFolder);
		const std::string from = entry.below == "." ? unpacked : unpacked + "/" + entry.below;
		if (!extracted || !fConfig.Journal().RenamePlaced(from, path)) {
			fConfig.LogFailure(path, extracted ? std::string("could not be put back")
			                                   : std::string(store.ExtractError()));
			continue;
		}
		RestoreModeAndTag(entry, path);
		Report("restored", path);
	}
}

void InstallRun::RestoreModeAndTag(const InstallManifest::Entry& entry, const std::string& path)
{
	struct stat info;
	if (entry.type != 'l' && lstat(path.c_str(), &info) == 0 &&
	    (info.st_mode & 07777) != entry.mode && chmod(path.c_str(), entry.mode) == 0)
		Report("mode restored", path);
	BMessage item;
	if (fInstructions.FindMessage(InstallItemRecord::kItem, entry.item, &item) != B_OK ||
	    !InstallItemRecord(item).Deinstallable() || HasTag(path))
		return;
	const char* identity = fConfig.FindString(DeinstallRecords::IdentityField());
	fConfig.Journal().WillSetAttribute(path, DeinstallRecords::TagName());
	fConfig.Journal().WillSetAttribute(path, DeinstallRecords::IdentityName());
	DeinstallRecords::AddTag(path.c_str(), fProductRecord.String(),
	                         identity != nullptr ? identity : "");
	Report("tag restored", path);
}
