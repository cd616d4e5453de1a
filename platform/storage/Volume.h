// BVolume: one mounted volume of the host (or of the simulated layout, see
// MountTable.h), known by its device id.
#pragma once

#include <string>

#include "StorageDefs.h"

class BDirectory;

class BVolume {
public:
	BVolume();
	explicit BVolume(dev_t_b device);
	BVolume(const BVolume& volume);
	virtual ~BVolume();

	status_t InitCheck() const { return fStatus; }
	status_t SetTo(dev_t_b device);
	void Unset();

	dev_t_b Device() const;
	// `name` holds B_FILE_NAME_LENGTH bytes: the label, or the mount point's leaf.
	status_t GetName(char* name) const;
	// The mount point.
	status_t GetRootDirectory(BDirectory* directory) const;
	off_t Capacity() const;
	off_t FreeBytes() const;
	off_t BlockSize() const;

	bool IsRemovable() const;
	bool IsReadOnly() const;
	bool IsPersistent() const;
	bool IsShared() const;
	// The file system keeps user attributes (ext2/3/4, xfs, btrfs, f2fs, zfs, tmpfs).
	bool KnowsMime() const;
	bool KnowsAttr() const;
	bool KnowsQuery() const;

	bool operator==(const BVolume& volume) const;
	bool operator!=(const BVolume& volume) const { return !(*this == volume); }
	BVolume& operator=(const BVolume& volume);

	// Host additions: the mount point, the file system's name, boot volume.
	const char* HostRootPath() const;
	const char* HostFileSystem() const;
	bool IsBootVolume() const;

private:
	friend class BVolumeRoster;

	dev_t_b fDevice;
	status_t fStatus;
	std::string fRoot;
	std::string fName;
	std::string fFileSystem;
	bool fReadOnly;
	bool fRemovable;
	bool fShared;
	bool fPersistent;
	bool fNative;
	bool fBoot;
};
