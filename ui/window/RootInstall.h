// RootInstall: the installation for all users: this installer run again,
// unattended and as root through pkexec, with the window's choices as its
// arguments (pkexec passes no environment). Its JSON lines move the window's
// bar and instruction line; its questions are shown as the window's own
// boxes and the answers written back to it.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Messenger.h"
#include "SupportDefs.h"

class JsonLine;

// Sent to the window once the root run has ended, with "exit_code" (int32),
// "result" (the outcome's text) and "error" (its last error line).
enum { INSTALLER_ROOT_ENDED = 2009 };

class RootInstall {
public:
	explicit RootInstall(const BMessenger& window);
	// Waits for the run: closing its input first, so that a question stops it.
	~RootInstall();

	// The program that runs another as root once the user allowed it:
	// pkexec on PATH; "" when there is none.
	static std::string Elevator();
	// Starts `arguments` (the elevator first) and follows its lines on a
	// thread of its own; an error of starting it is returned.
	status_t Start(const std::vector<std::string>& arguments);
	// Asks the run to stop: it undoes what it placed.
	void Stop();
	// No more answers: a question asked from now on stops the run.
	void CloseInput();
	bool Ended() const { return fEnded; }

private:
	void Converse();
	void Handle(const JsonLine& line);
	// Says why a run that did not complete ended, as the engine's boxes do.
	void TellEnd(const int& exitCode);
	// Shows the question's box and writes back the answer.
	void Answer(const JsonLine& question);

	BMessenger fWindow;
	pid_t fPid;
	// Written by the reading thread, closed by the window's Stop.
	std::mutex fInputLock;
	int fInput;
	FILE* fOutput;
	std::thread fReader;
	std::string fResult;
	std::string fLastError;
	int64 fTotal;
	std::atomic<bool> fEnded;
};
