// BMessageQueue: a bounded FIFO of messages with blocking, interruptible waits.
#include "MessageQueue.h"

#include <algorithm>

#include "MessageDelivery.h"
#include "ThreadWait.h"

BMessageQueue::BMessageQueue(int32 capacity)
    : fCapacity(std::max<int32>(capacity, 1)), fClosed(false), fQueuedHook(nullptr),
      fQueuedHookData(nullptr)
{
}

BMessageQueue::~BMessageQueue()
{
	Close();
}

status_t BMessageQueue::Push(BMessage* message, int32 target, bigtime_t timeout)
{
	if (message == nullptr)
		return B_BAD_VALUE;
	{
		ThreadWait wait(fLock, fNotFull);
		std::unique_lock<std::mutex> guard(fLock);
		auto hasRoom = [&] { return fClosed || int32(fEntries.size()) < fCapacity; };
		if (!hasRoom() && timeout <= 0)
			return B_WOULD_BLOCK;
		status_t status = wait.Wait(guard, ThreadWait::DeadlineAfter(timeout), hasRoom);
		if (status != B_OK)
			return status;
		if (fClosed)
			return B_BAD_PORT_ID;
		fEntries.push_back({std::unique_ptr<BMessage>(message), target});
	}
	fNotEmpty.notify_one();
	Queued();
	return B_OK;
}

status_t BMessageQueue::AddMessage(BMessage* message, int32 target, bool first)
{
	if (message == nullptr)
		return B_BAD_VALUE;
	{
		std::lock_guard<std::mutex> guard(fLock);
		if (fClosed)
			return B_BAD_PORT_ID;
		Entry entry{std::unique_ptr<BMessage>(message), target};
		if (first)
			fEntries.push_front(std::move(entry));
		else
			fEntries.push_back(std::move(entry));
	}
	fNotEmpty.notify_one();
	Queued();
	return B_OK;
}

BMessage* BMessageQueue::NextMessage(int32* target, bigtime_t timeout, status_t* status)
{
	status_t result = B_OK;
	BMessage* message = nullptr;
	{
		ThreadWait wait(fLock, fNotEmpty, B_THREAD_WAITING);
		std::unique_lock<std::mutex> guard(fLock);
		auto hasMessage = [&] { return fClosed || !fEntries.empty(); };
		if (!hasMessage() && timeout <= 0)
			result = B_WOULD_BLOCK;
		else
			result = wait.Wait(guard, ThreadWait::DeadlineAfter(timeout), hasMessage);
		if (result == B_OK && fEntries.empty())
			result = B_BAD_PORT_ID;
		if (result == B_OK) {
			message = fEntries.front().message.release();
			if (target != nullptr)
				*target = fEntries.front().target;
			fEntries.pop_front();
		}
	}
	if (message != nullptr)
		fNotFull.notify_one();
	if (status != nullptr)
		*status = result;
	return message;
}

int32 BMessageQueue::CountMessages() const
{
	std::lock_guard<std::mutex> guard(fLock);
	return int32(fEntries.size());
}

bool BMessageQueue::HasMessage(uint32 what) const
{
	std::lock_guard<std::mutex> guard(fLock);
	return std::any_of(fEntries.begin(), fEntries.end(),
	                   [&](const Entry& entry) { return entry.message->what == what; });
}

void BMessageQueue::Close()
{
	std::deque<Entry> left;
	{
		std::lock_guard<std::mutex> guard(fLock);
		fClosed = true;
		left.swap(fEntries);
	}
	fNotFull.notify_all();
	fNotEmpty.notify_all();
	for (Entry& entry : left)
		answer_unreplied(entry.message.get());
}

bool BMessageQueue::IsClosed() const
{
	std::lock_guard<std::mutex> guard(fLock);
	return fClosed;
}

void BMessageQueue::SetQueuedHook(void (*hook)(void* data), void* data)
{
	std::lock_guard<std::mutex> guard(fLock);
	fQueuedHook = hook;
	fQueuedHookData = data;
}

void BMessageQueue::Queued()
{
	void (*hook)(void*);
	void* data;
	{
		std::lock_guard<std::mutex> guard(fLock);
		hook = fQueuedHook;
		data = fQueuedHookData;
	}
	if (hook != nullptr)
		hook(data);
}

void answer_unreplied(BMessage* message)
{
	if (message == nullptr || message->Delivery() == nullptr)
		return;
	std::shared_ptr<ReplySlot> slot = message->Delivery()->replySlot;
	if (!slot)
		return;
	{
		std::lock_guard<std::mutex> guard(slot->lock);
		if (slot->done)
			return;
		slot->reply = std::make_unique<BMessage>(B_NO_REPLY);
		slot->done = true;
	}
	slot->arrived.notify_all();
}

std::unique_ptr<BMessage> delivery_copy(const BMessage& message)
{
	auto copy = std::make_unique<BMessage>(message);
	auto info = std::make_unique<BMessage::DeliveryInfo>();
	if (const BMessage::DeliveryInfo* old = message.Delivery()) {
		info->isReply = old->isReply;
		info->previous = old->previous;
		// A drop keeps its mark on the way to its target; a received drop
		// sent on is a plain message.
		if (old->dropped && !old->delivered) {
			info->dropped = true;
			info->dropPoint = old->dropPoint;
			info->dropOffset = old->dropOffset;
		}
	}
	copy->SetDelivery(std::move(info));
	return copy;
}
