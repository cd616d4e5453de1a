// The installer program: installs the product appended to this executable,
// without a window when started with --unattended.
#include <cstdio>
#include <string>

#include "Application.h"
#include "StopSignals.h"
#include "UnattendedInstall.h"
#include "UnattendedOptions.h"

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
	if (!options.unattended) {
		fprintf(stderr, "Installer: the installer window is not available yet; install with "
		                "--unattended (see --help)\n");
		return UNATTENDED_USAGE;
	}
	// The application object tells the string tables where the program lies.
	BApplication application("application/x-vnd.Quorvex.Vanex");
	return RunUnattended(options, stdout);
}
