// The deinstaller's command line: the unattended removal, where it searches,
// where the entries go, and the answers to its questions.
#pragma once

#include <string>

// Exit codes of an unattended removal.
enum {
	DEINSTALL_COMPLETED = 0,
	DEINSTALL_NOT_CONFIGURED = 1,
	DEINSTALL_USAGE = 2,
	DEINSTALL_NO_VOLUME = 3,
	DEINSTALL_NOTHING_FOUND = 4,
	DEINSTALL_STOPPED = 5,
	DEINSTALL_UNANSWERED = 6,
	DEINSTALL_FAILURES = 7,
	DEINSTALL_LEFT_IN_PLACE = 8,
};

struct DeinstallOptions {
	bool unattended = false;
	bool help = false;
	bool yes = false;
	bool list = false;
	// JSON: one document for --list, one object a line for a removal.
	bool json = false;
	// Moves entries of other users too; by default only the running user's go.
	bool allOwners = false;
	// Takes the entries of every installation of the product, not only its own.
	bool allInstallations = false;
	std::string volume;
	std::string destination;
	std::string answers;
};

// Reads argv; false with `error` set on a usage mistake.
bool ParseDeinstallOptions(int argc, const char* const* argv, DeinstallOptions& options,
                           std::string& error);
// The usage text, for --help and usage mistakes.
const char* DeinstallUsage();
