// The application: version stamp, configuration check, the window centred.
#include "DeinstallApp.h"

#include "DeinstallConfig.h"
#include "DeinstallerWin.h"
#include "LibAppVersion.h"
#include "LibMessageBox.h"
#include "VantryVersion.h"

DeinstallApp::DeinstallApp() : BApplication("application/x-vnd.Quorvex.Ravex")
{
	LibSetAppVersion(VANTRY_VERSION_MAJOR, VANTRY_VERSION_MIDDLE, VANTRY_VERSION_MINOR,
	                 "Deinstaller", "Deinstall BeOS applications", 5, 0);
	fWindow = new DeinstallerWin();
	fWindow->Run();
}

DeinstallApp::~DeinstallApp() {}

void DeinstallApp::ReadyToRun()
{
	if (fWindow->Lock()) {
		const status_t status = LoadDeinstallConfig(fWindow->Config());
		fWindow->Unlock();
		if (status != B_OK) {
			LibError("%s", kNotConfiguredText);
			PostMessage(B_QUIT_REQUESTED);
			return;
		}
	}
	fWindow->SetPosition(LibWindow::kCenter);
	fWindow->Show();
}

bool DeinstallApp::QuitRequested()
{
	return true;
}
