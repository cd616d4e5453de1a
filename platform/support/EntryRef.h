// entry_ref: a reference to a file-system entry. It lives here, below the
// application layer, because messages carry references as B_REF_TYPE items.
#pragma once

#include <string>

#include "SupportDefs.h"

struct entry_ref {
	entry_ref();
	entry_ref(int32 dev, int64 dir, const char* name);
	entry_ref(const entry_ref& other);
	entry_ref& operator=(const entry_ref& other);
	~entry_ref() = default;

	status_t set_name(const char* name);

	// Device, folder and leaf name decide equality, as on the platform.
	bool operator==(const entry_ref& other) const;
	bool operator!=(const entry_ref& other) const { return !(*this == other); }

	int32 device;
	int64 directory;
	// Points into the reference's own copy of the leaf name; null when it has none.
	char* name;

	// Our addition: the folder's path, so a reference can always be turned
	// back into a path on a host without lookups by inode.
	std::string directory_path;

private:
	std::string fNameStorage;
};
