// The environment of graphical sessions: a product's profile and environment
// sections that only assign variables are also written into the product's
// file of the environment.d folder, which systemd user sessions read.
#pragma once

#include <string>

#include "SupportDefs.h"

class InstallConfig;

// The environment.d folder: $XDG_CONFIG_HOME/environment.d for a user;
// /etc/environment.d on the system layout.
std::string EnvironmentFolder();

// The product's file in EnvironmentFolder, "60-vantry-PRODUCT.conf".
std::string EnvironmentFilePath(const std::string& product);

// The section's lines as environment.d assignments ("export " dropped);
// false when a line is anything but an assignment, a comment or empty.
bool EnvironmentAssignments(const std::string& text, std::string& lines);

// Writes the section `tag` of `text` into the product's environment file when
// it only assigns variables, recorded in the run's journal and logged.
void PlaceEnvironmentSection(InstallConfig& config, const std::string& product, const char* tag,
                             const std::string& text);

// Adds the section `tag` to `path`, a file only installers write: begun with
// `header` when missing, no backup kept.
status_t EditOwnFile(const std::string& path, const char* tag, const std::string& text,
                     const char* header);

// Removes the section `tag` from the files of `folder` named PREFIX*SUFFIX;
// a file left without a section goes. The paths edited are appended to `edited`.
status_t RemoveFromOwnFiles(const std::string& folder, const char* prefix, const char* suffix,
                            const char* tag, std::string* edited = nullptr);

// Removes the section `tag` from every Vantry file of the environment folder;
// a file left without a section goes. The paths edited are appended to `edited`.
status_t RemoveEnvironmentSection(const char* tag, std::string* edited = nullptr);
