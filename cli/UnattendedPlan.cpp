// The plan of an unattended installation: the run's checks made in its
// order, every collision settled by the answers, and each entry the run
// would place, move, link or edit named.
#include "UnattendedPlan.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <set>

#include "CollisionQuestion.h"
#include "ConfigRecord.h"
#include "DesktopEntry.h"
#include "EarlierInstallation.h"
#include "InstallConfig.h"
#include "InstallItemRecord.h"
#include "InstallLock.h"
#include "InstallManifest.h"
#include "InstallPlan.h"
#include "InstallRun.h"
#include "InstallTexts.h"
#include "InstallerSignature.h"
#include "JsonWriter.h"
#include "LibAppResource.h"
#include "LibFile.h"
#include "LibPathParts.h"
#include "LoginScripts.h"
#include "Path.h"
#include "PayloadCheck.h"
#include "PayloadExtractor.h"
#include "PublisherCheck.h"
#include "RecordCheck.h"
#include "UnattendedOptions.h"
#include "UnattendedOutput.h"
#include "UnattendedPresenter.h"
#include "Volume.h"
#include "ZipArchive.h"

namespace {

const char* const kUserSelected = "User Selected";
// The hosts whose ZIP attributes carry a Unix mode, as the extractor reads them.
const uint8 kSystemUnix = 3;
const uint8 kSystemBeOS = 16;

bool IsExactly(const char* text, const char* expected)
{
	return text != nullptr && strcmp(text, expected) == 0;
}

std::string Octal(const int& mode)
{
	char text[16];
	snprintf(text, sizeof(text), "%04o", mode & 07777);
	return text;
}

class Planner {
public:
	Planner(InstallConfig& config, UnattendedPresenter& presenter, UnattendedOutput& output,
	        PlannedRun& run)
	    : fConfig(config), fPresenter(presenter), fOutput(output), fRun(run),
	      fRecord(ConfigRecord(config))
	{
	}

	int Plan();

private:
	int Fail(const int& code, const std::string& text);
	// The run's checks before its first change, in its order; the exit code
	// of the first that fails, else UNATTENDED_COMPLETED.
	int Check(LibAppResource& store);
	// The installation folder with what the run makes in it, and the earlier
	// installation it replaces.
	void PlanInstallationFolder();
	// Where item `index` goes, what is in its way, its entries and its link.
	int PlanItem(LibAppResource& store, const int32& index, const InstallItemRecord& item);
	// Lists the entries payload `index` unpacks, below `folder`/`leaf`.
	bool ListEntries(LibAppResource& store, const int32& index, const std::string& leaf,
	                 const std::string& folder);
	// Settles the entry in the way at `folder`/`leaf` by `rule`; false when
	// the item or link is not placed.
	bool Settle(const std::string& folder, const std::string& leaf, const char* rule,
	            bool& askAgain, bool& answer);
	void PlanLink(const InstallItemRecord& item, const std::string& path);
	void PlanScripts();
	// What an upgrade does with each entry the earlier version placed.
	void PlanUpgrade();
	void Say(const char* label, const std::string& text);

	InstallConfig& fConfig;
	UnattendedPresenter& fPresenter;
	UnattendedOutput& fOutput;
	PlannedRun& fRun;
	ConfigRecord fRecord;
	std::string fSavedFiles;
	// The names the plan already gave in Saved Files.
	std::set<std::string> fSaved;
	BMessage fCustomFolders;
	BVolume fVolume;
	bool fItemAskAgain = true;
	bool fItemAnswer = true;
	bool fLinkAskAgain = true;
	bool fLinkAnswer = true;
};

void Planner::Say(const char* label, const std::string& text)
{
	// A JSON plan carries the changes in its own arrays.
	if (!fOutput.Json())
		fOutput.Line(label, text.c_str());
}

int Planner::Fail(const int& code, const std::string& text)
{
	fOutput.Line("error", text.c_str());
	return code;
}

int Planner::Plan()
{
	LibAppResource store(fConfig.PayloadSource(), B_READ_ONLY);
	const int checked = Check(store);
	if (checked != UNATTENDED_COMPLETED)
		return checked;
	if (fConfig.EarlierAction() == INSTALL_EARLIER_UPGRADE && fRun.earlierRecorded)
		fRun.earlierTo = "upgrade";
	PlanInstallationFolder();
	BMessage instructions;
	fRecord.Instructions(&instructions);
	BMessage message;
	for (int32 i = 0; instructions.FindMessage(InstallItemRecord::kItem, i, &message) == B_OK;
	     i++) {
		const InstallItemRecord item(message);
		if (!item.Selected())
			continue;
		const int planned = PlanItem(store, i, item);
		if (planned != UNATTENDED_COMPLETED)
			return planned;
	}
	PlanScripts();
	PlanUpgrade();
	return UNATTENDED_COMPLETED;
}

void Planner::PlanUpgrade()
{
	if (fRun.earlierTo != "upgrade")
		return;
	const EarlierInstallation earlier(fRun.installationFolder, fRecord.AppName());
	InstallManifest manifest;
	if (!earlier.Found() || !manifest.ReadFrom(earlier.Record()))
		return;
	std::set<std::string> placed;
	for (const PlannedRun::Entry& entry : fRun.entries)
		placed.insert(entry.path);
	for (const InstallManifest::Entry& entry : manifest.Entries()) {
		const std::string path = InstallManifest::PathOf(entry, fRun.installationFolder);
		const InstallManifest::State state = InstallManifest::StateOf(entry, path);
		if (state == InstallManifest::kMissing)
			continue;
		const bool inNew = placed.count(path) > 0;
		if (state == InstallManifest::kChanged && entry.type == 'f') {
			fRun.upgradeKept.push_back(path);
			Say("keep", path + (inNew ? " (changed since it was installed; the new version goes "
			                            "beside it as a .new file)"
			                          : " (changed since it was installed)"));
		} else if (!inNew) {
			fRun.upgradeTrashed.push_back(path);
			Say("trash", path + " (the new version no longer has it)");
		}
	}
}

int Planner::Check(LibAppResource& store)
{
	switch (fConfig.CheckSystemResources()) {
		case INSTALL_CHECK_CHOOSE_AGAIN: return UNATTENDED_NO_SPACE;
		case INSTALL_CHECK_END:
			return fPresenter.Unanswered() ? UNATTENDED_UNANSWERED
			                               : UNATTENDED_ENDED_BY_REQUIREMENT;
		default: break;
	}
	const std::string& folder = fRun.installationFolder;
	if (HasControlCharacter(folder))
		return Fail(UNATTENDED_FOLDER_ERROR,
		            "the installation folder '" + ShownValue(folder) +
		                    "' holds a control character, which cannot be written into a "
		                    "login script or a menu entry");
	PayloadCheck check(store);
	if (!check.Verify(fConfig))
		return Fail(UNATTENDED_PAYLOAD_DAMAGED, InstallFormat(2048, 1048, check.Failure().c_str()));
	int error = 0;
	const std::string unwritable = InstallPlan(fConfig).Unwritable(error);
	if (!unwritable.empty())
		return Fail(UNATTENDED_FOLDER_ERROR,
		            "the installation must write into the folder '" + unwritable +
		                    "', which cannot be written: " + strerror(error));
	pid_t holder = 0;
	if (InstallLock::Probe(folder, holder) == B_BUSY)
		return Fail(UNATTENDED_LOCKED, "the installation folder '" + folder +
		                                       "' is being installed by another installer "
		                                       "(process " +
		                                       std::to_string(holder) + ")");
	return UNATTENDED_COMPLETED;
}

void Planner::PlanInstallationFolder()
{
	const std::string& folder = fRun.installationFolder;
	if (!fRun.earlierInstallation.empty()) {
		Say("earlier installation",
		    folder + (fRun.earlierRecorded ? " (version " + fRun.earlierVersion + ")" : "") +
		            (fRun.earlierTo == "upgrade" ? " -> upgraded in place" : " -> trash"));
	}
	if (fRecord.SaveReplaced())
		fSavedFiles = folder + "/Saved Files";
	fRecord.CustomFolders(&fCustomFolders);
	InstallDestinationVolume(fConfig.destination, fVolume);

	Say("place", folder + " (folder)");
	fRun.entries.push_back({folder, "folder", 0, 0755});
	if (fRecord.IncludeDeinstall()) {
		LibString deinstaller;
		fConfig.DeinstallerPath(folder.c_str(), deinstaller);
		Say("place", std::string(deinstaller.String()) + " (the deinstaller)");
		fRun.entries.push_back({deinstaller.String(), "file", 0, 0755});
	}
	Say("place", folder + "/Log (the log)");
	fRun.entries.push_back({folder + "/Log", "file", 0, 0644});
	if (!fSavedFiles.empty()) {
		Say("place", fSavedFiles + " (folder for the entries replaced)");
		fRun.entries.push_back({fSavedFiles, "folder", 0, 0755});
	}
}

int Planner::PlanItem(LibAppResource& store, const int32& index, const InstallItemRecord& item)
{
	const std::string leaf = item.Leaf();
	std::string placed = fRun.installationFolder;
	const char* destination = item.Destination();
	if (destination != nullptr && !IsExactly(destination, kUserSelected)) {
		bool replacedWhole = false;
		const std::string target =
		        fConfig.PlannedFolder(destination, fCustomFolders, fVolume, replacedWhole);
		if (!target.empty() && !LibSameFolder(target, placed) &&
		    Settle(target, leaf, item.DestinationExists(), fItemAskAgain, fItemAnswer))
			placed = target;
	}
	if (fPresenter.Unanswered())
		return UNATTENDED_UNANSWERED;
	if (!ListEntries(store, index, leaf, placed))
		return UNATTENDED_PAYLOAD_DAMAGED;
	PlanLink(item, placed + "/" + leaf);
	return fPresenter.Unanswered() ? UNATTENDED_UNANSWERED : UNATTENDED_COMPLETED;
}

bool Planner::ListEntries(LibAppResource& store, const int32& index, const std::string& leaf,
                          const std::string& folder)
{
	off_t offset = 0;
	size_t size = 0;
	if (store.GetResourceRange(B_RAW_TYPE, kFirstPayloadId + index, &offset, &size) != B_OK) {
		fOutput.Line("error", ("the payload of the item \"" + leaf + "\" is missing").c_str());
		return false;
	}
	const int fd = open(store.FilePath(), O_RDONLY | O_CLOEXEC);
	ZipArchive archive;
	const status_t status =
	        fd >= 0 ? archive.SetTo(fd, offset, off_t(size), PayloadExtractor::kDefaultMaxEntries)
	                : B_ERROR;
	if (fd >= 0)
		close(fd);
	if (status != B_OK) {
		fOutput.Line("error", ("the payload of the item \"" + leaf +
		                       "\" cannot be read: " + archive.ErrorText())
		                              .c_str());
		return false;
	}
	for (const ZipEntry& entry : archive.Entries()) {
		std::string name = entry.name;
		const bool slash = !name.empty() && name.back() == '/';
		if (slash)
			name.pop_back();
		// The archive's top name becomes the item's leaf.
		const size_t top = name.find('/');
		const std::string path =
		        folder + "/" + leaf + (top == std::string::npos ? "" : name.substr(top));
		const mode_t mode = entry.system == kSystemUnix || entry.system == kSystemBeOS
		                            ? mode_t(entry.external >> 16)
		                            : 0;
		const bool isFolder = slash || (mode != 0 && S_ISDIR(mode));
		const bool isLink = !isFolder && mode != 0 && S_ISLNK(mode);
		const int permissions = mode != 0 ? int(mode & 0777) : (isFolder ? 0755 : 0644);
		PlannedRun::Entry planned{path,
		                          isFolder ? "folder"
		                          : isLink ? "link"
		                                   : "file",
		                          isFolder ? 0 : int64(entry.size), permissions};
		if (!fOutput.Json())
			fOutput.Line("place",
			             (path + " (" + planned.type + ", " + std::to_string(planned.size) +
			              " bytes, " + Octal(permissions) + ")")
			                     .c_str());
		fRun.entries.push_back(planned);
	}
	return true;
}

bool Planner::Settle(const std::string& folder, const std::string& leaf, const char* rule,
                     bool& askAgain, bool& answer)
{
	const std::string existing = folder + "/" + leaf;
	if (!LibEntryExists(existing))
		return true;
	if (IsExactly(rule, "Prompt")) {
		if (askAgain) {
			// The question the run asks, answered as the run would answer it.
			const std::string item = fRun.installationFolder + "/" + leaf;
			const CollisionQuestion question = {BPath(item.c_str()), BPath(existing.c_str()),
			                                    InstallLanguage()};
			bool applyToAll = false;
			const int32 button = AskCollision(question, applyToAll);
			askAgain = !applyToAll;
			answer = button == 1;
		}
		if (!answer) {
			fRun.kept.push_back(existing);
			Say("keep", existing + " (nothing is placed in its stead)");
			return false;
		}
	} else if (IsExactly(rule, "Rename")) {
		const std::string aside = LibFreeSibling(folder, leaf, false);
		fRun.renamed.push_back({existing, aside});
		Say("rename", existing + " -> " + aside);
		return true;
	}
	std::string to = "trash";
	if (!fSavedFiles.empty()) {
		// Two entries of one name are saved under two names, as the run saves them.
		to = LibFreeSibling(fSavedFiles, leaf, true,
		                    [this](const std::string& name) { return fSaved.count(name) > 0; });
		fSaved.insert(to);
	}
	fRun.replaced.push_back({existing, to});
	Say("replace", existing + " -> " + to);
	return true;
}

void Planner::PlanLink(const InstallItemRecord& item, const std::string& path)
{
	const char* link = item.Link();
	if (link == nullptr || link[0] == '\0' || IsExactly(link, "None"))
		return;
	std::string folder = fRun.installationFolder;
	if (!IsExactly(link, kUserSelected)) {
		bool replacedWhole = false;
		folder = fConfig.PlannedFolder(link, fCustomFolders, fVolume, replacedWhole);
		if (folder.empty() || LibSameFolder(folder, LibParentOf(path)))
			return;
		if (!Settle(folder, item.Leaf(), item.LinkExists(), fLinkAskAgain, fLinkAnswer))
			return;
	} else if (LibSameFolder(folder, LibParentOf(path))) {
		return;
	}
	if (IsApplicationsFolder(folder)) {
		const std::string entry =
		        folder + "/" + DesktopFileName(fRecord.AppName(), LibLastComponent(path));
		fRun.menuEntries.push_back(entry);
		Say("menu entry", entry + " (starts " + path + ")");
		return;
	}
	const std::string linkPath = folder + "/" + LibLastComponent(path);
	fRun.links.push_back({linkPath, path});
	Say("link", linkPath + " -> " + path);
}

void Planner::PlanScripts()
{
	struct Script {
		ConfigRecord::ScriptSection (ConfigRecord::*section)() const;
		directory_which folder;
		const char* file;
	};
	static const Script kScripts[] = {
	        {&ConfigRecord::BootScript, B_USER_BOOT_DIRECTORY, "UserBootscript"},
	        {&ConfigRecord::SetupEnvironment, B_USER_BOOT_DIRECTORY, "UserSetupEnvironment"},
	        {&ConfigRecord::Profile, B_USER_DIRECTORY, ".profile"},
	};
	if (fRecord.CreateStartup()) {
		bool replacedWhole = false;
		if (!fConfig.PlannedFolder("StartUp", fCustomFolders, fVolume, replacedWhole).empty()) {
			const std::string file = ScriptFilePath(B_USER_BOOT_DIRECTORY, "UserBootscript");
			fRun.scriptSections.push_back({file, "StartUpFolder"});
			Say("script", "section StartUpFolder in " + file);
		}
	}
	for (const Script& script : kScripts) {
		const ConfigRecord::ScriptSection section = (fRecord.*script.section)();
		if (!section.edit)
			continue;
		const std::string file = ScriptFilePath(script.folder, script.file);
		fRun.scriptSections.push_back({file, section.tag != nullptr ? section.tag : ""});
		Say("script",
		    std::string("section ") + (section.tag != nullptr ? section.tag : "") + " in " + file);
	}
}

void WriteMoves(JsonWriter& json, const char* name, const std::vector<PlannedRun::Move>& moves,
                const char* to)
{
	json.Key(name).BeginArray();
	for (const PlannedRun::Move& move : moves)
		json.BeginObject().Field("path", move.path).Field(to, move.to).EndObject();
	json.EndArray();
}

void WritePaths(JsonWriter& json, const char* name, const std::vector<std::string>& paths)
{
	json.Key(name).BeginArray();
	for (const std::string& path : paths)
		json.String(path);
	json.EndArray();
}

} // namespace

void DescribeRun(InstallConfig& config, PlannedRun& run)
{
	const ConfigRecord record(config);
	run.product = record.AppName();
	run.version = record.Version();
	run.installationFolder = config.InstallFolderPath();
	const InstallerSignature* signature = RunningInstallerSignature();
	if (signature != nullptr && signature->GetState() == InstallerSignature::kGood)
		run.publisherKey = signature->KeyId();
	// Known before any check, so that even a plan that stops early tells it.
	if (!run.installationFolder.empty() && config.DoesDestinationExist()) {
		run.earlierInstallation = run.installationFolder;
		const PublisherCheck earlier(config, run.installationFolder);
		run.earlierRecorded = earlier.FoundEarlier();
		run.earlierVersion = earlier.EarlierVersion();
		run.earlierKey = earlier.EarlierKeyId();
	}
}

int PlanInstallation(InstallConfig& config, UnattendedPresenter& presenter,
                     UnattendedOutput& output, PlannedRun& run)
{
	return Planner(config, presenter, output, run).Plan();
}

void WriteRunFields(JsonWriter& json, const PlannedRun& run)
{
	json.Field("product", run.product).Field("version", run.version);
	json.Field("installation_folder", run.installationFolder);
	json.Key("publisher_key");
	if (run.publisherKey.empty())
		json.Null();
	else
		json.String(run.publisherKey);
}

std::string PlanDocument(const PlannedRun& run, const UnattendedOutput& output, const int& code,
                         const char* result)
{
	JsonWriter json;
	json.BeginObject().Field("schema", kJsonSchema).Field("kind", "plan");
	WriteRunFields(json, run);
	json.Field("exit_code", code).Field("result", result);
	json.Key("earlier_installation");
	if (run.earlierInstallation.empty())
		json.Null();
	else {
		json.BeginObject().Field("path", run.earlierInstallation).Field("to", run.earlierTo);
		// Only an installation whose deinstall record names the product tells its version.
		json.Key("version");
		if (run.earlierRecorded)
			json.String(run.earlierVersion);
		else
			json.Null();
		json.Key("publisher_key");
		if (run.earlierKey.empty())
			json.Null();
		else
			json.String(run.earlierKey);
		json.Key("upgrade_kept").BeginArray();
		for (const std::string& path : run.upgradeKept)
			json.String(path);
		json.EndArray().Key("upgrade_trashed").BeginArray();
		for (const std::string& path : run.upgradeTrashed)
			json.String(path);
		json.EndArray().EndObject();
	}
	json.Key("entries").BeginArray();
	for (const PlannedRun::Entry& entry : run.entries)
		json.BeginObject()
		        .Field("path", entry.path)
		        .Field("type", entry.type)
		        .Field("size", entry.size)
		        .Field("mode", Octal(entry.mode))
		        .EndObject();
	json.EndArray();
	WriteMoves(json, "replaced", run.replaced, "to");
	WriteMoves(json, "renamed", run.renamed, "to");
	WritePaths(json, "kept", run.kept);
	WriteMoves(json, "links", run.links, "target");
	WritePaths(json, "menu_entries", run.menuEntries);
	WriteMoves(json, "script_sections", run.scriptSections, "section");
	json.Key("events");
	output.WriteCollected(json);
	json.EndObject();
	return json.Text();
}
