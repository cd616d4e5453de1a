// Host-side helpers the storage classes share: path arithmetic, entry path
// canonicalisation and stat with the volume's device id. Not a BeOS API.
#pragma once

#include <sys/stat.h>

#include <string>

#include "EntryRef.h"
#include "SupportDefs.h"

// `dir` and `leaf` joined by one slash ("/" + "a" is "/a"); an empty leaf adds nothing.
std::string host_join(const std::string& dir, const std::string& leaf);
// The last component of a clean absolute path ("" for "/").
std::string host_leaf(const std::string& path);
// The path without its last component ("/" for "/a"; "" for "/").
std::string host_parent(const std::string& path);
// The parent of an object's path for its GetParent: B_NO_INIT when the
// object is not set up (`status`), B_ENTRY_NOT_FOUND for the root.
status_t host_parent_for(const status_t& status, const std::string& path, std::string* parent);

// The canonical path of the entry `path` names: its folder resolved (links,
// ".", ".."), its leaf kept. With `traverse`, links at the leaf are followed
// (the target need not exist, its folder must). Relative paths start at the
// current folder.
status_t host_entry_path(const char* path, bool traverse, std::string* out);

// A Linux device number folded into the platform's 32-bit device id.
int32 host_encode_device(dev_t device);
// The device id of the volume holding `canonicalPath`: a simulated volume's
// id when the path lies in one, the host's device otherwise.
int32 host_volume_device(const std::string& canonicalPath, dev_t hostDevice);

// stat or lstat, with st_dev replaced by the volume's device id.
status_t host_stat(const std::string& path, bool follow, struct stat* st);

// The absolute path an entry_ref names; B_BAD_VALUE when it carries no path.
status_t host_ref_path(const entry_ref& ref, std::string* out);
// The same for a reference that may be missing (B_BAD_VALUE), as SetTo takes it.
status_t host_ref_path(const entry_ref* ref, std::string* out);
// Fills `ref` for an entry given by its canonical path.
status_t host_make_ref(const std::string& canonicalPath, entry_ref* ref);

// The volume of `canonicalPath` keeps user attributes. False on simulated
// volumes marked "nonnative"; true on real ones (the kernel decides there).
bool host_path_keeps_attributes(const std::string& canonicalPath);
