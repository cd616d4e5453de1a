// BLooper: a thread that takes messages from a bounded queue and dispatches
// them to its handlers, holding its recursive lock while it does.
#pragma once

#include <memory>
#include <vector>

#include "Handler.h"
#include "MessageQueue.h"
#include "OS.h"

struct LooperPort;

class BLooper : public BHandler {
public:
	// The looper starts locked by the constructing thread; Run unlocks it.
	explicit BLooper(const char* name = nullptr, int32 priority = B_NORMAL_PRIORITY,
	                 int32 portCapacity = B_LOOPER_PORT_DEFAULT_CAPACITY);
	~BLooper() override;

	// Starts the message loop on a new thread.
	virtual thread_id Run();
	// Ends the loop and deletes the looper. From the looper's own thread the
	// loop stops after the current message; from another thread (which should
	// hold the lock) it asks the looper to quit and waits for its thread.
	virtual void Quit();
	virtual bool QuitRequested();

	// Posting never blocks: B_WOULD_BLOCK when the queue is full.
	status_t PostMessage(uint32 command);
	status_t PostMessage(BMessage* message);
	status_t PostMessage(uint32 command, BHandler* handler, BHandler* replyTo = nullptr);
	status_t PostMessage(BMessage* message, BHandler* handler, BHandler* replyTo = nullptr);

	virtual void DispatchMessage(BMessage* message, BHandler* handler);
	void MessageReceived(BMessage* message) override;
	BMessage* CurrentMessage() const { return fCurrentMessage; }
	// The caller takes the message being dispatched and must delete it.
	BMessage* DetachCurrentMessage();

	void AddHandler(BHandler* handler);
	bool RemoveHandler(BHandler* handler);
	int32 CountHandlers() const;
	BHandler* HandlerAt(int32 index) const;
	int32 IndexOf(BHandler* handler) const;
	BHandler* PreferredHandler() const { return fPreferred; }
	void SetPreferredHandler(BHandler* handler);

	bool Lock();
	void Unlock();
	status_t LockWithTimeout(bigtime_t timeout);
	bool IsLocked() const;
	thread_id LockingThread() const;
	int32 CountLocks() const;

	thread_id Thread() const;
	team_id Team() const;
	bool IsMessageWaiting() const;
	static BLooper* LooperForThread(thread_id thread);

	// Our additions: the port id messengers address, the queue's capacity.
	port_id Port() const;
	int32 PortCapacity() const;

protected:
	// Takes the next message (waiting at most `timeout`) and dispatches it
	// under the lock. Answers false once the loop must end.
	bool DispatchNextMessage(bigtime_t timeout);
	// Makes the calling thread the looper's thread (an application's loop).
	void AdoptThread(thread_id thread);
	bool IsQuitting() const { return fTerminating; }
	void SetQuitting(bool quitting) { fTerminating = quitting; }
	BMessageQueue& Queue() const;
	// Resolves a target token to a handler of this looper, or null.
	BHandler* ResolveTarget(int32 token) const;
	// Releases every level of the lock the calling thread holds.
	int32 UnlockFully();
	// Posts the unconditional quit message at the end of the queue.
	status_t PostQuit();
	bool WasRun() const { return fRunCalled; }
	void SetRun() { fRunCalled = true; }

private:
	static int32 LoopEntry(void* data);

	std::shared_ptr<LooperPort> fPort;
	std::vector<BHandler*> fHandlers;
	BHandler* fPreferred;
	BMessage* fCurrentMessage;
	int32 fPriority;
	bool fRunCalled;
	bool fTerminating;
};

// The message Quit uses to end a loop from another thread.
enum : uint32 { B_LOOPER_QUIT = '_QIT' };
