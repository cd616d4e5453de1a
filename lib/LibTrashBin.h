// LibTrashBin: the trash that takes an entry, with its freedesktop records:
// the home trash for entries of the boot volume, a volume's own top-folder
// trash (".Trash/UID" or ".Trash-UID") for others, and the home trash, by
// copy, when a volume cannot keep one.
#pragma once

#include <string>

#include "SupportDefs.h"

class LibTrashBin {
public:
	// The trash for the entry at `path`.
	explicit LibTrashBin(const char* path);

	// Makes a plain folder the destination instead: no records are kept.
	void SetToFolder(const char* folder);

	status_t InitCheck() const { return fStatus; }
	// Where trashed entries lie.
	const char* FilesFolder() const { return fFiles.c_str(); }
	// The folder of the ".trashinfo" records; empty where the layout keeps none.
	const char* InfoFolder() const { return fInfo.c_str(); }

	// Whether `name` is taken in the trash, by an entry or by a record.
	bool Occupied(const std::string& name) const;
	// The first free name of "leaf", "leaf copy", "leaf copy 1"...
	std::string FreeName(const std::string& leaf) const;
	// Moves the entry at `path` in as `name`: the record is written first, the
	// entry arrives whole by a rename. Never replaces: B_FILE_EXISTS when the
	// name is taken. On failure the entry is where it was.
	status_t Put(const char* path, const std::string& name);
	// Removes the trashed entry `name` and its record.
	status_t Remove(const std::string& name);

	// The record of an entry trashed from `original` (a path as the record
	// names it), with the deletion date now.
	static std::string RecordText(const std::string& original);
	// Writes `text` to a new file `path`, failing with B_FILE_EXISTS when one
	// is there: a record claims its name against other trashing programs.
	static status_t WriteNewFile(const std::string& path, const std::string& text);

private:
	void SetToHome();
	bool SetToVolume(const std::string& top);
	std::string RecordPath(const std::string& name) const;
	// Moves `path` to `target` so that it is whole at every moment.
	status_t MoveWhole(const std::string& path, const std::string& target) const;

	status_t fStatus;
	std::string fFiles;
	std::string fInfo;
	// Records name paths relative to this folder; empty: absolute paths.
	std::string fTop;
};
