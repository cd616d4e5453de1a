// StatusPrinter: the looper that stands in for the installer window when no
// window is shown: it prints the engine's status texts as they come and
// keeps the thread-change message for whoever waits for the run's end.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "InstallProgress.h"
#include "Looper.h"

class UnattendedOutput;

class StatusPrinter : public BLooper {
public:
	explicit StatusPrinter(UnattendedOutput& output);

	void MessageReceived(BMessage* message) override;

	// The run begins: progress counts toward `total` bytes from now on.
	void StartProgress(const int64& total);
	// Returns once every message posted before the call has been handled.
	void Flush();
	// Waits for the thread-change message of the thread "install"; false
	// after `timeout` microseconds.
	bool WaitForEnd(const bigtime_t& timeout, int32& status);
	std::vector<std::string> Statuses();

private:
	UnattendedOutput& fOutput;
	std::mutex fLock;
	std::condition_variable fChanged;
	std::vector<std::string> fStatuses;
	bool fEnded;
	int32 fStatus;
	int64 fFlushesAsked;
	int64 fFlushesDone;
	ProgressMeter fMeter;
	int64 fTotal;
};
