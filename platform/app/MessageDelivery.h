// How a message travels between loopers: the state a BMessage carries once it
// has been sent. Only loopers, messengers, BMessage itself and the window
// host (which marks drops) include this.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>

#include "Message.h"

class BLooper;
class BHandler;

// Where a synchronous sender waits for its reply.
struct ReplySlot {
	std::mutex lock;
	std::condition_variable arrived;
	std::unique_ptr<BMessage> reply;
	bool done = false;
};

struct BMessage::DeliveryInfo {
	bool delivered = false;
	bool dropped = false;
	bool isReply = false;
	BPoint dropPoint;
	BPoint dropOffset;
	// The return address: where replies go when no reply slot waits.
	BLooper* replyLooper = nullptr;
	BHandler* replyHandler = nullptr;
	// Set while a sender blocks in SendMessage(message, &reply).
	std::shared_ptr<ReplySlot> replySlot;
	// The message that was being handled when this one is a reply.
	std::shared_ptr<BMessage> previous;
};
