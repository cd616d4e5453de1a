// BVolumeRoster: iteration over a snapshot of the mount table.
#include "VolumeRoster.h"

#include "MountTable.h"
#include "NodeMonitor.h"
#include "Volume.h"

BVolumeRoster::BVolumeRoster() : fIndex(0)
{
	Rewind();
}

BVolumeRoster::~BVolumeRoster()
{
	StopWatching();
}

status_t BVolumeRoster::GetNextVolume(BVolume* volume)
{
	if (volume == nullptr)
		return B_BAD_VALUE;
	// A volume unmounted since the snapshot is skipped.
	while (fIndex < fDevices.size()) {
		if (volume->SetTo(fDevices[fIndex++]) == B_OK)
			return B_OK;
	}
	return B_BAD_VALUE;
}

void BVolumeRoster::Rewind()
{
	fDevices.clear();
	fIndex = 0;
	for (const VolumeRecord& record : mount_table_volumes())
		fDevices.push_back(record.device);
}

status_t BVolumeRoster::GetBootVolume(BVolume* volume)
{
	if (volume == nullptr)
		return B_BAD_VALUE;
	VolumeRecord record;
	if (!mount_table_boot(&record))
		return B_ENTRY_NOT_FOUND;
	return volume->SetTo(record.device);
}

status_t BVolumeRoster::StartWatching(BMessenger messenger)
{
	if (!messenger.IsValid())
		return B_BAD_VALUE;
	StopWatching();
	status_t status = watch_node(nullptr, B_WATCH_MOUNT, messenger);
	if (status == B_OK)
		fTarget = messenger;
	return status;
}

void BVolumeRoster::StopWatching()
{
	if (!fTarget.IsValid())
		return;
	watch_node(nullptr, B_STOP_WATCHING, fTarget);
	fTarget = BMessenger();
}

BMessenger BVolumeRoster::Messenger() const
{
	return fTarget;
}
