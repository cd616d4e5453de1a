// LibThread: an object that runs its Action() on a thread of its own and tells
// a messenger, by the thread-change message, when the action has ended.
#pragma once

#include "OS.h"
#include "SupportDefs.h"

class BMessenger;

// The thread-change message, with "name" (string) and "status" (int32).
enum { LIB_THREAD_CHANGE = 'LThC' };

class LibThread {
public:
	LibThread();

	virtual int32 Action();
	virtual ~LibThread();
	virtual status_t Suspend();
	virtual status_t Resume();
	// A stop request: the thread ends at its next safe point and, having been
	// stopped, sends no thread-change message.
	virtual status_t Kill();
	// Takes ownership of `target`. With `wait` the call returns when the
	// thread has ended, with the status of wait_for_thread.
	virtual status_t Go(const char* name, BMessenger* target, const int32& priority,
	                    const bool& wait);
	virtual void PrintToStream();

	static int32 StaticAction(void* object);
	int32 StartAction();

	// 1 running ... 6 waiting, as the kernel reports it; 0 without a thread.
	int32 Status() const;
	status_t SetPriority(const int32& priority);
	thread_id Thread() const { return thread; }

protected:
	// Asks a running thread to stop and waits for its end. A derived class
	// calls it first in its destructor, so the thread never runs its Action()
	// on members that are being destroyed.
	void StopThread();

	thread_id thread;
	BMessenger* target;
};
