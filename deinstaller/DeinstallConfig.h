// The deinstaller's own configuration: the reduced record the installer wrote
// into its resources when it placed it.
#pragma once

#include "SupportDefs.h"

class BMessage;

// The error box shown when the record is missing or unreadable.
extern const char* const kNotConfiguredText;

// Reads 'CSTR' 2002 of the running program into `config`; on failure writes
// "Does not have resource 2002" or "Unable to read resource 2002" to the
// standard error stream and answers the reason.
status_t LoadDeinstallConfig(BMessage& config);
