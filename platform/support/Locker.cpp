// BLocker on a mutex and a condition, keyed by the kernel thread id.
#include "Locker.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>

namespace {

int32 current_tid()
{
	return int32(syscall(SYS_gettid));
}

} // namespace

BLocker::BLocker() : BLocker("some BLocker") {}

BLocker::BLocker(const char* name) : fName(name), fOwner(-1), fCount(0) {}

BLocker::~BLocker() = default;

bool BLocker::Lock()
{
	return LockWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}

status_t BLocker::LockWithTimeout(bigtime_t timeout)
{
	int32 self = current_tid();
	std::unique_lock<std::mutex> guard(fMutex);
	if (fOwner == self) {
		fCount++;
		return B_OK;
	}
	auto isFree = [this] { return fCount == 0; };
	if (timeout == B_INFINITE_TIMEOUT) {
		fReleased.wait(guard, isFree);
	} else if (!fReleased.wait_for(guard, std::chrono::microseconds(timeout), isFree)) {
		return B_TIMED_OUT;
	}
	fOwner = self;
	fCount = 1;
	return B_OK;
}

void BLocker::Unlock()
{
	std::lock_guard<std::mutex> guard(fMutex);
	if (fOwner != current_tid() || fCount == 0)
		return;
	if (--fCount == 0) {
		fOwner = -1;
		fReleased.notify_one();
	}
}

bool BLocker::IsLocked() const
{
	std::lock_guard<std::mutex> guard(fMutex);
	return fCount > 0 && fOwner == current_tid();
}

int32 BLocker::LockingThread() const
{
	std::lock_guard<std::mutex> guard(fMutex);
	return fOwner;
}

int32 BLocker::CountLocks() const
{
	std::lock_guard<std::mutex> guard(fMutex);
	return fCount;
}
