// InstallerWin: installing for all users: the check box, the destination it
// switches to, and the placing step handed to a root run of this installer.
#include "InstallerWin.h"

#include <unistd.h>

#include <climits>

#include "Errors.h"

#include "Box.h"
#include "CheckBox.h"
#include "ConfigRecord.h"
#include "FindDirectory.h"
#include "InstallItemRecord.h"
#include "InterfaceHost.h"
#include "LibEntry.h"
#include "LibMessageBox.h"
#include "ListView.h"
#include "LoginScripts.h"
#include "Path.h"
#include "ProgressView.h"
#include "RootInstall.h"
#include "ScrollView.h"
#include "oLocalize.h"

namespace {

const float kBoxRow = 18;

std::string RunningInstaller()
{
	char self[PATH_MAX];
	const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
	return length > 0 ? std::string(self, size_t(length)) : std::string();
}

} // namespace

void InstallerWin::BuildAllUsersBox()
{
	// Root installs for all users already; without pkexec nothing can.
	if (geteuid() == 0 || !LinuxDesktopLayout() || RootInstall::Elevator().empty())
		return;
	install_type_scroll->ResizeBy(0, -kBoxRow);
	custom_scroll_view->ResizeBy(0, -kBoxRow);
	const BRect list = custom_scroll_view->Frame();
	all_users = new BCheckBox(BRect(10, list.bottom + 2, list.right, list.bottom + kBoxRow),
	                          "all_users", "Install for all users",
	                          new BMessage(INSTALLER_ALL_USERS), B_FOLLOW_LEFT | B_FOLLOW_BOTTOM);
	install_box->AddChild(all_users);
}

bool InstallerWin::InstallsForAllUsers() const
{
	return all_users != nullptr && all_users->Value() != 0;
}

void InstallerWin::AllUsersChanged()
{
	Lock();
	if (InstallsForAllUsers()) {
		user_destination = engine.destination;
		user_make_destination = engine.MakesDestination();
		LibGetEntryRef(linux_system_folder(B_APPS_DIRECTORY), engine.destination);
		engine.SetMakeDestination(false);
	} else {
		engine.destination = user_destination;
		engine.SetMakeDestination(user_make_destination);
	}
	Unlock();
	SetDestinationPath();
	CheckDestinationFolder(false);
}

std::vector<std::string> InstallerWin::RootArguments() const
{
	BPath folder(&engine.destination);
	std::vector<std::string> arguments = {RootInstall::Elevator(),
	                                      RunningInstaller(),
	                                      "--unattended",
	                                      "--json",
	                                      "--answers-on-stdin",
	                                      "--accept-licence",
	                                      "--dest",
	                                      folder.Path() != nullptr ? folder.Path() : ""};
	// Install() marked the rows chosen in the record; a name may hold a comma.
	for (const BMessage& file : ConfigRecord(engine).Items()) {
		const InstallItemRecord item(file);
		if (item.Selected())
			arguments.insert(arguments.end(), {"--item", item.Leaf()});
	}
	oLocalize localizer;
	arguments.insert(arguments.end(), {"--lang", localizer.Language()});
	// The window asked about the earlier installation already.
	if (engine.EarlierAction() == INSTALL_EARLIER_UPGRADE)
		arguments.insert(arguments.end(), {"--upgrade", "--allow-downgrade"});
	else if (engine.EarlierAction() == INSTALL_EARLIER_REPAIR)
		arguments.push_back("--repair");
	return arguments;
}

bool InstallerWin::InstallForAllUsers()
{
	delete root_run;
	root_run = new RootInstall(BMessenger(this));
	const std::vector<std::string> arguments = RootArguments();
	const status_t status = root_run->Start(arguments);
	if (status == B_OK) {
		InterfaceHost::Event("root-run-started");
		return true;
	}
	LibError("%s could not be started: %s", arguments[0].c_str(), status_text(status));
	return false;
}

void InstallerWin::RootEnded(BMessage* message)
{
	const int32 code = message->FindInt32("exit_code");
	run_reported = true;
	InterfaceHost::Event("install-ended %d", int(code));
	if (code == 0 || code == 10) {
		instruction->SetFraction(1);
		QuitRequested();
		return;
	}
	ReturnToStepTwo();
}
