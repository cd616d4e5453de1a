// Mount watching: one polling thread compares the mount table with what it
// saw last and tells every watching messenger.
#include "NodeMonitor.h"

#include <sys/stat.h>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Message.h"
#include "MountTable.h"
#include "StorageHost.h"

namespace {

const bigtime_t kSendTimeout = 1000000;

int poll_interval_ms()
{
	const char* text = getenv("VANTRY_MOUNT_POLL_MS");
	int value = text != nullptr ? atoi(text) : 0;
	return value > 0 ? value : 250;
}

std::map<int32, std::string> mounted_now()
{
	std::map<int32, std::string> mounted;
	for (const VolumeRecord& volume : mount_table_volumes())
		mounted[volume.device] = volume.root;
	return mounted;
}

BMessage mounted_message(int32 device, const std::string& root)
{
	BMessage message(B_NODE_MONITOR);
	message.AddInt32("opcode", B_DEVICE_MOUNTED);
	message.AddInt32("new device", device);
	struct stat st;
	std::string parent = root == "/" ? root : host_parent(root);
	int32 parentDevice = host_stat(parent, true, &st) == B_OK ? (int32)st.st_dev : device;
	message.AddInt32("device", parentDevice);
	int64 directory = stat(root.c_str(), &st) == 0 ? (int64)st.st_ino : -1;
	message.AddInt64("directory", directory);
	return message;
}

BMessage unmounted_message(int32 device)
{
	BMessage message(B_NODE_MONITOR);
	message.AddInt32("opcode", B_DEVICE_UNMOUNTED);
	message.AddInt32("device", device);
	return message;
}

class MountWatcher {
public:
	~MountWatcher() { _Stop(); }

	status_t Add(const BMessenger& target)
	{
		std::lock_guard<std::mutex> lock(fLock);
		if (std::find(fTargets.begin(), fTargets.end(), target) != fTargets.end())
			return B_OK;
		fTargets.push_back(target);
		if (!fThread.joinable()) {
			// What is mounted now is known: only later changes are reported.
			fKnown = mounted_now();
			fThread = std::thread(&MountWatcher::_Run, this, fGeneration);
		}
		return B_OK;
	}

	void Remove(const BMessenger& target)
	{
		std::thread thread;
		{
			std::lock_guard<std::mutex> lock(fLock);
			fTargets.erase(std::remove(fTargets.begin(), fTargets.end(), target), fTargets.end());
			if (!fTargets.empty())
				return;
			thread = _Detach();
		}
		fWake.notify_all();
		if (thread.joinable())
			thread.join();
	}

private:
	// Ends the running thread's generation; the caller joins it unlocked.
	std::thread _Detach()
	{
		fGeneration++;
		return std::move(fThread);
	}

	void _Stop()
	{
		std::thread thread;
		{
			std::lock_guard<std::mutex> lock(fLock);
			thread = _Detach();
		}
		fWake.notify_all();
		if (thread.joinable())
			thread.join();
	}

	void _Run(uint64 generation)
	{
		std::unique_lock<std::mutex> lock(fLock);
		auto stopped = [this, generation] { return fGeneration != generation; };
		while (!stopped()) {
			fWake.wait_for(lock, std::chrono::milliseconds(poll_interval_ms()), stopped);
			if (stopped())
				break;
			lock.unlock();
			std::map<int32, std::string> now = mounted_now();
			lock.lock();
			std::vector<BMessage> messages = _Changes(now);
			std::vector<BMessenger> targets = fTargets;
			lock.unlock();
			_Deliver(messages, targets);
			lock.lock();
		}
	}

	std::vector<BMessage> _Changes(const std::map<int32, std::string>& now)
	{
		std::vector<BMessage> messages;
		for (const auto& [device, root] : fKnown) {
			if (now.count(device) == 0)
				messages.push_back(unmounted_message(device));
		}
		for (const auto& [device, root] : now) {
			if (fKnown.count(device) == 0)
				messages.push_back(mounted_message(device, root));
		}
		fKnown = now;
		return messages;
	}

	void _Deliver(std::vector<BMessage>& messages, const std::vector<BMessenger>& targets)
	{
		for (BMessage& message : messages) {
			for (const BMessenger& target : targets)
				target.SendMessage(&message, (BHandler*)nullptr, kSendTimeout);
		}
	}

	std::mutex fLock;
	std::condition_variable fWake;
	std::vector<BMessenger> fTargets;
	std::map<int32, std::string> fKnown;
	std::thread fThread;
	uint64 fGeneration = 0;
};

MountWatcher& mount_watcher()
{
	static MountWatcher watcher;
	return watcher;
}

} // namespace

status_t watch_node(const node_ref* node, uint32 flags, BMessenger target)
{
	if (!target.IsValid())
		return B_BAD_VALUE;
	if (flags == B_STOP_WATCHING) {
		mount_watcher().Remove(target);
		return B_OK;
	}
	if ((flags & ~(uint32)B_WATCH_MOUNT) != 0)
		return B_NOT_SUPPORTED;
	return mount_watcher().Add(target);
}

status_t stop_watching(BMessenger target)
{
	if (!target.IsValid())
		return B_BAD_VALUE;
	mount_watcher().Remove(target);
	return B_OK;
}
