// LibProcess: fork and exec with the setup done in the child before exec,
// errors of exec reported back through a close-on-exec pipe.
#include "LibProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "LibFile.h"

extern char** environ;

namespace {

// What a child reports through the pipe: an exec error or the detached pid.
struct Report {
	int kind;
	int value;
};

enum { kExecError = 1, kDetachedPid = 2 };

// Short waits, so a stop request is seen promptly.
const int kWaitStepMilliseconds = 100;

void WriteReport(const int& fd, const int& kind, const int& value)
{
	const Report report = {kind, value};
	while (write(fd, &report, sizeof(report)) < 0 && errno == EINTR) {
	}
}

// The program's path: itself when it names a path, else found in PATH.
std::string ResolveProgram(const std::string& program)
{
	if (program.empty() || program.find('/') != std::string::npos)
		return program;
	BPath found;
	if (!LibFindEnvFile("PATH", program.c_str(), found))
		return program;
	return found.Path();
}

status_t WaitForChild(const pid_t& child, int* exitCode)
{
	int status = 0;
	while (waitpid(child, &status, 0) < 0) {
		if (errno != EINTR)
			return status_from_errno(errno);
	}
	if (exitCode != nullptr)
		*exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
	return B_OK;
}

// Reads the reports until every writer has closed the pipe.
void ReadReports(const int& fd, int& execError, pid_t& detached)
{
	Report report;
	for (;;) {
		const ssize_t got = read(fd, &report, sizeof(report));
		if (got < 0 && errno == EINTR)
			continue;
		if (got != (ssize_t)sizeof(report))
			return;
		if (report.kind == kExecError)
			execError = report.value;
		else if (report.kind == kDetachedPid)
			detached = report.value;
	}
}

} // namespace

LibProcess::LibProcess(const std::vector<std::string>& arguments)
    : fArguments(arguments), fProgram(arguments.empty() ? "" : ResolveProgram(arguments[0])),
      fFolder(), fQuietInput(false)
{
}

void LibProcess::SetWorkingFolder(const std::string& folder)
{
	fFolder = folder;
}

void LibProcess::SetQuietInput(const bool& quiet)
{
	fQuietInput = quiet;
}

void LibProcess::SetOutputFile(const std::string& path)
{
	fOutput = path;
}

void LibProcess::ExecChild(char* const* argv, const int& report, const bool& newSession,
                           const int& input, const int& output) const
{
	// Only async-signal-safe calls from here on: the parent may have threads.
	if (newSession)
		setsid();
	if (!fFolder.empty() && chdir(fFolder.c_str()) != 0) {
		WriteReport(report, kExecError, errno);
		_exit(127);
	}
	if (input >= 0)
		dup2(input, STDIN_FILENO);
	if (output >= 0)
		dup2(output, STDOUT_FILENO);
	if (fQuietInput) {
		const int null = open("/dev/null", O_RDONLY);
		if (null >= 0 && null != STDIN_FILENO) {
			dup2(null, STDIN_FILENO);
			close(null);
		}
	}
	if (!fOutput.empty()) {
		const int file = open(fOutput.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
		if (file < 0) {
			WriteReport(report, kExecError, errno);
			_exit(127);
		}
		dup2(file, STDOUT_FILENO);
		close(file);
	}
	execve(fProgram.c_str(), argv, environ);
	WriteReport(report, kExecError, errno);
	_exit(127);
}

std::vector<char*> LibProcess::ArgumentVector() const
{
	std::vector<char*> argv;
	for (const std::string& argument : fArguments)
		argv.push_back(const_cast<char*>(argument.c_str()));
	argv.push_back(nullptr);
	return argv;
}

status_t LibProcess::Start(const bool& detached, pid_t& child, int& execError, pid_t& program) const
{
	if (fArguments.empty())
		return B_BAD_VALUE;
	// Built before fork: the child may not allocate.
	std::vector<char*> argv = ArgumentVector();
	int pipeEnds[2];
	if (pipe2(pipeEnds, O_CLOEXEC) != 0)
		return status_from_errno(errno);
	child = fork();
	if (child == 0 && !detached)
		ExecChild(argv.data(), pipeEnds[1], false);
	if (child == 0) {
		// The intermediate: it ends at once, so the program is the system's to reap.
		const pid_t grandchild = fork();
		if (grandchild == 0)
			ExecChild(argv.data(), pipeEnds[1], true);
		WriteReport(pipeEnds[1], grandchild < 0 ? kExecError : kDetachedPid,
		            grandchild < 0 ? errno : grandchild);
		_exit(0);
	}
	const int forkError = errno;
	close(pipeEnds[1]);
	if (child < 0) {
		close(pipeEnds[0]);
		return status_from_errno(forkError);
	}
	execError = 0;
	program = -1;
	ReadReports(pipeEnds[0], execError, program);
	close(pipeEnds[0]);
	return B_OK;
}

status_t LibProcess::Run(int* exitCode) const
{
	pid_t child = -1;
	int execError = 0;
	pid_t unused = -1;
	const status_t status = Start(false, child, execError, unused);
	if (status != B_OK)
		return status;
	if (execError != 0) {
		WaitForChild(child, nullptr);
		return status_from_errno(execError);
	}
	return WaitForChild(child, exitCode);
}

status_t LibProcess::Detach(pid_t* pid) const
{
	pid_t intermediate = -1;
	int execError = 0;
	pid_t program = -1;
	const status_t status = Start(true, intermediate, execError, program);
	if (status != B_OK)
		return status;
	WaitForChild(intermediate, nullptr);
	if (execError != 0)
		return status_from_errno(execError);
	if (pid != nullptr)
		*pid = program;
	return program > 0 ? B_OK : B_ERROR;
}

status_t LibProcess::StartPiped(pid_t& pid, int& input, int& output) const
{
	if (fArguments.empty())
		return B_BAD_VALUE;
	std::vector<char*> argv = ArgumentVector();
	int report[2], toChild[2], fromChild[2];
	if (pipe2(report, O_CLOEXEC) != 0)
		return status_from_errno(errno);
	if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0) {
		const int error = errno;
		close(report[0]);
		close(report[1]);
		close(toChild[0]);
		close(toChild[1]);
		return status_from_errno(error);
	}
	pid = fork();
	if (pid == 0)
		ExecChild(argv.data(), report[1], false, toChild[0], fromChild[1]);
	const int forkError = errno;
	for (const int end : {report[1], toChild[0], fromChild[1]})
		close(end);
	int execError = pid < 0 ? forkError : 0;
	pid_t unused = -1;
	if (pid > 0)
		ReadReports(report[0], execError, unused);
	close(report[0]);
	if (execError == 0) {
		input = toChild[1];
		output = fromChild[0];
		return B_OK;
	}
	close(toChild[1]);
	close(fromChild[0]);
	if (pid > 0)
		WaitForChild(pid, nullptr);
	return status_from_errno(execError);
}

status_t LibProcess::Wait(const pid_t& pid, int* exitCode)
{
	return WaitForChild(pid, exitCode);
}

bool LibProcess::WaitForDetached(const pid_t& pid, bool (*keepWaiting)())
{
	const int fd = (int)syscall(SYS_pidfd_open, pid, 0);
	// Already gone (and reaped by the system).
	if (fd < 0)
		return errno == ESRCH;
	struct pollfd watch = {fd, POLLIN, 0};
	bool ended = false;
	while (!ended) {
		const int ready = poll(&watch, 1, kWaitStepMilliseconds);
		ended = ready > 0 || (ready < 0 && errno != EINTR);
		if (!ended && keepWaiting != nullptr && !keepWaiting())
			break;
	}
	close(fd);
	return ended;
}
