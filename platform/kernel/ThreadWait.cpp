// ThreadWait: registers a wake callback for the length of a blocking wait.
#include "ThreadWait.h"

ThreadWait::ThreadWait(std::mutex& mutex, std::condition_variable& condition, thread_state state)
    : fMutex(mutex), fCondition(condition), fHook(add_thread_wake_hook(&ThreadWait::Wake, this)),
      fPreviousState(set_thread_state(state))
{
}

ThreadWait::~ThreadWait()
{
	set_thread_state(fPreviousState);
	if (fHook > 0)
		remove_thread_wake_hook(fHook);
}

bigtime_t ThreadWait::DeadlineAfter(bigtime_t timeout)
{
	if (timeout == B_INFINITE_TIMEOUT)
		return B_INFINITE_TIMEOUT;
	bigtime_t now = system_time();
	if (timeout >= B_INFINITE_TIMEOUT - now)
		return B_INFINITE_TIMEOUT;
	return now + timeout;
}

// Taking the mutex first makes the wake-up land after the waiter's check.
void ThreadWait::Wake(void* data)
{
	auto* wait = static_cast<ThreadWait*>(data);
	{
		std::lock_guard<std::mutex> guard(wait->fMutex);
	}
	wait->fCondition.notify_all();
}
