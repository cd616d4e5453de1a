// The deinstaller program: finds the entries its product's installation
// placed and moves them to the trash, in a window or with --unattended.
#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "Application.h"
#include "DeinstallApp.h"
#include "DeinstallOptions.h"
#include "UnattendedDeinstall.h"
#include "VantryVersion.h"

int main(int argc, char** argv)
{
	// Before any thread exists: a stop signal must reach only the thread that
	// turns it into a stop request.
	sigset_t stops;
	sigemptyset(&stops);
	sigaddset(&stops, SIGINT);
	sigaddset(&stops, SIGTERM);
	pthread_sigmask(SIG_BLOCK, &stops, nullptr);

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
	if (!options.unattended) {
		DeinstallApp* application = new DeinstallApp();
		application->Run();
		delete application;
		return DEINSTALL_COMPLETED;
	}
	BApplication application("application/x-vnd.Quorvex.Ravex");
	return RunUnattendedDeinstall(options, stdout);
}
