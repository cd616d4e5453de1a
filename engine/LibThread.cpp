// LibThread: Action() on a named thread, reported by the thread-change message.
#include "LibThread.h"

#include <cstdio>

#include "Message.h"
#include "Messenger.h"

LibThread::LibThread() : thread(-1), target(nullptr) {}

LibThread::~LibThread()
{
	StopThread();
	delete target;
}

int32 LibThread::Action()
{
	return 0;
}

status_t LibThread::Suspend()
{
	return suspend_thread(thread);
}

status_t LibThread::Resume()
{
	return resume_thread(thread);
}

status_t LibThread::Kill()
{
	return kill_thread(thread);
}

status_t LibThread::Go(const char* name, BMessenger* newTarget, const int32& priority,
                       const bool& wait)
{
	if (newTarget != target) {
		delete target;
		target = newTarget;
	}
	thread = spawn_thread(StaticAction, name, priority, this);
	if (thread < 0)
		return thread;
	if (!wait)
		return resume_thread(thread);
	status_t exitValue = B_OK;
	return wait_for_thread(thread, &exitValue);
}

void LibThread::PrintToStream()
{
	static const char* const kStates[] = {"Running\n", "Ready\n",     "Receiving\n",
	                                      "Asleep\n",  "Suspended\n", "Waiting\n"};
	int32 status = Status();
	if (status >= B_THREAD_RUNNING && status <= B_THREAD_WAITING)
		fputs(kStates[status - B_THREAD_RUNNING], stderr);
	else
		fputs("Unknown\n", stderr);
}

int32 LibThread::StaticAction(void* object)
{
	return static_cast<LibThread*>(object)->StartAction();
}

int32 LibThread::StartAction()
{
	int32 result = Action();
	// A killed run ends quietly: the window reports the stop itself.
	if (target == nullptr || thread_should_stop())
		return result;
	thread_info info;
	BMessage message(LIB_THREAD_CHANGE);
	if (get_thread_info(find_thread(nullptr), &info) == B_OK)
		message.AddString("name", info.name);
	message.AddInt32("status", result);
	target->SendMessage(&message, (BHandler*)nullptr, B_INFINITE_TIMEOUT);
	return result;
}

int32 LibThread::Status() const
{
	thread_info info;
	if (thread < 0 || get_thread_info(thread, &info) != B_OK)
		return 0;
	return info.state;
}

status_t LibThread::SetPriority(const int32& priority)
{
	return set_thread_priority(thread, priority);
}

void LibThread::StopThread()
{
	if (thread < 0)
		return;
	kill_thread(thread);
	status_t exitValue = B_OK;
	wait_for_thread(thread, &exitValue);
	thread = -1;
}
