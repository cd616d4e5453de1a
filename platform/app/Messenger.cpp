// BMessenger: addresses a handler by looper port and handler token, so a
// messenger outliving its target fails cleanly instead of touching it.
#include "Messenger.h"

#include <strings.h>
#include <unistd.h>

#include <tuple>

#include "Application.h"
#include "Looper.h"
#include "LooperPort.h"
#include "MessageDelivery.h"
#include "ThreadWait.h"

BMessenger be_app_messenger;

BMessenger::BMessenger() : fPort(-1), fHandlerToken(B_NULL_TOKEN), fTeam(-1) {}

BMessenger::BMessenger(const char* signature, team_id team, status_t* result) : BMessenger()
{
	status_t status = B_BAD_VALUE;
	if (signature != nullptr && be_app != nullptr && be_app->Signature() != nullptr &&
	    strcasecmp(signature, be_app->Signature()) == 0 && (team < 0 || team == getpid())) {
		*this = be_app_messenger;
		status = IsValid() ? B_OK : B_BAD_VALUE;
	}
	if (result != nullptr)
		*result = status;
}

BMessenger::BMessenger(const BHandler* handler, const BLooper* looper, status_t* result)
    : BMessenger()
{
	status_t status = B_OK;
	if (handler != nullptr) {
		// Pointers may be stale (a return address); check before using them.
		std::shared_ptr<LooperPort> port;
		if (!LooperPort::IsHandler(handler))
			status = B_BAD_HANDLER;
		else if (handler->Looper() == nullptr || (looper != nullptr && handler->Looper() != looper))
			status = B_MISMATCHED_VALUES;
		else if (!(port = LooperPort::FindLooper(handler->Looper())))
			status = B_BAD_PORT_ID;
		else
			SetTo(getpid(), port->id, handler->Token());
	} else if (looper != nullptr) {
		std::shared_ptr<LooperPort> port = LooperPort::FindLooper(looper);
		if (port)
			SetTo(getpid(), port->id, B_PREFERRED_TOKEN);
		else
			status = B_BAD_VALUE;
	} else {
		status = B_BAD_VALUE;
	}
	if (result != nullptr)
		*result = status;
}

BMessenger::BMessenger(const BMessenger& other) = default;

BMessenger& BMessenger::operator=(const BMessenger& other) = default;

BMessenger::~BMessenger() = default;

void BMessenger::SetTo(team_id team, port_id port, int32 token)
{
	fTeam = team;
	fPort = port;
	fHandlerToken = token;
}

bool BMessenger::IsTargetLocal() const
{
	return fTeam == getpid() && IsValid();
}

BHandler* BMessenger::Target(BLooper** looper) const
{
	std::shared_ptr<LooperPort> port = fTeam == getpid() ? LooperPort::Find(fPort) : nullptr;
	BLooper* owner = port ? port->looper.load() : nullptr;
	if (looper != nullptr)
		*looper = owner;
	if (owner == nullptr || fHandlerToken == B_PREFERRED_TOKEN)
		return nullptr;
	BHandler* handler = LooperPort::FindHandler(fHandlerToken);
	return handler != nullptr && handler->Looper() == owner ? handler : nullptr;
}

bool BMessenger::LockTarget() const
{
	return LockTargetWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}

status_t BMessenger::LockTargetWithTimeout(bigtime_t timeout) const
{
	std::shared_ptr<LooperPort> port = fTeam == getpid() ? LooperPort::Find(fPort) : nullptr;
	if (!port)
		return B_BAD_VALUE;
	status_t status = port->lock.LockWithTimeout(timeout);
	if (status != B_OK)
		return status;
	// The looper may have gone while we waited for its lock.
	if (port->looper == nullptr) {
		port->lock.Unlock();
		return B_BAD_VALUE;
	}
	return B_OK;
}

status_t BMessenger::SendMessage(uint32 command, BHandler* replyTo) const
{
	BMessage message(command);
	return SendMessage(&message, replyTo);
}

status_t BMessenger::SendMessage(BMessage* message, BHandler* replyTo, bigtime_t timeout) const
{
	if (replyTo == nullptr)
		return Deliver(message, nullptr, timeout, nullptr, 0);
	BMessenger returnAddress(replyTo);
	return Deliver(message, &returnAddress, timeout, nullptr, 0);
}

status_t BMessenger::SendMessage(BMessage* message, BMessenger replyTo, bigtime_t timeout) const
{
	return Deliver(message, &replyTo, timeout, nullptr, 0);
}

status_t BMessenger::SendMessage(uint32 command, BMessage* reply) const
{
	BMessage message(command);
	return SendMessage(&message, reply);
}

status_t BMessenger::SendMessage(BMessage* message, BMessage* reply, bigtime_t deliveryTimeout,
                                 bigtime_t replyTimeout) const
{
	if (reply == nullptr)
		return B_BAD_VALUE;
	return Deliver(message, nullptr, deliveryTimeout, reply, replyTimeout);
}

status_t BMessenger::Deliver(BMessage* message, const BMessenger* replyTo, bigtime_t timeout,
                             BMessage* reply, bigtime_t replyTimeout) const
{
	if (message == nullptr)
		return B_BAD_VALUE;
	std::shared_ptr<LooperPort> port = fTeam == getpid() ? LooperPort::Find(fPort) : nullptr;
	if (!port)
		return B_BAD_PORT_ID;
	bool toSelf = port->thread == find_thread(nullptr);
	if (toSelf && reply != nullptr)
		return B_MESSAGE_TO_SELF;

	std::unique_ptr<BMessage> copy = delivery_copy(*message);
	BMessage::DeliveryInfo* info = copy->Delivery();
	BMessenger returnAddress = replyTo != nullptr ? *replyTo : be_app_messenger;
	info->replyHandler = returnAddress.Target(&info->replyLooper);
	std::shared_ptr<ReplySlot> slot;
	if (reply != nullptr) {
		slot = std::make_shared<ReplySlot>();
		info->replySlot = slot;
	}

	// A looper cannot drain its own full queue while it waits for room.
	status_t status = port->queue.Push(copy.get(), fHandlerToken, toSelf ? 0 : timeout);
	if (status != B_OK)
		return status;
	copy.release();
	if (!slot)
		return B_OK;

	std::unique_ptr<BMessage> answer;
	{
		ThreadWait wait(slot->lock, slot->arrived);
		std::unique_lock<std::mutex> guard(slot->lock);
		status = wait.Wait(guard, ThreadWait::DeadlineAfter(replyTimeout),
		                   [&] { return slot->done; });
		if (status == B_OK)
			answer = std::move(slot->reply);
	}
	if (status != B_OK)
		return status;
	if (answer)
		*reply = *answer;
	else
		*reply = BMessage(B_NO_REPLY);
	return B_OK;
}

bool BMessenger::IsValid() const
{
	if (fTeam != getpid() || !LooperPort::Find(fPort))
		return false;
	return fHandlerToken == B_PREFERRED_TOKEN || LooperPort::FindHandler(fHandlerToken) != nullptr;
}

team_id BMessenger::Team() const
{
	return fTeam;
}

bool BMessenger::operator==(const BMessenger& other) const
{
	return fTeam == other.fTeam && fPort == other.fPort && fHandlerToken == other.fHandlerToken;
}

bool operator<(const BMessenger& a, const BMessenger& b)
{
	return std::make_tuple(a.Team(), a.Port(), a.Token()) <
	       std::make_tuple(b.Team(), b.Port(), b.Token());
}
