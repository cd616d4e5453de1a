// Threads: spawning, naming, information, suspension and stop requests.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <set>
#include <string>

#include "OS.h"

namespace {

// Waits for `condition` at most five seconds; a hang fails instead of blocking.
template <class Condition> bool eventually(Condition condition)
{
	bigtime_t deadline = system_time() + 5000000;
	while (!condition()) {
		if (system_time() > deadline)
			return false;
		snooze(1000);
	}
	return true;
}

int32 return_data(void* data)
{
	return int32(reinterpret_cast<intptr_t>(data));
}

int32 exit_early(void* data)
{
	exit_thread(int32(reinterpret_cast<intptr_t>(data)));
	return -1;
}

int32 count_loops(void* data)
{
	auto* counter = static_cast<std::atomic<int32>*>(data);
	while (thread_safe_point() == B_OK) {
		(*counter)++;
		snooze(500);
	}
	return 77;
}

int32 sleep_long(void* data)
{
	auto* before = static_cast<std::atomic<bool>*>(data);
	*before = true;
	return snooze(60000000) == B_INTERRUPTED ? 1 : 0;
}

struct WakeState {
	std::mutex lock;
	std::condition_variable changed;
	std::atomic<bool> waiting{false};
	bool answered = false;
};

void wake_dialog(void* data)
{
	auto* state = static_cast<WakeState*>(data);
	std::lock_guard<std::mutex> guard(state->lock);
	state->answered = true;
	state->changed.notify_all();
}

// Stands for a modal dialog that only a wake callback can dismiss.
int32 wait_for_dialog(void* data)
{
	auto* state = static_cast<WakeState*>(data);
	int32 hook = add_thread_wake_hook(wake_dialog, state);
	{
		std::unique_lock<std::mutex> guard(state->lock);
		state->waiting = true;
		state->changed.wait(guard, [&] { return state->answered; });
	}
	remove_thread_wake_hook(hook);
	return thread_should_stop() ? 5 : 6;
}

int32 report_name(void* data)
{
	auto* id = static_cast<std::atomic<thread_id>*>(data);
	*id = find_thread(nullptr);
	return 0;
}

} // namespace

TEST(ThreadTest, ExitValuesReachTheWaiter)
{
	struct Case {
		thread_func func;
		int32 value;
	};
	const Case cases[] = {{return_data, 42}, {return_data, -3}, {exit_early, 9}};
	for (const Case& c : cases) {
		thread_id id = spawn_thread(c.func, "exit value", B_NORMAL_PRIORITY,
		                            reinterpret_cast<void*>(intptr_t(c.value)));
		ASSERT_GT(id, 0);
		ASSERT_EQ(resume_thread(id), B_OK);
		status_t exitValue = 0;
		ASSERT_EQ(wait_for_thread(id, &exitValue), B_OK);
		EXPECT_EQ(exitValue, c.value);
	}
}

TEST(ThreadTest, WaitStartsAThreadThatWasNeverResumed)
{
	thread_id id = spawn_thread(return_data, "never resumed", B_LOW_PRIORITY,
	                            reinterpret_cast<void*>(intptr_t(5)));
	thread_info info;
	ASSERT_EQ(get_thread_info(id, &info), B_OK);
	EXPECT_EQ(info.state, B_THREAD_SUSPENDED);
	status_t exitValue = 0;
	ASSERT_EQ(wait_for_thread(id, &exitValue), B_OK);
	EXPECT_EQ(exitValue, 5);
	EXPECT_EQ(get_thread_info(id, &info), B_BAD_THREAD_ID);
	EXPECT_EQ(resume_thread(id), B_BAD_THREAD_ID);
}

TEST(ThreadTest, ThreadIdIsTheSystemThreadId)
{
	std::atomic<thread_id> seen{0};
	thread_id id = spawn_thread(report_name, "who am i", B_NORMAL_PRIORITY, &seen);
	ASSERT_EQ(wait_for_thread(id, nullptr), B_OK);
	EXPECT_EQ(seen.load(), id);
	EXPECT_EQ(find_thread(nullptr), thread_id(gettid()));
}

TEST(ThreadTest, NamesInfoAndPriority)
{
	std::atomic<int32> loops{0};
	const char* longName = "a thread with a long name of 40 characters";
	thread_id id = spawn_thread(count_loops, longName, B_DISPLAY_PRIORITY, &loops);
	thread_info info;
	ASSERT_EQ(get_thread_info(id, &info), B_OK);
	EXPECT_EQ(std::string(info.name), std::string(longName, B_OS_NAME_LENGTH - 1));
	EXPECT_EQ(info.priority, B_DISPLAY_PRIORITY);
	EXPECT_EQ(info.team, getpid());
	EXPECT_EQ(info.thread, id);
	EXPECT_EQ(find_thread(info.name), id);

	ASSERT_EQ(rename_thread(id, "install"), B_OK);
	EXPECT_EQ(find_thread("install"), id);
	EXPECT_EQ(set_thread_priority(id, B_URGENT_PRIORITY), B_DISPLAY_PRIORITY);
	ASSERT_EQ(get_thread_info(id, &info), B_OK);
	EXPECT_STREQ(info.name, "install");
	EXPECT_EQ(info.priority, B_URGENT_PRIORITY);

	ASSERT_EQ(resume_thread(id), B_OK);
	ASSERT_TRUE(eventually([&] { return loops > 0; }));
	ASSERT_EQ(kill_thread(id), B_OK);
	status_t exitValue = 0;
	ASSERT_EQ(wait_for_thread(id, &exitValue), B_OK);
	EXPECT_EQ(exitValue, 77);
	EXPECT_EQ(find_thread("install"), B_NAME_NOT_FOUND);
}

TEST(ThreadTest, MainThreadIsKnownWithoutBeingSpawned)
{
	thread_id self = find_thread(nullptr);
	thread_info info;
	ASSERT_EQ(get_thread_info(self, &info), B_OK);
	EXPECT_EQ(info.thread, self);
	EXPECT_GT(strlen(info.name), 0u);
	EXPECT_EQ(find_thread(info.name), self);

	std::set<thread_id> listed;
	int32 cookie = 0;
	while (get_next_thread_info(0, &cookie, &info) == B_OK)
		listed.insert(info.thread);
	EXPECT_TRUE(listed.count(self));
	EXPECT_EQ(get_next_thread_info(getpid() + 1, &cookie, &info), B_BAD_TEAM_ID);
}

TEST(ThreadTest, SuspendPausesAtTheNextSafePoint)
{
	std::atomic<int32> loops{0};
	thread_id id = spawn_thread(count_loops, "suspend me", B_NORMAL_PRIORITY, &loops);
	ASSERT_EQ(resume_thread(id), B_OK);
	ASSERT_TRUE(eventually([&] { return loops > 0; }));
	EXPECT_EQ(resume_thread(id), B_BAD_THREAD_STATE);

	ASSERT_EQ(suspend_thread(id), B_OK);
	thread_info info;
	ASSERT_TRUE(eventually([&] {
		return get_thread_info(id, &info) == B_OK && info.state == B_THREAD_SUSPENDED;
	}));
	int32 paused = loops;
	snooze(20000);
	EXPECT_EQ(loops.load(), paused);

	ASSERT_EQ(resume_thread(id), B_OK);
	ASSERT_TRUE(eventually([&] { return loops > paused; }));
	ASSERT_EQ(kill_thread(id), B_OK);
	EXPECT_EQ(wait_for_thread(id, nullptr), B_OK);
}

TEST(ThreadTest, KillEndsASuspendedThread)
{
	std::atomic<int32> loops{0};
	thread_id id = spawn_thread(count_loops, "suspended kill", B_NORMAL_PRIORITY, &loops);
	ASSERT_EQ(resume_thread(id), B_OK);
	ASSERT_TRUE(eventually([&] { return loops > 0; }));
	ASSERT_EQ(suspend_thread(id), B_OK);
	ASSERT_EQ(kill_thread(id), B_OK);
	status_t exitValue = 0;
	ASSERT_EQ(wait_for_thread(id, &exitValue), B_OK);
	EXPECT_EQ(exitValue, 77);
}

TEST(ThreadTest, KillEndsSnoozeEarly)
{
	std::atomic<bool> sleeping{false};
	thread_id id = spawn_thread(sleep_long, "sleeper", B_NORMAL_PRIORITY, &sleeping);
	bigtime_t start = system_time();
	ASSERT_EQ(resume_thread(id), B_OK);
	thread_info info;
	ASSERT_TRUE(eventually(
	        [&] { return get_thread_info(id, &info) == B_OK && info.state == B_THREAD_ASLEEP; }));
	ASSERT_EQ(kill_thread(id), B_OK);
	status_t exitValue = 0;
	ASSERT_EQ(wait_for_thread(id, &exitValue), B_OK);
	EXPECT_EQ(exitValue, 1);
	// Well below the minute it asked for.
	EXPECT_LT(system_time() - start, 30000000);
}

TEST(ThreadTest, KillCallsTheWakeHookOfAWaitingThread)
{
	WakeState state;
	thread_id id = spawn_thread(wait_for_dialog, "dialog", B_NORMAL_PRIORITY, &state);
	ASSERT_EQ(resume_thread(id), B_OK);
	ASSERT_TRUE(eventually([&] { return state.waiting.load(); }));
	ASSERT_EQ(kill_thread(id), B_OK);
	status_t exitValue = 0;
	ASSERT_EQ(wait_for_thread(id, &exitValue), B_OK);
	EXPECT_EQ(exitValue, 5);
}

TEST(ThreadTest, KillBeforeStartSkipsTheFunction)
{
	std::atomic<int32> loops{0};
	thread_id id = spawn_thread(count_loops, "stillborn", B_NORMAL_PRIORITY, &loops);
	ASSERT_EQ(kill_thread(id), B_OK);
	status_t exitValue = 0;
	ASSERT_EQ(wait_for_thread(id, &exitValue), B_OK);
	EXPECT_EQ(exitValue, B_INTERRUPTED);
	EXPECT_EQ(loops.load(), 0);
}

TEST(ThreadTest, BadArgumentsAndUnknownThreads)
{
	EXPECT_EQ(spawn_thread(nullptr, "x", B_NORMAL_PRIORITY, nullptr), B_BAD_VALUE);
	EXPECT_EQ(resume_thread(-5), B_BAD_THREAD_ID);
	EXPECT_EQ(kill_thread(0), B_BAD_THREAD_ID);
	EXPECT_EQ(wait_for_thread(find_thread(nullptr), nullptr), B_BAD_THREAD_ID);
	EXPECT_EQ(rename_thread(find_thread(nullptr), nullptr), B_BAD_VALUE);
	EXPECT_EQ(find_thread("no thread has this name"), B_NAME_NOT_FOUND);
	thread_info info;
	EXPECT_EQ(get_thread_info(-1, &info), B_BAD_THREAD_ID);
}

TEST(ThreadTest, ClocksMove)
{
	bigtime_t before = system_time();
	ASSERT_EQ(snooze(2000), B_OK);
	EXPECT_GE(system_time() - before, 2000);
	EXPECT_GT(real_time_clock(), 1500000000u);
	EXPECT_EQ(snooze_until(system_time() - 10, B_SYSTEM_TIMEBASE), B_OK);
}
