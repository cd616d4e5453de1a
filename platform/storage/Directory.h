// BDirectory: a folder, its entries and the entries it creates. Opening a
// folder follows a link at its path; iterating never follows links unless asked.
#pragma once

#include <dirent.h>

#include <climits>

#include "Node.h"

class BEntry;
class BFile;
class BSymLink;

class BDirectory : public BNode {
public:
	BDirectory();
	BDirectory(const BDirectory& dir);
	BDirectory(const entry_ref* ref);
	BDirectory(const BEntry* entry);
	BDirectory(const char* path);
	BDirectory(const BDirectory* dir, const char* path);
	virtual ~BDirectory();

	status_t SetTo(const entry_ref* ref);
	status_t SetTo(const BEntry* entry);
	status_t SetTo(const char* path);
	status_t SetTo(const BDirectory* dir, const char* path);
	void Unset();

	status_t GetEntry(BEntry* entry) const;
	// The folder is the root of its volume (a mount point or a simulated root).
	bool IsRootDirectory() const;

	status_t FindEntry(const char* path, BEntry* entry, bool traverse = false) const;
	// True when the entry lies anywhere below this folder and its kind is in
	// `nodeFlags` (B_FILE_NODE, B_SYMLINK_NODE, B_DIRECTORY_NODE).
	bool Contains(const char* path, int32 nodeFlags = B_ANY_NODE) const;
	bool Contains(const BEntry* entry, int32 nodeFlags = B_ANY_NODE) const;
	status_t GetStatFor(const char* path, struct stat* st) const;

	// "." and ".." are never returned; B_ENTRY_NOT_FOUND after the last entry.
	status_t GetNextEntry(BEntry* entry, bool traverse = false);
	status_t GetNextRef(entry_ref* ref);
	// Copies whole dirent records into `buffer`; the number copied.
	int32 GetNextDirents(struct dirent* buffer, size_t length, int32 count = INT_MAX);
	status_t Rewind();
	// Counts the entries and rewinds.
	int32 CountEntries();

	status_t CreateDirectory(const char* path, BDirectory* dir);
	status_t CreateFile(const char* path, BFile* file, bool failIfExists = false);
	status_t CreateSymLink(const char* path, const char* linkToPath, BSymLink* link);

	BDirectory& operator=(const BDirectory& dir);

private:
	status_t _OpenFolder(const std::string& path);
	status_t _NextName(std::string* name);
	std::string _ChildPath(const char* path) const;

	DIR* fDir;
};

// Makes `path` and every missing folder above it; an existing folder is B_OK.
status_t create_directory(const char* path, mode_t mode);
