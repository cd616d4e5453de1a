// System services of the support library: the operating system's version,
// the login name, whole-process thread control and the restart/power-off command.
#pragma once

#include "LibString.h"
#include "OS.h"
#include "SupportDefs.h"

// Sets `version` to the operating system's version text ("Linux 6.1.0-18");
// leaves it unchanged when the system does not report one.
void LibGetOSVersion(LibString& version);

// The login name of the process's user, else the user-database name of the
// real user id, else an empty text.
LibString LibGetLogin();

// The user-mode time of every thread of the process, in seconds.
double lib_team_cpu_time(const team_id& team);
// Stops every thread of another process; 0, or B_BAD_TEAM_ID for no such
// process, or B_NOT_ALLOWED for the calling process (nobody could resume it).
status_t lib_suspend_team(const team_id& team);
// Lets every thread of a stopped process continue; 0 or B_BAD_TEAM_ID.
status_t lib_resume_team(const team_id& team);

// Starts the "shutdown" tool of the BeOS Bin folder in the background, with
// "-r" to restart, and returns at once. As a guard against restarting a
// developer's or a test machine, the tool runs only when it lies (after
// resolving links) inside $VANTRY_ROOT, or when VANTRY_ALLOW_SHUTDOWN=1 is set;
// otherwise B_NOT_ALLOWED. Errors of starting the tool are returned.
status_t LibShutdown(const bool& restart);
// The guard of LibShutdown for a given tool path.
bool LibShutdownAllowed(const char* toolPath);
