// The names and modes of a payload's entries, checked before anything is
// written: every name below the item's own folder, no step out of it, none
// behind a link.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "ZipArchive.h"

// The longest leaf a name may hold.
const size_t kMaxLeafLength = 255;

// The parts of an entry's name between its slashes.
std::vector<std::string> split_payload_name(const std::string& name);
// The entry's mode from its external attributes, or 0 when it has none.
mode_t payload_entry_mode(const ZipEntry& entry);
