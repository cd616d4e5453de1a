// The last steps of an installation: items marked for it are started, the
// user is told the installation is complete, asked about a restart, and may
// see the installation folder.
#include <signal.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "Alert.h"
#include "ConfigRecord.h"
#include "EngineQuestion.h"
#include "InstallItemRecord.h"
#include "InstallRun.h"
#include "InstallTexts.h"
#include "LibEntry.h"
#include "LibMessageBox.h"
#include "LibPathParts.h"
#include "LibProcess.h"
#include "LibRoster.h"
#include "Mime.h"

namespace {

const char* const kExecutableType = "application/x-vnd.Be-elfexecutable";

// Asks before starting an item that comes with a reason; true to start it.
bool UserWantsToRun(const char* path, const char* reason)
{
	if (reason == nullptr || reason[0] == '\0')
		return true;
	std::string question = InstallText(1034).String();
	question += path;
	question += InstallText(1035).String();
	question += "\n\n";
	question += reason;
	const LibString later = InstallText(1018);
	const LibString run = InstallText(1019);
	BAlert* alert = new BAlert("", question.c_str(), later.String(), run.String(), nullptr,
	                           B_WIDTH_AS_USUAL, B_INFO_ALERT);
	return AskQuestion(QUESTION_LAUNCH, alert) == 1;
}

bool NotStopped()
{
	return thread_safe_point() == B_OK;
}

// Runs "/bin/sh path" in the item's folder and waits for it; a stop request
// ends the wait, not the script, which is never left a zombie.
void RunInShell(const char* path)
{
	LibProcess script({"/bin/sh", path});
	script.SetWorkingFolder(LibParentOf(path));
	pid_t child = -1;
	if (script.Detach(&child) != B_OK)
		return;
	LibProcess::WaitForDetached(child, NotStopped);
}

void LaunchItem(const char* path)
{
	entry_ref ref;
	char type[B_MIME_TYPE_LENGTH] = "";
	LibGetEntryRef(path, ref);
	LibGetMimeType(ref, type, false);
	if (strcmp(type, kExecutableType) != 0) {
		RunInShell(path);
		return;
	}
	if (LibRoster().Launch(&ref) != B_OK)
		LibError("%s", InstallFormat(1024, 1039, LibLastComponent(path).c_str()).c_str());
}

} // namespace

void InstallConfig::AutoLaunch()
{
	BMessage instructions;
	ConfigRecord(*this).Instructions(&instructions);
	BMessage item;
	for (int32 i = 0; instructions.FindMessage(InstallItemRecord::kItem, i, &item) == B_OK; i++) {
		if (thread_safe_point() != B_OK)
			return;
		const InstallItemRecord record(item);
		if (!record.Selected() || !record.AutoLaunch())
			continue;
		// Placing rewrote the name to the item's final path.
		const char* path = record.FileName();
		if (!UserWantsToRun(path, record.AutoLaunchReason()))
			continue;
		LaunchItem(path);
	}
}

void InstallRun::ShowCompletion()
{
	const int32 failed = fConfig.fFailures.Count();
	std::string message = failed > 0 ? InstallFormat(1024, 1047, int(failed), fLogPath.c_str())
	                                 : std::string(InstallText(1038).String());
	const ConfigRecord config(fConfig);
	const char* comments = config.CompleteComments();
	if (comments[0] != '\0') {
		message += "\n\n";
		message += comments;
	}
	if (config.CompleteRestart()) {
		message += InstallText(1042).String();
		const LibString later = InstallText(1029);
		const LibString now = InstallText(1030);
		BAlert* alert = new BAlert("", message.c_str(), later.String(), now.String(), nullptr,
		                           B_WIDTH_FROM_WIDEST, B_INFO_ALERT);
		if (AskQuestion(QUESTION_RESTART, alert) == 1)
			fConfig.restart_requested = true;
	} else {
		LibInfo("%s", message.c_str());
	}
	if (Stopped())
		return;
	if (config.CompleteDisplayFolder())
		LibOpenEntry(fInstallFolder.c_str());
}
