// app_info: what the roster and BApplication::GetAppInfo report about a
// running application, with the platform's launch flags.
#pragma once

#include "EntryRef.h"
#include "OS.h"

#ifndef B_MIME_TYPE_LENGTH
#define B_MIME_TYPE_LENGTH 240 // B_ATTR_NAME_LENGTH - 15, as in the storage kit
#endif

enum {
	B_SINGLE_LAUNCH = 0x0,
	B_MULTIPLE_LAUNCH = 0x1,
	B_EXCLUSIVE_LAUNCH = 0x2,
	B_LAUNCH_MASK = 0x3,
	B_BACKGROUND_APP = 0x4,
	B_ARGV_ONLY = 0x8,
};

struct app_info {
	app_info() : thread(-1), team(-1), port(-1), flags(0), signature() {}

	thread_id thread;
	team_id team;
	port_id port;
	uint32 flags;
	entry_ref ref;
	char signature[B_MIME_TYPE_LENGTH];
};
