// AlertPresenter: the one seam through which every alert reaches the user,
// a window, a scripted responder or the standard error stream.
#pragma once

#include "SupportDefs.h"

class BAlert;

class AlertPresenter {
public:
	virtual ~AlertPresenter();

	// Shows the alert and answers the index of the pressed button, or
	// B_ALERT_DISMISSED when a stop request of the calling thread ended the wait.
	// Control values the user changed are set on the alert (SetControlValue).
	virtual int32 Present(BAlert& alert) = 0;

	// The process-wide presenter; NULL means the plain text fallback. The
	// presenter is not owned and must outlive every alert shown through it.
	static AlertPresenter* Get();
	// Installs a presenter and answers the one it replaces.
	static AlertPresenter* Set(AlertPresenter* presenter);

	// True when the calling thread was asked to stop, so a waiting alert must go.
	static bool StopRequested();
};

// Makes a presenter answer every alert for the life of this object, then puts
// back the one that answered before.
class AlertPresenterScope {
public:
	explicit AlertPresenterScope(AlertPresenter* presenter)
	    : fPrevious(AlertPresenter::Set(presenter))
	{
	}
	~AlertPresenterScope() { AlertPresenter::Set(fPrevious); }
	AlertPresenterScope(const AlertPresenterScope&) = delete;
	AlertPresenterScope& operator=(const AlertPresenterScope&) = delete;

private:
	AlertPresenter* fPrevious;
};
