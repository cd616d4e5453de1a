// MIME constants of the platform, icon sizes and update_mime_info (the
// in-process mimeset).
#pragma once

#include "SupportDefs.h"

enum icon_size {
	B_LARGE_ICON = 32,
	B_MINI_ICON = 16,
};

enum app_verb {
	B_OPEN = 0,
};

#define B_APP_MIME_TYPE "application/x-vnd.Be-elfexecutable"
#define B_ELF_APP_MIME_TYPE "application/x-vnd.Be-elfexecutable"
#define B_PE_APP_MIME_TYPE "application/x-vnd.Be-peexecutable"
#define B_PEF_APP_MIME_TYPE "application/x-be-executable"
#define B_RESOURCE_MIME_TYPE "application/x-be-resource"
#define B_FILE_MIME_TYPE "application/octet-stream"
#define B_DIRECTORY_MIME_TYPE "application/x-vnd.Be-directory"
#define B_SYMLINK_MIME_TYPE "application/x-vnd.Be-symlink"
#define B_VOLUME_MIME_TYPE "application/x-vnd.Be-volume"

// Sniffs the type of `path` and stores it in its "BEOS:TYPE" attribute:
// folders, links and volume roots get the platform's types, an ELF file with
// an execute bit the executable type, anything else what its content gives
// (MimeRules.h).
// Without `force` entries that already have a type keep it; with `recursive`
// a folder's contents are typed too (links are never followed). Links keep no
// attributes on Linux and are left as they are. Runs synchronously always.
status_t update_mime_info(const char* path, int recursive, int synchronous, int force);
