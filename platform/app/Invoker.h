// BInvoker: a message and a target; Invoke sends a copy of the message there.
#pragma once

#include "Messenger.h"
#include "SupportDefs.h"

class BHandler;
class BLooper;
class BMessage;

class BInvoker {
public:
	BInvoker();
	// Takes ownership of `message`.
	BInvoker(BMessage* message, const BHandler* handler, const BLooper* looper = nullptr);
	BInvoker(BMessage* message, BMessenger target);
	virtual ~BInvoker();
	BInvoker(const BInvoker&) = delete;
	BInvoker& operator=(const BInvoker&) = delete;

	// Takes ownership of `message` and deletes the one it replaces.
	virtual status_t SetMessage(BMessage* message);
	BMessage* Message() const { return fMessage; }
	uint32 Command() const;

	virtual status_t SetTarget(const BHandler* handler, const BLooper* looper = nullptr);
	virtual status_t SetTarget(BMessenger messenger);
	bool IsTargetLocal() const { return fMessenger.IsTargetLocal(); }
	BHandler* Target(BLooper** looper = nullptr) const;
	BMessenger Messenger() const { return fMessenger; }

	status_t SetHandlerForReply(BHandler* handler);
	BHandler* HandlerForReply() const { return fReplyTo; }
	status_t SetTimeout(bigtime_t timeout);
	bigtime_t Timeout() const { return fTimeout; }

	// Sends `message`, or a copy of the invoker's own when it is null.
	// B_BAD_VALUE without a message, B_BAD_PORT_ID without a valid target.
	virtual status_t Invoke(BMessage* message = nullptr);

protected:
	// The message an invocation sends: `message`, or the invoker's own when it is
	// null, stamped with "when" and "source". B_BAD_VALUE when there is none.
	status_t StampedMessage(BMessage* message, const void* source, BMessage* out) const;

private:
	BMessage* fMessage;
	BMessenger fMessenger;
	BHandler* fReplyTo;
	bigtime_t fTimeout;
};
