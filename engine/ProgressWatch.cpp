// Progress reported from a thread of its own while an item is unpacked.
#include "ProgressWatch.h"

#include <algorithm>
#include <chrono>

#include "InstallConfig.h"

ProgressWatch::ProgressWatch(InstallConfig& config, const int64& before, const int64& size,
                             const std::atomic<int64>& written)
    : fConfig(config), fBefore(before), fSize(size), fWritten(written), fDone(false),
      fThread(&ProgressWatch::Watch, this)
{
}

ProgressWatch::~ProgressWatch()
{
	{
		std::lock_guard<std::mutex> hold(fLock);
		fDone = true;
	}
	fWake.notify_all();
	fThread.join();
}

void ProgressWatch::Watch()
{
	int64 reported = 0;
	std::unique_lock<std::mutex> hold(fLock);
	while (!fWake.wait_for(hold, std::chrono::milliseconds(100), [this] { return fDone; })) {
		// Never past the item's size: the bar must not go back after it.
		const int64 written = std::clamp<int64>(fWritten.load(), 0, fSize);
		if (written == reported)
			continue;
		reported = written;
		fConfig.ReportProgress(fBefore + written);
	}
}
