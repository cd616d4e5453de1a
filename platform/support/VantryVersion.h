// The version of the Vantry programs, one text for all of them.
#pragma once

inline const char* vantry_version()
{
	return "0.9.0";
}

// "NAME (Vantry 0.9.0)", the line every program prints for --version.
#define VANTRY_VERSION_LINE(name) name " (Vantry %s)\n"
