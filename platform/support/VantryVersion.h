// The version of the Vantry programs, one source for all of them: the
// --version lines, the version stamped into each program, the window's
// product line and the log header.
#pragma once

#define VANTRY_VERSION_MAJOR 1
#define VANTRY_VERSION_MIDDLE 3
#define VANTRY_VERSION_MINOR 0
#define VANTRY_VERSION_TEXT "1.3.0"

inline const char* vantry_version()
{
	return VANTRY_VERSION_TEXT;
}

// "NAME (Vantry 1.3.0)", the line every program prints for --version.
#define VANTRY_VERSION_LINE(name) name " (Vantry %s)\n"
