// BVolumeRoster: the mounted volumes one after the other, the boot volume
// (the one holding the user's home folder, or VANTRY_ROOT), mount watching.
#pragma once

#include <vector>

#include "Messenger.h"
#include "StorageDefs.h"

class BVolume;

class BVolumeRoster {
public:
	BVolumeRoster();
	virtual ~BVolumeRoster();

	// B_BAD_VALUE after the last volume.
	status_t GetNextVolume(BVolume* volume);
	// Starts over with the volumes mounted now.
	void Rewind();
	status_t GetBootVolume(BVolume* volume);

	// Posts B_NODE_MONITOR messages (opcode B_DEVICE_MOUNTED or
	// B_DEVICE_UNMOUNTED) to `messenger`.
	status_t StartWatching(BMessenger messenger = be_app_messenger);
	void StopWatching();
	BMessenger Messenger() const;

private:
	std::vector<dev_t_b> fDevices;
	size_t fIndex;
	BMessenger fTarget;
};
