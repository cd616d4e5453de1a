// An upgrade over an earlier installation of the same product: the earlier
// entries are moved aside, the new version is installed as usual, then what
// the user changed or added comes back and what the new version dropped goes
// to the trash. Every move is journalled, so an undo restores the earlier tree.
#include "InstallRun.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>

#include "ConfigRecord.h"
#include "DeinstallRecords.h"
#include "EarlierInstallation.h"
#include "InstallRegister.h"
#include "LibFile.h"
#include "LibMessageBox.h"
#include "LibPathParts.h"
#include "LoginScripts.h"
#include "ScriptEdit.h"

namespace {

const char kLogName[] = "Log";

// "NAME.new", or "NAME.new2", "NAME.new3"... when that is taken.
std::string FreeNewName(const std::string& path)
{
	std::string candidate = path + ".new";
	for (int n = 2; LibEntryExists(candidate); n++)
		candidate = path + ".new" + std::to_string(n);
	return candidate;
}

std::vector<std::string> FolderNames(const std::string& folder)
{
	std::vector<std::string> names;
	DIR* listing = opendir(folder.c_str());
	if (listing == nullptr)
		return names;
	while (const dirent* entry = readdir(listing)) {
		if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
			names.push_back(entry->d_name);
	}
	closedir(listing);
	return names;
}

} // namespace

bool InstallRun::ReadEarlierInstallation()
{
	fHasEarlier = false;
	if (fConfig.EarlierAction() == INSTALL_EARLIER_REPLACE)
		return true;
	const ConfigRecord config(fConfig);
	const EarlierInstallation earlier(fInstallFolder, config.AppName());
	if (!earlier.Found()) {
		if (fConfig.EarlierAction() == INSTALL_EARLIER_UPGRADE)
			return true;
		LibError("There is no installation of %s in '%s' to repair. Nothing was changed.",
		         config.AppName(), fInstallFolder.c_str());
		return false;
	}
	if (!fEarlierManifest.ReadFrom(earlier.Record())) {
		LibError("The installation in '%s' (%s %s) keeps no list of the entries it placed, so "
		         "what was changed since cannot be told. Nothing was changed. Replace the "
		         "installation instead.",
		         fInstallFolder.c_str(), config.AppName(), earlier.Version());
		return false;
	}
	if (fConfig.EarlierAction() == INSTALL_EARLIER_REPAIR &&
	    EarlierInstallation::CompareVersions(earlier.Version(), config.Version()) != 0) {
		LibError("The installation in '%s' is version %s; this installer repairs version %s "
		         "only. Nothing was changed.",
		         fInstallFolder.c_str(), earlier.Version(), config.Version());
		return false;
	}
	fEarlierRecord = earlier.Record();
	fEarlierDeinstaller = LibLeafOf(earlier.DeinstallerPath());
	fHasEarlier = true;
	return true;
}

bool InstallRun::SetEarlierAside()
{
	fEarlierStates.clear();
	for (const InstallManifest::Entry& entry : fEarlierManifest.Entries())
		fEarlierStates.push_back(
		        InstallManifest::StateOf(entry, InstallManifest::PathOf(entry, fInstallFolder)));
	fAside = LibParentOf(fInstallFolder) + "/.vantry-upgrade-" + LibLeafOf(fInstallFolder);
	std::vector<std::string> originals = {fInstallFolder};
	for (const InstallManifest::Entry& entry : fEarlierManifest.Entries()) {
		if (entry.below == "." && entry.root[0] == '/' &&
		    LibEntryExists(InstallManifest::PathOf(entry, fInstallFolder)))
			originals.push_back(entry.root);
	}
	errno = 0;
	// An empty one a killed run left once it had kept its changes is taken over.
	if (!LibIsFolderEntry(fAside) &&
	    (!fConfig.Journal().WillMakeFolders(fAside) || !Libmkdir(fAside.c_str())))
		return FailAside(fAside);
	for (size_t i = 0; i < originals.size(); i++) {
		const std::string& original = originals[i];
		// An entry placed twice (two items into one folder) is set aside once.
		if (!LibEntryExists(original))
			continue;
		const std::string holder = i == 0 ? fAside : fAside + "/" + std::to_string(i);
		if (i > 0)
			fAsideHolders.push_back(holder);
		if (!fConfig.Journal().WillMakeFolders(holder) ||
		    (!LibIsFolder(holder) && !Libmkdir(holder.c_str())) ||
		    !fConfig.Journal().NoteTreeTimes(original) ||
		    !fConfig.Journal().Rename(original, holder + "/" + LibLeafOf(original)))
			return FailAside(original);
		fAsidePairs.emplace_back(original, holder + "/" + LibLeafOf(original));
	}
	return true;
}

bool InstallRun::FailAside(const std::string& path)
{
	const int why = errno;
	LibError("The earlier installation's entry '%s' could not be moved aside for the upgrade: "
	         "%s. Nothing was changed.",
	         path.c_str(), why != 0 ? strerror(why) : "unknown error");
	return false;
}

std::string InstallRun::AsidePathOf(const std::string& path) const
{
	for (const auto& [original, aside] : fAsidePairs) {
		if (path == original)
			return aside;
		if (path.compare(0, original.size() + 1, original + "/") == 0)
			return aside + path.substr(original.size());
	}
	return std::string();
}

void InstallRun::MergeEarlierInstallation()
{
	std::set<std::string> placed;
	for (const InstallManifest::Entry& entry : fManifest.Entries())
		placed.insert(InstallManifest::PathOf(entry, fInstallFolder));
	std::set<std::string> earlier;
	const std::vector<InstallManifest::Entry>& entries = fEarlierManifest.Entries();
	for (size_t i = 0; i < entries.size() && !Failing(); i++) {
		const std::string path = InstallManifest::PathOf(entries[i], fInstallFolder);
		earlier.insert(path);
		if (entries[i].type != 'd')
			MergeEarlierEntry(path, fEarlierStates[i], placed.count(path) > 0);
	}
	for (const auto& [original, aside] : fAsidePairs)
		BringBackUserEntries(aside, original, earlier, original == fInstallFolder);
	ClearAside();
	const char* identity = fEarlierRecord.FindString(DeinstallRecords::IdentityField());
	InstallRegister::Remove(identity != nullptr ? identity : "", fConfig.Journal());
}

void InstallRun::MergeEarlierEntry(const std::string& path, const InstallManifest::State& state,
                                   const bool& replaced)
{
	const std::string aside = AsidePathOf(path);
	if (state == InstallManifest::kMissing || aside.empty() || !LibEntryExists(aside))
		return;
	if (replaced && state == InstallManifest::kUnchanged)
		return;
	if (replaced) {
		// The user's version stays where it was, the new one beside it.
		const std::string fresh = FreeNewName(path);
		if (!fConfig.Journal().RenamePlaced(path, fresh) ||
		    !fConfig.Journal().Rename(aside, path)) {
			fConfig.LogFailure(path, errno);
			return;
		}
		fManifest.Rename(path, fresh, fInstallFolder);
		Report("kept",
		       path + " (changed since it was installed; the new version is " + fresh + ")");
		return;
	}
	// The new version no longer has it: it comes back to be kept or trashed.
	MakeFolder(LibParentOf(path));
	if (!fConfig.Journal().Rename(aside, path)) {
		fConfig.LogFailure(path, errno);
		return;
	}
	if (state == InstallManifest::kChanged) {
		Report("kept", path + " (changed since it was installed; the new version no longer "
		                      "has it)");
		return;
	}
	if (TrashInTheWay(path))
		Report("trashed", path + " (the new version no longer has it)");
}

void InstallRun::BringBackUserEntries(const std::string& aside, const std::string& original,
                                      const std::set<std::string>& earlier, const bool& top)
{
	for (const std::string& name : FolderNames(aside)) {
		const std::string from = aside + "/" + name;
		const std::string to = original + "/" + name;
		// The earlier installation's own files become the new version's.
		if (top && ((name == kLogName && !LibIsFolderEntry(from)) || name == fEarlierDeinstaller))
			continue;
		const bool folders = LibIsFolderEntry(from) && LibIsFolderEntry(to);
		if (earlier.count(to) > 0 || folders) {
			if (LibIsFolderEntry(from))
				BringBackUserEntries(from, to, earlier, false);
			continue;
		}
		// The user's own entry; one of the new version's names gets the new one beside.
		if (LibEntryExists(to)) {
			const std::string fresh = FreeNewName(to);
			if (!fConfig.Journal().RenamePlaced(to, fresh))
				continue;
			fManifest.Rename(to, fresh, fInstallFolder);
			Report("kept", to + " (yours; the new version is " + fresh + ")");
		}
		MakeFolder(original);
		if (!fConfig.Journal().Rename(from, to))
			fConfig.LogFailure(to, errno);
	}
}

void InstallRun::MakeFolder(const std::string& folder)
{
	if (LibIsFolderEntry(folder))
		return;
	fConfig.Journal().WillMakeFolders(folder);
	Libmkdir(folder.c_str());
}

void InstallRun::ClearAside()
{
	// What is left is the earlier version's: it goes to the trash, whole.
	for (const auto& [original, aside] : fAsidePairs)
		TrashInTheWay(aside);
}

void InstallRun::RemoveAsideFolders()
{
	if (fAside.empty())
		return;
	for (const std::string& holder : fAsideHolders)
		rmdir(holder.c_str());
	rmdir(fAside.c_str());
}

void InstallRun::RemoveDroppedScriptSections()
{
	struct Section {
		const char* option;
		const char* tagField;
		ConfigRecord::ScriptSection (ConfigRecord::*now)() const;
		directory_which folder;
		const char* file;
	};
	static const Section kSections[] = {
	        {"edit_bootscript", "edit_bootscript_tag", &ConfigRecord::BootScript,
	         B_USER_BOOT_DIRECTORY, "UserBootscript"},
	        {"edit_setup_env", "edit_setup_env_tag", &ConfigRecord::SetupEnvironment,
	         B_USER_BOOT_DIRECTORY, "UserSetupEnvironment"},
	        {"edit_profile", "edit_profile_tag", &ConfigRecord::Profile, B_USER_DIRECTORY,
	         ".profile"},
	};
	const ConfigRecord config(fConfig);
	for (const Section& section : kSections) {
		const char* tag = fEarlierRecord.FindString(section.tagField);
		if (!fEarlierRecord.FindBool(section.option) || tag == nullptr || tag[0] == '\0')
			continue;
		// A section the new version writes under the same tag was replaced.
		const ConfigRecord::ScriptSection now = (config.*section.now)();
		if (now.edit && now.tag != nullptr && strcmp(now.tag, tag) == 0)
			continue;
		JournalScriptEdit(section.folder, section.file);
		if (EditScriptFile(section.folder, section.file, tag, nullptr) == B_OK)
			fConfig.Log("\tRemoved script tab %s of the earlier version from %s\n", tag,
			            ScriptFilePath(section.folder, section.file).c_str());
	}
}

void InstallRun::Report(const char* what, const std::string& text)
{
	fConfig.fEarlierReport.push_back(std::string(what) + ": " + text);
	fConfig.Log("\t\t\t%s: %s\n", what, text.c_str());
}
