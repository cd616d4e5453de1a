// WindowAlertPresenter: shows alerts as modal windows. Installed as the
// presenter when the window system's loop starts (unless one is installed).
#pragma once

#include "AlertPresenter.h"

class BWindow;

class WindowAlertPresenter : public AlertPresenter {
public:
	WindowAlertPresenter();
	~WindowAlertPresenter() override;

	// Builds the alert's window (icon, text, extra views, check boxes, buttons
	// with their shortcuts, Enter for the default button), shows it and blocks
	// the calling thread until a button is pressed or the thread is asked to
	// stop. On the main thread it runs the window system's loop meanwhile.
	int32 Present(BAlert& alert) override;

	// The process-wide instance the loop installs.
	static WindowAlertPresenter* Default();
};
