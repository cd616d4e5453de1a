// The terminal mode: the installer's questions asked on a terminal in the
// window's order and language (licence, language, install type and items,
// destination), then the same run as the window's, its questions answered
// by the person at the terminal.
#pragma once

#include <cstdio>

#include "UnattendedOptions.h"

// Answers an exit code of the unattended mode.
int RunTerminal(const UnattendedOptions& options, FILE* in, FILE* out);
