// The installer program: installs the product appended to this executable,
// without a window when started with --unattended.
#include <cstdio>
#include <string>

#include "UnattendedInstall.h"
#include "UnattendedOptions.h"

int main(int argc, char** argv)
{
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
	return RunUnattended(options, stdout);
}
