// The installer program: installs the product appended to this executable,
// without a window when started with --unattended.
#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <string>

#include "Application.h"
#include "UnattendedInstall.h"
#include "UnattendedOptions.h"

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
	if (!options.unattended) {
		fprintf(stderr, "Installer: the installer window is not available yet; install with "
		                "--unattended (see --help)\n");
		return UNATTENDED_USAGE;
	}
	// The application object tells the string tables where the program lies.
	BApplication application("application/x-vnd.Quorvex.Vanex");
	return RunUnattended(options, stdout);
}
