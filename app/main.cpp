// The installer program: the window, or without one (--unattended) the same
// run driven by options and an answer file.
#include <cstdio>
#include <string>

#include "Application.h"
#include "InstallApp.h"
#include "InterfaceHost.h"
#include "StopSignals.h"
#include "UnattendedInstall.h"
#include "UnattendedOptions.h"

namespace {

int RunWindow()
{
	if (!InterfaceHost::DisplayAvailable()) {
		fprintf(stderr, "Installer: no display to show the installer window on (DISPLAY is not "
		                "set); install with --unattended (see --help)\n");
		return UNATTENDED_USAGE;
	}
	InstallApp* application = new InstallApp();
	application->Run();
	delete application;
	return 0;
}

} // namespace

int main(int argc, char** argv)
{
	// Before any thread exists: a stop signal reaches only the thread that
	// turns it into a stop request, and one that comes before the run (an
	// answer file that blocks) or after it ends the program at once.
	StopSignals::Start(UNATTENDED_STOPPED, "Installer: stopped by SIGINT or SIGTERM");

	UnattendedOptions options;
	std::string error;
	if (!ParseUnattendedOptions(argc, argv, options, error)) {
		fprintf(stderr, "Installer: %s\n\n%s", error.c_str(), UnattendedUsage());
		return UNATTENDED_USAGE;
	}
	if (options.help) {
		fputs(UnattendedUsage(), stdout);
		return UNATTENDED_COMPLETED;
	}
	if (!options.unattended)
		return RunWindow();
	// The application object tells the string tables where the program lies.
	BApplication application("application/x-vnd.Quorvex.Vanex");
	return RunUnattended(options, stdout);
}
