// BEntry: a named place in a folder, which may or may not exist. Links are
// not followed unless asked (traverse = true).
#pragma once

#include <string>

#include "Statable.h"
#include "StorageDefs.h"

class BDirectory;
class BPath;

class BEntry : public BStatable {
public:
	BEntry();
	BEntry(const BDirectory* dir, const char* path, bool traverse = false);
	BEntry(const entry_ref* ref, bool traverse = false);
	BEntry(const char* path, bool traverse = false);
	BEntry(const BEntry& entry);
	virtual ~BEntry();

	// B_OK also for an entry that does not exist yet, as long as its folder does.
	status_t InitCheck() const { return fStatus; }
	bool Exists() const;

	status_t SetTo(const BDirectory* dir, const char* path, bool traverse = false);
	status_t SetTo(const entry_ref* ref, bool traverse = false);
	status_t SetTo(const char* path, bool traverse = false);
	void Unset();

	status_t GetRef(entry_ref* ref) const;
	status_t GetPath(BPath* path) const;
	status_t GetParent(BEntry* entry) const;
	status_t GetParent(BDirectory* dir) const;
	// `buffer` holds B_FILE_NAME_LENGTH bytes.
	status_t GetName(char* buffer) const;

	// A relative `path` is taken in the entry's folder. Without `clobber` an
	// existing target is B_FILE_EXISTS; across volumes B_CROSS_DEVICE_LINK.
	status_t Rename(const char* path, bool clobber = false);
	// Moves into `dir`, under `path` or the entry's own name.
	status_t MoveTo(BDirectory* dir, const char* path = nullptr, bool clobber = false);
	// Removes the file, link or empty folder; the entry stays set, abstract.
	status_t Remove();

	bool operator==(const BEntry& item) const;
	bool operator!=(const BEntry& item) const { return !(*this == item); }
	BEntry& operator=(const BEntry& item);

	// Host addition: the entry's canonical path (null when not set).
	const char* HostPath() const { return fStatus == B_OK ? fPath.c_str() : nullptr; }

protected:
	status_t _GetHostTarget(HostTarget* target) const override;

private:
	// A folder's listing names its children from its own canonical path.
	friend class BDirectory;

	status_t _MoveTo(const std::string& target, bool clobber);

	std::string fPath;
	status_t fStatus;
};
