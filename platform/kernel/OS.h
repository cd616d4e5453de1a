// Kernel services of the host layer: threads with BeOS names and semantics on
// pthreads, timing, and the cooperative stop and suspend requests.
#pragma once

#include "SupportDefs.h"

typedef int32 thread_id;
typedef int32 team_id;
typedef int32 port_id;
typedef int32 sem_id;
typedef int32 (*thread_func)(void* data);

#define B_OS_NAME_LENGTH 32

enum {
	B_LOW_PRIORITY = 5,
	B_NORMAL_PRIORITY = 10,
	B_DISPLAY_PRIORITY = 15,
	B_URGENT_DISPLAY_PRIORITY = 20,
	B_REAL_TIME_DISPLAY_PRIORITY = 100,
	B_URGENT_PRIORITY = 110,
	B_REAL_TIME_PRIORITY = 120,
};

enum thread_state {
	B_THREAD_RUNNING = 1,
	B_THREAD_READY,
	B_THREAD_RECEIVING,
	B_THREAD_ASLEEP,
	B_THREAD_SUSPENDED,
	B_THREAD_WAITING,
};

struct thread_info {
	thread_id thread;
	team_id team;
	char name[B_OS_NAME_LENGTH];
	thread_state state;
	int32 priority;
	sem_id sem;
	bigtime_t user_time;
	bigtime_t kernel_time;
	void* stack_base;
	void* stack_end;
};

// A thread id is the Linux thread id (gettid), so BLocker owners and
// find_thread(NULL) agree. The team id is the process id.

// Creates a thread that stays suspended until resume_thread (or wait_for_thread).
thread_id spawn_thread(thread_func func, const char* name, int32 priority, void* data);
// Starts a new thread, or lets a suspended one continue.
status_t resume_thread(thread_id thread);
// Asks a thread to pause: at once when it suspends itself, otherwise at its
// next safe point (thread_safe_point, snooze).
status_t suspend_thread(thread_id thread);
// Asks a thread to stop. The thread ends when it next reaches a safe point and
// returns; waits it is blocked in (snooze, message queues, wake callbacks) end
// early so that it gets there. Returns at once: wait_for_thread to join.
status_t kill_thread(thread_id thread);
// Waits for the thread to end (starting it if it was never resumed).
status_t wait_for_thread(thread_id thread, status_t* exitValue);
// Ends the calling thread with `status`; destructors on its stack run.
void exit_thread(status_t status);
// The named thread of this process, or the calling one for NULL.
thread_id find_thread(const char* name);
status_t rename_thread(thread_id thread, const char* newName);
// Priorities are recorded and reported, not applied.
status_t set_thread_priority(thread_id thread, int32 newPriority);

#define get_thread_info(thread, info) _get_thread_info((thread), (info), sizeof(*(info)))
#define get_next_thread_info(team, cookie, info)                                                   \
	_get_next_thread_info((team), (cookie), (info), sizeof(*(info)))
status_t _get_thread_info(thread_id thread, thread_info* info, size_t size);
// Iterates over this process's threads; team 0 or the process id.
status_t _get_next_thread_info(team_id team, int32* cookie, thread_info* info, size_t size);

// Our additions for cooperative stopping.
// True once kill_thread was called for the calling thread.
bool thread_should_stop();
// A safe point: pauses while a suspend request holds, then answers
// B_INTERRUPTED when the thread must stop (its caller returns) or B_OK.
status_t thread_safe_point();
// Registers a callback that kill_thread of the calling thread calls (at once if
// a stop is already pending), so a blocking wait can be ended. Remove it before
// the data it uses goes away, and never while holding a lock the callback takes.
int32 add_thread_wake_hook(void (*hook)(void* data), void* data);
void remove_thread_wake_hook(int32 token);
// Reports the calling thread's state (asleep, waiting...) to get_thread_info;
// answers the previous state so it can be restored.
thread_state set_thread_state(thread_state state);

// Microseconds on a monotonic clock.
bigtime_t system_time();
// Sleeps; ends early with B_INTERRUPTED when the thread is asked to stop.
status_t snooze(bigtime_t microseconds);
status_t snooze_until(bigtime_t time, int timebase);
// Seconds since 1970-01-01 UTC.
uint32 real_time_clock();
bigtime_t real_time_clock_usecs();

enum { B_SYSTEM_TIMEBASE = 0 };
