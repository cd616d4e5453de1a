// DeinstallSearch: the search of one volume for every entry that carries a
// product's deinstall tag, on a thread of its own that reports its progress.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "LibString.h"
#include "LibStringList.h"
#include "LibThread.h"
#include "Volume.h"

// The progress message: "size" (float), "folder" and "found" (strings).
enum { DEINSTALL_PROGRESS = 'snfi', DEINSTALL_LIMIT = 'slmt' };

class DeinstallSearch : public LibThread {
public:
	DeinstallSearch(const BVolume& volume, const char* record);
	~DeinstallSearch() override;

	// The installation this deinstaller removes: entries of another
	// installation of the product (another identity) are set apart, unless
	// `all`. Entries without an identity (older installations) are taken.
	void SetInstallation(const std::string& identity, const bool& all);

	// Scans the volume from its root; 0 when the whole volume was read.
	int32 Action() override;

	// The paths found, each folder before its contents.
	LibStringList& Found() { return fFound; }
	const std::vector<std::string>& FoundPaths() const { return fPaths; }
	// The entries of other installations of the product, left in place.
	const std::vector<std::string>& OtherInstallations() const { return fOthers; }
	// Folders the search could not read, with the system's reason.
	const std::vector<std::pair<std::string, std::string>>& Unreadable() const
	{
		return fUnreadable;
	}
	int64 EntriesSeen() const { return fEntries; }
	// What the last Action() answered: B_OK, B_CANCELED, or why the root failed.
	status_t Result() const { return fResult; }

	// The folders of `volume` a search does not enter: the trash folders.
	static std::vector<std::string> FoldersNotSearched(const BVolume& volume);
	// On the system layout, the folders an install for every user fills
	// that a search from `root` does not reach: searched after it.
	static std::vector<std::string> SystemFolders(const std::string& root);

private:
	// Searches below `root`, adding to what was found; B_OK, B_CANCELED or
	// why the root could not be read.
	status_t Search(const std::string& root, const std::vector<std::string>& skipped);
	bool OfThisInstallation(const std::string& path) const;
	void SendProgress(const float& size, const std::string& folder, const size_t& found);

	BVolume fVolume;
	LibString fRecord;
	LibStringList fFound;
	std::vector<std::string> fPaths;
	std::vector<std::string> fOthers;
	std::string fIdentity;
	bool fAllInstallations = false;
	std::vector<std::pair<std::string, std::string>> fUnreadable;
	int64 fEntries;
	status_t fResult;
};
