// A removal without a window: the search of one volume and the move of
// everything found, printed one labelled line per event.
#pragma once

#include <cstdio>

#include "DeinstallOptions.h"

// Runs the whole unattended removal; answers one of the DEINSTALL_ exit codes.
int RunUnattendedDeinstall(const DeinstallOptions& options, FILE* out);
