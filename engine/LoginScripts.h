// The script sections on the Linux layout: the boot script runs at login
// through an autostart entry, and the environment and profile sections go
// into the file the user's login shell reads. The BeOS layout (VANTRY_ROOT)
// keeps its own scripts.
#pragma once

#include <string>
#include <vector>

#include "FindDirectory.h"

// True unless VANTRY_ROOT names a BeOS-layout root.
bool LinuxDesktopLayout();

// The Linux layout for every user: the program runs as root.
bool SystemLayout();

// Turns the system layout on for a program run as root, unless
// VANTRY_LAYOUT=user asks for root's own home (as the tests do).
void ChooseSystemLayout();

// The login file a shell reads: ~/.zprofile for zsh; for bash ~/.bash_profile
// or ~/.bash_login when present, else ~/.profile; ~/.profile for the others.
std::string LoginShellFile(const std::string& home, const std::string& shell);

// The product whose sections are edited next: on the system layout its
// profile sections go into /etc/profile.d/vantry-PRODUCT.sh.
void SetScriptProduct(const std::string& product);

// The file a section of `file_name` in `folder` goes to, as the log names it.
std::string ScriptFilePath(const directory_which& folder, const char* file_name);

// Edits (or with a null `text` removes) a section on the Linux layout, with
// the result in `status`; false when the script is not one this layout
// moves, for the caller to edit.
bool EditLinuxScript(const directory_which& folder, const char* file_name, const char* tag,
                     const char* text, status_t& status);

// The autostart entry that runs the boot script at `script`.
std::string BootScriptEntryPath(const std::string& script);

// `text` with each "${VANTRY_INSTALL_DIR}" replaced by `folder`, escaped so
// that it stays one word inside double quotes; any other text stays literal.
std::string SubstituteInstallDir(const std::string& text, const std::string& folder);
