// Threads on pthreads: a registry of records keyed by the Linux thread id,
// with cooperative suspend and stop requests honoured at safe points.
#include "OS.h"

#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "ThreadWait.h"

namespace {

// How many ended threads keep their exit value for a late wait_for_thread.
const size_t kKeptEndedThreads = 128;

struct WakeHook {
	int32 token;
	void (*hook)(void*);
	void* data;
};

struct ThreadRecord {
	thread_id id = -1;
	bool spawned = false;
	thread_func func = nullptr;
	void* data = nullptr;
	std::atomic<bool> stop{false};

	// Guards everything below.
	std::mutex lock;
	std::condition_variable changed;
	std::string name;
	int32 priority = B_NORMAL_PRIORITY;
	bool started = false;
	bool suspended = false;
	bool exited = false;
	bool exitValueSet = false;
	status_t exitValue = B_OK;
	thread_state state = B_THREAD_RUNNING;

	// Held while hooks are called, so removing one waits for a running call.
	std::mutex hookLock;
	std::vector<WakeHook> hooks;
};

typedef std::shared_ptr<ThreadRecord> RecordRef;

struct Registry {
	std::mutex lock;
	std::unordered_map<thread_id, RecordRef> threads;
	std::deque<thread_id> ended;
};

// Never destroyed: threads still running at exit may reach it.
Registry& registry()
{
	static Registry* sRegistry = new Registry;
	return *sRegistry;
}

std::atomic<int32> sNextHookToken{1};

thread_id current_tid()
{
	return thread_id(syscall(SYS_gettid));
}

std::string task_path(thread_id id, const char* leaf)
{
	return "/proc/self/task/" + std::to_string(id) + "/" + leaf;
}

bool task_exists(thread_id id)
{
	std::error_code error;
	return id > 0 && std::filesystem::exists(task_path(id, ""), error);
}

std::string task_comm(thread_id id)
{
	std::ifstream in(task_path(id, "comm"));
	std::string name;
	std::getline(in, name);
	return name;
}

// The longest prefix of `name` within `limit` bytes that does not cut a UTF-8 sequence.
std::string clip_name(const char* name, size_t limit)
{
	std::string text(name);
	if (text.size() <= limit)
		return text;
	size_t end = limit;
	while (end > 0 && (uint8(text[end]) & 0xc0) == 0x80)
		end--;
	return text.substr(0, end);
}

// Sets the name the system shows (ps, top, debuggers): 15 bytes at most.
void set_os_name(thread_id id, const std::string& name)
{
	std::string shortName = clip_name(name.c_str(), 15);
	if (id == current_tid()) {
		pthread_setname_np(pthread_self(), shortName.c_str());
		return;
	}
	std::ofstream out(task_path(id, "comm"));
	out << shortName;
}

// Records of threads we did not spawn vanish with their thread.
RecordRef lookup_locked(Registry& reg, thread_id id)
{
	auto found = reg.threads.find(id);
	if (found == reg.threads.end())
		return nullptr;
	if (!found->second->spawned && !task_exists(id)) {
		reg.threads.erase(found);
		return nullptr;
	}
	return found->second;
}

// The record of a thread of this process; with `adopt`, threads not spawned by
// us (the main thread) get one on first need.
RecordRef find_record(thread_id id, bool adopt)
{
	Registry& reg = registry();
	std::lock_guard<std::mutex> guard(reg.lock);
	RecordRef record = lookup_locked(reg, id);
	if (record || !adopt || !task_exists(id))
		return record;
	record = std::make_shared<ThreadRecord>();
	record->id = id;
	record->name = task_comm(id);
	record->started = true;
	reg.threads[id] = record;
	return record;
}

// Keeps the ended thread's value for waiters, dropping the oldest ended ones.
void remember_ended(thread_id id)
{
	Registry& reg = registry();
	std::lock_guard<std::mutex> guard(reg.lock);
	reg.ended.push_back(id);
	while (reg.ended.size() > kKeptEndedThreads) {
		thread_id old = reg.ended.front();
		reg.ended.pop_front();
		auto found = reg.threads.find(old);
		if (found != reg.threads.end() && found->second->exited)
			reg.threads.erase(found);
	}
}

void forget(const RecordRef& record)
{
	Registry& reg = registry();
	std::lock_guard<std::mutex> guard(reg.lock);
	auto found = reg.threads.find(record->id);
	if (found != reg.threads.end() && found->second == record)
		reg.threads.erase(found);
}

// The calling thread's record; its destruction at thread exit wakes waiters.
struct SelfHolder {
	RecordRef record;
	~SelfHolder()
	{
		if (!record)
			return;
		if (!record->spawned) {
			forget(record);
			return;
		}
		{
			std::lock_guard<std::mutex> guard(record->lock);
			record->exited = true;
		}
		record->changed.notify_all();
		remember_ended(record->id);
	}
};

thread_local SelfHolder tSelf;

RecordRef current_record()
{
	if (!tSelf.record)
		tSelf.record = find_record(current_tid(), true);
	return tSelf.record;
}

// A live thread's record, or null for an unknown or ended one.
RecordRef live_record(thread_id id, bool adopt)
{
	RecordRef record = find_record(id, adopt);
	if (!record)
		return nullptr;
	std::lock_guard<std::mutex> guard(record->lock);
	return record->exited ? nullptr : record;
}

// Blocks while a suspend request holds, unless a stop is requested.
void pause_while_suspended(ThreadRecord& record)
{
	std::unique_lock<std::mutex> guard(record.lock);
	if (!record.suspended || record.stop)
		return;
	thread_state previous = record.state;
	record.state = B_THREAD_SUSPENDED;
	record.changed.wait(guard, [&] { return !record.suspended || record.stop; });
	record.state = previous;
}

void* thread_start(void* argument)
{
	RecordRef record = *static_cast<RecordRef*>(argument);
	delete static_cast<RecordRef*>(argument);
	tSelf.record = record;
	set_os_name(current_tid(), record->name);
	{
		Registry& reg = registry();
		std::lock_guard<std::mutex> guard(reg.lock);
		reg.threads[current_tid()] = record;
	}
	std::unique_lock<std::mutex> guard(record->lock);
	record->id = current_tid();
	record->state = B_THREAD_SUSPENDED;
	record->changed.notify_all();
	record->changed.wait(guard, [&] { return record->started || record->stop; });
	record->state = B_THREAD_RUNNING;
	if (record->stop) {
		record->exitValue = B_INTERRUPTED;
		record->exitValueSet = true;
		return nullptr;
	}
	guard.unlock();
	status_t result = record->func(record->data);
	guard.lock();
	if (!record->exitValueSet) {
		record->exitValue = result;
		record->exitValueSet = true;
	}
	return nullptr;
}

thread_info make_info(thread_id id)
{
	thread_info info = {};
	info.thread = id;
	info.team = getpid();
	info.state = B_THREAD_RUNNING;
	info.priority = B_NORMAL_PRIORITY;
	return info;
}

// CPU times from /proc, in microseconds.
void read_times(thread_id id, thread_info* info)
{
	std::ifstream in(task_path(id, "stat"));
	std::string line;
	std::getline(in, line);
	size_t close = line.rfind(')');
	if (close == std::string::npos)
		return;
	std::istringstream fields(line.substr(close + 1));
	std::string field;
	std::vector<std::string> values;
	while (fields >> field)
		values.push_back(field);
	// After the name: state is the first field, utime the 12th, stime the 13th.
	if (values.size() < 13)
		return;
	long ticks = sysconf(_SC_CLK_TCK);
	if (ticks <= 0)
		return;
	info->user_time = bigtime_t(std::stoll(values[11])) * 1000000 / ticks;
	info->kernel_time = bigtime_t(std::stoll(values[12])) * 1000000 / ticks;
}

void copy_name(thread_info* info, const std::string& name)
{
	std::string clipped = clip_name(name.c_str(), B_OS_NAME_LENGTH - 1);
	memcpy(info->name, clipped.c_str(), clipped.size() + 1);
}

} // namespace

thread_id spawn_thread(thread_func func, const char* name, int32 priority, void* data)
{
	if (func == nullptr)
		return B_BAD_VALUE;
	RecordRef record = std::make_shared<ThreadRecord>();
	record->spawned = true;
	record->func = func;
	record->data = data;
	record->name = clip_name(name ? name : "unnamed thread", B_OS_NAME_LENGTH - 1);
	record->priority = priority;
	record->state = B_THREAD_SUSPENDED;

	pthread_attr_t attributes;
	pthread_attr_init(&attributes);
	pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
	pthread_t handle;
	auto* argument = new RecordRef(record);
	int error = pthread_create(&handle, &attributes, thread_start, argument);
	pthread_attr_destroy(&attributes);
	if (error != 0) {
		delete argument;
		return B_NO_MORE_THREADS;
	}
	std::unique_lock<std::mutex> guard(record->lock);
	record->changed.wait(guard, [&] { return record->id >= 0; });
	return record->id;
}

status_t resume_thread(thread_id thread)
{
	RecordRef record = live_record(thread, false);
	if (!record)
		return B_BAD_THREAD_ID;
	std::lock_guard<std::mutex> guard(record->lock);
	if (!record->started) {
		record->started = true;
	} else if (record->suspended) {
		record->suspended = false;
	} else {
		return B_BAD_THREAD_STATE;
	}
	record->changed.notify_all();
	return B_OK;
}

status_t suspend_thread(thread_id thread)
{
	RecordRef record = live_record(thread, true);
	if (!record)
		return B_BAD_THREAD_ID;
	{
		std::lock_guard<std::mutex> guard(record->lock);
		record->suspended = true;
	}
	if (thread == current_tid())
		pause_while_suspended(*record);
	return B_OK;
}

status_t kill_thread(thread_id thread)
{
	RecordRef record = live_record(thread, true);
	if (!record)
		return B_BAD_THREAD_ID;
	record->stop = true;
	{
		std::lock_guard<std::mutex> guard(record->lock);
	}
	record->changed.notify_all();
	std::lock_guard<std::mutex> hookGuard(record->hookLock);
	for (const WakeHook& hook : record->hooks)
		hook.hook(hook.data);
	return B_OK;
}

status_t wait_for_thread(thread_id thread, status_t* exitValue)
{
	if (thread == current_tid())
		return B_BAD_THREAD_ID;
	RecordRef record = find_record(thread, false);
	if (!record)
		return B_BAD_THREAD_ID;
	if (!record->spawned)
		return B_NOT_ALLOWED;
	ThreadWait wait(record->lock, record->changed);
	std::unique_lock<std::mutex> guard(record->lock);
	if (!record->started) {
		record->started = true;
		record->changed.notify_all();
	}
	status_t status = wait.Wait(guard, B_INFINITE_TIMEOUT, [&] { return record->exited; });
	if (status != B_OK)
		return status;
	if (exitValue != nullptr)
		*exitValue = record->exitValue;
	return B_OK;
}

void exit_thread(status_t status)
{
	RecordRef record = current_record();
	if (record) {
		std::lock_guard<std::mutex> guard(record->lock);
		record->exitValue = status;
		record->exitValueSet = true;
	}
	pthread_exit(nullptr);
}

thread_id find_thread(const char* name)
{
	if (name == nullptr)
		return current_tid();
	{
		Registry& reg = registry();
		std::lock_guard<std::mutex> guard(reg.lock);
		for (auto& [id, record] : reg.threads) {
			std::lock_guard<std::mutex> recordGuard(record->lock);
			if (!record->exited && record->name == name)
				return id;
		}
	}
	// Threads without a record are known by their system name only.
	if (strlen(name) > 15)
		return B_NAME_NOT_FOUND;
	std::error_code error;
	for (auto& entry : std::filesystem::directory_iterator("/proc/self/task", error)) {
		thread_id id = thread_id(atoi(entry.path().filename().c_str()));
		if (task_comm(id) == name && !find_record(id, false))
			return id;
	}
	return B_NAME_NOT_FOUND;
}

status_t rename_thread(thread_id thread, const char* newName)
{
	if (newName == nullptr)
		return B_BAD_VALUE;
	RecordRef record = live_record(thread, true);
	if (!record)
		return B_BAD_THREAD_ID;
	std::string name = clip_name(newName, B_OS_NAME_LENGTH - 1);
	{
		std::lock_guard<std::mutex> guard(record->lock);
		record->name = name;
	}
	set_os_name(thread, name);
	return B_OK;
}

status_t set_thread_priority(thread_id thread, int32 newPriority)
{
	if (newPriority <= 0)
		return B_BAD_VALUE;
	RecordRef record = live_record(thread, true);
	if (!record)
		return B_BAD_THREAD_ID;
	std::lock_guard<std::mutex> guard(record->lock);
	int32 previous = record->priority;
	record->priority = std::min<int32>(newPriority, B_REAL_TIME_PRIORITY);
	return previous;
}

status_t _get_thread_info(thread_id thread, thread_info* info, size_t size)
{
	if (info == nullptr || size != sizeof(thread_info))
		return B_BAD_VALUE;
	thread_info result = make_info(thread);
	RecordRef record = find_record(thread, false);
	if (record) {
		std::lock_guard<std::mutex> guard(record->lock);
		if (record->exited)
			return B_BAD_THREAD_ID;
		copy_name(&result, record->name);
		result.priority = record->priority;
		result.state = record->started ? record->state : B_THREAD_SUSPENDED;
	} else {
		if (!task_exists(thread))
			return B_BAD_THREAD_ID;
		copy_name(&result, task_comm(thread));
	}
	read_times(thread, &result);
	*info = result;
	return B_OK;
}

status_t _get_next_thread_info(team_id team, int32* cookie, thread_info* info, size_t size)
{
	if (cookie == nullptr || info == nullptr)
		return B_BAD_VALUE;
	if (team != 0 && team != getpid())
		return B_BAD_TEAM_ID;
	// The cookie is the last thread id answered; ids are visited in order.
	std::vector<thread_id> ids;
	std::error_code error;
	for (auto& entry : std::filesystem::directory_iterator("/proc/self/task", error))
		ids.push_back(thread_id(atoi(entry.path().filename().c_str())));
	std::sort(ids.begin(), ids.end());
	for (thread_id id : ids) {
		if (id <= *cookie)
			continue;
		if (_get_thread_info(id, info, size) == B_OK) {
			*cookie = id;
			return B_OK;
		}
	}
	return B_BAD_VALUE;
}

bool thread_should_stop()
{
	RecordRef record = current_record();
	return record && record->stop;
}

status_t thread_safe_point()
{
	RecordRef record = current_record();
	if (!record)
		return B_OK;
	pause_while_suspended(*record);
	return record->stop ? B_INTERRUPTED : B_OK;
}

int32 add_thread_wake_hook(void (*hook)(void* data), void* data)
{
	RecordRef record = current_record();
	if (hook == nullptr || !record)
		return B_BAD_VALUE;
	int32 token = sNextHookToken++;
	std::lock_guard<std::mutex> guard(record->hookLock);
	record->hooks.push_back({token, hook, data});
	if (record->stop)
		hook(data);
	return token;
}

void remove_thread_wake_hook(int32 token)
{
	RecordRef record = current_record();
	if (!record)
		return;
	std::lock_guard<std::mutex> guard(record->hookLock);
	auto& hooks = record->hooks;
	hooks.erase(std::remove_if(hooks.begin(), hooks.end(),
	                           [&](const WakeHook& hook) { return hook.token == token; }),
	            hooks.end());
}

thread_state set_thread_state(thread_state state)
{
	RecordRef record = current_record();
	if (!record)
		return B_THREAD_RUNNING;
	std::lock_guard<std::mutex> guard(record->lock);
	thread_state previous = record->state;
	record->state = state;
	return previous;
}

status_t snooze(bigtime_t microseconds)
{
	return snooze_until(ThreadWait::DeadlineAfter(std::max<bigtime_t>(microseconds, 0)),
	                    B_SYSTEM_TIMEBASE);
}

status_t snooze_until(bigtime_t time, int timebase)
{
	if (timebase != B_SYSTEM_TIMEBASE)
		return B_BAD_VALUE;
	RecordRef record = current_record();
	if (!record)
		return B_ERROR;
	{
		std::unique_lock<std::mutex> guard(record->lock);
		thread_state previous = record->state;
		record->state = B_THREAD_ASLEEP;
		auto stopped = [&] { return bool(record->stop); };
		if (time == B_INFINITE_TIMEOUT) {
			record->changed.wait(guard, stopped);
		} else {
			auto until = std::chrono::steady_clock::time_point(std::chrono::microseconds(time));
			record->changed.wait_until(guard, until, stopped);
		}
		record->state = previous;
	}
	return thread_safe_point();
}
