// DeinstallerWin: the deinstaller's main window: the product, the volume to
// search, the search's progress, and Search or Stop.
#pragma once

#include "LibWindow.h"
#include "Message.h"
#include "Volume.h"

class BBox;
class BButton;
class BStatusBar;
class DeinstallFilesWin;
class DeinstallSearch;
class InstallImage;
class LibVolumeMenu;

// The window's commands.
enum : uint32 {
	DEINSTALLER_SEARCH = 1004,
	DEINSTALLER_VOLUME = 2000,
};

class DeinstallerWin : public LibWindow {
public:
	DeinstallerWin();
	~DeinstallerWin() override;

	void Show() override;
	bool QuitRequested() override;
	void MessageReceived(BMessage* message) override;

	// The reduced configuration the window works from.
	BMessage& Config() { return fConfig; }
	bool Searching() const { return fSearch != nullptr; }

private:
	void ButtonPressed();
	void StartSearch();
	void StopSearch();
	void VolumeSelected();
	void ThreadChange(BMessage* message);
	void ShowResults();
	void Progress(BMessage* message);
	void EndSearch();

	DeinstallFilesWin* fFilesWin;
	DeinstallSearch* fSearch;
	InstallImage* fImage;
	LibVolumeMenu* fVolumeMenu;
	BButton* fSearchButton;
	BStatusBar* fStatusBar;
	BBox* fBox;
	BMessage fConfig;
	BVolume fVolume;
};
