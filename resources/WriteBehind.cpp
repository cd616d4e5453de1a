// A writer thread fed through a queue of buffers.
#include "WriteBehind.h"

#include <errno.h>
#include <unistd.h>

WriteBehind::WriteBehind(int fd, size_t bufferSize, int buffers)
    : fFd(fd), fBufferSize(bufferSize), fClosing(false), fWriting(false), fError(0)
{
	for (int i = 0; i < buffers; i++) {
		fStorage.emplace_back(new char[bufferSize]);
		fFree.push_back(fStorage.back().get());
	}
	fThread = std::thread(&WriteBehind::_Run, this);
}

WriteBehind::~WriteBehind()
{
	{
		std::lock_guard<std::mutex> lock(fLock);
		fClosing = true;
	}
	fChanged.notify_all();
	fThread.join();
}

char* WriteBehind::Buffer()
{
	std::unique_lock<std::mutex> lock(fLock);
	fChanged.wait(lock, [this] { return !fFree.empty() || fError != 0; });
	if (fError != 0)
		return nullptr;
	char* buffer = fFree.back();
	fFree.pop_back();
	return buffer;
}

void WriteBehind::Submit(char* buffer, size_t length)
{
	{
		std::lock_guard<std::mutex> lock(fLock);
		if (length == 0 || fError != 0)
			fFree.push_back(buffer);
		else
			fQueue.emplace_back(buffer, length);
	}
	fChanged.notify_all();
}

status_t WriteBehind::Finish()
{
	std::unique_lock<std::mutex> lock(fLock);
	fChanged.wait(lock, [this] { return (fQueue.empty() && !fWriting) || fError != 0; });
	return fError == 0 ? B_OK : B_IO_ERROR;
}

void WriteBehind::_Run()
{
	std::unique_lock<std::mutex> lock(fLock);
	while (true) {
		fChanged.wait(lock, [this] { return !fQueue.empty() || fClosing; });
		if (fQueue.empty())
			return;
		const std::pair<char*, size_t> next = fQueue.front();
		fQueue.pop_front();
		fWriting = true;
		lock.unlock();
		int error = 0;
		for (size_t done = 0; done < next.second && error == 0;) {
			const ssize_t written = write(fFd, next.first + done, next.second - done);
			if (written > 0)
				done += (size_t)written;
			else if (written < 0 && errno != EINTR)
				error = errno;
			else if (written == 0)
				error = EIO;
		}
		lock.lock();
		fWriting = false;
		fFree.push_back(next.first);
		// After a failure nothing more is written: what is queued is dropped.
		if (error != 0 && fError == 0) {
			fError = error;
			for (const auto& dropped : fQueue)
				fFree.push_back(dropped.first);
			fQueue.clear();
		}
		fChanged.notify_all();
	}
}
