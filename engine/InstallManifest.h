// InstallManifest: every entry an installation placed (path, type, mode,
// size, digest, link target), kept in its deinstall record, so that an
// upgrade can tell what the user changed and a repair what to put back.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "Message.h"
#include "SupportDefs.h"

class InstallManifest {
public:
	enum State { kUnchanged, kChanged, kMissing };

	struct Entry {
		// The item of install_instructions the entry came from.
		int32 item = -1;
		// 'f' file, 'd' folder, 'l' link.
		char type = 'f';
		mode_t mode = 0;
		int64 size = 0;
		// The payload digest of a file's bytes, in hexadecimal; empty otherwise.
		std::string digest;
		// Where the item's top entry lies, relative to the installation folder
		// when it lies inside it.
		std::string root;
		// The entry below the item's top entry; "." for the top entry itself.
		std::string below;
		// A link's target.
		std::string target;
	};

	// The record field that holds the manifest, one entry a string.
	static const char* Field();

	// Adds the entry at `path` and, when it is a folder, everything below it.
	void AddTree(const int32& item, const std::string& path, const std::string& installFolder);
	// Adds a link the run made for an item.
	void AddLink(const int32& item, const std::string& path, const std::string& installFolder);

	// The entry at `from` (and those below it) now lies at `to`.
	void Rename(const std::string& from, const std::string& to, const std::string& installFolder);

	// Writes the entries into `record`, replacing earlier ones.
	void WriteTo(BMessage& record) const;
	// Reads the entries of `record`; false when it holds none.
	bool ReadFrom(const BMessage& record);

	const std::vector<Entry>& Entries() const { return fEntries; }

	// The entry's path on disk for the installation in `installFolder`.
	static std::string PathOf(const Entry& entry, const std::string& installFolder);
	// How the entry on disk compares with the entry as it was placed.
	static State StateOf(const Entry& entry, const std::string& path);

private:
	void AddEntry(const int32& item, const std::string& root, const std::string& below,
	              const std::string& path, const int& depth);

	std::vector<Entry> fEntries;
};
