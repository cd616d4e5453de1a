// InstallApp: start-up in its fixed order, the sound, tips and quitting.
#include "InstallApp.h"

#include "DocumentType.h"
#include "InstallerWin.h"
#include "LibAppVersion.h"
#include "LibSound.h"
#include "LibWindow.h"
#include "LoginScripts.h"
#include "VantryVersion.h"

namespace {

const uint32 kFinalVariety = 5;

} // namespace

const char* const InstallApp::kSignature = "application/x-vnd.Quorvex.Vanex";
const char* const InstallApp::kDocumentType = "text/x-vanex";

InstallApp::InstallApp() : BApplication(kSignature), window(nullptr), sound(nullptr)
{
	// A read-only medium leaves the stamp out, silently.
	LibSetAppVersion(VANTRY_VERSION_MAJOR, VANTRY_VERSION_MIDDLE, VANTRY_VERSION_MINOR, "Installer",
	                 "V" VANTRY_VERSION_TEXT " Install BeOS applications", kFinalVariety, 0);
	// The Linux desktop has its own defaults: merely opening the installer
	// writes nothing into the user's home there.
	if (!LinuxDesktopLayout())
		RegisterPreferredApp(kDocumentType, kSignature);
	window = new InstallerWin();
	window->Run();
	sound = nullptr;
}

InstallApp::~InstallApp()
{
	delete sound;
}

void InstallApp::ReadyToRun()
{
	window->SetPosition(LibWindow::kCenter);
	window->LoadResources();
	window->Show();
}

void InstallApp::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case INSTALLER_PLAY_SOUND: PlaySound(message); break;
		case INSTALLER_TIP: tips.MessageReceived(message); break;
		default: BApplication::MessageReceived(message); break;
	}
}

void InstallApp::PlaySound(BMessage* message)
{
	delete sound;
	sound = new LibSound(*message, "AudioFile");
	sound->Play();
}

void InstallApp::Pulse()
{
	tips.PostPending();
}

bool InstallApp::QuitRequested()
{
	window->QuitRunning();
	return true;
}
