// BVolumeRoster and BVolume over the simulated layout and the real mount
// table, and mount watching.
#include "VolumeRoster.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "Directory.h"
#include "Entry.h"
#include "Looper.h"
#include "Message.h"
#include "MountTable.h"
#include "NodeMonitor.h"
#include "StorageTestSupport.h"
#include "Volume.h"

namespace {

std::map<std::string, BVolume> VolumesByRoot()
{
	std::map<std::string, BVolume> volumes;
	BVolumeRoster roster;
	BVolume volume;
	while (roster.GetNextVolume(&volume) == B_OK)
		volumes[volume.HostRootPath()] = volume;
	return volumes;
}

struct Simulation {
	TempFolder temp;
	ScopedEnv root{"VANTRY_ROOT", temp / "boot"};
	ScopedEnv file{"VANTRY_VOLUMES_FILE", std::nullopt};
	Simulation() { mkdir((temp / "boot").c_str(), 0755); }
};

} // namespace

TEST(VolumeRosterTest, SimulatedVolumesCarryTheirFlags)
{
	Simulation sim;
	const char* names[] = {"plain", "ro", "removable", "shared", "fat", "ram", "named"};
	for (const char* name : names)
		mkdir((sim.temp / name).c_str(), 0755);
	std::string list = sim.temp / "plain;" + sim.temp / "ro:ro;" +
	                   sim.temp / "removable:removable;" + sim.temp / "shared:shared;" +
	                   sim.temp / "fat:nonnative;" + sim.temp / "ram:transient;" +
	                   sim.temp / "named:name=My Disk,ro;" + sim.temp / "absent";
	ScopedEnv volumes("VANTRY_VOLUMES", list);
	struct Case {
		std::string root;
		std::string name;
		bool readOnly, removable, shared, native, persistent, boot;
	};
	const Case cases[] = {
	        {sim.temp / "boot", "boot", false, false, false, true, true, true},
	        {sim.temp / "plain", "plain", false, false, false, true, true, false},
	        {sim.temp / "ro", "ro", true, false, false, true, true, false},
	        {sim.temp / "removable", "removable", false, true, false, true, true, false},
	        {sim.temp / "shared", "shared", false, false, true, true, true, false},
	        {sim.temp / "fat", "fat", false, false, false, false, true, false},
	        {sim.temp / "ram", "ram", false, false, false, true, false, false},
	        {sim.temp / "named", "My Disk", true, false, false, true, true, false},
	};
	std::map<std::string, BVolume> found = VolumesByRoot();
	EXPECT_EQ(found.size(), std::size(cases)); // "absent" is not mounted
	std::set<dev_t_b> devices;
	for (const Case& c : cases) {
		SCOPED_TRACE(c.root);
		ASSERT_EQ(found.count(c.root), 1u);
		BVolume& volume = found[c.root];
		char name[B_FILE_NAME_LENGTH];
		ASSERT_EQ(volume.GetName(name), B_OK);
		EXPECT_EQ(std::string(name), c.name);
		EXPECT_EQ(volume.IsReadOnly(), c.readOnly);
		EXPECT_EQ(volume.IsRemovable(), c.removable);
		EXPECT_EQ(volume.IsShared(), c.shared);
		EXPECT_EQ(volume.KnowsAttr(), c.native);
		EXPECT_EQ(volume.KnowsMime(), c.native);
		EXPECT_EQ(volume.IsPersistent(), c.persistent);
		EXPECT_EQ(volume.IsBootVolume(), c.boot);
		EXPECT_GT(volume.Capacity(), 0);
		EXPECT_GE(volume.FreeBytes(), 0);
		devices.insert(volume.Device());
		BDirectory root;
		ASSERT_EQ(volume.GetRootDirectory(&root), B_OK);
		EXPECT_EQ(std::string(root.HostPath()), c.root);
		// Entries inside report the volume's own device.
		BVolume viaEntry;
		ASSERT_EQ(BEntry(c.root.c_str()).GetVolume(&viaEntry), B_OK);
		EXPECT_EQ(viaEntry, volume);
	}
	EXPECT_EQ(devices.size(), std::size(cases));
	BVolume boot;
	ASSERT_EQ(BVolumeRoster().GetBootVolume(&boot), B_OK);
	EXPECT_EQ(std::string(boot.HostRootPath()), sim.temp / "boot");
}

TEST(VolumeRosterTest, EntryParsing)
{
	struct Case {
		std::string entry;
		bool ok;
		std::string root;
		bool readOnly;
		std::string name;
	};
	const Case cases[] = {
	        {"/a/b", true, "/a/b", false, ""},
	        {"/a/b:ro", true, "/a/b", true, ""},
	        {"/a/b:name=X,ro", true, "/a/b", true, "X"},
	        {"/odd:name", true, "/odd:name", false, ""}, // no valid flags: part of the path
	        {"/c:d:ro", true, "/c:d", true, ""},
	        {"relative:ro", false, "", false, ""},
	        {":ro", false, "", false, ""},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.entry);
		VolumeRecord record;
		ASSERT_EQ(mount_table_parse_entry(c.entry, &record), c.ok);
		if (!c.ok)
			continue;
		EXPECT_EQ(record.root, c.root);
		EXPECT_EQ(record.readOnly, c.readOnly);
		EXPECT_EQ(record.name, c.name);
	}
	EXPECT_EQ(mount_table_unescape("/media/My\\040Disk\\134x"), "/media/My Disk\\x");
}

TEST(VolumeRosterTest, VolumesFileIsReadEachTime)
{
	Simulation sim;
	mkdir((sim.temp / "extra").c_str(), 0755);
	ScopedEnv volumes("VANTRY_VOLUMES", std::nullopt);
	ScopedEnv file("VANTRY_VOLUMES_FILE", sim.temp / "volumes");
	EXPECT_EQ(VolumesByRoot().size(), 1u);
	WriteText(sim.temp / "volumes", sim.temp / "extra:removable\n");
	std::map<std::string, BVolume> found = VolumesByRoot();
	ASSERT_EQ(found.count(sim.temp / "extra"), 1u);
	EXPECT_TRUE(found[sim.temp / "extra"].IsRemovable());
}

TEST(VolumeRosterTest, RealMountTableHasABootVolumeHoldingHome)
{
	ScopedEnv root("VANTRY_ROOT", std::nullopt);
	TempFolder temp;
	ScopedEnv home("HOME", temp.Path());
	BVolume boot;
	ASSERT_EQ(BVolumeRoster().GetBootVolume(&boot), B_OK);
	BVolume holder;
	ASSERT_EQ(BEntry(temp.Path().c_str()).GetVolume(&holder), B_OK);
	EXPECT_EQ(boot, holder);
	std::map<std::string, BVolume> found = VolumesByRoot();
	EXPECT_EQ(found.count("/proc"), 0u);
	EXPECT_EQ(found.count("/sys"), 0u);
	EXPECT_TRUE(boot.IsBootVolume());
}

namespace {

// Collects node monitor messages for the test thread to wait on.
class MonitorLooper : public BLooper {
public:
	MonitorLooper() : BLooper("monitor") {}

	void MessageReceived(BMessage* message) override
	{
		if (message->what != B_NODE_MONITOR)
			return BLooper::MessageReceived(message);
		std::lock_guard<std::mutex> lock(fLock);
		fEvents.push_back({message->FindInt32("opcode"), message->FindInt32("device"),
		                   message->FindInt32("new device")});
		fArrived.notify_all();
	}

	struct Event {
		int32 opcode, device, newDevice;
	};

	bool WaitFor(size_t count, Event* last)
	{
		std::unique_lock<std::mutex> lock(fLock);
		bool arrived = fArrived.wait_for(lock, std::chrono::seconds(10),
		                                 [&] { return fEvents.size() >= count; });
		if (arrived)
			*last = fEvents[count - 1];
		return arrived;
	}

	size_t Count()
	{
		std::lock_guard<std::mutex> lock(fLock);
		return fEvents.size();
	}

private:
	std::mutex fLock;
	std::condition_variable fArrived;
	std::vector<Event> fEvents;
};

} // namespace

TEST(VolumeRosterTest, WatchingReportsMountsAndUnmounts)
{
	Simulation sim;
	ScopedEnv poll("VANTRY_MOUNT_POLL_MS", "20");
	ScopedEnv volumes("VANTRY_VOLUMES", sim.temp / "boot/stick:removable");
	MonitorLooper* looper = new MonitorLooper;
	looper->Run();
	BVolumeRoster roster;
	ASSERT_EQ(roster.StartWatching(BMessenger(looper)), B_OK);
	EXPECT_EQ(watch_node(nullptr, B_WATCH_NAME, BMessenger(looper)), B_NOT_SUPPORTED);

	ASSERT_EQ(mkdir((sim.temp / "boot/stick").c_str(), 0755), 0);
	MonitorLooper::Event event;
	ASSERT_TRUE(looper->WaitFor(1, &event));
	EXPECT_EQ(event.opcode, B_DEVICE_MOUNTED);
	BVolume stick;
	ASSERT_EQ(BEntry((sim.temp / "boot/stick").c_str()).GetVolume(&stick), B_OK);
	EXPECT_EQ(event.newDevice, stick.Device());
	BVolume boot;
	ASSERT_EQ(roster.GetBootVolume(&boot), B_OK);
	EXPECT_EQ(event.device, boot.Device());

	ASSERT_EQ(rmdir((sim.temp / "boot/stick").c_str()), 0);
	ASSERT_TRUE(looper->WaitFor(2, &event));
	EXPECT_EQ(event.opcode, B_DEVICE_UNMOUNTED);
	EXPECT_EQ(event.device, stick.Device());

	roster.StopWatching();
	ASSERT_EQ(mkdir((sim.temp / "boot/stick").c_str(), 0755), 0);
	std::this_thread::sleep_for(std::chrono::milliseconds(150));
	EXPECT_EQ(looper->Count(), 2u);
	if (looper->Lock())
		looper->Quit();
}
