// Reading the record ahead of the window.
#include "RecordReadAhead.h"

#include <mutex>
#include <thread>

#include "InstallListItem.h"
#include "LibAppResource.h"
#include "Message.h"

namespace {

struct ReadAhead {
	std::mutex lock;
	std::thread thread;
	BMessage record;
	ConfigReading reading;
	std::vector<InstallListItem*> items;

	~ReadAhead()
	{
		if (thread.joinable())
			thread.join();
		for (InstallListItem* item : items)
			delete item;
	}
};

ReadAhead& read_ahead()
{
	static ReadAhead state;
	return state;
}

} // namespace

void RecordReadAhead::Start()
{
	ReadAhead& state = read_ahead();
	std::lock_guard<std::mutex> guard(state.lock);
	if (state.thread.joinable())
		return;
	state.thread = std::thread([&state] { Read(state.record, state.reading, state.items); });
}

bool RecordReadAhead::Pending()
{
	ReadAhead& state = read_ahead();
	std::lock_guard<std::mutex> guard(state.lock);
	return state.thread.joinable();
}

bool RecordReadAhead::Take(BMessage& record, ConfigReading& reading,
                           std::vector<InstallListItem*>& items)
{
	ReadAhead& state = read_ahead();
	std::lock_guard<std::mutex> guard(state.lock);
	if (!state.thread.joinable())
		return false;
	state.thread.join();
	record = state.record;
	state.record.MakeEmpty();
	reading = state.reading;
	items.insert(items.end(), state.items.begin(), state.items.end());
	state.items.clear();
	return true;
}

void RecordReadAhead::Read(BMessage& record, ConfigReading& reading,
                           std::vector<InstallListItem*>& items)
{
	LibAppResource store(0);
	reading = ReadConfiguration(record, store);
	if (!reading.read || !reading.faults.empty())
		return;
	std::shared_ptr<const BMessage> instructions = record.FindNested("install_instructions");
	if (instructions == nullptr)
		return;
	for (int32 i = 0;; i++) {
		std::shared_ptr<const BMessage> file = instructions->FindNested("install_file", i);
		if (file == nullptr)
			break;
		auto* item = new InstallListItem(false);
		item->SetShowFullPath(false);
		item->Read(*file);
		items.push_back(item);
	}
}
