// The command line of the installer program: the unattended mode and what
// it installs where, with which answers.
#pragma once

#include <string>
#include <vector>

// Exit codes of an unattended installation.
enum {
	UNATTENDED_COMPLETED = 0,
	UNATTENDED_FOLDER_ERROR = 1,
	UNATTENDED_USAGE = 2,
	UNATTENDED_NO_SPACE = 3,
	UNATTENDED_ENDED_BY_REQUIREMENT = 4,
	UNATTENDED_STOPPED = 5,
	UNATTENDED_UNANSWERED = 6,
	UNATTENDED_LICENCE_DECLINED = 7,
	UNATTENDED_DAMAGED = 8,
	UNATTENDED_LOCKED = 9,
	UNATTENDED_COMPLETED_WITH_FAILURES = 10,
	UNATTENDED_PAYLOAD_DAMAGED = 11,
	UNATTENDED_UNDONE = 12,
	UNATTENDED_DOWNGRADE_REFUSED = 13,
};

// Splits "--name=value" into `argument` "--name" and `value`; true when the
// argument carried its value so.
bool SplitInlineValue(std::string& argument, std::string& value);

struct UnattendedOptions {
	bool unattended = false;
	bool help = false;
	bool yes = false;
	bool version = false;
	bool list = false;
	bool verify = false;
	bool acceptLicence = false;
	bool text = false;
	bool allowNewPublisher = false;
	// What the unattended run would do, with its exit code; nothing changes.
	bool plan = false;
	// JSON instead of text: one document, or one object a line for a run.
	bool json = false;
	bool upgrade = false;
	bool allowDowngrade = false;
	bool repair = false;
	bool installed = false;
	// Questions the answers leave open go out as JSON lines and their
	// answers come in on standard input.
	bool answersOnStdin = false;
	std::string extract;
	std::string destination;
	std::string volume;
	std::string type;
	std::vector<std::string> items;
	bool itemsGiven = false;
	std::string language;
	std::string answers;
};

// Reads argv; false with `error` set on a usage mistake.
bool ParseUnattendedOptions(int argc, const char* const* argv, UnattendedOptions& options,
                            std::string& error);
// The usage text, for --help and usage mistakes.
const char* UnattendedUsage();
// An option that reports on the installer and installs nothing was given.
bool WantsReport(const UnattendedOptions& options);
