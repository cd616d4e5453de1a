// LooperPort: the process-wide tables of looper ports and handler tokens.
#include "LooperPort.h"

#include <mutex>
#include <unordered_map>

namespace {

struct Tables {
	std::mutex lock;
	port_id nextPort = 1;
	int32 nextToken = 1;
	std::unordered_map<port_id, std::shared_ptr<LooperPort>> ports;
	std::unordered_map<int32, BHandler*> handlers;
};

// Never destroyed: loopers may outlive static destruction at exit.
Tables& tables()
{
	static Tables* sTables = new Tables;
	return *sTables;
}

} // namespace

LooperPort::LooperPort(port_id portId, BLooper* owner, int32 capacity)
    : id(portId), queue(capacity), lock("looper lock"), looper(owner), thread(-1)
{
}

std::shared_ptr<LooperPort> LooperPort::Find(port_id portId)
{
	Tables& t = tables();
	std::lock_guard<std::mutex> guard(t.lock);
	auto found = t.ports.find(portId);
	return found == t.ports.end() ? nullptr : found->second;
}

std::shared_ptr<LooperPort> LooperPort::FindLooper(const BLooper* owner)
{
	if (owner == nullptr)
		return nullptr;
	Tables& t = tables();
	std::lock_guard<std::mutex> guard(t.lock);
	for (auto& [portId, port] : t.ports) {
		if (port->looper == owner)
			return port;
	}
	return nullptr;
}

std::shared_ptr<LooperPort> LooperPort::FindThread(thread_id thread)
{
	Tables& t = tables();
	std::lock_guard<std::mutex> guard(t.lock);
	for (auto& [portId, port] : t.ports) {
		if (port->thread == thread)
			return port;
	}
	return nullptr;
}

std::shared_ptr<LooperPort> LooperPort::Create(BLooper* owner, int32 capacity)
{
	Tables& t = tables();
	std::lock_guard<std::mutex> guard(t.lock);
	auto port = std::make_shared<LooperPort>(t.nextPort++, owner, capacity);
	t.ports[port->id] = port;
	return port;
}

void LooperPort::Retire(port_id portId)
{
	std::shared_ptr<LooperPort> port;
	{
		Tables& t = tables();
		std::lock_guard<std::mutex> guard(t.lock);
		auto found = t.ports.find(portId);
		if (found == t.ports.end())
			return;
		port = found->second;
		t.ports.erase(found);
	}
	port->looper = nullptr;
	port->queue.Close();
}

int32 LooperPort::RegisterHandler(BHandler* handler)
{
	Tables& t = tables();
	std::lock_guard<std::mutex> guard(t.lock);
	int32 token = t.nextToken++;
	t.handlers[token] = handler;
	return token;
}

void LooperPort::UnregisterHandler(int32 token)
{
	Tables& t = tables();
	std::lock_guard<std::mutex> guard(t.lock);
	t.handlers.erase(token);
}

BHandler* LooperPort::FindHandler(int32 token)
{
	Tables& t = tables();
	std::lock_guard<std::mutex> guard(t.lock);
	auto found = t.handlers.find(token);
	return found == t.handlers.end() ? nullptr : found->second;
}

bool LooperPort::IsHandler(const BHandler* handler)
{
	if (handler == nullptr)
		return false;
	Tables& t = tables();
	std::lock_guard<std::mutex> guard(t.lock);
	for (auto& [token, known] : t.handlers) {
		if (known == handler)
			return true;
	}
	return false;
}
