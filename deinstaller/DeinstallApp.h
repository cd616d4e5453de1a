// DeinstallApp: the deinstaller's application: its version, its configuration
// and its main window.
#pragma once

#include "Application.h"

class DeinstallerWin;

class DeinstallApp : public BApplication {
public:
	DeinstallApp();
	~DeinstallApp() override;

	// Reads the configuration; shows the window, or says it is missing and quits.
	void ReadyToRun() override;
	bool QuitRequested() override;

private:
	DeinstallerWin* fWindow;
};
