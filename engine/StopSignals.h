// StopSignals: SIGINT and SIGTERM honoured from the first instruction of a
// program without a window to its last. One thread receives them: before a
// run is watched a signal ends the program at once; while one is watched the
// first signal asks its thread to stop and a second ends the program.
#pragma once

#include <functional>

#include "OS.h"

class StopSignals {
public:
	// Blocks the signals in the calling thread, and so in every thread
	// started afterwards, and starts the receiving thread. Call it first in
	// main. An unwatched signal writes `message` to standard error and ends
	// the program with `exit_code`.
	static void Start(const int& exit_code, const char* message);
	// The first signal asks `thread` to stop and calls `on_stop` with it. A
	// run about to start is watched with thread -1 first, so that a signal
	// in between is kept and stops the thread as soon as it is watched.
	static void Watch(const thread_id& thread, std::function<void(int)> on_stop);
	// The run is over: signals end the program again.
	static void Unwatch();
	// The program's outcome is decided and told: a signal from now on ends
	// it at once with `exit_code`, saying nothing more.
	static void Settle(const int& exit_code);
	// A signal asked the watched run to stop.
	static bool Stopped();
	// Takes a signal that came but was not yet received, as the receiving
	// thread would, so that a run that reaches a safe point or its end
	// honours it whatever that thread's turn; answers Stopped().
	static bool Poll();
};
