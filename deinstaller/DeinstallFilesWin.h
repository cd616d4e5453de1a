// DeinstallFilesWin: the result window: one row per entry found, All, None,
// the destination folder and Deinstall, which moves the selected entries.
#pragma once

#include <string>
#include <vector>

#include "EntryRef.h"
#include "LibString.h"
#include "LibWindow.h"

class BButton;
class BListView;
class BScrollView;
class LibFilePanel;
class LibPictureButton;
class LibStringList;
class LibStringView;

// The result window's commands.
enum : uint32 {
	FILES_ALL = 1000,
	FILES_NONE = 1001,
	FILES_SELECTION = 1002,
	FILES_FOLDER = 1100,
	FILES_FOLDER_CHOSEN = 1101,
	FILES_DEINSTALL = 2000,
};

class DeinstallFilesWin : public LibWindow {
public:
	// `main` hears the removal's progress.
	explicit DeinstallFilesWin(BWindow* main);
	~DeinstallFilesWin() override;

	void MessageReceived(BMessage* message) override;

	// One row per path, in order, every row selected.
	void SetPaths(LibStringList& paths);
	void SetUserScripts(const LibString& boot, const LibString& setup_env,
	                    const LibString& profile);
	// The folders the installation made, removed at the end once empty.
	void SetCreatedFolders(const std::vector<std::string>& folders) { fCreatedFolders = folders; }
	// The installation's identity, whose register entry goes with it.
	void SetIdentity(const std::string& identity) { fIdentity = identity; }

	// Whether the destination is still the trash of each entry's volume.
	bool DestinationIsTrash() const { return fTrash; }
	const char* DestinationPath() const { return fDestinationPath.c_str(); }

private:
	void SelectAll(const bool& select);
	void UpdateDeinstallButton();
	void SelectMoveDestination();
	void MoveDestinationChoosen(BMessage* message);
	void DeinstallFiles();
	// The summary box: what moved, what was kept and why, what failed.
	void ReportSummary(const class DeinstallRemoval& removal, const struct FolderCleanup& cleanup);

	BWindow* fMain;
	entry_ref fDestination;
	std::string fDestinationPath;
	bool fTrash;
	LibString fBootTag;
	LibString fSetupEnvTag;
	LibString fProfileTag;
	std::vector<std::string> fCreatedFolders;
	std::string fIdentity;
	LibFilePanel* fPanel;
	BListView* fList;
	LibPictureButton* fFolderButton;
	LibStringView* fDestinationLabel;
	BButton* fAll;
	BButton* fNone;
	BButton* fDeinstall;
};
