// The item loop of the install run: each selected item extracted into the
// installation folder, dated, placed, tagged and linked.
#include "InstallRun.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "ConfigRecord.h"
#include "DeinstallRecords.h"
#include "DesktopEntry.h"
#include "Entry.h"
#include "InstallItemRecord.h"
#include "InstallTexts.h"
#include "LibAppResource.h"
#include "LibFile.h"
#include "LibPathParts.h"
#include "MenuRecord.h"
#include "Path.h"
#include "ProgressWatch.h"

namespace {

const char* const kUserSelected = "User Selected";
const int64 kWatchedItemSize = 4 << 20;

bool IsExactly(const char* text, const char* expected)
{
	return text != nullptr && strcmp(text, expected) == 0;
}

bool IsSelected(const BMessage& item)
{
	return InstallItemRecord(item).Selected();
}

} // namespace

int32 InstallRun::CountSelectedItems() const
{
	BMessage item;
	int32 count = 0;
	for (int32 i = 0; fInstructions.FindMessage(InstallItemRecord::kItem, i, &item) == B_OK; i++) {
		if (IsSelected(item))
			count++;
	}
	return count;
}

bool InstallRun::InstallItems(LibAppResource& store)
{
	fItemAskAgain = fItemAnswer = fLinkAskAgain = fLinkAnswer = true;
	ConfigRecord(fConfig).Instructions(&fInstructions);
	fSelectedCount = CountSelectedItems();
	// A stop ends an unpacking between two of its entries.
	store.SetStopCheck([this] { return Stopped(); });
	BMessage item;
	for (int32 i = 0; fInstructions.FindMessage(InstallItemRecord::kItem, i, &item) == B_OK; i++) {
		if (!IsSelected(item))
			continue;
		InstallItem(store, i, item);
		if (Failing()) {
			store.SetStopCheck(nullptr);
			return false;
		}
	}
	store.SetStopCheck(nullptr);
	ConfigRecord::SetInstructions(fConfig, fInstructions);
	return true;
}

void InstallRun::InstallItem(LibAppResource& store, const int32& index, BMessage& item)
{
	const InstallItemRecord record(item);
	const std::string leaf = record.Leaf();
	std::string path = fInstallFolder + "/" + leaf;
	fConfig.Log("\t\tInstalling : %s\n", leaf.c_str());
	fBegunCount++;
	fConfig.UpdateStatus("%s", InstallFormat(InstallConfig::kStatusSize, 1036, int(fBegunCount),
	                                         int(fSelectedCount), leaf.c_str())
	                                   .c_str());
	// A leaf that is no plain name would be extracted outside the folder.
	if (leaf.empty() || leaf == "." || leaf == "..")
		return;
	// Each entry is tagged as it is made: placing moves the whole item, tags and all.
	const bool deinstallable = record.Deinstallable();
	if (deinstallable) {
		store.SetEntryTag(InstallConfig::DeinstallTagName(), fProductRecord.String());
		const char* identity = fConfig.FindString(DeinstallRecords::IdentityField());
		store.SetEntryIdentity(DeinstallRecords::IdentityName(), identity);
	}
	const int64 size = record.FileSize();
	std::atomic<int64> written(0);
	store.SetProgressCounter(&written);
	// An undo then removes only what this unpacking made, not what someone
	// put into the item since.
	store.SetBeforePlace([this](const std::string& unpacked, const std::string& place) {
		return fConfig.Journal().WillPlaceUnpacked(unpacked, place);
	});
	bool extracted = false;
	{
		// Only an item that takes a while to unpack is watched as it goes.
		std::optional<ProgressWatch> watch;
		if (size >= kWatchedItemSize)
			watch.emplace(fConfig, fPlacedBytes, size, written);
		extracted = store.ExtractEntry(kFirstPayloadId + index, path.c_str(), true);
	}
	store.SetProgressCounter(nullptr);
	if (!extracted) {
		if (!Stopped())
			fConfig.LogFailure(path, std::string(store.ExtractError()));
		return;
	}
	fUnpackedEntries += store.LastEntryCount();
	// The item's bytes reach the disk before its name appears at its final place.
	LibSyncVolume(path.c_str());
	if (Stopped())
		return;

	SetItemDates(record, path.c_str());
	PlaceItem(record, path);
	fCurrentItem = index;
	fManifest.AddTree(index, path, fInstallFolder);
	item.ReplaceString(InstallItemRecord::kFileName, path.c_str());
	fInstructions.ReplaceMessage(InstallItemRecord::kItem, index, &item);
	if (Stopped())
		return;

	if (!deinstallable)
		fConfig.Log("\t\t\tThis file will not be removed by the de-installer\n");
	if (Stopped())
		return;
	fMenuEntryPlaced = PlaceMenuEntry(item, path);
	PlaceLink(record, path);
	fPlacedBytes += size;
	fConfig.ReportProgress(fPlacedBytes);
}

void InstallRun::SetItemDates(const InstallItemRecord& item, const char* path)
{
	BEntry entry(path, false);
	if (entry.InitCheck() != B_OK || !entry.Exists())
		return;
	int64 seconds = 0;
	// The platform keeps no creation time it lets us set; it is tried anyway.
	if (item.CreationTime(seconds))
		entry.SetCreationTime(time_t(seconds));
	if (item.ModificationTime(seconds))
		entry.SetModificationTime(time_t(seconds));
	if (item.AccessTime(seconds))
		entry.SetAccessTime(time_t(seconds));
}

void InstallRun::PlaceItem(const InstallItemRecord& item, std::string& path)
{
	const char* destination = item.Destination();
	if (IsExactly(destination, kUserSelected))
		return;
	LibString folder;
	fConfig.GetNewPath(destination != nullptr ? destination : "", fCustomFolders, fVolume,
	                   fSavedFiles.c_str(), folder);
	if (folder.Length() == 0)
		return;
	const std::string target = folder.String();
	const std::string final = target + "/" + LibLastComponent(path);
	// An item already where it is to go would be replaced by itself.
	if (LibSameFolder(target, fInstallFolder))
		return;
	// A standard folder the host does not have yet is made, as the platform has it.
	fConfig.Journal().WillMakeFolders(target);
	Libmkdir(target.c_str());
	const int32 failedBefore = fConfig.fFailures.Count();
	if (!fConfig.ReplaceControl(target.c_str(), BPath(path.c_str()), item.DestinationExists(),
	                            fItemAskAgain, fItemAnswer, BPath(fSavedFiles.c_str()))) {
		// A question dismissed by a stop request was not the user's refusal,
		// nor is an entry in the way that could not be saved.
		if (!thread_should_stop() && fConfig.fFailures.Count() == failedBefore)
			fConfig.Log("\t\t\tUser desired not to place item in %s\n", target.c_str());
		return;
	}
	// What is still in the way was not to be saved: it is replaced whole.
	const bool folderOverFolder = LibIsFolderEntry(path) && LibEntryExists(final);
	if (!fSavedFiles.empty() && LibEntryExists(final)) {
		fConfig.Log("\t\t\tUser desired not to place item in %s\n", target.c_str());
		return;
	}
	// What the installer did not place goes to the trash, never away.
	if (!TrashInTheWay(final))
		return;
	bool replaced = false;
	if (!fConfig.Journal().WillWrite(final) || !LibMoveReplacing(path, final, replaced)) {
		const int error = errno;
		fConfig.Log("\t\t\tUnable to place item in %s\n", target.c_str());
		fConfig.LogFailure(final, error);
		return;
	}
	// A copy to another volume is a new entry: the journal learns it.
	struct stat from;
	struct stat to;
	if (stat(fInstallFolder.c_str(), &from) == 0 && lstat(final.c_str(), &to) == 0 &&
	    from.st_dev != to.st_dev)
		fConfig.Journal().NotePlaced(final);
	if (folderOverFolder)
		fConfig.Log("\t\t\tRemoved existing folder %s\n", final.c_str());
	fConfig.Log("\t\t\tPlaced in %s\n", target.c_str());
	path = final;
}

void InstallRun::PlaceLink(const InstallItemRecord& item, const std::string& path)
{
	const char* link = item.Link();
	if (link == nullptr || link[0] == '\0' || IsExactly(link, "None"))
		return;
	const bool deinstallable = item.Deinstallable();
	if (IsExactly(link, kUserSelected)) {
		MakeLink(path, fInstallFolder, deinstallable);
		return;
	}
	LibString folder;
	fConfig.GetNewPath(link, fCustomFolders, fVolume, fSavedFiles.c_str(), folder);
	if (folder.Length() == 0)
		return;
	// Asking would offer the item itself as the entry in the link's way.
	if (LibSameFolder(folder.String(), LibParentOf(path))) {
		fConfig.Log("\t\t\tNo link: the item itself lies in %s\n", folder.String());
		return;
	}
	if (!fConfig.ReplaceControl(folder.String(), BPath(path.c_str()), item.LinkExists(),
	                            fLinkAskAgain, fLinkAnswer, BPath(fSavedFiles.c_str()))) {
		if (!thread_should_stop())
			fConfig.Log("\t\t\tUser desired not to place a link in %s\n", folder.String());
		return;
	}
	MakeLink(path, folder.String(), deinstallable);
}

bool InstallRun::PlaceMenuEntry(const BMessage& item, const std::string& path)
{
	MenuRecord menu;
	const std::string folder = ApplicationsFolder();
	if (!menu.Read(item) || folder.empty())
		return false;
	return PlaceDesktopEntry(fConfig, path, folder, fProductRecord.String(),
	                         InstallItemRecord(item).Deinstallable(), &menu);
}

void InstallRun::MakeLink(const std::string& path, const std::string& folder,
                          const bool& deinstallable)
{
	if (LibSameFolder(folder, LibParentOf(path))) {
		fConfig.Log("\t\t\tNo link: the item itself lies in %s\n", folder.c_str());
		return;
	}
	// A link in the menu folder is shown by no menu: it becomes an entry.
	if (IsApplicationsFolder(folder) && fMenuEntryPlaced) {
		fConfig.Log("\t\t\tNo link: the item's menu entry is in %s\n", folder.c_str());
		return;
	}
	if (IsApplicationsFolder(folder)) {
		PlaceDesktopEntry(fConfig, path, folder, fProductRecord.String(), deinstallable);
		return;
	}
	const std::string link = folder + "/" + LibLastComponent(path);
	fConfig.Journal().WillMakeFolders(folder);
	Libmkdir(folder.c_str());
	if (!TrashInTheWay(link))
		return;
	bool replaced = false;
	if (!fConfig.Journal().WillWrite(link) || !LibSymLinkReplacing(path, link, replaced)) {
		fConfig.LogFailure(link, errno);
		return;
	}
	fConfig.Journal().WillSetAttribute(folder, "BEOS:TYPE");
	Libmimeset(folder.c_str());
	fConfig.Log("\t\t\tPlaced a link in %s\n", folder.c_str());
	fManifest.AddLink(fCurrentItem, link, fInstallFolder);
	if (deinstallable)
		fConfig.AddDeinstallTag(link.c_str(), fProductRecord.String());
	else
		fConfig.Log("\t\t\tThis link will not be removed by the de-installer\n");
}

bool InstallRun::TrashInTheWay(const std::string& path)
{
	if (!LibEntryExists(path))
		return true;
	errno = 0;
	if (fConfig.Journal().Trash(path))
		return true;
	const int error = errno;
	fConfig.LogFailure(path, std::string("could not be moved to the trash: ") +
	                                 (error != 0 ? strerror(error) : "unknown error"));
	return false;
}
