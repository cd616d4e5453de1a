// Host rule for attributes of symbolic links: Linux refuses user xattrs on
// links, so a link's attributes are kept on the folder that holds it. Not a BeOS API.
//
// For the link with leaf LEAF, HASH being 16 hex digits of a hash of LEAF:
// - "user.beos.link.HASH" holds LEAF, a NUL and the link's identity (inode
//   number and birth time), so a hash collision, a renamed link or a link
//   replaced behind our back is seen: on a mismatch the link has no attributes;
// - "user.beos.link.HASH.NAME" holds attribute NAME's bytes, raw;
// - "user.beos.link.HASH#NAME" holds its type code's four characters.
// Names whose xattr would pass 255 bytes are refused (B_NAME_TOO_LONG).
// BEntry and the support library's copy, move and removal carry or drop
// these entries with the link; anything else that renames or removes a link
// leaves them stale, and the identity check keeps a later link from
// inheriting them.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "SupportDefs.h"

// FNV-1a over the bytes of `text`.
uint64 host_name_hash(const std::string& text);

// "user.beos.link.HASH" for the link leaf `leaf`.
std::string host_link_attr_key(const std::string& leaf);
// The xattrs, on the folder, of attribute `name` of the link with `key`.
std::string host_link_value_xattr(const std::string& key, const std::string& name);
std::string host_link_type_xattr(const std::string& key, const std::string& name);
// The attribute name `xattr` stands for under `key`; false for anything else.
bool host_link_attr_name(const std::string& key, const std::string& xattr, std::string* name);

// B_OK when the folder's entries under the link's key belong to the link at
// `linkPath`; B_ENTRY_NOT_FOUND when there are none or they belong to another.
status_t host_link_attrs_owned(const std::string& linkPath);
// Makes the key of the link at `linkPath` its own, dropping stale entries;
// B_NAME_IN_USE when another link of the folder holds the key.
status_t host_link_attrs_claim(const std::string& linkPath);
// Removes the entries of the (possibly gone) link at `linkPath`.
void host_link_attrs_drop(const std::string& linkPath);
// Removes the key's marker when no attribute is left under it.
void host_link_attrs_tidy(const std::string& linkPath);

// A link's folder-kept attributes taken for a move: xattr suffixes and values.
using HostLinkAttrs = std::vector<std::pair<std::string, std::string>>;
// Reads the attributes of the link at `linkPath` (none when it is not a link).
void host_link_attrs_save(const std::string& linkPath, HostLinkAttrs* saved);
// Gives the link now at `linkPath` the saved attributes.
status_t host_link_attrs_restore(const std::string& linkPath, const HostLinkAttrs& saved);
// Renames the entry `from` to `to` (rename(2) semantics) carrying a link's
// attributes; returns rename's result and keeps its errno.
int host_rename_entry(const std::string& from, const std::string& to);
