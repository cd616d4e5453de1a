// TagScan: walks one file system from a folder, on several threads, and
// collects every entry whose "InstallBy" tag equals a product record.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "SupportDefs.h"

class TagScan {
public:
	// Reads the tag of the entry `path` (a link's lives on its folder) into
	// `buffer`; the number of bytes or -1 with errno set, like lgetxattr.
	using TagReader =
	        std::function<ssize_t(const std::string& path, bool link, char* buffer, size_t size)>;
	// Bytes seen since the last call, the folder being read, entries found.
	using Progress = std::function<void(off_t bytes, const std::string& folder, size_t found)>;

	TagScan(const std::string& root, const std::string& record);

	// A folder not entered (a trash folder, another volume's root).
	void SkipFolder(const std::string& path);
	void SetThreads(const int32& threads) { fThreads = threads > 0 ? threads : 1; }
	// With sizes the scan adds up the bytes of the files it sees.
	void SetProgress(Progress progress, const bool& sizes);
	// Asked between folders; true ends the scan early.
	void SetStopCheck(std::function<bool()> stop) { fStop = std::move(stop); }
	void SetTagReader(TagReader reader) { fReader = std::move(reader); }

	// B_OK, B_CANCELED when stopped, or why the root could not be read.
	status_t Run();

	// The paths found, each folder before its contents.
	const std::vector<std::string>& Found() const { return fFound; }
	// Folders that could not be read, with the system's reason.
	const std::vector<std::pair<std::string, std::string>>& Unreadable() const
	{
		return fUnreadable;
	}
	int64 EntriesSeen() const { return fEntries; }

	// The tag as stored on the host: a file's own attribute, a link's on its folder.
	static ssize_t ReadHostTag(const std::string& path, bool link, char* buffer, size_t size);

private:
	void Work();
	bool NextFolder(std::string& folder);
	void ScanFolder(const std::string& folder);
	bool Tagged(const std::string& path, const bool& link);
	void Report(const std::string& folder, const bool& force);

	std::string fRoot;
	std::string fRecord;
	std::set<std::string> fSkipped;
	int32 fThreads;
	Progress fProgress;
	bool fSizes;
	std::function<bool()> fStop;
	TagReader fReader;
	dev_t fDevice;

	std::mutex fLock;
	std::condition_variable fWake;
	std::deque<std::string> fQueue;
	int32 fBusy;
	bool fStopped;
	std::vector<std::string> fFound;
	std::vector<std::pair<std::string, std::string>> fUnreadable;
	std::atomic<int64> fEntries;
	std::atomic<size_t> fFoundCount;
};
