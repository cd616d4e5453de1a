// LibTipManager: the tip requests, delays and the tip window.
#include "LibTipManager.h"

#include "Application.h"
#include "LibTipWin.h"
#include "Message.h"

namespace {

const bigtime_t kSecond = 1000000;

} // namespace

LibTipManager::LibTipManager()
    : fTipWin(nullptr), fShowTips(true), fStartDelay(1), fEndDelay(4), fPending(false)
{
}

LibTipManager::~LibTipManager()
{
	// The application's loop may have closed the tip window already.
	if (fTipWin == nullptr || !fTipMessenger.LockTarget())
		return;
	fTipWin->Quit();
}

void LibTipManager::MessageReceived(BMessage* message)
{
	if (message == nullptr || !fShowTips)
		return;
	CreateTipWindow();
	bool show = false;
	message->FindBool("show", &show);
	if (!show) {
		HideTip();
		return;
	}
	RequestTip(*message);
}

void LibTipManager::CreateTipWindow()
{
	if (fTipWin != nullptr)
		return;
	fTipWin = new LibTipWin();
	fTipMessenger = BMessenger(fTipWin);
	// Windows start hidden; running the loop keeps it so.
	fTipWin->Run();
}

void LibTipManager::HideTip()
{
	if (fTipWin->Lock()) {
		fTipWin->Hide();
		fTipWin->Unlock();
	}
	fPending = false;
	SetApplicationPulse(0);
}

void LibTipManager::RequestTip(const BMessage& message)
{
	const char* text = nullptr;
	message.FindString("tip", &text);
	int32 width = 0;
	message.FindInt32("width", &width);
	BPoint where;
	message.FindPoint("loc", &where);
	int16 startDelay = 1;
	int16 endDelay = 4;
	message.FindInt16("sdelay", &startDelay);
	message.FindInt16("edelay", &endDelay);
	fStartDelay = startDelay < 0 ? 0 : startDelay;
	fEndDelay = endDelay < 0 ? 0 : endDelay;
	if (fTipWin->Lock()) {
		fTipWin->SetText(text, width);
		fTipWin->PopTo(where, 0);
		fTipWin->Unlock();
	}
	fPending = true;
	SetApplicationPulse(bigtime_t(fStartDelay) * kSecond);
	if (fStartDelay == 0)
		PopUp();
}

void LibTipManager::PostPending()
{
	if (!fPending || fTipWin == nullptr)
		return;
	PopUp();
}

void LibTipManager::PopUp()
{
	if (fTipWin->Lock()) {
		fTipWin->Pop();
		fTipWin->SetPulseRate(bigtime_t(fEndDelay) * kSecond);
		fTipWin->Unlock();
	}
	fPending = false;
}

void LibTipManager::SetShowTips(const bool& show)
{
	fShowTips = show;
}

void LibTipManager::ToggleTips()
{
	fShowTips = !fShowTips;
}

void LibTipManager::SetApplicationPulse(const bigtime_t& rate)
{
	if (be_app != nullptr)
		be_app->SetPulseRate(rate);
}
