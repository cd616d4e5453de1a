// ProgressWatch: while an item is unpacked, reports the bytes placed so far
// every tenth of a second, so that a progress bar moves within a large item.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "SupportDefs.h"

class InstallConfig;

class ProgressWatch {
public:
	// Reports `before` plus what `written` counts, never more than `before`
	// plus `size`, until the object goes.
	ProgressWatch(InstallConfig& config, const int64& before, const int64& size,
	              const std::atomic<int64>& written);
	~ProgressWatch();

private:
	ProgressWatch(const ProgressWatch&) = delete;
	ProgressWatch& operator=(const ProgressWatch&) = delete;

	void Watch();

	InstallConfig& fConfig;
	const int64 fBefore;
	const int64 fSize;
	const std::atomic<int64>& fWritten;
	std::mutex fLock;
	std::condition_variable fWake;
	bool fDone;
	std::thread fThread;
};
