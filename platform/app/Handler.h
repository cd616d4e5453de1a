// BHandler: an object that receives messages within a looper.
#pragma once

#include <string>

#include "OS.h"
#include "SupportDefs.h"

class BLooper;
class BMessage;

class BHandler {
public:
	explicit BHandler(const char* name = nullptr);
	virtual ~BHandler();
	BHandler(const BHandler&) = delete;
	BHandler& operator=(const BHandler&) = delete;

	// Passes the message to the next handler; at the end of the chain a
	// sender waiting for a reply gets B_MESSAGE_NOT_UNDERSTOOD.
	virtual void MessageReceived(BMessage* message);

	BLooper* Looper() const { return fLooper; }
	void SetName(const char* name);
	const char* Name() const;
	virtual void SetNextHandler(BHandler* handler);
	BHandler* NextHandler() const { return fNextHandler; }

	bool LockLooper();
	status_t LockLooperWithTimeout(bigtime_t timeout);
	void UnlockLooper();

	// Our addition: the token messengers use to address this handler.
	int32 Token() const { return fToken; }

private:
	friend class BLooper;
	void SetLooper(BLooper* looper);

	std::string fName;
	bool fHasName;
	BLooper* fLooper;
	BHandler* fNextHandler;
	int32 fToken;
};
