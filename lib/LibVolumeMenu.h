// LibVolumeMenu: a "Disk" menu button listing the mounted volumes, the boot
// volume first, with kinds of volume disabled by filters.
#pragma once

#include "LibMenuButton.h"

class BVolume;

class LibVolumeMenu : public LibMenuButton {
public:
	// The menu part is `menuWidth` wide, right of the label's `divider`.
	LibVolumeMenu(BPoint point, const char* name, const uint32& command, const float& divider,
	              const float& menuWidth = 130);
	~LibVolumeMenu() override;

	void AllowPersistent(const bool& allow) { fPersistent = allow; }
	void AllowRemovable(const bool& allow) { fRemovable = allow; }
	void AllowShared(const bool& allow) { fShared = allow; }
	void AllowReadOnly(const bool& allow) { fReadOnly = allow; }
	// Only volumes of the native file system; here, one that keeps attributes.
	void OnlyBeOS(const bool& only) { fOnlyBeOS = only; }

	// Rebuilds the menu from the volumes mounted now, keeping the mark.
	void Update();
	// The mounted volume named exactly as the marked item.
	bool GetCurrentVolume(BVolume& volume);

private:
	bool IsAllowed(const BVolume& volume) const;

	bool fPersistent;
	bool fRemovable;
	bool fShared;
	bool fReadOnly;
	bool fOnlyBeOS;
	uint32 fCommand;
};
