// InstallRegister: one small file per installation in the user's data
// folder (root's in /var/lib), naming its product, version, folder and
// identity. A cache: an entry is trusted only once its folder still holds
// the deinstall record it names.
#pragma once

#include <string>
#include <vector>

#include "Message.h"

class InstallJournal;

class InstallRegister {
public:
	struct Installation {
		std::string file;
		std::string appName;
		std::string version;
		std::string product;
		std::string folder;
		std::string date;
		std::string publisherKeyId;
		std::string identity;
		// The folder no longer holds a deinstall record of this identity.
		bool stale = false;
	};

	// "$XDG_DATA_HOME/vantry/installations", or "/var/lib/vantry/installations"
	// for root (below VANTRY_ROOT in its layout).
	static std::string Folder();
	// The register file of the installation of identity `identity`.
	static std::string PathFor(const std::string& identity);

	// Registers the installation in `folder` that the deinstall record
	// `record` describes, journalled in `journal` when it is open.
	static bool Add(const BMessage& record, const std::string& folder, InstallJournal& journal);
	// Removes the entry of `identity`, journalled like Add.
	static bool Remove(const std::string& identity, InstallJournal& journal);
	// Removes the entry of `identity` outside any run (the deinstaller).
	static bool Forget(const std::string& identity);

	// The installations of `appName`, oldest first, each checked against its folder.
	static std::vector<Installation> List(const std::string& appName);
};
