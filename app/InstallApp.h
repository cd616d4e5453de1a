// InstallApp: the installer's application object: stamps its version,
// registers its document type, shows the window, plays the product's sound,
// relays tool tips and ends the program.
#pragma once

#include "Application.h"
#include "LibTipManager.h"

class InstallerWin;
class LibSound;

class InstallApp : public BApplication {
public:
	InstallApp();
	~InstallApp() override;

	void MessageReceived(BMessage* message) override;
	bool QuitRequested() override;
	void Pulse() override;
	void ReadyToRun() override;
	void PlaySound(BMessage* message);

	InstallerWin* Window() const { return window; }

	static const char* const kSignature;
	static const char* const kDocumentType;

private:
	LibTipManager tips;
	InstallerWin* window;
	LibSound* sound;
};
