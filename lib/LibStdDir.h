// The standard folder names of the configuration and the window, and the
// platform folder constants they stand for.
#pragma once

#include "FindDirectory.h"
#include "LibString.h"

// The folder constant of a standard folder name (exact, case matters); `which`
// is unchanged when the name is unknown.
bool LibGetStdDirName(const char* name, directory_which& which);
// The first name of the table standing for `which`.
bool LibGetStdDirName(const directory_which& which, LibString& name);
bool LibStdDirNameExists(const char* name);

// One row of the table; the table ends with a row whose name is null.
struct LibStdDirRow {
	const char* name;
	directory_which which;
};
// The whole table, in its order.
const LibStdDirRow* LibStdDirTable();
