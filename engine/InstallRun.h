// InstallRun: one installation as the install thread carries it out, from the
// requirement checks to the completion message, with the state it keeps.
#pragma once

#include <sys/stat.h>

#include <string>
#include <vector>

#include "InstallConfig.h"
#include "InstallLock.h"
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
	// Writes the folders the run made outside its own into the deinstaller.
	void RecordCreatedFolders();
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
};
