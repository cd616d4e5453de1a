// Folders the installer never replaces, moves or empties, whatever its record
// says: the standard folders and those that hold one, the folders that hold
// the installation folder, and anything outside every standard folder.
#pragma once

#include <string>

class BVolume;

// Why the existing entry at `path` must not be replaced, as a phrase for a
// message ("is the standard folder \"User\""); empty when it may be.
// `install_folder` is the run's installation folder; standard folders are
// taken on the boot volume and on `volume` when it is given.
std::string ProtectedFolderReason(const std::string& path, const std::string& install_folder,
                                  BVolume* volume);
// The part of that answer about standard folders alone: `path` is or holds
// one. `inside`, when given, is set when `path` lies below one.
std::string StandardFolderClash(const std::string& path, BVolume* volume, bool* inside = nullptr);
