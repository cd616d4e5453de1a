// LibVolumeMenu: listing and filtering the volumes.
#include "LibVolumeMenu.h"

#include <cstring>

#include "LibString.h"
#include "Message.h"
#include "StorageDefs.h"
#include "Volume.h"
#include "VolumeRoster.h"

LibVolumeMenu::LibVolumeMenu(BPoint point, const char* name, const uint32& command,
                             const float& divider, const float& menuWidth)
    : LibMenuButton(point, name, "Disk", divider, menuWidth, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, true),
      fPersistent(true), fRemovable(true), fShared(true), fReadOnly(false), fOnlyBeOS(true),
      fCommand(command)
{
}

LibVolumeMenu::~LibVolumeMenu() {}

bool LibVolumeMenu::IsAllowed(const BVolume& volume) const
{
	if (fOnlyBeOS && !volume.KnowsAttr())
		return false;
	if (volume.IsReadOnly() && !fReadOnly)
		return false;
	if (volume.IsPersistent() && !fPersistent)
		return false;
	if (volume.IsRemovable() && !fRemovable)
		return false;
	return !(volume.IsShared() && !fShared);
}

void LibVolumeMenu::Update()
{
	LibString current = Text();
	Clear();
	BVolumeRoster roster;
	BVolume boot;
	char name[B_FILE_NAME_LENGTH];
	if (roster.GetBootVolume(&boot) == B_OK && boot.GetName(name) == B_OK)
		AddItem(name, new BMessage(fCommand));
	BVolume volume;
	while (roster.GetNextVolume(&volume) == B_OK) {
		if (volume == boot || volume.GetName(name) != B_OK || name[0] == '\0')
			continue;
		AddItem(name, new BMessage(fCommand));
		if (!IsAllowed(volume))
			SetEnableItem(CountItems() - 1, false);
	}
	SetText(current.String());
}

bool LibVolumeMenu::GetCurrentVolume(BVolume& volume)
{
	const char* current = Text();
	BVolumeRoster roster;
	BVolume candidate;
	char name[B_FILE_NAME_LENGTH];
	while (roster.GetNextVolume(&candidate) == B_OK) {
		if (candidate.GetName(name) == B_OK && strcmp(name, current) == 0) {
			volume = candidate;
			return true;
		}
	}
	return false;
}
