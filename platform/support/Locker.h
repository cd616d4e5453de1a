// BLocker: a recursive lock that knows its owning thread.
#pragma once

#include <condition_variable>
#include <mutex>

#include "SupportDefs.h"

class BLocker {
public:
	BLocker();
	explicit BLocker(const char* name);
	~BLocker();

	status_t InitCheck() const { return B_OK; }
	bool Lock();
	// Waits at most `timeout` microseconds; B_TIMED_OUT when not acquired.
	status_t LockWithTimeout(bigtime_t timeout);
	void Unlock();
	bool IsLocked() const; // locked by the calling thread
	int32 LockingThread() const;
	int32 CountLocks() const;
	const char* Name() const { return fName; }

private:
	const char* fName;
	mutable std::mutex fMutex;
	std::condition_variable fReleased;
	int32 fOwner;
	int32 fCount;
};
