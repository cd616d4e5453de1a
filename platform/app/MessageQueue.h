// BMessageQueue: the bounded queue of a looper, standing in for its port.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

#include "Message.h"
#include "OS.h"

// The platform's default port capacity for a looper.
#define B_LOOPER_PORT_DEFAULT_CAPACITY 200

class BMessageQueue {
public:
	explicit BMessageQueue(int32 capacity = B_LOOPER_PORT_DEFAULT_CAPACITY);
	~BMessageQueue();
	BMessageQueue(const BMessageQueue&) = delete;
	BMessageQueue& operator=(const BMessageQueue&) = delete;

	// Appends `message` (taking it) for the handler with token `target`;
	// blocks while the queue is full, at most `timeout`: B_WOULD_BLOCK for a
	// timeout of 0, B_TIMED_OUT, B_INTERRUPTED when the sender is asked to
	// stop, B_BAD_PORT_ID once closed. The message is not taken on failure.
	status_t Push(BMessage* message, int32 target, bigtime_t timeout);
	// Adds regardless of capacity, at the end or the front: the looper's own
	// control messages (quit, ready to run) must always get through.
	status_t AddMessage(BMessage* message, int32 target, bool first = false);
	// Takes the first message and its target, waiting at most `timeout`; null
	// with B_TIMED_OUT, B_WOULD_BLOCK, B_INTERRUPTED or B_BAD_PORT_ID.
	BMessage* NextMessage(int32* target, bigtime_t timeout, status_t* status);

	int32 CountMessages() const;
	bool IsEmpty() const { return CountMessages() == 0; }
	int32 Capacity() const { return fCapacity; }
	bool HasMessage(uint32 what) const;

	// Refuses further messages, wakes everyone waiting and discards what is
	// left, answering waiting senders with B_NO_REPLY.
	void Close();
	bool IsClosed() const;

	// Called after each message is queued, from the sending thread: lets a
	// foreign event loop wake up.
	void SetQueuedHook(void (*hook)(void* data), void* data);

private:
	struct Entry {
		std::unique_ptr<BMessage> message;
		int32 target;
	};

	void Queued();

	const int32 fCapacity;
	mutable std::mutex fLock;
	std::condition_variable fNotFull;
	std::condition_variable fNotEmpty;
	std::deque<Entry> fEntries;
	bool fClosed;
	void (*fQueuedHook)(void*);
	void* fQueuedHookData;
};

// A copy of `message` to be queued, with fresh delivery state that keeps
// only whether it is a reply and to what.
std::unique_ptr<BMessage> delivery_copy(const BMessage& message);

// Answers a sender still waiting on `message` with B_NO_REPLY.
void answer_unreplied(BMessage* message);
