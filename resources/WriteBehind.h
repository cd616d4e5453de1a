// WriteBehind: writes filled buffers to a descriptor, in order, on a thread
// of its own, so that producing the next buffer (reading, inflating,
// checking) overlaps writing the last one. Memory stays a few buffers.
#pragma once

#include <stddef.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "SupportDefs.h"

class WriteBehind {
public:
	WriteBehind(int fd, size_t bufferSize, int buffers = 3);
	~WriteBehind();
	WriteBehind(const WriteBehind&) = delete;
	WriteBehind& operator=(const WriteBehind&) = delete;

	size_t BufferSize() const { return fBufferSize; }
	// A free buffer to fill, waiting for one; null once a write failed.
	char* Buffer();
	// Queues the first `length` bytes of `buffer` (from Buffer()) for writing;
	// a length of 0 just gives the buffer back.
	void Submit(char* buffer, size_t length);
	// Waits until everything queued is written: B_OK, or B_IO_ERROR with the
	// failed write's errno in Error().
	status_t Finish();
	int Error() const { return fError; }

private:
	void _Run();

	int fFd;
	size_t fBufferSize;
	std::vector<std::unique_ptr<char[]>> fStorage;
	std::vector<char*> fFree;
	std::deque<std::pair<char*, size_t>> fQueue;
	std::mutex fLock;
	std::condition_variable fChanged;
	bool fClosing;
	bool fWriting;
	int fError;
	std::thread fThread;
};
