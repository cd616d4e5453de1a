// ThreadWait: a blocking wait on a condition variable that kill_thread can end,
// and that shows the calling thread as blocked in get_thread_info.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "OS.h"

// Construct it before locking `mutex` and let it go after unlocking, so that the
// wake callback (which takes `mutex` briefly) never waits on its own owner:
//	ThreadWait wait(fMutex, fCondition);
//	std::unique_lock<std::mutex> guard(fMutex);
//	status_t status = wait.Wait(guard, deadline, [&] { return ready; });
class ThreadWait {
public:
	ThreadWait(std::mutex& mutex, std::condition_variable& condition,
	           thread_state state = B_THREAD_WAITING);
	~ThreadWait();
	ThreadWait(const ThreadWait&) = delete;
	ThreadWait& operator=(const ThreadWait&) = delete;

	// Waits until `ready` holds (B_OK), the absolute system_time() deadline
	// passes (B_TIMED_OUT; B_INFINITE_TIMEOUT for none) or the calling thread
	// is asked to stop (B_INTERRUPTED). `guard` holds the mutex.
	template <class Predicate>
	status_t Wait(std::unique_lock<std::mutex>& guard, bigtime_t deadline, Predicate ready);

	// A deadline `timeout` microseconds from now, saturating.
	static bigtime_t DeadlineAfter(bigtime_t timeout);

private:
	static void Wake(void* data);

	std::mutex& fMutex;
	std::condition_variable& fCondition;
	int32 fHook;
	thread_state fPreviousState;
};

template <class Predicate>
status_t ThreadWait::Wait(std::unique_lock<std::mutex>& guard, bigtime_t deadline, Predicate ready)
{
	auto done = [&] { return ready() || thread_should_stop(); };
	if (deadline == B_INFINITE_TIMEOUT) {
		fCondition.wait(guard, done);
	} else {
		auto until = std::chrono::steady_clock::time_point(std::chrono::microseconds(deadline));
		fCondition.wait_until(guard, until, done);
	}
	if (ready())
		return B_OK;
	return thread_should_stop() ? B_INTERRUPTED : B_TIMED_OUT;
}
