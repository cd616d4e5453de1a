// LibProcess: starting another program, either waited for or detached into a
// session of its own. A detached program is handed to the system's reaper at
// once (it is started by a short-lived intermediate process), so it never
// stays a zombie and no thread of ours waits for it.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "SupportDefs.h"

class LibProcess {
public:
	// `arguments` starts with the program: a path, or a bare name looked up
	// in PATH.
	explicit LibProcess(const std::vector<std::string>& arguments);

	// The folder the program starts in; the caller's when not set.
	void SetWorkingFolder(const std::string& folder);
	// Standard input from /dev/null instead of ours.
	void SetQuietInput(const bool& quiet);
	// Standard output into the file at `path`, made or emptied, instead of ours.
	void SetOutputFile(const std::string& path);

	// Runs the program and waits for its end; `exitCode` is its exit code,
	// or 128 plus the signal that ended it. Errors of starting it are returned.
	status_t Run(int* exitCode = nullptr) const;
	// Starts the program in a new session, not as our child, and returns at
	// once; `pid` receives its process id. An exec failure is returned.
	status_t Detach(pid_t* pid = nullptr) const;
	// Waits for a detached program to end; `keepWaiting` is asked between
	// short waits and ends the wait (not the program) when it answers false.
	static bool WaitForDetached(const pid_t& pid, bool (*keepWaiting)());
	// Starts the program as our child with its standard input and output on
	// pipes: `input` is written to it, `output` read from it; both are the
	// caller's to close, and the child is reaped with Wait. An exec failure is
	// returned (the child then already reaped).
	status_t StartPiped(pid_t& pid, int& input, int& output) const;
	// Waits for a child of StartPiped to end; `exitCode` as Run gives it.
	static status_t Wait(const pid_t& pid, int* exitCode);

private:
	// In a child after fork: sets up the child and replaces it with the
	// program; on failure writes errno to `report` and ends.
	// `input` and `output`, when not -1, become its standard input and output.
	[[noreturn]] void ExecChild(char* const* argv, const int& report, const bool& newSession,
	                            const int& input = -1, const int& output = -1) const;
	std::vector<char*> ArgumentVector() const;
	// Forks the child (detached: through an intermediate that ends at once)
	// and reads its reports: an exec error, the detached program's pid.
	status_t Start(const bool& detached, pid_t& child, int& execError, pid_t& program) const;

	std::vector<std::string> fArguments;
	std::string fProgram;
	std::string fFolder;
	std::string fOutput;
	bool fQuietInput;
};
