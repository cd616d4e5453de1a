// BPath: an absolute path, normalised on request or when it needs it.
#pragma once

#include <string>

#include "StorageDefs.h"

class BDirectory;
class BEntry;

class BPath {
public:
	BPath();
	BPath(const BPath& path);
	explicit BPath(const entry_ref* ref);
	explicit BPath(const BEntry* entry);
	BPath(const char* dir, const char* leaf = nullptr, bool normalize = false);
	BPath(const BDirectory* dir, const char* leaf, bool normalize = false);
	virtual ~BPath();

	status_t InitCheck() const { return fStatus; }

	status_t SetTo(const entry_ref* ref);
	status_t SetTo(const BEntry* entry);
	// Relative paths start at the current folder; they, and paths holding
	// ".", ".." or doubled slashes, are always normalised (their folder must exist).
	status_t SetTo(const char* path, const char* leaf = nullptr, bool normalize = false);
	status_t SetTo(const BDirectory* dir, const char* leaf, bool normalize = false);
	void Unset();

	// Appends a relative path; an absolute one is B_BAD_VALUE.
	status_t Append(const char* path, bool normalize = false);

	// Null when the path is not initialised.
	const char* Path() const;
	// The last component; "" for "/".
	const char* Leaf() const;
	// B_ENTRY_NOT_FOUND for "/".
	status_t GetParent(BPath* path) const;

	bool operator==(const BPath& item) const;
	bool operator==(const char* path) const;
	bool operator!=(const BPath& item) const { return !(*this == item); }
	bool operator!=(const char* path) const { return !(*this == path); }
	BPath& operator=(const BPath& item);
	BPath& operator=(const char* path);

private:
	status_t _Set(const std::string& path, bool normalize);

	std::string fPath;
	status_t fStatus;
};
