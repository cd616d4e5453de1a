// BMessenger: an address of a handler in a looper of this program, through
// which messages are sent, optionally waiting for a reply.
#pragma once

#include "OS.h"
#include "SupportDefs.h"

class BHandler;
class BLooper;
class BMessage;

// Handler tokens a messenger can carry.
enum : int32 {
	B_NULL_TOKEN = -1,
	B_PREFERRED_TOKEN = -2,
};

class BMessenger {
public:
	BMessenger();
	// Only this program can be reached by signature: its be_app.
	BMessenger(const char* signature, team_id team = -1, status_t* result = nullptr);
	// Aims at `handler` in its looper, or at `looper`'s preferred handler when
	// `handler` is null.
	BMessenger(const BHandler* handler, const BLooper* looper = nullptr,
	           status_t* result = nullptr);
	BMessenger(const BMessenger& other);
	BMessenger& operator=(const BMessenger& other);
	~BMessenger();

	bool IsTargetLocal() const;
	// The target handler (null for the preferred handler) and its looper.
	BHandler* Target(BLooper** looper) const;
	bool LockTarget() const;
	status_t LockTargetWithTimeout(bigtime_t timeout) const;

	// Queues a copy of the message; blocks while the target's queue is full,
	// at most `timeout` (B_TIMED_OUT, or B_WOULD_BLOCK for a timeout of 0).
	status_t SendMessage(uint32 command, BHandler* replyTo = nullptr) const;
	status_t SendMessage(BMessage* message, BHandler* replyTo = nullptr,
	                     bigtime_t timeout = B_INFINITE_TIMEOUT) const;
	status_t SendMessage(BMessage* message, BMessenger replyTo,
	                     bigtime_t timeout = B_INFINITE_TIMEOUT) const;
	// Sends and waits for the reply (B_NO_REPLY when the target answers none).
	status_t SendMessage(uint32 command, BMessage* reply) const;
	status_t SendMessage(BMessage* message, BMessage* reply,
	                     bigtime_t deliveryTimeout = B_INFINITE_TIMEOUT,
	                     bigtime_t replyTimeout = B_INFINITE_TIMEOUT) const;

	bool IsValid() const;
	team_id Team() const;

	bool operator==(const BMessenger& other) const;
	bool operator!=(const BMessenger& other) const { return !(*this == other); }

	// Our addition: the messenger as plain values, for storing it in a
	// message. The port is the looper's token, the token the handler's
	// (B_PREFERRED_TOKEN for the looper's preferred handler).
	port_id Port() const { return fPort; }
	int32 Token() const { return fHandlerToken; }
	void SetTo(team_id team, port_id port, int32 token);

private:
	status_t Deliver(BMessage* message, const BMessenger* replyTo, bigtime_t timeout,
	                 BMessage* reply, bigtime_t replyTimeout) const;

	port_id fPort;
	int32 fHandlerToken;
	team_id fTeam;
};

bool operator<(const BMessenger& a, const BMessenger& b);

// The application's messenger, valid once be_app exists.
extern BMessenger be_app_messenger;
