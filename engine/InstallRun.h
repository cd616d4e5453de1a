// InstallRun: one installation as the install thread carries it out, from the
// requirement checks to the completion message, with the state it keeps.
#pragma once

#include <sys/stat.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "InstallConfig.h"
#include "InstallLock.h"
#include "InstallManifest.h"
#include "InstallerResourceIds.h"
#include "LibString.h"
#include "Message.h"
#include "Volume.h"

class InstallItemRecord;
class LibAppResource;

// MakeChanges made every change of the run.
const int32 kChangesMade = -1;

// The volume the destination folder lies on. The reference's own device is
// that of the folder holding the destination, another volume when the
// destination is a volume's root.
status_t InstallDestinationVolume(const entry_ref& destination, BVolume& volume);

class InstallRun {
public:
	explicit InstallRun(InstallConfig& config);

	// The whole run; answers the result of Action().
	int32 Execute();

private:
	// True once the thread was asked to stop: the run then ends at once.
	bool Stopped();
	// Stopped, or a step failed in a run that is undone on failure.
	bool Failing();

	// Everything that changes the machine, each change journaled first;
	// kChangesMade when all was done.
	int32 MakeChanges(LibAppResource& store);
	// Every folder the run writes into can be written; else the first that
	// cannot is named and nothing is changed.
	bool CheckWritableFolders();
	bool BeginJournal(const struct stat& parent);
	// The state of the folder the installation folder is made in.
	struct stat ParentState() const;
	// True when a killed run's journal was found (and undone).
	bool UndoInterruptedRun();
	// Undoes the run (unless the product keeps what was placed) and answers
	// the run's result.
	int32 EndUndone(const int32& result);
	// A copy of the log in the temporary folder, to outlive the undo.
	std::string KeepLogCopy();

	bool CheckRequirements(int32& result);
	void ReadVolume();
	bool OpenDestination();
	// Makes the destination the installer offered when it is missing.
	bool MakeDestination();
	// Removes the folders MakeDestination made when they are empty again;
	// answers `result`.
	int32 RemoveMadeDestination(const int32& result);
	bool LockInstallFolder();
	bool TrashEarlierInstallation();
	bool CreateInstallFolder();
	void StartLog();
	// Every payload the run unpacks is whole and matches its digest; else
	// the damaged one is named and nothing is changed.
	bool VerifyPayloads(LibAppResource& store);
	// Asks before installing over an installation another publisher signed;
	// false when the user declines.
	bool AcceptPublisher();
	void CreateDeinstaller(LibAppResource& store);
	// Writes the folders the run made outside its own and the manifest into
	// the deinstaller, and registers the installation.
	void RecordInstallation();
	// Moves the earlier installation to the trash, or aside for an upgrade.
	bool PutEarlierAway();

	// An upgrade or a repair (InstallUpgrade.cpp, InstallRepair.cpp).
	bool Upgrading() const;
	bool Repairing() const;
	// Reads the earlier installation an upgrade or a repair works on; false,
	// named, when a repair finds none or nothing tells what it placed.
	bool ReadEarlierInstallation();
	// Moves the earlier installation's folder and entries aside, noting how
	// each entry compares with what was placed.
	bool SetEarlierAside();
	bool FailAside(const std::string& path);
	// Where the earlier entry at `path` lies while set aside; empty when not.
	std::string AsidePathOf(const std::string& path) const;
	// Brings back what the user changed or added; what the new version
	// dropped goes to the trash, the rest of the earlier version with it.
	void MergeEarlierInstallation();
	void MergeEarlierEntry(const std::string& path, const InstallManifest::State& state,
	                       const bool& replaced);
	void BringBackUserEntries(const std::string& aside, const std::string& original,
	                          const std::set<std::string>& earlier, const bool& top);
	void ClearAside();
	// Removes the earlier version's script sections the new one no longer writes.
	void RemoveDroppedScriptSections();
	// Removes the emptied folders the earlier entries were set aside in,
	// once the journal no longer needs them to put anything back.
	void RemoveAsideFolders();
	// Makes the folder, journalled, unless it is there.
	void MakeFolder(const std::string& folder);
	int32 RepairChanges(LibAppResource& store);
	// Puts back a folder or link; false for a file, which comes from the payload.
	bool RepairEntry(const InstallManifest::Entry& entry);
	void RestoreFromPayload(LibAppResource& store, const int32& item,
	                        const std::vector<size_t>& indexes);
	void RestoreModeAndTag(const InstallManifest::Entry& entry, const std::string& path);
	// A line of what an upgrade or a repair did, for the user and the log.
	void Report(const char* what, const std::string& text);
	void MakeStartupSection();
	int32 CountSelectedItems() const;
	bool InstallItems(LibAppResource& store);
	void InstallItem(LibAppResource& store, const int32& index, BMessage& item);
	void SetItemDates(const InstallItemRecord& item, const char* path);
	void PlaceItem(const InstallItemRecord& item, std::string& path);
	void PlaceLink(const InstallItemRecord& item, const std::string& path);
	// Writes the menu entry an item with a menu asks for; true when it did.
	bool PlaceMenuEntry(const BMessage& item, const std::string& path);
	void MakeLink(const std::string& path, const std::string& folder, const bool& deinstallable);
	// Moves to the trash what the user chose to replace; false, logged, when
	// it cannot go.
	bool TrashInTheWay(const std::string& path);
	void EditBootScripts();
	// Journals the files a script edit may write.
	void JournalScriptEdit(const directory_which& folder, const char* file);
	void FinishLog();
	void ShowCompletion();

	InstallConfig& fConfig;
	InstallLock fLock;
	BVolume fVolume;
	char fVolumeName[B_FILE_NAME_LENGTH];
	LibString fProductRecord;
	std::string fInstallFolder;
	std::string fSavedFiles;
	std::string fLogPath;
	// Made by MakeDestination, the deepest first.
	std::vector<std::string> fMadeFolders;
	BMessage fCustomFolders;
	BMessage fInstructions;
	// The item being placed already has its menu entry: a link into the
	// applications folder adds none.
	bool fMenuEntryPlaced = false;
	bool fItemAskAgain;
	bool fItemAnswer;
	bool fLinkAskAgain;
	bool fLinkAnswer;
	int32 fSelectedCount;
	int32 fBegunCount;
	int64 fPlacedBytes;
	// The entries the items unpacked: about what an undo takes back.
	int64 fUnpackedEntries;
	// Every entry the run placed, and the item being installed.
	InstallManifest fManifest;
	int32 fCurrentItem;
	// The earlier installation an upgrade or a repair works on.
	bool fHasEarlier;
	BMessage fEarlierRecord;
	std::string fEarlierDeinstaller;
	InstallManifest fEarlierManifest;
	std::vector<InstallManifest::State> fEarlierStates;
	// Where an upgrade keeps the earlier entries until they are merged.
	std::string fAside;
	std::vector<std::string> fAsideHolders;
	std::vector<std::pair<std::string, std::string>> fAsidePairs;
};
