// BMessage replies and stored messengers: the waiting sender's slot, the
// return address, duplicate replies and messenger fields.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>

#include "Looper.h"
#include "Message.h"
#include "MessageDelivery.h"
#include "Messenger.h"

namespace {

// A delivered message whose sender waits on a reply slot.
BMessage waited_message(std::shared_ptr<ReplySlot>* slot)
{
	BMessage msg('ask!');
	auto info = std::make_unique<BMessage::DeliveryInfo>();
	info->delivered = true;
	*slot = std::make_shared<ReplySlot>();
	info->replySlot = *slot;
	msg.SetDelivery(std::move(info));
	return msg;
}

TEST(MessageReplyTest, UndeliveredMessagesCannotBeAnswered)
{
	BMessage msg('none');
	BMessage reply('answ');
	EXPECT_EQ(msg.SendReply(&reply), B_BAD_REPLY);
	EXPECT_EQ(msg.SendReply(nullptr), B_BAD_VALUE);
	EXPECT_FALSE(msg.ReturnAddress().IsValid());
	EXPECT_FALSE(msg.IsSourceWaiting());
	EXPECT_FALSE(msg.IsReply());
	EXPECT_EQ(msg.Previous(), nullptr);
}

TEST(MessageReplyTest, WaitingSenderGetsOneReply)
{
	std::shared_ptr<ReplySlot> slot;
	BMessage msg = waited_message(&slot);
	EXPECT_TRUE(msg.IsSourceWaiting());

	BMessage reply('answ');
	reply.AddInt32("value", 12);
	ASSERT_EQ(msg.SendReply(&reply), B_OK);
	EXPECT_FALSE(msg.IsSourceWaiting());
	EXPECT_EQ(msg.SendReply('agai'), B_DUPLICATE_REPLY);

	ASSERT_TRUE(slot->done);
	ASSERT_NE(slot->reply, nullptr);
	EXPECT_EQ(slot->reply->what, uint32('answ'));
	EXPECT_EQ(slot->reply->FindInt32("value"), 12);
	EXPECT_TRUE(slot->reply->IsReply());
	ASSERT_NE(slot->reply->Previous(), nullptr);
	EXPECT_EQ(slot->reply->Previous()->what, uint32('ask!'));
}

// Records the replies it receives.
class ReplyLooper : public BLooper {
public:
	ReplyLooper() : BLooper("reply looper") {}

	void MessageReceived(BMessage* message) override
	{
		std::lock_guard<std::mutex> guard(fLock);
		fWhat = message->what;
		fWasReply = message->IsReply();
		fPrevious = message->Previous() != nullptr ? message->Previous()->what : 0;
		fArrived.notify_all();
	}

	// Waits up to five seconds for a message.
	bool WaitForMessage(uint32* what, bool* wasReply, uint32* previous)
	{
		std::unique_lock<std::mutex> guard(fLock);
		if (!fArrived.wait_for(guard, std::chrono::seconds(5), [this] { return fWhat != 0; }))
			return false;
		*what = fWhat;
		*wasReply = fWasReply;
		*previous = fPrevious;
		return true;
	}

private:
	std::mutex fLock;
	std::condition_variable fArrived;
	uint32 fWhat = 0;
	bool fWasReply = false;
	uint32 fPrevious = 0;
};

TEST(MessageReplyTest, ReplyGoesToTheReturnAddress)
{
	auto* looper = new ReplyLooper();
	looper->Run();

	BMessage msg('ask!');
	auto info = std::make_unique<BMessage::DeliveryInfo>();
	info->delivered = true;
	info->replyLooper = looper;
	msg.SetDelivery(std::move(info));
	EXPECT_TRUE(msg.ReturnAddress().IsValid());
	EXPECT_FALSE(msg.IsSourceWaiting());

	BMessage reply('answ');
	EXPECT_EQ(msg.SendReply(&reply), B_OK);
	// The caller's reply object keeps its own state.
	EXPECT_FALSE(reply.IsReply());

	uint32 what = 0;
	uint32 previous = 0;
	bool wasReply = false;
	ASSERT_TRUE(looper->WaitForMessage(&what, &wasReply, &previous));
	EXPECT_EQ(what, uint32('answ'));
	EXPECT_TRUE(wasReply);
	EXPECT_EQ(previous, uint32('ask!'));

	ASSERT_TRUE(looper->Lock());
	looper->Quit();
}

TEST(MessageReplyTest, MessengersAreStoredAsTheirValues)
{
	BMessenger messenger;
	messenger.SetTo(1234, 56, 78);
	BMessage msg;
	ASSERT_EQ(msg.AddMessenger("target", messenger), B_OK);
	EXPECT_TRUE(msg.HasMessenger("target"));

	std::string flat;
	ASSERT_EQ(msg.Flatten(&flat), B_OK);
	BMessage back;
	ASSERT_EQ(back.Unflatten(flat.data(), ssize_t(flat.size())), B_OK);
	BMessenger found;
	ASSERT_EQ(back.FindMessenger("target", &found), B_OK);
	EXPECT_EQ(found, messenger);
	EXPECT_EQ(found.Port(), 56);
	EXPECT_EQ(found.Token(), 78);
	EXPECT_EQ(back.FindMessenger("target", 1, &found), B_BAD_INDEX);
	EXPECT_EQ(back.FindMessenger("target", nullptr), B_BAD_VALUE);
}

} // namespace
