// Telling a cut-off or damaged installer file (a download stopped short)
// apart from one that was built wrong, before anything is written.
#pragma once

#include <string>

// Empty when the file at `path` can be read and is as long as its own tables
// say; else the message for the user, naming the file and the reason (the
// size it should have and the size it has).
std::string InstallerFileDamage(const char* path);
