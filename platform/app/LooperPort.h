// LooperPort: what outlives a looper for the threads that address it: its
// queue, its lock and whether it still exists. Looked up by port id.
#pragma once

#include <atomic>
#include <memory>

#include "Locker.h"
#include "MessageQueue.h"
#include "OS.h"

class BHandler;
class BLooper;

struct LooperPort {
	LooperPort(port_id id, BLooper* owner, int32 capacity);

	const port_id id;
	BMessageQueue queue;
	BLocker lock;
	std::atomic<BLooper*> looper;
	std::atomic<thread_id> thread;

	// The live port with this id, or null.
	static std::shared_ptr<LooperPort> Find(port_id id);
	// The live port of a looper object, or null (checks the pointer first).
	static std::shared_ptr<LooperPort> FindLooper(const BLooper* looper);
	static std::shared_ptr<LooperPort> FindThread(thread_id thread);
	static std::shared_ptr<LooperPort> Create(BLooper* owner, int32 capacity);
	// Makes the port unreachable; its queue is closed.
	static void Retire(port_id id);

	// Handlers by token; tokens are never reused.
	static int32 RegisterHandler(BHandler* handler);
	static void UnregisterHandler(int32 token);
	static BHandler* FindHandler(int32 token);
	static bool IsHandler(const BHandler* handler);
};
