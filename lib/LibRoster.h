// LibRoster: the platform roster's two services the installer needs: finding
// an application by its signature, and launching an executable detached.
#pragma once

#include <string>
#include <vector>

#include "EntryRef.h"
#include "OS.h"
#include "SupportDefs.h"

class BMessage;

class LibRoster {
public:
	// Searches the standard application folders (to a small depth) and then
	// the folders of PATH.
	LibRoster();
	// Searches only `folders`; a folder named with a trailing "/*" is searched
	// to the same depth as an application folder, the others flat.
	explicit LibRoster(const std::vector<std::string>& folders);

	// The first executable whose signature (the BEOS:APP_SIG attribute or
	// resource) equals `mimeSig`, case ignored. B_BAD_VALUE for an empty
	// signature, B_LAUNCH_FAILED_APP_NOT_FOUND when there is none.
	status_t FindApp(const char* mimeSig, entry_ref* app) const;

	// Starts the executable `ref` in a session of its own, in its own folder,
	// and returns once the program is running: B_OK only when the exec
	// succeeded. The program is reaped when it ends; the caller never waits.
	status_t Launch(const entry_ref* ref, const BMessage* initialMessage = nullptr,
	                team_id* appTeam = nullptr) const;
	// The same with arguments (the program's own path comes first by itself).
	status_t Launch(const entry_ref* ref, int argc, const char* const* args,
	                team_id* appTeam = nullptr) const;

	// The signature of the executable at `path`; false without one.
	static bool ReadSignature(const char* path, std::string& signature);

private:
	bool SearchFolder(const std::string& folder, const char* mimeSig, const int32& depth,
	                  entry_ref* app) const;

	std::vector<std::string> fFolders;
};
