// What the installer can tell about itself without installing: its help with
// the product's types and items, the list of items, the unpacked items, and
// whether every payload is whole.
#pragma once

#include <cstdio>
#include <string>

#include "UnattendedOptions.h"

// Runs --help, --version, --list, --extract or --verify; answers the exit code.
int RunInstallerReport(const UnattendedOptions& options, FILE* out, FILE* errors);

// The lines --help adds about the product of `config` (a loaded record).
std::string ProductHelp(const class BMessage& config);
// The lines of --list for the record `config`.
std::string ProductListing(const BMessage& config);
// The document of --list --json for the record `config`, one line.
std::string ProductListingJson(const BMessage& config);
