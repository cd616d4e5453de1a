// The last steps of an installation: items marked for it are started, the
// user is told the installation is complete, asked about a restart, and may
// see the installation folder.
#include <signal.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "Alert.h"
#include "ConfigText.h"
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

bool IsMarkedForLaunch(const BMessage& item, BMessage& meta)
{
	bool selected = false;
	if (item.FindBool("install_to_system", &selected) != B_OK || !selected)
		return false;
	if (item.FindMessage("install_meta", &meta) != B_OK)
		return false;
	const char* launch = meta.FindString("auto_launch");
	return launch != nullptr && strcmp(launch, "True") == 0;
}

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
	return alert->Go() == 1;
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
	FindMessage("install_instructions", &instructions);
	BMessage item;
	for (int32 i = 0; instructions.FindMessage("install_file", i, &item) == B_OK; i++) {
		if (thread_safe_point() != B_OK)
			return;
		BMessage meta;
		if (!IsMarkedForLaunch(item, meta))
			continue;
		const char* path = ConfigText(item, "file_name");
		if (!UserWantsToRun(path, meta.FindString("auto_launch_reason")))
			continue;
		LaunchItem(path);
	}
}

void InstallRun::ShowCompletion()
{
	const int32 failed = fConfig.failures.Count();
	std::string message = failed > 0 ? InstallFormat(1024, 1047, int(failed), fLogPath.c_str())
	                                 : std::string(InstallText(1038).String());
	const char* comments = fConfig.FindString("complete_comments");
	if (comments != nullptr && comments[0] != '\0') {
		message += "\n\n";
		message += comments;
	}
	if (fConfig.FindBool("complete_restart")) {
		message += InstallText(1042).String();
		const LibString later = InstallText(1029);
		const LibString now = InstallText(1030);
		BAlert* alert = new BAlert("", message.c_str(), later.String(), now.String(), nullptr,
		                           B_WIDTH_FROM_WIDEST, B_INFO_ALERT);
		if (alert->Go() == 1)
			fConfig.restart_requested = true;
	} else {
		LibInfo("%s", message.c_str());
	}
	if (Stopped())
		return;
	if (fConfig.FindBool("complete_display_folder"))
		LibOpenEntry(fInstallFolder.c_str());
}
