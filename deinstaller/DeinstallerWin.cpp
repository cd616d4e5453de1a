// The main window: its views, the search started and stopped, its progress,
// and the result window filled when it ends.
#include "DeinstallerWin.h"

#include <cstring>

#include "Application.h"
#include "BackgroundView.h"
#include "Box.h"
#include "Button.h"
#include "ConfigRecord.h"
#include "DeinstallFilesWin.h"
#include "DeinstallRecord.h"
#include "DeinstallRecords.h"
#include "DeinstallScripts.h"
#include "DeinstallSearch.h"
#include "DeinstallTexts.h"
#include "InstallImage.h"
#include "InterfaceHost.h"
#include "LibMessageBox.h"
#include "LibThread.h"
#include "LibVolumeMenu.h"
#include "NodeMonitor.h"
#include "StatusBar.h"
#include "VolumeRoster.h"

namespace {

const float kMenuDivider = 50;

BRect L(const float& left, const float& top, const float& width, const float& height)
{
	return BRect(left, top, left + width, top + height);
}

} // namespace

DeinstallerWin::DeinstallerWin()
    : LibWindow(BRect(0, 0, 173, 318), "Ravelo", B_TITLED_WINDOW,
                B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE),
      fFilesWin(nullptr), fSearch(nullptr)
{
	fImage = new InstallImage(BPoint(10, 10), false);
	// The product line stands beside the product view, the menu ends under
	// its right edge: the window is too narrow for either to go further.
	BackgroundView* background =
	        new BackgroundView(Bounds(), Bounds().bottom - fImage->Frame().bottom);
	AddChild(background);
	background->AddChild(fImage);
	fVolumeMenu =
	        new LibVolumeMenu(BPoint(10, fImage->Frame().bottom + 3), "volume", DEINSTALLER_VOLUME,
	                          kMenuDivider, fImage->Frame().right - 10 - kMenuDivider);
	fVolumeMenu->SetLabel(DeinstallText(1000).String());
	background->AddChild(fVolumeMenu);
	const float menuBottom = fVolumeMenu->Frame().bottom;
	fStatusBar = new BStatusBar(BRect(5, menuBottom + 1, 168, menuBottom + 30), "status_bar");
	background->AddChild(fStatusBar);
	fSearchButton = new BButton(L(83, fStatusBar->Frame().bottom + 8, 80, 20), "search_btn",
	                            DeinstallText(1001).String(), new BMessage(DEINSTALLER_SEARCH));
	background->AddChild(fSearchButton);
	SetDefaultButton(fSearchButton);
	fBox = new BBox(L(10, 145, 150, 100), "deinstall_box");
	fBox->SetLabel(DeinstallText(1002).String());
	fBox->Hide();
	background->AddChild(fBox);

	fVolumeMenu->Update();
	watch_node(nullptr, B_WATCH_MOUNT, BMessenger(this));
	fVolumeMenu->GetCurrentVolume(fVolume);
}

DeinstallerWin::~DeinstallerWin()
{
	stop_watching(BMessenger(this));
	delete fSearch;
}

void DeinstallerWin::Show()
{
	// Called from the application's thread: the views change under the lock.
	if (Lock()) {
		BMessage image;
		if (fConfig.FindMessage("about_image", &image) == B_OK)
			fImage->SetImage(image);
		const ConfigRecord record(fConfig);
		fImage->SetAppName(record.AppName());
		fImage->SetVersion(record.Version());
		fImage->SetDate(record.ReleaseDate());
		fImage->SetCompany(record.Company());
		fImage->SetEmail(record.SupportEmail());
		Unlock();
	}
	LibWindow::Show();
}

bool DeinstallerWin::QuitRequested()
{
	be_app->PostMessage(B_QUIT_REQUESTED);
	return true;
}

void DeinstallerWin::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case DEINSTALLER_SEARCH: ButtonPressed(); break;
		case DEINSTALLER_VOLUME: VolumeSelected(); break;
		case DEINSTALL_PROGRESS: Progress(message); break;
		case DEINSTALL_LIMIT: fStatusBar->SetMaxValue(float(message->FindInt32("size"))); break;
		case LIB_THREAD_CHANGE: ThreadChange(message); break;
		case B_NODE_MONITOR: {
			const int32 opcode = message->FindInt32("opcode");
			if (opcode != B_DEVICE_MOUNTED && opcode != B_DEVICE_UNMOUNTED)
				break;
			fVolumeMenu->Update();
			VolumeSelected();
			break;
		}
		default: LibWindow::MessageReceived(message);
	}
}

void DeinstallerWin::ButtonPressed()
{
	if (fSearch == nullptr)
		StartSearch();
	else
		StopSearch();
}

void DeinstallerWin::StartSearch()
{
	VolumeSelected();
	if (fVolume.InitCheck() != B_OK)
		return;
	fSearchButton->SetLabel(DeinstallText(1003).String());
	fVolumeMenu->SetEnabled(false);
	LibString trailing(" ");
	trailing += DeinstallText(1004).String();
	fStatusBar->Reset(".../", trailing.String());
	fStatusBar->SetMaxValue(float(fVolume.Capacity() - fVolume.FreeBytes()));
	fSearch = new DeinstallSearch(fVolume, DeinstallProductRecord(fConfig).String());
	const char* identity = fConfig.FindString(DeinstallRecords::IdentityField());
	fSearch->SetInstallation(identity != nullptr ? identity : "", false);
	fSearch->Go("search", new BMessenger(this), 10, false);
	InterfaceHost::Event("deinstaller-search started");
}

void DeinstallerWin::StopSearch()
{
	// The stopped thread sends no thread-change message.
	fSearch->Kill();
	EndSearch();
	InterfaceHost::Event("deinstaller-search stopped");
}

void DeinstallerWin::EndSearch()
{
	delete fSearch;
	fSearch = nullptr;
	fSearchButton->SetLabel(DeinstallText(1001).String());
	fVolumeMenu->SetEnabled(true);
}

void DeinstallerWin::VolumeSelected()
{
	fVolumeMenu->GetCurrentVolume(fVolume);
}

void DeinstallerWin::Progress(BMessage* message)
{
	const char* folder = message->FindString("folder");
	const char* found = message->FindString("found");
	fStatusBar->Update(message->FindFloat("size"), folder, found);
}

void DeinstallerWin::ThreadChange(BMessage* message)
{
	const char* name = message->FindString("name");
	if (fSearch == nullptr || name == nullptr || strcmp(name, "search") != 0 ||
	    message->FindInt32("status") != B_OK)
		return;
	fStatusBar->SetTo(fStatusBar->MaxValue());
	InterfaceHost::Event("deinstaller-search ended %d", int(fSearch->FoundPaths().size()));
	if (fSearch->FoundPaths().empty())
		LibError("%s", DeinstallText(1005).String());
	else
		ShowResults();
	EndSearch();
}

void DeinstallerWin::ShowResults()
{
	if (fFilesWin == nullptr) {
		fFilesWin = new DeinstallFilesWin(this);
		fFilesWin->Run();
	}
	if (fFilesWin->Lock()) {
		fFilesWin->SetPaths(fSearch->Found());
		const DeinstallScriptTags tags = DeinstallScriptTagsOf(fConfig);
		fFilesWin->SetUserScripts(tags.boot, tags.setupEnvironment, tags.profile);
		fFilesWin->SetCreatedFolders(DeinstallCreatedFolders(fConfig));
		const char* identity = fConfig.FindString(DeinstallRecords::IdentityField());
		fFilesWin->SetIdentity(identity != nullptr ? identity : "");
		fFilesWin->SetPosition(kCenter, this);
		fFilesWin->Pop();
		fFilesWin->Unlock();
	}
}
