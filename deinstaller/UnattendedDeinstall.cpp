// The unattended removal: configuration, volume, search, removal, scripts.
#include "UnattendedDeinstall.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "AnswerFile.h"
#include "CheckAndPrompt.h"
#include "ConfigRecord.h"
#include "DeinstallConfig.h"
#include "DeinstallRecord.h"
#include "DeinstallRecords.h"
#include "DeinstallRemoval.h"
#include "DeinstallScripts.h"
#include "DeinstallSearch.h"
#include "InstallRegister.h"
#include "InstallationFolder.h"
#include "JsonWriter.h"
#include "LibPathParts.h"
#include "Message.h"
#include "Path.h"
#include "StopSignals.h"
#include "UnattendedOutput.h"
#include "UnattendedPresenter.h"
#include "VolumeRoster.h"

namespace {

const char kNothingFound[] = "No files or folders were found to deinstall on this volume.";

// The first SIGINT or SIGTERM asks `thread` (or, with -1, the removal) to
// stop after the current entry; StopSignals ends the program on a second.
void WatchStops(const thread_id& thread, UnattendedOutput& output)
{
	StopSignals::Watch(thread, [&output](int signal) {
		output.Line("stop", signal == SIGINT ? "interrupted (SIGINT): stopping after the "
		                                       "current entry"
		                                     : "terminated (SIGTERM): stopping after the "
		                                       "current entry");
	});
}

int Fail(UnattendedOutput& output, const int& code, const std::string& text)
{
	output.Line("error", text.c_str());
	return code;
}

std::string VolumeName(const BVolume& volume)
{
	char name[B_FILE_NAME_LENGTH] = "";
	volume.GetName(name);
	return name;
}

// The named volume, or the boot volume without a name; false with the names offered.
bool ChooseVolume(const std::string& wanted, BVolume& volume, std::string& offered)
{
	BVolumeRoster roster;
	if (wanted.empty())
		return roster.GetBootVolume(&volume) == B_OK;
	BVolume candidate;
	while (roster.GetNextVolume(&candidate) == B_OK) {
		const std::string name = VolumeName(candidate);
		if (name == wanted) {
			volume = candidate;
			return true;
		}
		offered += (offered.empty() ? "" : ", ") + name;
	}
	return false;
}

// Why the entries cannot go into `folder`, or nothing. With `probe` a folder
// is made there and removed: a folder such as /proc looks fine and takes nothing.
std::string DestinationProblem(const std::string& folder, const bool& probe)
{
	struct stat st;
	if (stat(folder.c_str(), &st) != 0)
		return strerror(errno);
	if (!S_ISDIR(st.st_mode))
		return "it is not a folder";
	std::string trial = folder + "/.vantry-probe-XXXXXX";
	if (probe && mkdtemp(trial.data()) == nullptr)
		return std::string("no entry can be made in it (") + strerror(errno) + ")";
	if (probe)
		rmdir(trial.c_str());
	return std::string();
}

// Prints the folders the search could not read; answers how many may hold
// entries of this run. Another user's folder counts only with --all-owners,
// as the entries it holds would.
size_t ReportUnreadable(const DeinstallSearch& search, const bool& allOwners,
                        UnattendedOutput& output)
{
	size_t counted = 0;
	for (const auto& [folder, reason] : search.Unreadable()) {
		const std::string owner =
		        allOwners ? std::string() : DeinstallRemoval::OtherOwner(folder, geteuid());
		const std::string note =
		        owner.empty() ? " (skipped)" : " (skipped: owned by " + owner + ")";
		output.Line("unreadable", (folder + ": " + reason + note).c_str());
		counted += owner.empty() ? 1 : 0;
	}
	return counted;
}

// Searches the volume on the search thread; B_OK, B_CANCELED or why it
// failed. `unreadable` is what ReportUnreadable counted.
status_t Search(DeinstallSearch& search, const bool& allOwners, UnattendedOutput& output,
                size_t& unreadable)
{
	WatchStops(-1, output);
	status_t status = search.Go("search", nullptr, 10, false);
	if (status == B_OK) {
		WatchStops(search.Thread(), output);
		status_t exitValue = B_OK;
		wait_for_thread(search.Thread(), &exitValue);
		status = StopSignals::Poll() ? B_CANCELED : search.Result();
	}
	// The removal that follows hears the next signal between its entries.
	WatchStops(-1, output);
	unreadable = ReportUnreadable(search, allOwners, output);
	for (const std::string& path : search.FoundPaths())
		output.Line("found", path.c_str());
	for (const std::string& path : search.OtherInstallations())
		output.Line("other", (path + " (another installation of the product; "
		                             "--all-installations takes it)")
		                             .c_str());
	const std::string summary = std::to_string(search.EntriesSeen()) + " entries read, " +
	                            std::to_string(search.FoundPaths().size()) + " found, " +
	                            std::to_string(search.Unreadable().size()) + " folders unreadable";
	output.Line("search", summary.c_str());
	return status;
}

std::string LeftText(const std::string& path, const std::string& reason)
{
	return path + ": " + reason + " (--all-owners moves it)";
}

// What --list shows of the entries a removal would leave to their owners.
void ListOtherOwners(const std::vector<std::string>& paths, UnattendedOutput& output)
{
	for (const std::string& path : paths) {
		const std::string owner = DeinstallRemoval::OtherOwner(path, geteuid());
		if (!owner.empty())
			output.Line("left", LeftText(path, "owned by " + owner).c_str());
	}
}

// Moves every found entry; prints each move, kept folder, entry left and
// failure as it happens. `unreadable` folders make the run incomplete.
int Remove(const DeinstallOptions& options, DeinstallSearch& search, const size_t& unreadable,
           UnattendedPresenter& presenter, UnattendedOutput& output, std::string& summary)
{
	const std::vector<std::string>& paths = search.FoundPaths();
	DeinstallRemoval removal(options.destination);
	removal.SetOwner(geteuid(), options.allOwners);
	removal.SetQuestion(
	        [&](const std::string& item, const std::string& target, bool& ask, bool& replace) {
		        CheckAndPrompt(BPath(item.c_str()), LibParentOf(target).c_str(), ask, replace);
		        return !presenter.Unanswered();
	        });
	size_t moved = 0, kept = 0, failed = 0, left = 0;
	removal.SetProgress([&](const std::string&, const int32&) {
		for (; moved < removal.Moved().size(); moved++) {
			const auto& [from, to] = removal.Moved()[moved];
			output.Line("moved", (from + " -> " + to).c_str());
		}
		for (; kept < removal.Kept().size(); kept++)
			output.Line("kept", (removal.Kept()[kept] + " (it still holds entries)").c_str());
		for (; failed < removal.Failed().size(); failed++) {
			const auto& [path, reason] = removal.Failed()[failed];
			output.Line("failed", (path + ": " + reason).c_str());
		}
		for (; left < removal.Left().size(); left++) {
			const auto& [path, reason] = removal.Left()[left];
			output.Line("left", LeftText(path, reason).c_str());
		}
	});
	removal.SetStopCheck([&] { return StopSignals::Poll() || presenter.Unanswered(); });
	const status_t status = removal.Remove(paths);
	summary = removal.Summary();
	if (presenter.Unanswered())
		return DEINSTALL_UNANSWERED;
	if (status == B_CANCELED)
		return DEINSTALL_STOPPED;
	if (status != B_OK)
		return DEINSTALL_FAILURES;
	return removal.Left().empty() && unreadable == 0 ? DEINSTALL_COMPLETED
	                                                 : DEINSTALL_LEFT_IN_PLACE;
}

// The path of the running deinstaller.
std::string OwnPath()
{
	char path[PATH_MAX];
	return realpath("/proc/self/exe", path) != nullptr ? std::string(path) : std::string();
}

void ReportFolderCleanup(const FolderCleanup& cleanup, UnattendedOutput& output)
{
	for (const std::string& path : cleanup.removed)
		output.Line("removed", path.c_str());
	if (!cleanup.kept.empty())
		output.Line("kept", (cleanup.kept + " (" + cleanup.reason + ")").c_str());
}

const char* OutcomeText(const int& code)
{
	switch (code) {
		case DEINSTALL_COMPLETED: return "completed (0)";
		case DEINSTALL_STOPPED: return "stopped (5)";
		case DEINSTALL_UNANSWERED: return "stopped: a question had no answer (6)";
		case DEINSTALL_LEFT_IN_PLACE: return "completed; entries were left in place (8)";
		default: return "completed with failures (7)";
	}
}

// From the search on: the signals stop the run instead of ending the program.
int SearchAndRemove(const DeinstallOptions& options, const BMessage& config, const BVolume& volume,
                    UnattendedPresenter& presenter, UnattendedOutput& output)
{
	DeinstallSearch search(volume, DeinstallProductRecord(config).String());
	const char* identity = config.FindString(DeinstallRecords::IdentityField());
	search.SetInstallation(identity != nullptr ? identity : "", options.allInstallations);
	size_t unreadable = 0;
	const status_t searched = Search(search, options.allOwners, output, unreadable);
	if (searched == B_CANCELED) {
		output.Line("result", OutcomeText(DEINSTALL_STOPPED));
		return DEINSTALL_STOPPED;
	}
	if (searched != B_OK)
		return Fail(output, DEINSTALL_NO_VOLUME,
		            std::string(volume.HostRootPath()) + ": " + status_text(searched));
	if (search.FoundPaths().empty())
		return Fail(output, DEINSTALL_NOTHING_FOUND, kNothingFound);
	if (options.list) {
		if (!options.allOwners)
			ListOtherOwners(search.FoundPaths(), output);
		output.Line("result", "listed; nothing was changed (0)");
		return DEINSTALL_COMPLETED;
	}
	std::string summary;
	const int code = Remove(options, search, unreadable, presenter, output, summary);
	if (code == DEINSTALL_COMPLETED || code == DEINSTALL_FAILURES ||
	    code == DEINSTALL_LEFT_IN_PLACE) {
		const DeinstallScriptTags tags = DeinstallScriptTagsOf(config);
		RemoveScriptSections(tags, [&](const char* file, const char* tag) {
			output.Line("script",
			            (std::string("section ") + tag + " removed from " + file).c_str());
		});
		if (identity != nullptr && LibEntryExists(InstallRegister::PathFor(identity)) &&
		    InstallRegister::Forget(identity))
			output.Line("register", (InstallRegister::PathFor(identity) + " removed").c_str());
	}
	// The installation's own folder goes once nothing of the product is left.
	if (code == DEINSTALL_COMPLETED) {
		ReportFolderCleanup(RemoveInstallationFolder(OwnPath()), output);
		for (const FolderCleanup& cleanup : RemoveCreatedFolders(DeinstallCreatedFolders(config)))
			ReportFolderCleanup(cleanup, output);
	}
	output.Line("summary", summary.c_str());
	output.Line("result", OutcomeText(code));
	return code;
}

} // namespace

namespace {

// The removal from its options on; `product` gets the product's name.
int Deinstall(const DeinstallOptions& options, UnattendedOutput& output, std::string& product)
{
	UnattendedPresenter presenter(output, options.yes);
	// Nothing is destroyed unasked: --yes keeps the namesake in the destination.
	presenter.SetDefaultAnswer(ANSWER_COLLISION, 0);
	presenter.SetRunName("removal");
	AlertPresenterScope scope(&presenter);

	AnswerFile answers;
	if (!options.answers.empty() && answers.SetTo(options.answers.c_str()) != B_OK)
		return Fail(output, DEINSTALL_USAGE, answers.ErrorText());
	presenter.AddAnswers(answers);
	const std::string unfit = options.destination.empty()
	                                  ? std::string()
	                                  : DestinationProblem(options.destination, !options.list);
	if (!unfit.empty())
		return Fail(output, DEINSTALL_USAGE, "--to " + options.destination + ": " + unfit);

	BMessage config;
	if (LoadDeinstallConfig(config) != B_OK)
		return Fail(output, DEINSTALL_NOT_CONFIGURED, kNotConfiguredText);
	const ConfigRecord record(config);
	product = std::string(record.AppName()) + " " + record.Version();
	output.Line("product", product.c_str());
	BVolume volume;
	std::string offered;
	if (!ChooseVolume(options.volume, volume, offered))
		return Fail(output, DEINSTALL_NO_VOLUME,
		            "no volume is named \"" + options.volume + "\"; the volumes are: " + offered);
	output.Line("volume", (VolumeName(volume) + " (" + volume.HostRootPath() + ")").c_str());

	const int code = SearchAndRemove(options, config, volume, presenter, output);
	// Decided: a signal from now on ends the program with this outcome.
	StopSignals::Settle(code);
	return code;
}

// The texts of the kept events with `label`, as the array value of `json`'s
// next member.
void WriteLabelled(JsonWriter& json, const UnattendedOutput& output, const char* label)
{
	json.BeginArray();
	for (const UnattendedOutput::Event& event : output.Collected()) {
		if (event.label == label)
			json.String(event.text);
	}
	json.EndArray();
}

} // namespace

int RunUnattendedDeinstall(const DeinstallOptions& options, FILE* out)
{
	UnattendedOutput output(out);
	if (options.json)
		output.SetFormat(options.list ? UnattendedOutput::kCollect : UnattendedOutput::kJsonLines);
	std::string product;
	const int code = Deinstall(options, output, product);
	if (!options.json)
		return code;
	JsonWriter json;
	json.BeginObject().Field("schema", kJsonSchema);
	if (options.list) {
		json.Field("kind", "deinstall-list").Field("product", product);
		json.Key("found");
		WriteLabelled(json, output, "found");
		json.Key("left");
		WriteLabelled(json, output, "left");
		json.Key("other_installations");
		WriteLabelled(json, output, "other");
		json.Field("exit_code", code).Key("events");
		output.WriteCollected(json);
	} else {
		json.Field("event", "outcome").Field("product", product).Field("exit_code", code);
		json.Field("changed", code == DEINSTALL_COMPLETED || code == DEINSTALL_FAILURES ||
		                              code == DEINSTALL_LEFT_IN_PLACE);
	}
	json.EndObject();
	output.Document(json.Text());
	return code;
}
