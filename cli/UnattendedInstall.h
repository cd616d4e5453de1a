// An installation without a window: the record loaded from the installer's
// own resources, items and destination chosen from the command line, the
// same run as the window starts, and an exit code per outcome.
#pragma once

#include <cstdio>
#include <string>

#include "UnattendedOptions.h"

class InstallConfig;
class UnattendedOutput;
class UnattendedPresenter;

// Runs the whole unattended installation, printing its transcript to `out`;
// answers one of the UNATTENDED_ exit codes.
int RunUnattended(const UnattendedOptions& options, FILE* out);

// The run on the install thread, its questions put to `presenter`, its
// status printed to `output`, stopped by SIGINT and SIGTERM; answers the exit code.
int RunInstallThread(InstallConfig& config, UnattendedPresenter& presenter,
                     UnattendedOutput& output);
// The text of the "result:" line for an exit code.
const char* UnattendedOutcome(const int& code);

// Writes `install_to_system` into every item as the window does: the items
// of --items, else those of --type, else those of the first install type.
// False, with `error`, when a name is unknown or nothing is selected.
bool ChooseItems(InstallConfig& config, const UnattendedOptions& options, std::string& error);
// Sets the engine's destination from --dest and --volume; false with `error`.
// A folder that is not there is left for the run to report; `missing`, when
// given, then names it with the system's reason.
bool ChooseDestination(InstallConfig& config, const UnattendedOptions& options, std::string& error,
                       std::string* missing = nullptr);
