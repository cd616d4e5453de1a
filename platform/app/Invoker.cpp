// BInvoker: a message sent to a target on request.
#include "Invoker.h"

#include "Handler.h"
#include "Looper.h"
#include "Message.h"
#include "OS.h"

BInvoker::BInvoker() : fMessage(nullptr), fReplyTo(nullptr), fTimeout(B_INFINITE_TIMEOUT) {}

BInvoker::BInvoker(BMessage* message, const BHandler* handler, const BLooper* looper)
    : fMessage(message), fReplyTo(nullptr), fTimeout(B_INFINITE_TIMEOUT)
{
	SetTarget(handler, looper);
}

BInvoker::BInvoker(BMessage* message, BMessenger target)
    : fMessage(message), fMessenger(target), fReplyTo(nullptr), fTimeout(B_INFINITE_TIMEOUT)
{
}

BInvoker::~BInvoker()
{
	delete fMessage;
}

status_t BInvoker::SetMessage(BMessage* message)
{
	if (message == fMessage)
		return B_OK;
	delete fMessage;
	fMessage = message;
	return B_OK;
}

uint32 BInvoker::Command() const
{
	return fMessage != nullptr ? fMessage->what : 0;
}

status_t BInvoker::SetTarget(const BHandler* handler, const BLooper* looper)
{
	if (handler == nullptr && looper == nullptr) {
		fMessenger = BMessenger();
		return B_OK;
	}
	status_t status = B_OK;
	fMessenger = BMessenger(handler, looper, &status);
	return status;
}

status_t BInvoker::SetTarget(BMessenger messenger)
{
	fMessenger = messenger;
	return B_OK;
}

BHandler* BInvoker::Target(BLooper** looper) const
{
	return fMessenger.Target(looper);
}

status_t BInvoker::SetHandlerForReply(BHandler* handler)
{
	fReplyTo = handler;
	return B_OK;
}

status_t BInvoker::SetTimeout(bigtime_t timeout)
{
	fTimeout = timeout;
	return B_OK;
}

status_t BInvoker::Invoke(BMessage* message)
{
	if (message == nullptr)
		message = fMessage;
	if (message == nullptr)
		return B_BAD_VALUE;
	if (!fMessenger.IsValid())
		return B_BAD_PORT_ID;
	return fMessenger.SendMessage(message, fReplyTo, fTimeout);
}

status_t BInvoker::StampedMessage(BMessage* message, const void* source, BMessage* out) const
{
	if (message == nullptr)
		message = Message();
	if (message == nullptr || out == nullptr)
		return B_BAD_VALUE;
	*out = *message;
	out->AddInt64("when", system_time());
	out->AddPointer("source", source);
	return B_OK;
}
