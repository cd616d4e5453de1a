// The installer program: installs the product appended to this executable,
// without a window when started with --unattended, on the terminal without a
// display, and reports on it with --list, --extract and --verify.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Application.h"
#include "InstallerReport.h"
#include "StopSignals.h"
#include "TerminalMode.h"
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
	if (options.version)
		return RunInstallerReport(options, stdout, stderr);
	// Without a display (or with --text) a terminal asks what the window asks.
	const bool display = getenv("DISPLAY") != nullptr || getenv("WAYLAND_DISPLAY") != nullptr;
	const bool terminal = !options.unattended && !WantsReport(options) &&
	                      (options.text || !display) && isatty(STDIN_FILENO) == 1;
	if (!options.unattended && !WantsReport(options) && !terminal) {
		fprintf(stderr, "Installer: %s; install with --unattended (see --help)\n",
		        options.text ? "--text needs a terminal on standard input"
		                     : "the installer window is not available yet");
		return UNATTENDED_USAGE;
	}
	// The application object tells the string tables where the program lies.
	BApplication application("application/x-vnd.Quorvex.Vanex");
	if (WantsReport(options))
		return RunInstallerReport(options, stdout, stderr);
	if (terminal)
		return RunTerminal(options, stdin, stdout);
	return RunUnattended(options, stdout);
}
