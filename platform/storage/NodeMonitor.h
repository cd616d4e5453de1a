// watch_node and stop_watching. Only mounts are watched on the host: a thread
// polls the mount table (see MountTable.h; with the simulated layout that is
// VANTRY_VOLUMES, VANTRY_VOLUMES_FILE and the listed folders' existence)
// every VANTRY_MOUNT_POLL_MS milliseconds (default 250) and posts
// B_NODE_MONITOR messages: opcode B_DEVICE_MOUNTED with "new device",
// "device" and "directory", or B_DEVICE_UNMOUNTED with "device".
#pragma once

#include "Messenger.h"
#include "StorageDefs.h"

enum {
	B_STOP_WATCHING = 0x0000,
	B_WATCH_NAME = 0x0001,
	B_WATCH_STAT = 0x0002,
	B_WATCH_ATTR = 0x0004,
	B_WATCH_DIRECTORY = 0x0008,
	B_WATCH_ALL = 0x000F,
	B_WATCH_MOUNT = 0x0010,
};

enum {
	B_ENTRY_CREATED = 1,
	B_ENTRY_REMOVED = 2,
	B_ENTRY_MOVED = 3,
	B_STAT_CHANGED = 4,
	B_ATTR_CHANGED = 5,
	B_DEVICE_MOUNTED = 6,
	B_DEVICE_UNMOUNTED = 7,
};

// B_WATCH_MOUNT starts watching mounts for `target` (the node is not needed);
// B_STOP_WATCHING stops it. Other flags are B_NOT_SUPPORTED.
status_t watch_node(const node_ref* node, uint32 flags, BMessenger target);
// Stops everything watched for `target`.
status_t stop_watching(BMessenger target);
