// The status texts printed, the end of the run noticed.
#include "StatusPrinter.h"

#include <chrono>
#include <cstring>

#include "InstallConfig.h"
#include "Message.h"
#include "UnattendedOutput.h"

namespace {

enum { kFlush = 'flsh' };

// How often a progress line is printed where it cannot be rewritten in place.
const double kProgressInterval = 1.0;

double Seconds()
{
	return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
	        .count();
}

} // namespace

StatusPrinter::StatusPrinter(UnattendedOutput& output)
    : BLooper("status printer"), fOutput(output), fEnded(false), fStatus(0), fFlushesAsked(0),
      fFlushesDone(0), fTotal(0)
{
}

void StatusPrinter::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case INSTALL_STATUS_UPDATE: {
			const char* text = message->FindString("message");
			fOutput.Line("status", text);
			std::lock_guard<std::mutex> guard(fLock);
			fStatuses.push_back(text != nullptr ? text : "");
			break;
		}
		case INSTALL_PROGRESS: {
			const double now = Seconds();
			const int64 done = message->FindInt64("placed");
			fMeter.Update(done, fTotal, now);
			// The last one always shows: a run ends on its full line.
			if (fOutput.OnTerminal() || fMeter.Due(now, kProgressInterval) || done >= fTotal)
				fOutput.Progress(fMeter.Text().c_str(), done >= fTotal, done, fTotal);
			break;
		}
		case LIB_THREAD_CHANGE: {
			const char* name = message->FindString("name");
			// Only the install thread's end is the run's end, as for the window.
			if (name == nullptr || strcmp(name, "install") != 0)
				break;
			std::lock_guard<std::mutex> guard(fLock);
			fStatus = message->FindInt32("status");
			fEnded = true;
			fChanged.notify_all();
			break;
		}
		case kFlush: {
			std::lock_guard<std::mutex> guard(fLock);
			fFlushesDone++;
			fChanged.notify_all();
			break;
		}
		default: BLooper::MessageReceived(message);
	}
}

void StatusPrinter::StartProgress(const int64& total)
{
	fTotal = total;
	fMeter.Start(Seconds());
}

void StatusPrinter::Flush()
{
	int64 ticket = 0;
	{
		std::lock_guard<std::mutex> guard(fLock);
		ticket = ++fFlushesAsked;
	}
	BMessage flush(kFlush);
	if (PostMessage(&flush) != B_OK)
		return;
	std::unique_lock<std::mutex> guard(fLock);
	// Bounded: a looper that stopped answering must not hang the question.
	fChanged.wait_for(guard, std::chrono::seconds(5), [&] { return fFlushesDone >= ticket; });
}

bool StatusPrinter::WaitForEnd(const bigtime_t& timeout, int32& status)
{
	std::unique_lock<std::mutex> guard(fLock);
	if (!fChanged.wait_for(guard, std::chrono::microseconds(timeout), [&] { return fEnded; }))
		return false;
	status = fStatus;
	return true;
}

std::vector<std::string> StatusPrinter::Statuses()
{
	std::lock_guard<std::mutex> guard(fLock);
	return fStatuses;
}
