// The deinstaller program: finds the entries its product's installation
// placed and moves them to the trash, in a window or with --unattended.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "Application.h"
#include "DeinstallApp.h"
#include "DeinstallOptions.h"
#include "InterfaceHost.h"
#include "LoginScripts.h"
#include "StopSignals.h"
#include "UnattendedDeinstall.h"
#include "VantryVersion.h"

namespace {

// The window's start, or why it cannot be shown (no display: it would wait
// unseen for a user who cannot reach it).
int RunWindow()
{
	if (!InterfaceHost::DisplayAvailable()) {
		const bool terminal = isatty(STDIN_FILENO) == 1;
		fprintf(stderr,
		        "Deinstaller: no display%s: use --unattended (see --help); the window cannot "
		        "be shown: %s\n",
		        terminal ? "" : " and no terminal", InterfaceHost::NoDisplayReason().c_str());
		return DEINSTALL_USAGE;
	}
	DeinstallApp* application = new DeinstallApp();
	application->Run();
	delete application;
	return DEINSTALL_COMPLETED;
}

} // namespace

int main(int argc, char** argv)
{
	// Before any thread exists: a stop signal reaches only the thread that
	// turns it into a stop request, and one that comes outside a search or a
	// removal ends the program at once.
	StopSignals::Start(DEINSTALL_STOPPED, "Deinstaller: stopped by SIGINT or SIGTERM");

	if (argc == 2 && strcmp(argv[1], "--version") == 0) {
		printf(VANTRY_VERSION_LINE("Deinstaller"), vantry_version());
		return DEINSTALL_COMPLETED;
	}
	DeinstallOptions options;
	std::string error;
	if (!ParseDeinstallOptions(argc, argv, options, error)) {
		fprintf(stderr, "Deinstaller: %s\n\n%s", error.c_str(), DeinstallUsage());
		return DEINSTALL_USAGE;
	}
	if (options.help) {
		fputs(DeinstallUsage(), stdout);
		return DEINSTALL_COMPLETED;
	}
	// Run as root, the deinstaller removes an install for every user.
	ChooseSystemLayout();
	if (!options.unattended)
		return RunWindow();
	BApplication application("application/x-vnd.Quorvex.Ravex");
	return RunUnattendedDeinstall(options, stdout);
}
