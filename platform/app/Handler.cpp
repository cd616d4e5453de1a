// BHandler: names, the handler chain and the token table entry.
#include "Handler.h"

#include "Looper.h"
#include "LooperPort.h"
#include "Message.h"

BHandler::BHandler(const char* name)
    : fName(name ? name : ""), fHasName(name != nullptr), fLooper(nullptr), fNextHandler(nullptr),
      fToken(LooperPort::RegisterHandler(this))
{
}

BHandler::~BHandler()
{
	if (fLooper != nullptr && fLooper != this && LockLooper()) {
		BLooper* looper = fLooper;
		looper->RemoveHandler(this);
		looper->Unlock();
	}
	LooperPort::UnregisterHandler(fToken);
}

void BHandler::MessageReceived(BMessage* message)
{
	if (message == nullptr)
		return;
	if (fNextHandler != nullptr && fNextHandler != this) {
		fNextHandler->MessageReceived(message);
		return;
	}
	if (message->IsSourceWaiting() && message->what != B_MESSAGE_NOT_UNDERSTOOD)
		message->SendReply(B_MESSAGE_NOT_UNDERSTOOD);
}

void BHandler::SetName(const char* name)
{
	fName = name ? name : "";
	fHasName = name != nullptr;
}

const char* BHandler::Name() const
{
	return fHasName ? fName.c_str() : nullptr;
}

void BHandler::SetNextHandler(BHandler* handler)
{
	if (handler == this)
		return;
	fNextHandler = handler;
}

bool BHandler::LockLooper()
{
	BLooper* looper = fLooper;
	if (looper == nullptr || !looper->Lock())
		return false;
	if (fLooper != looper) {
		looper->Unlock();
		return false;
	}
	return true;
}

status_t BHandler::LockLooperWithTimeout(bigtime_t timeout)
{
	BLooper* looper = fLooper;
	if (looper == nullptr)
		return B_BAD_VALUE;
	status_t status = looper->LockWithTimeout(timeout);
	if (status != B_OK)
		return status;
	if (fLooper != looper) {
		looper->Unlock();
		return B_MISMATCHED_VALUES;
	}
	return B_OK;
}

void BHandler::UnlockLooper()
{
	if (fLooper != nullptr)
		fLooper->Unlock();
}

void BHandler::SetLooper(BLooper* looper)
{
	fLooper = looper;
}
