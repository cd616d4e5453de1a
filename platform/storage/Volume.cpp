// BVolume: a volume's facts from the mount table, sizes from statvfs.
#include "Volume.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <cstring>

#include "Directory.h"
#include "MountTable.h"

BVolume::BVolume()
    : fDevice(-1), fStatus(B_NO_INIT), fReadOnly(false), fRemovable(false), fShared(false),
      fPersistent(false), fNative(false), fBoot(false)
{
}

BVolume::BVolume(dev_t_b device) : BVolume()
{
	SetTo(device);
}

BVolume::BVolume(const BVolume& volume) : BVolume()
{
	*this = volume;
}

BVolume::~BVolume() {}

status_t BVolume::SetTo(dev_t_b device)
{
	Unset();
	if (device < 0)
		return fStatus = B_BAD_VALUE;
	VolumeRecord record;
	if (!mount_table_find_device(device, &record))
		return fStatus = B_ENTRY_NOT_FOUND;
	fDevice = record.device;
	fRoot = record.root;
	fName = record.name;
	fFileSystem = record.fsType;
	fReadOnly = record.readOnly;
	fRemovable = record.removable;
	fShared = record.shared;
	fPersistent = record.persistent;
	fNative = record.native;
	fBoot = record.boot;
	return fStatus = B_OK;
}

void BVolume::Unset()
{
	*this = BVolume();
}

dev_t_b BVolume::Device() const
{
	return fStatus == B_OK ? fDevice : (dev_t_b)B_NO_INIT;
}

status_t BVolume::GetName(char* name) const
{
	if (name == nullptr)
		return B_BAD_VALUE;
	if (fStatus != B_OK)
		return B_NO_INIT;
	size_t length = std::min(fName.size(), (size_t)B_FILE_NAME_LENGTH - 1);
	memcpy(name, fName.data(), length);
	name[length] = '\0';
	return B_OK;
}

status_t BVolume::GetRootDirectory(BDirectory* directory) const
{
	if (directory == nullptr)
		return B_BAD_VALUE;
	if (fStatus != B_OK)
		return B_NO_INIT;
	return directory->SetTo(fRoot.c_str());
}

off_t BVolume::Capacity() const
{
	struct statvfs info;
	if (fStatus != B_OK || statvfs(fRoot.c_str(), &info) != 0)
		return B_NO_INIT;
	return (off_t)info.f_blocks * (off_t)info.f_frsize;
}

off_t BVolume::FreeBytes() const
{
	struct statvfs info;
	if (fStatus != B_OK || statvfs(fRoot.c_str(), &info) != 0)
		return B_NO_INIT;
	return (off_t)info.f_bavail * (off_t)info.f_frsize;
}

off_t BVolume::BlockSize() const
{
	struct statvfs info;
	if (fStatus != B_OK || statvfs(fRoot.c_str(), &info) != 0)
		return B_NO_INIT;
	return (off_t)info.f_bsize;
}

bool BVolume::IsRemovable() const
{
	return fStatus == B_OK && fRemovable;
}

bool BVolume::IsReadOnly() const
{
	return fStatus == B_OK && fReadOnly;
}

bool BVolume::IsPersistent() const
{
	return fStatus == B_OK && fPersistent;
}

bool BVolume::IsShared() const
{
	return fStatus == B_OK && fShared;
}

bool BVolume::KnowsMime() const
{
	return KnowsAttr();
}

bool BVolume::KnowsAttr() const
{
	return fStatus == B_OK && fNative;
}

bool BVolume::KnowsQuery() const
{
	return KnowsAttr();
}

bool BVolume::operator==(const BVolume& volume) const
{
	return fStatus == volume.fStatus && (fStatus != B_OK || fDevice == volume.fDevice);
}

BVolume& BVolume::operator=(const BVolume& volume)
{
	fDevice = volume.fDevice;
	fStatus = volume.fStatus;
	fRoot = volume.fRoot;
	fName = volume.fName;
	fFileSystem = volume.fFileSystem;
	fReadOnly = volume.fReadOnly;
	fRemovable = volume.fRemovable;
	fShared = volume.fShared;
	fPersistent = volume.fPersistent;
	fNative = volume.fNative;
	fBoot = volume.fBoot;
	return *this;
}

const char* BVolume::HostRootPath() const
{
	return fStatus == B_OK ? fRoot.c_str() : nullptr;
}

const char* BVolume::HostFileSystem() const
{
	return fStatus == B_OK ? fFileSystem.c_str() : nullptr;
}

bool BVolume::IsBootVolume() const
{
	return fStatus == B_OK && fBoot;
}
