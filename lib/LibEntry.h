// Entry utilities of the support library: types, the file manager, entry
// references and paths, and entry dates.
#pragma once

#include <cstddef>

#include "Entry.h"
#include "LibDateTime.h"
#include "LibString.h"
#include "Path.h"
#include "StorageDefs.h"

class BMessage;

// Writes the node's type (sniffed when it has none) into `type`, which holds
// B_MIME_TYPE_LENGTH bytes; with `kind` a kind name instead: "Folder",
// "Be Application", "Symbolic Link" or "Unknown". False, `type` unchanged,
// when the entry cannot be read.
bool LibGetMimeType(const entry_ref& ref, char* type, const bool& kind);
bool LibSetMimeType(const char* path, const char* type);
// Sets the type and the preferred application: `signature`, or the running
// application's own when null (false when there is none).
bool LibSetFileType(const char* path, const char* type, const char* signature);

// Opens the entry in the desktop's file manager ("xdg-open", or the program
// VANTRY_OPENER names), detached. False when the path does not exist or the
// opener cannot be started.
bool LibOpenEntry(const char* path);
// Shows the entry's information: the file manager's properties window over
// D-Bus where available, else the folder holding the entry opened.
bool LibInfoEntry(const char* path);

// The entry's reference, links not followed; the leaf need not exist.
bool LibGetEntryRef(const char* path, entry_ref& ref);
bool LibGetFullPath(const entry_ref& ref, LibString& path);
bool LibGetFullPath(const entry_ref& ref, BPath& path);
// The folder holding the entry; an empty reference when there is none.
entry_ref LibGetParentRef(const entry_ref& ref);
// The folder's path with `name` appended.
bool LibGetPath(const entry_ref& folder, const char* name, BPath& path);
// The path without its last component ("/" for "/a", "" for "a").
void LibGetParentPath(const char* path, LibString& parent);
// The last component, cut to fit `size` bytes with its NUL (false when cut).
bool LibGetChildName(const char* path, char* buffer, const size_t& size = B_FILE_NAME_LENGTH);
// The folder holding the running executable.
bool LibGetWorkingDirectory(BPath& path);
// The "User Settings" folder; the buffer form fails, leaving it empty, when
// the path does not fit.
bool LibGetSettingsPath(LibString& path);
bool LibGetSettingsPath(char* buffer, const size_t& size);
// Sets `path` to the message's folder reference "directory" plus its string
// "name" trimmed; the trimmed name's length, or B_BAD_VALUE without them.
int32 LibGetFilePath(const BMessage& message, BPath& path);

// Creation and modification times, broken down locally or in universal time;
// 1 January 1970 00:00:00 when the entry cannot be read.
LibDateTime LibCreationDate(const char* path, const bool& local);
LibDateTime LibLastModifiedDate(const char* path, const bool& local);
LibDateTime LibLastModifiedDate(const BEntry& entry, const bool& local);
