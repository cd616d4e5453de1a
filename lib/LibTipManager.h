// LibTipManager: shows tool-tips on request, after a start delay and for an
// end delay; it lives on the application's thread, driven by the tip
// messages and the application's pulse.
#pragma once

#include "Messenger.h"

#include "SupportDefs.h"

class BMessage;
class LibTipWin;

// The tip request's code as the application's controls use it.
enum : uint32 { LIB_TIP_MESSAGE = 'stip' };

class LibTipManager {
public:
	LibTipManager();
	virtual ~LibTipManager();
	LibTipManager(const LibTipManager&) = delete;
	LibTipManager& operator=(const LibTipManager&) = delete;

	// A tip request: fields "show", "tip", "loc", "width", "sdelay", "edelay".
	void MessageReceived(BMessage* message);
	// From the application's pulse: shows the pending tip.
	void PostPending();
	void SetShowTips(const bool& show);
	void ToggleTips();
	bool ShowTips() const { return fShowTips; }

	// State for the application and tests.
	bool IsPending() const { return fPending; }
	int32 StartDelay() const { return fStartDelay; }
	int32 EndDelay() const { return fEndDelay; }
	LibTipWin* TipWindow() const { return fTipWin; }

private:
	void CreateTipWindow();
	void HideTip();
	void RequestTip(const BMessage& message);
	void PopUp();
	static void SetApplicationPulse(const bigtime_t& rate);

	LibTipWin* fTipWin;
	BMessenger fTipMessenger;
	bool fShowTips;
	int32 fStartDelay;
	int32 fEndDelay;
	bool fPending;
};
