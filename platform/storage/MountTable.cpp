// Reads the host's mounts and the simulated volumes of the test layout.
#include "MountTable.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "StorageHost.h"

namespace {

const std::set<std::string> kPseudoTypes = {
        "proc",       "sysfs",   "devtmpfs",  "devpts",          "cgroup",      "cgroup2",
        "securityfs", "debugfs", "tracefs",   "configfs",        "fusectl",     "mqueue",
        "hugetlbfs",  "pstore",  "bpf",       "autofs",          "binfmt_misc", "efivarfs",
        "rpc_pipefs", "nsfs",    "selinuxfs", "fuse.gvfsd-fuse", "fuse.portal"};
const std::set<std::string> kNativeTypes = {"ext2", "ext3", "ext4",  "xfs", "btrfs",
                                            "f2fs", "zfs",  "tmpfs", "bfs", "befs"};
const std::set<std::string> kNetworkTypes = {
        "nfs",  "nfs4",      "cifs",       "smb3",        "smbfs",       "9p",   "afs",
        "ceph", "glusterfs", "fuse.sshfs", "fuse.davfs2", "fuse.rclone", "davfs"};

std::string getenv_string(const char* name)
{
	const char* value = getenv(name);
	return value == nullptr ? std::string() : std::string(value);
}

uint32 fnv1a(const std::string& text)
{
	uint32 hash = 2166136261u;
	for (unsigned char c : text) {
		hash ^= c;
		hash *= 16777619u;
	}
	return hash;
}

int32 simulated_device(const std::string& root)
{
	return (int32)(0x40000000u | (fnv1a(root) & 0x3fffffffu));
}

bool canonical_folder(const std::string& path, std::string* out)
{
	char buffer[PATH_MAX];
	struct stat st;
	if (realpath(path.c_str(), buffer) == nullptr || stat(buffer, &st) != 0)
		return false;
	if (!S_ISDIR(st.st_mode))
		return false;
	*out = buffer;
	return true;
}

bool apply_flag(const std::string& flag, VolumeRecord* record)
{
	if (flag == "ro")
		record->readOnly = true;
	else if (flag == "removable")
		record->removable = true;
	else if (flag == "shared")
		record->shared = true;
	else if (flag == "nonnative")
		record->native = false;
	else if (flag == "transient")
		record->persistent = false;
	else if (flag.rfind("name=", 0) == 0 && flag.size() > 5)
		record->name = flag.substr(5);
	else if (flag.rfind("fs=", 0) == 0 && flag.size() > 3)
		record->fsType = flag.substr(3);
	else
		return false;
	return true;
}

bool apply_flags(const std::string& flags, VolumeRecord* record)
{
	VolumeRecord trial = *record;
	std::stringstream stream(flags);
	std::string flag;
	while (std::getline(stream, flag, ',')) {
		if (!apply_flag(flag, &trial))
			return false;
	}
	*record = trial;
	return true;
}

std::vector<std::string> split_entries(const std::string& text)
{
	std::vector<std::string> entries;
	std::string current;
	for (char c : text) {
		if (c == ';' || c == '\n' || c == '\r') {
			if (!current.empty())
				entries.push_back(current);
			current.clear();
			continue;
		}
		current += c;
	}
	if (!current.empty())
		entries.push_back(current);
	return entries;
}

std::string read_text(const std::string& path)
{
	std::ifstream in(path, std::ios::binary);
	std::stringstream text;
	text << in.rdbuf();
	return text.str();
}

// A configured volume is mounted while its folder exists.
bool mount_simulated(VolumeRecord record, std::vector<VolumeRecord>* volumes)
{
	std::string canonical;
	if (!canonical_folder(record.root, &canonical))
		return false;
	for (const VolumeRecord& known : *volumes) {
		if (known.root == canonical)
			return false;
	}
	record.root = canonical;
	record.device = simulated_device(canonical);
	record.simulated = true;
	if (record.name.empty())
		record.name = host_leaf(canonical);
	if (record.fsType.empty())
		record.fsType = record.native ? "bfs" : "fat";
	record.source = canonical;
	volumes->push_back(record);
	return true;
}

std::vector<VolumeRecord> simulated_volumes()
{
	std::vector<VolumeRecord> volumes;
	VolumeRecord boot;
	boot.root = getenv_string("VANTRY_ROOT");
	boot.boot = true;
	if (!mount_simulated(boot, &volumes)) {
		// A root not made yet still stands for the boot volume.
		boot.device = simulated_device(boot.root);
		boot.name = host_leaf(boot.root);
		boot.fsType = "bfs";
		boot.simulated = true;
		volumes.push_back(boot);
	}
	std::string list = getenv_string("VANTRY_VOLUMES");
	std::string file = getenv_string("VANTRY_VOLUMES_FILE");
	if (!file.empty())
		list += ";" + read_text(file);
	for (const std::string& entry : split_entries(list)) {
		VolumeRecord record;
		if (mount_table_parse_entry(entry, &record))
			mount_simulated(record, &volumes);
	}
	return volumes;
}

std::vector<std::string> split_fields(const std::string& line)
{
	std::vector<std::string> fields;
	std::stringstream stream(line);
	std::string field;
	while (stream >> field)
		fields.push_back(field);
	return fields;
}

bool has_option(const std::string& options, const char* option)
{
	std::stringstream stream(options);
	std::string item;
	while (std::getline(stream, item, ',')) {
		if (item == option)
			return true;
	}
	return false;
}

bool hidden_mount_point(const std::string& root)
{
	static const char* const kHidden[] = {"/proc", "/sys", "/dev", "/run"};
	if (root.rfind("/run/media/", 0) == 0)
		return false;
	for (const char* prefix : kHidden) {
		size_t length = strlen(prefix);
		if (root.compare(0, length, prefix) == 0 && (root.size() == length || root[length] == '/'))
			return true;
	}
	return false;
}

std::string read_first_line(const std::string& path)
{
	std::ifstream in(path);
	std::string line;
	std::getline(in, line);
	return line;
}

bool block_device_removable(uint32 major, uint32 minor)
{
	char link[64];
	snprintf(link, sizeof(link), "/sys/dev/block/%u:%u", major, minor);
	char buffer[PATH_MAX];
	if (realpath(link, buffer) == nullptr)
		return false;
	std::string device = buffer;
	if (access((device + "/partition").c_str(), F_OK) == 0)
		device = host_parent(device);
	return read_first_line(device + "/removable") == "1";
}

// Labels in /dev/disk/by-label escape bytes as \xHH.
std::string unescape_label(const std::string& label)
{
	std::string result;
	for (size_t i = 0; i < label.size(); i++) {
		if (label[i] == '\\' && i + 3 < label.size() && label[i + 1] == 'x') {
			result += (char)strtol(label.substr(i + 2, 2).c_str(), nullptr, 16);
			i += 3;
			continue;
		}
		result += label[i];
	}
	return result;
}

std::string label_for_source(const std::string& source)
{
	char wanted[PATH_MAX];
	if (source.empty() || source[0] != '/' || realpath(source.c_str(), wanted) == nullptr)
		return "";
	const std::string folder = "/dev/disk/by-label";
	std::string result;
	if (DIR* dir = opendir(folder.c_str())) {
		while (struct dirent* entry = readdir(dir)) {
			if (entry->d_name[0] == '.')
				continue;
			char target[PATH_MAX];
			if (realpath(host_join(folder, entry->d_name).c_str(), target) == nullptr)
				continue;
			if (strcmp(target, wanted) == 0) {
				result = unescape_label(entry->d_name);
				break;
			}
		}
		closedir(dir);
	}
	return result;
}

bool parse_mount_line(const std::string& line, VolumeRecord* record)
{
	std::vector<std::string> fields = split_fields(line);
	size_t dash = 0;
	while (dash < fields.size() && fields[dash] != "-")
		dash++;
	if (dash < 6 || dash + 3 > fields.size())
		return false;
	uint32 major = 0, minor = 0;
	if (sscanf(fields[2].c_str(), "%u:%u", &major, &minor) != 2)
		return false;
	record->root = mount_table_unescape(fields[4]);
	record->fsType = fields[dash + 1];
	record->source = mount_table_unescape(fields[dash + 2]);
	if (kPseudoTypes.count(record->fsType) != 0 || hidden_mount_point(record->root))
		return false;
	struct stat st;
	if (stat(record->root.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
		return false;
	record->device = host_encode_device(makedev(major, minor));
	record->readOnly = has_option(fields[5], "ro") || has_option(fields[dash + 3], "ro");
	record->native = mount_table_native_type(record->fsType);
	record->shared = kNetworkTypes.count(record->fsType) != 0;
	record->persistent = record->fsType != "tmpfs" && record->fsType != "ramfs";
	record->removable = major != 0 && block_device_removable(major, minor);
	return true;
}

void name_real_volume(VolumeRecord* record)
{
	record->name = label_for_source(record->source);
	if (record->name.empty())
		record->name = record->root == "/" ? "root" : host_leaf(record->root);
}

std::vector<VolumeRecord> real_volumes()
{
	std::vector<VolumeRecord> volumes;
	std::ifstream in("/proc/self/mountinfo");
	std::string line;
	while (std::getline(in, line)) {
		VolumeRecord record;
		if (!parse_mount_line(line, &record))
			continue;
		// A later mount on the same point hides the earlier one; a device
		// mounted twice is one volume, under its first mount point.
		bool known = false;
		for (VolumeRecord& volume : volumes) {
			if (volume.root == record.root)
				volume = record;
			known = known || volume.root == record.root || volume.device == record.device;
		}
		if (!known)
			volumes.push_back(record);
	}
	for (VolumeRecord& volume : volumes)
		name_real_volume(&volume);
	return volumes;
}

bool path_inside(const std::string& path, const std::string& root)
{
	if (root == "/")
		return !path.empty() && path[0] == '/';
	return path.compare(0, root.size(), root) == 0 &&
	       (path.size() == root.size() || path[root.size()] == '/');
}

bool find_longest_prefix(const std::vector<VolumeRecord>& volumes, const std::string& path,
                         VolumeRecord* record)
{
	const VolumeRecord* best = nullptr;
	for (const VolumeRecord& volume : volumes) {
		if (path_inside(path, volume.root) &&
		    (best == nullptr || volume.root.size() > best->root.size()))
			best = &volume;
	}
	if (best == nullptr)
		return false;
	*record = *best;
	return true;
}

std::string home_folder()
{
	std::string home = getenv_string("HOME");
	char buffer[PATH_MAX];
	if (!home.empty() && realpath(home.c_str(), buffer) != nullptr)
		return buffer;
	return "/";
}

} // namespace

bool mount_table_simulated()
{
	const char* root = getenv("VANTRY_ROOT");
	return root != nullptr && root[0] != '\0';
}

std::vector<VolumeRecord> mount_table_volumes()
{
	if (mount_table_simulated())
		return simulated_volumes();
	std::vector<VolumeRecord> volumes = real_volumes();
	VolumeRecord boot;
	if (!find_longest_prefix(volumes, home_folder(), &boot))
		return volumes;
	std::vector<VolumeRecord> ordered;
	for (VolumeRecord& volume : volumes) {
		volume.boot = volume.device == boot.device;
		if (volume.boot)
			ordered.insert(ordered.begin(), volume);
		else
			ordered.push_back(volume);
	}
	return ordered;
}

bool mount_table_find_device(int32 device, VolumeRecord* record)
{
	for (const VolumeRecord& volume : mount_table_volumes()) {
		if (volume.device == device) {
			*record = volume;
			return true;
		}
	}
	return false;
}

bool mount_table_find_path(const std::string& canonicalPath, VolumeRecord* record)
{
	return find_longest_prefix(mount_table_volumes(), canonicalPath, record);
}

bool mount_table_boot(VolumeRecord* record)
{
	for (const VolumeRecord& volume : mount_table_volumes()) {
		if (volume.boot) {
			*record = volume;
			return true;
		}
	}
	return false;
}

bool mount_table_parse_entry(const std::string& entry, VolumeRecord* record)
{
	VolumeRecord parsed;
	std::string path = entry;
	size_t colon = entry.rfind(':');
	if (colon != std::string::npos && apply_flags(entry.substr(colon + 1), &parsed))
		path = entry.substr(0, colon);
	else
		parsed = VolumeRecord();
	if (path.empty() || path[0] != '/')
		return false;
	parsed.root = path;
	*record = parsed;
	return true;
}

std::string mount_table_unescape(const std::string& field)
{
	std::string result;
	for (size_t i = 0; i < field.size(); i++) {
		bool octal = field[i] == '\\' && i + 3 < field.size() &&
		             field.find_first_not_of("01234567", i + 1) >= i + 4;
		if (octal) {
			result += (char)strtol(field.substr(i + 1, 3).c_str(), nullptr, 8);
			i += 3;
			continue;
		}
		result += field[i];
	}
	return result;
}

bool mount_table_native_type(const std::string& fsType)
{
	return kNativeTypes.count(fsType) != 0;
}
