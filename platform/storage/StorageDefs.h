// Storage limits, open modes, node_ref and the path-to-reference helper.
#pragma once

#include <fcntl.h>

#include "EntryRef.h"
#include "SupportDefs.h"

#define B_FILE_NAME_LENGTH 256
#define B_PATH_NAME_LENGTH 1024
#define B_ATTR_NAME_LENGTH 255
#ifndef B_MIME_TYPE_LENGTH
#define B_MIME_TYPE_LENGTH 240
#endif
#define B_MAX_SYMLINKS 16

// Open modes with their BeOS values; BFile translates them to the host's.
enum : uint32 {
	B_READ_ONLY = 0x0000,
	B_WRITE_ONLY = 0x0001,
	B_READ_WRITE = 0x0002,
	B_FAIL_IF_EXISTS = 0x0100,
	B_CREATE_FILE = 0x0200,
	B_ERASE_FILE = 0x0400,
	B_OPEN_AT_END = 0x0800,
};

// Flags for BDirectory::Contains and similar node kind filters.
enum node_flavor {
	B_FILE_NODE = 0x01,
	B_SYMLINK_NODE = 0x02,
	B_DIRECTORY_NODE = 0x04,
	B_ANY_NODE = 0x07,
};

struct node_ref {
	node_ref() : device(-1), node(-1) {}
	node_ref(int32 dev, int64 ino) : device(dev), node(ino) {}

	bool operator==(const node_ref& other) const
	{
		return device == other.device && node == other.node;
	}
	bool operator!=(const node_ref& other) const { return !(*this == other); }
	bool operator<(const node_ref& other) const
	{
		return device != other.device ? device < other.device : node < other.node;
	}

	int32 device;
	int64 node;
};

// The reference of the entry at `path`, links not followed. The leaf need not
// exist, but its folder must.
status_t get_ref_for_path(const char* path, entry_ref* ref);

// The absolute path a reference names (folder path plus leaf).
status_t get_path_for_ref(const entry_ref* ref, char* path, int32 length);
