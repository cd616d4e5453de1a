// The thread that receives the stop signals of the whole program.
#include "StopSignals.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

#include "LibThread.h"

namespace {

struct Watcher {
	std::mutex lock;
	std::once_flag once;
	int exitCode = 1;
	std::string message;
	bool watching = false;
	thread_id thread = -1;
	std::function<void(int)> onStop;
	std::atomic<bool> stopped{false};
	std::atomic<bool> started{false};
	bool settled = false;
};

Watcher& TheWatcher()
{
	static Watcher* watcher = new Watcher; // never destroyed: its thread outlives main
	return *watcher;
}

sigset_t StopSet()
{
	sigset_t signals;
	sigemptyset(&signals);
	sigaddset(&signals, SIGINT);
	sigaddset(&signals, SIGTERM);
	return signals;
}

[[noreturn]] void EndNow(Watcher& watcher)
{
	if (!watcher.message.empty()) {
		const std::string line = watcher.message + "\n";
		ssize_t written = write(STDERR_FILENO, line.data(), line.size());
		(void)written;
	}
	_exit(watcher.exitCode);
}

// What the receiving thread does with a signal; also done by Poll.
void Handle(Watcher& watcher, const int& signal)
{
	std::function<void(int)> onStop;
	thread_id thread = -1;
	{
		std::lock_guard<std::mutex> hold(watcher.lock);
		if (watcher.settled || !watcher.watching || watcher.stopped)
			EndNow(watcher);
		watcher.stopped = true;
		thread = watcher.thread;
		onStop = watcher.onStop;
	}
	if (onStop)
		onStop(signal);
	if (thread >= 0)
		kill_thread(thread);
}

void Receive()
{
	Watcher& watcher = TheWatcher();
	const sigset_t signals = StopSet();
	for (;;) {
		int signal = 0;
		if (sigwait(&signals, &signal) == 0)
			Handle(watcher, signal);
	}
}

} // namespace

void StopSignals::Start(const int& exit_code, const char* message)
{
	Watcher& watcher = TheWatcher();
	{
		std::lock_guard<std::mutex> hold(watcher.lock);
		watcher.exitCode = exit_code;
		watcher.message = message != nullptr ? message : "";
	}
	const sigset_t signals = StopSet();
	pthread_sigmask(SIG_BLOCK, &signals, nullptr);
	std::call_once(watcher.once, [] { std::thread(Receive).detach(); });
	watcher.started = true;
}

void StopSignals::Watch(const thread_id& thread, std::function<void(int)> on_stop)
{
	Watcher& watcher = TheWatcher();
	std::lock_guard<std::mutex> hold(watcher.lock);
	if (!watcher.watching)
		watcher.stopped = false;
	watcher.watching = true;
	watcher.thread = thread;
	watcher.onStop = std::move(on_stop);
	// A signal came while the run was being started: it stops at once.
	if (watcher.stopped && thread >= 0)
		kill_thread(thread);
}

void StopSignals::Unwatch()
{
	Watcher& watcher = TheWatcher();
	std::lock_guard<std::mutex> hold(watcher.lock);
	watcher.watching = false;
	watcher.thread = -1;
	watcher.onStop = nullptr;
}

void StopSignals::Settle(const int& exit_code)
{
	Watcher& watcher = TheWatcher();
	std::lock_guard<std::mutex> hold(watcher.lock);
	watcher.exitCode = exit_code;
	watcher.message.clear();
	watcher.settled = true;
}

bool StopSignals::Stopped()
{
	return TheWatcher().stopped;
}

bool StopSignals::Poll()
{
	Watcher& watcher = TheWatcher();
	if (!watcher.started)
		return watcher.stopped;
	const sigset_t signals = StopSet();
	const timespec now = {0, 0};
	const int signal = sigtimedwait(&signals, nullptr, &now);
	if (signal > 0)
		Handle(watcher, signal);
	return watcher.stopped;
}
