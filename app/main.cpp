// The installer program: the window, or without one (--unattended) the same
// run driven by options and an answer file.
#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <string>

#include "Application.h"
#include "InstallApp.h"
#include "InterfaceHost.h"
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
	// Before any thread exists: a stop signal must reach only the thread that
	// turns it into a stop request, never end the program on another one.
	sigset_t stops;
	sigemptyset(&stops);
	sigaddset(&stops, SIGINT);
	sigaddset(&stops, SIGTERM);
	pthread_sigmask(SIG_BLOCK, &stops, nullptr);

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
