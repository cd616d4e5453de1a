// BLooper: the message loop, its handlers and its lock.
#include "Looper.h"

#include <unistd.h>

#include <algorithm>

#include "LooperPort.h"
#include "Message.h"
#include "MessageDelivery.h"
#include "Messenger.h"

BLooper::BLooper(const char* name, int32 priority, int32 portCapacity)
    : BHandler(name), fPort(LooperPort::Create(this, portCapacity)), fPreferred(nullptr),
      fCurrentMessage(nullptr), fPriority(priority), fRunCalled(false), fTerminating(false)
{
	fPort->lock.Lock();
	AddHandler(this);
}

BLooper::~BLooper()
{
	LooperPort::Retire(fPort->id);
	if (fCurrentMessage != nullptr) {
		answer_unreplied(fCurrentMessage);
		delete fCurrentMessage;
		fCurrentMessage = nullptr;
	}
	for (BHandler* handler : fHandlers)
		handler->SetLooper(nullptr);
	fHandlers.clear();
	UnlockFully();
}

thread_id BLooper::Run()
{
	if (fRunCalled)
		return B_ALREADY_RUNNING;
	thread_id thread = spawn_thread(LoopEntry, Name() ? Name() : "looper", fPriority, this);
	if (thread < 0)
		return thread;
	fRunCalled = true;
	fPort->thread = thread;
	Unlock();
	resume_thread(thread);
	return thread;
}

int32 BLooper::LoopEntry(void* data)
{
	auto* looper = static_cast<BLooper*>(data);
	while (looper->DispatchNextMessage(B_INFINITE_TIMEOUT)) {
	}
	looper->Lock();
	delete looper;
	return B_OK;
}

bool BLooper::DispatchNextMessage(bigtime_t timeout)
{
	int32 target = B_PREFERRED_TOKEN;
	status_t status = B_OK;
	BMessage* message = fPort->queue.NextMessage(&target, timeout, &status);
	if (message == nullptr)
		return status == B_TIMED_OUT || status == B_WOULD_BLOCK ? !fTerminating : false;
	Lock();
	fCurrentMessage = message;
	if (message->Delivery() != nullptr)
		message->Delivery()->delivered = true;
	BHandler* handler = ResolveTarget(target);
	if (handler != nullptr)
		DispatchMessage(message, handler);
	if (fCurrentMessage != nullptr) {
		answer_unreplied(fCurrentMessage);
		delete fCurrentMessage;
		fCurrentMessage = nullptr;
	}
	bool goOn = !fTerminating && !thread_should_stop();
	Unlock();
	return goOn;
}

BHandler* BLooper::ResolveTarget(int32 token) const
{
	if (token == B_PREFERRED_TOKEN)
		return fPreferred != nullptr ? fPreferred : const_cast<BLooper*>(this);
	BHandler* handler = LooperPort::FindHandler(token);
	if (handler == nullptr || handler->Looper() != this)
		return nullptr;
	return handler;
}

void BLooper::Quit()
{
	if (!IsLocked())
		Lock();
	if (!fRunCalled) {
		delete this;
		return;
	}
	if (find_thread(nullptr) == Thread()) {
		fTerminating = true;
		return;
	}
	// The looper may be gone as soon as the lock is released: keep what we use.
	std::shared_ptr<LooperPort> port = fPort;
	thread_id thread = Thread();
	PostQuit();
	while (port->lock.IsLocked())
		port->lock.Unlock();
	wait_for_thread(thread, nullptr);
}

status_t BLooper::PostQuit()
{
	return fPort->queue.AddMessage(new BMessage(B_LOOPER_QUIT), Token());
}

bool BLooper::QuitRequested()
{
	return true;
}

status_t BLooper::PostMessage(uint32 command)
{
	BMessage message(command);
	return PostMessage(&message, this, nullptr);
}

status_t BLooper::PostMessage(BMessage* message)
{
	return PostMessage(message, this, nullptr);
}

status_t BLooper::PostMessage(uint32 command, BHandler* handler, BHandler* replyTo)
{
	BMessage message(command);
	return PostMessage(&message, handler, replyTo);
}

status_t BLooper::PostMessage(BMessage* message, BHandler* handler, BHandler* replyTo)
{
	if (message == nullptr)
		return B_BAD_VALUE;
	if (handler != nullptr && handler->Looper() != this)
		return B_MISMATCHED_VALUES;
	std::unique_ptr<BMessage> copy = delivery_copy(*message);
	if (replyTo != nullptr) {
		copy->Delivery()->replyHandler = replyTo;
		copy->Delivery()->replyLooper = replyTo->Looper();
	}
	int32 target = handler != nullptr ? handler->Token() : B_PREFERRED_TOKEN;
	status_t status = fPort->queue.Push(copy.get(), target, 0);
	if (status == B_OK)
		copy.release();
	return status;
}

void BLooper::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (message == nullptr || handler == nullptr)
		return;
	if (handler == this && message->what == B_LOOPER_QUIT) {
		Quit();
		return;
	}
	if (handler == this && message->what == B_QUIT_REQUESTED) {
		if (QuitRequested())
			Quit();
		return;
	}
	handler->MessageReceived(message);
}

void BLooper::MessageReceived(BMessage* message)
{
	BHandler::MessageReceived(message);
}

BMessage* BLooper::DetachCurrentMessage()
{
	BMessage* message = fCurrentMessage;
	fCurrentMessage = nullptr;
	return message;
}

void BLooper::AddHandler(BHandler* handler)
{
	if (handler == nullptr || handler->Looper() != nullptr)
		return;
	handler->SetLooper(this);
	fHandlers.push_back(handler);
	if (handler != this && handler->NextHandler() == nullptr)
		handler->SetNextHandler(this);
}

bool BLooper::RemoveHandler(BHandler* handler)
{
	if (handler == nullptr || handler == this || handler->Looper() != this)
		return false;
	fHandlers.erase(std::remove(fHandlers.begin(), fHandlers.end(), handler), fHandlers.end());
	handler->SetLooper(nullptr);
	if (handler->NextHandler() == this)
		handler->SetNextHandler(nullptr);
	if (fPreferred == handler)
		fPreferred = nullptr;
	return true;
}

int32 BLooper::CountHandlers() const
{
	return int32(fHandlers.size());
}

BHandler* BLooper::HandlerAt(int32 index) const
{
	if (index < 0 || index >= CountHandlers())
		return nullptr;
	return fHandlers[index];
}

int32 BLooper::IndexOf(BHandler* handler) const
{
	auto found = std::find(fHandlers.begin(), fHandlers.end(), handler);
	return found == fHandlers.end() ? -1 : int32(found - fHandlers.begin());
}

void BLooper::SetPreferredHandler(BHandler* handler)
{
	if (handler != nullptr && handler->Looper() != this)
		return;
	fPreferred = handler;
}

bool BLooper::Lock()
{
	if (!fPort->lock.Lock())
		return false;
	if (fPort->looper == nullptr) {
		fPort->lock.Unlock();
		return false;
	}
	return true;
}

void BLooper::Unlock()
{
	fPort->lock.Unlock();
}

status_t BLooper::LockWithTimeout(bigtime_t timeout)
{
	return fPort->lock.LockWithTimeout(timeout);
}

bool BLooper::IsLocked() const
{
	return fPort->lock.IsLocked();
}

thread_id BLooper::LockingThread() const
{
	return fPort->lock.LockingThread();
}

int32 BLooper::CountLocks() const
{
	return fPort->lock.CountLocks();
}

int32 BLooper::UnlockFully()
{
	int32 released = 0;
	while (fPort->lock.IsLocked()) {
		fPort->lock.Unlock();
		released++;
	}
	return released;
}

thread_id BLooper::Thread() const
{
	return fPort->thread;
}

team_id BLooper::Team() const
{
	return getpid();
}

bool BLooper::IsMessageWaiting() const
{
	return !fPort->queue.IsEmpty();
}

BLooper* BLooper::LooperForThread(thread_id thread)
{
	std::shared_ptr<LooperPort> port = LooperPort::FindThread(thread);
	return port ? port->looper.load() : nullptr;
}

port_id BLooper::Port() const
{
	return fPort->id;
}

int32 BLooper::PortCapacity() const
{
	return fPort->queue.Capacity();
}

void BLooper::AdoptThread(thread_id thread)
{
	fPort->thread = thread;
}

BMessageQueue& BLooper::Queue() const
{
	return fPort->queue;
}
