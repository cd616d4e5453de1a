// The volumes the host offers: the real mounts of /proc/self/mountinfo, or,
// with VANTRY_ROOT set, the simulated volumes of VANTRY_ROOT, VANTRY_VOLUMES
// and the file VANTRY_VOLUMES_FILE. Not a BeOS API: BVolume and
// BVolumeRoster read it.
//
// Simulation syntax: entries separated by ';' (and, in the file, by newlines),
// each `PATH[:FLAG,FLAG...]` with flags
//   ro           read-only             removable   removable medium
//   shared       network volume        nonnative   keeps no attributes
//   transient    not persistent        name=TEXT   volume name (else the leaf)
//   fs=TYPE      file system name (default "bfs", or "fat" when nonnative)
// A PATH containing ':' is taken whole when what follows its last ':' is no
// valid flag list. An entry whose folder does not exist is not mounted; making
// or removing the folder (or editing the file) mounts and unmounts it.
// VANTRY_ROOT itself is the boot volume. While simulating, the real mounts are
// not listed.
#pragma once

#include <string>
#include <vector>

#include "SupportDefs.h"

struct VolumeRecord {
	int32 device = -1;
	std::string root;
	std::string name;
	std::string fsType;
	std::string source;
	bool readOnly = false;
	bool removable = false;
	bool shared = false;
	bool persistent = true;
	bool native = true;
	bool simulated = false;
	bool boot = false;
};

// VANTRY_ROOT names a root: volumes are simulated.
bool mount_table_simulated();
// The mounted volumes, boot volume first.
std::vector<VolumeRecord> mount_table_volumes();
bool mount_table_find_device(int32 device, VolumeRecord* record);
// The volume whose root is the longest prefix of `canonicalPath`.
bool mount_table_find_path(const std::string& canonicalPath, VolumeRecord* record);
bool mount_table_boot(VolumeRecord* record);

// Parses one simulation entry; false for an empty or relative path.
bool mount_table_parse_entry(const std::string& entry, VolumeRecord* record);
// Decodes the octal escapes (\040) of a mountinfo field.
std::string mount_table_unescape(const std::string& field);
// A file system that keeps user extended attributes.
bool mount_table_native_type(const std::string& fsType);
