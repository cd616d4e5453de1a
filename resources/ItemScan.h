// ItemScan: the entries of one install item (a file, or a folder and all it
// holds) in archive order, and the attributes of an entry.
#pragma once

#include <sys/stat.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "PayloadFields.h"
#include "SupportDefs.h"

enum class EntryKind {
	kFile,
	kFolder,
	kLink,
};

struct ItemEntry {
	std::string name; // in the archive: the leaf, "leaf/" or "leaf/sub/file"
	std::string path; // on disk
	EntryKind kind = EntryKind::kFile;
	struct stat info = {};
};

// Lists the item at `source` under the name `leaf`: a file is one entry; a
// folder is "leaf/" followed by what it holds, sorted by name, folders as
// "name/". The item itself is taken as what a link at `source` points to;
// links inside a folder stay links. `found`, when given, is told of each
// entry as it is listed, so that work on it may start during the scan.
status_t scan_item(const std::string& source, const std::string& leaf,
                   std::deque<ItemEntry>* entries, std::string* error,
                   const std::function<void(const ItemEntry&)>& found = nullptr);

// The attributes of the entry at `path`, sorted by name; none for a link or
// on a file system without attributes. `fd`, when not -1, is the entry open
// already: whether it has any is then asked without walking the path again.
status_t read_entry_attributes(const std::string& path, EntryKind kind,
                               std::vector<PayloadAttribute>* attributes, std::string* error,
                               int fd = -1);
