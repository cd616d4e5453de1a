// InstallerWin: the installer's one window: product view, licence or
// installation choices, instruction line, main button and language menu. It
// owns the install engine and starts its run.
#pragma once

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "ConfigLoader.h"
#include "GroupContextList.h"
#include "InstallConfig.h"
#include "LibWindow.h"

class EarlierInstallation;
class BBox;
class BButton;
class BCheckBox;
class BListView;
class BScrollBar;
class BScrollView;
class BStringView;
class BTextView;
class InstallImage;
class InstallListItem;
class LibFilePanel;
class LibListView;
class LibMenuField;
class LibPictureButton;
class LibStringView;
class LibVolumeMenu;
class ProgressView;
class RootInstall;

// The window's message codes.
enum {
	INSTALLER_BUTTON = 1000,
	INSTALLER_GROUP_CHOSEN = 2000,
	INSTALLER_GROUP_HOVERED = 2001,
	INSTALLER_FOLDER_BUTTON = 2003,
	INSTALLER_VOLUME_CHOSEN = 2004,
	INSTALLER_FOLDER_CHOSEN = 2005,
	INSTALLER_ITEMS_CHANGED = 2006,
	INSTALLER_LANGUAGE_CHOSEN = 2007,
	INSTALLER_ALL_USERS = 2008,
	INSTALLER_PLAY_SOUND = 2200,
	INSTALLER_TIP = 'stip',
};

class InstallerWin : public LibWindow {
public:
	InstallerWin();
	~InstallerWin() override;

	void MessageReceived(BMessage* message) override;
	// Follows the keyboard focus into and out of the item list.
	void DispatchMessage(BMessage* message, BHandler* handler) override;
	bool QuitRequested() override;
	// The licence and the item list take the room the window is given.
	void FrameResized(float width, float height) override;

	void LoadResources();
	void InitFolderPanel();
	void GetVolumes();
	void AddGroup(const char* name);

	void ButtonPressed();
	void SetLanguage();
	void ChangeLaunguage();
	void InstallTypeSelected();
	void CustomItemSelected();
	void ShowGroupDescription(const int32& index);
	void GetHomeDirectory();
	void SelectVolume();
	void SelectDestination();
	// The desktop's folder chooser, else the folder panel, open on the
	// destination (or the nearest folder of it that exists).
	void ChooseFolder();
	// Takes `folder` as the destination once its installation folder may be
	// replaced; false leaves the destination as it was.
	bool TakeDestination(const entry_ref& folder);
	void SetDestinationPath();
	bool CheckDestinationFolder(bool ask_replace);
	// Asks whether to upgrade (or repair) or replace the earlier installation
	// of the product; false when the user cancelled.
	bool AskAboutEarlier(const EarlierInstallation& earlier, LibString text,
	                     const bool& can_cancel);
	void Install();
	void ThreadChange(BMessage* message);
	// The check box that installs for all users: shown when the installer
	// does not run as root and pkexec can make it so.
	void AllUsersChanged();
	// The root run has ended: the program ends, or the choices come back.
	void RootEnded(BMessage* message);
	// Asks a running install to stop at its next safe point, waits until it
	// has stopped, then tells the user.
	void QuitRunning();

	// Emits the window's state as an "installer-state" event line.
	void ReportState();

	int32 Step() const { return step; }
	InstallConfig& Engine() { return engine; }
	// The selected items' bytes with the deinstaller's, in 64 bits.
	int64 SelectedBytes() const;

private:
	void BuildViews();
	void BuildLicenceBox(BView* parent);
	void BuildInstallBox(BView* parent);
	void BuildBottomRow(BView* parent);
	// Below the lists, which give it their last row.
	void BuildAllUsersBox();
	bool InstallsForAllUsers() const;
	// Runs the placing step as root: this installer, unattended, with the
	// window's choices; false when it could not be started.
	bool InstallForAllUsers();
	std::vector<std::string> RootArguments() const;
	void SetTitleFromFile();
	void ReadResources();
	bool LoadConfiguration();
	void FillProductView();
	void FillGroups();
	void FillItems();
	void SetDefaultFolder();
	void PlaySoundIfAny();
	void SetInstruction(const char* text);
	// While the item list has the keyboard, the instruction line says how
	// it selects.
	void ShowListHint();
	void ShowProgress(const int64& placed);
	// The bar runs back from where the run stopped as the undo goes.
	void ShowUndo(const float& left);
	// A stop asked for: the line says the run is being undone.
	void ShowStopping();
	void RelabelStep();
	void EnableDestination(const bool& enabled);
	void ReturnToStepTwo();
	// The run is complete: the button quits.
	void Completed();

	GroupContextList groups;
	int32 step;
	InstallImage* product_view;
	LibFilePanel* folder_panel;
	InstallConfig engine;

	BBox* license_box;
	BTextView* license_text;
	BBox* install_box;
	BStringView* install_type_label;
	LibListView* install_type;
	BScrollBar* group_scroll_bar;
	BScrollView* install_type_scroll;
	LibPictureButton* folder;
	LibStringView* destination;
	LibVolumeMenu* volume;
	BStringView* volume_size;
	BStringView* file_label;
	BListView* custom_list;
	BScrollView* custom_scroll_view;
	BStringView* install_size;
	BBox* inst_box;
	ProgressView* instruction;
	BButton* button;
	LibMenuField* options;
	BCheckBox* all_users;
	RootInstall* root_run;
	// The user's own destination, back when the box is unticked.
	entry_ref user_destination;
	bool user_make_destination;

	bool list_hinted;
	// Where the bar stood when the undo began; negative before.
	float undo_from;
	int64 selected_total;
	int64 placed_bytes;
	// The run has sent its end: its thread may still be returning, and a
	// quit then waits for it instead of stopping it.
	std::atomic<bool> run_reported;
	// The run is complete and kept: a quit is no stop.
	std::atomic<bool> run_completed;

	// The record and the item rows, read on a thread of their own while the
	// display opens; LoadResources waits for them.
	std::thread reader;
	ConfigReading reading;
	std::vector<InstallListItem*> read_items;
};
