// The last steps of an installation: items marked for it are started, the
// user is told the installation is complete, asked about a restart, and may
// see the installation folder.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

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
#include "LibRoster.h"
#include "Mime.h"
#include "SafePlace.h"

extern char** environ;

namespace {

const char* const kExecutableType = "application/x-vnd.Be-elfexecutable";
// How often a waiting run looks whether it was asked to stop.
const bigtime_t kWaitStep = 50000;

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

// Runs "/bin/sh path" in the item's folder and waits for it; a stop request
// ends the wait, not the script.
void RunInShell(const char* path)
{
	const std::string folder = LibParentOf(path);
	char* argv[] = {const_cast<char*>("/bin/sh"), const_cast<char*>(path), nullptr};
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
	pid_t child = -1;
	const int error = posix_spawn(&child, argv[0], &actions, nullptr, argv, environ);
	posix_spawn_file_actions_destroy(&actions);
	if (error != 0)
		return;
	int status = 0;
	while (true) {
		const pid_t ended = waitpid(child, &status, WNOHANG);
		if (ended == child || (ended < 0 && errno != EINTR))
			return;
		if (snooze(kWaitStep) != B_OK)
			return;
	}
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
		LibError("%s", InstallFormat(1024, 1039, SafeLeaf(path).c_str()).c_str());
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
	std::string message = InstallText(1038).String();
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
