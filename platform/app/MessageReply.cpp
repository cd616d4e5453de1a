// The parts of BMessage that need messengers: stored messengers, the
// return address and replies.
#include <cstring>

#include "ByteOrder.h"
#include "Handler.h"
#include "Message.h"
#include "MessageDelivery.h"
#include "Messenger.h"

// A messenger is stored as its plain values: port, token and team.
status_t BMessage::AddMessenger(const char* name, BMessenger messenger)
{
	uint8 bytes[12];
	write_u32le(bytes, uint32(messenger.Port()));
	write_u32le(bytes + 4, uint32(messenger.Token()));
	write_u32le(bytes + 8, uint32(messenger.Team()));
	return AddFixed(name, B_MESSENGER_TYPE, bytes, sizeof(bytes));
}

status_t BMessage::FindMessenger(const char* name, BMessenger* messenger) const
{
	return FindMessenger(name, 0, messenger);
}

status_t BMessage::FindMessenger(const char* name, int32 index, BMessenger* messenger) const
{
	if (messenger == nullptr)
		return B_BAD_VALUE;
	uint8 bytes[12];
	status_t status = FindFixed(name, B_MESSENGER_TYPE, index, bytes, sizeof(bytes));
	if (status != B_OK)
		return status;
	messenger->SetTo(team_id(read_u32(bytes + 8, false)), port_id(read_u32(bytes, false)),
	                 int32(read_u32(bytes + 4, false)));
	return B_OK;
}

BMessenger BMessage::ReturnAddress() const
{
	if (!fDelivery || fDelivery->replyLooper == nullptr)
		return BMessenger();
	return BMessenger(fDelivery->replyHandler, fDelivery->replyLooper);
}

status_t BMessage::SendReply(uint32 command, BHandler* replyTo)
{
	BMessage reply(command);
	return SendReply(&reply, replyTo);
}

// A waiting sender gets the reply through its slot; otherwise it goes to the
// return address, or to the application when the sender named none.
status_t BMessage::SendReply(BMessage* reply, BHandler* replyTo, bigtime_t timeout)
{
	if (reply == nullptr)
		return B_BAD_VALUE;
	if (!fDelivery || !fDelivery->delivered)
		return B_BAD_REPLY;

	auto previous = std::make_shared<BMessage>(*this);
	previous->SetDelivery(nullptr);
	if (fDelivery->replySlot)
		return ReplyToWaitingSender(reply, replyTo, previous);

	BMessenger target = ReturnAddress();
	if (!target.IsValid())
		target = be_app_messenger;
	if (!target.IsValid())
		return B_BAD_REPLY;
	std::unique_ptr<DeliveryInfo> saved = std::move(reply->fDelivery);
	auto info = std::make_unique<DeliveryInfo>();
	info->isReply = true;
	info->previous = previous;
	reply->fDelivery = std::move(info);
	status_t status = target.SendMessage(reply, replyTo, timeout);
	reply->fDelivery = std::move(saved);
	return status;
}

status_t BMessage::ReplyToWaitingSender(BMessage* reply, BHandler* replyTo,
                                        std::shared_ptr<BMessage> previous)
{
	ReplySlot& slot = *fDelivery->replySlot;
	std::lock_guard<std::mutex> lock(slot.lock);
	if (slot.done)
		return B_DUPLICATE_REPLY;
	auto copy = std::make_unique<BMessage>(*reply);
	auto info = std::make_unique<DeliveryInfo>();
	info->delivered = true;
	info->isReply = true;
	info->previous = std::move(previous);
	if (replyTo != nullptr) {
		info->replyHandler = replyTo;
		info->replyLooper = replyTo->Looper();
	}
	copy->fDelivery = std::move(info);
	slot.reply = std::move(copy);
	slot.done = true;
	slot.arrived.notify_all();
	return B_OK;
}
