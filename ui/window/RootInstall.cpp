// The root run's lines turned into the window's messages and boxes.
#include "RootInstall.h"

#include <signal.h>
#include <unistd.h>

#include <cstring>

#include "Alert.h"
#include "InstallConfig.h"
#include "InstallProgress.h"
#include "InstallTexts.h"
#include "JsonLine.h"
#include "LibFile.h"
#include "LibMessageBox.h"
#include "LibProcess.h"
#include "Message.h"
#include "Path.h"
#include "ReplaceAlert.h"

namespace {

// The unattended run's exit codes for a completed installation.
const int kCompleted = 0;
const int kCompletedWithFailures = 10;
// Stopped by the window's Stop: the run was undone.
const int kStopped = 5;
// What pkexec answers when the user dismissed its box or was not allowed.
const int kElevatorDismissed = 126;
const int kElevatorRefused = 127;

alert_type TypeOf(const std::string& name)
{
	if (name == "stop")
		return B_STOP_ALERT;
	if (name == "warning")
		return B_WARNING_ALERT;
	if (name == "idea")
		return B_IDEA_ALERT;
	if (name == "empty")
		return B_EMPTY_ALERT;
	return B_INFO_ALERT;
}

const char* ButtonLabel(const std::vector<std::string>& buttons, const size_t& index)
{
	return index < buttons.size() ? buttons[index].c_str() : nullptr;
}

} // namespace

RootInstall::RootInstall(const BMessenger& window)
    : fWindow(window), fPid(-1), fInput(-1), fOutput(nullptr), fTotal(0), fEnded(false)
{
}

RootInstall::~RootInstall()
{
	CloseInput();
	if (fReader.joinable())
		fReader.join();
}

std::string RootInstall::Elevator()
{
	BPath found;
	if (!LibFindEnvFile("PATH", "pkexec", found))
		return "";
	return found.Path();
}

status_t RootInstall::Start(const std::vector<std::string>& arguments)
{
	int output = -1;
	const status_t status = LibProcess(arguments).StartPiped(fPid, fInput, output);
	if (status != B_OK)
		return status;
	// An answer written after the run ended must not end the window.
	signal(SIGPIPE, SIG_IGN);
	fOutput = fdopen(output, "r");
	fReader = std::thread(&RootInstall::Converse, this);
	return B_OK;
}

void RootInstall::Stop()
{
	std::lock_guard<std::mutex> hold(fInputLock);
	if (fInput < 0)
		return;
	// The run may have ended meanwhile: a failed write is of no matter.
	const char line[] = "stop\n";
	if (write(fInput, line, sizeof(line) - 1) < 0) {
	}
	close(fInput);
	fInput = -1;
}

void RootInstall::CloseInput()
{
	std::lock_guard<std::mutex> hold(fInputLock);
	if (fInput < 0)
		return;
	close(fInput);
	fInput = -1;
}

void RootInstall::Converse()
{
	std::string text;
	for (int c = fgetc(fOutput); c != EOF; c = fgetc(fOutput)) {
		if (c != '\n') {
			text += char(c);
			continue;
		}
		JsonLine line;
		if (line.SetTo(text))
			Handle(line);
		text.clear();
	}
	fclose(fOutput);
	CloseInput();
	int exitCode = -1;
	LibProcess::Wait(fPid, &exitCode);
	TellEnd(exitCode);
	fEnded = true;
	BMessage ended(INSTALLER_ROOT_ENDED);
	ended.AddInt32("exit_code", exitCode);
	ended.AddString("result", fResult.c_str());
	ended.AddString("error", fLastError.c_str());
	fWindow.SendMessage(&ended);
}

void RootInstall::TellEnd(const int& exitCode)
{
	if (exitCode == kCompleted || exitCode == kCompletedWithFailures)
		return;
	// pkexec's own codes: the password box was dismissed, or root refused.
	if (exitCode == kElevatorDismissed || exitCode == kElevatorRefused) {
		LibError("%s", InstallText(1202).String());
		return;
	}
	if (exitCode == kStopped) {
		LibError("%s", InstallText(1027).String());
		return;
	}
	std::string detail = fResult.empty() ? "exit code " + std::to_string(exitCode) : fResult;
	if (!fLastError.empty())
		detail += "\n\n" + fLastError;
	LibError("%s", InstallFormat(1024 + detail.size(), 1203, detail.c_str()).c_str());
}

void RootInstall::Handle(const JsonLine& line)
{
	const std::string event = line.String("event");
	if (event == "status") {
		// The completion's box comes next: the window shows Quit meanwhile.
		const std::string text = line.String("text");
		if (InstallText(1037) == text.c_str() || InstallText(1046) == text.c_str())
			fWindow.SendMessage(uint32(INSTALL_COMPLETED));
		BMessage status(INSTALL_STATUS_UPDATE);
		status.AddString("message", line.String("text").c_str());
		fWindow.SendMessage(&status);
	} else if (event == "progress" && line.Has("placed")) {
		BMessage progress(INSTALL_PROGRESS);
		progress.AddInt64("placed", line.Number("placed"));
		progress.AddInt64("total", line.Number("total"));
		fWindow.SendMessage(&progress);
	} else if (event == "question" && line.Has("buttons")) {
		// The transcript's own line for a question carries no buttons: only
		// the line that waits for an answer is answered.
		Answer(line);
	} else if (event == "error") {
		fLastError = line.String("text");
	} else if (event == "outcome") {
		fResult = line.String("result");
	}
}

void RootInstall::Answer(const JsonLine& question)
{
	const std::vector<std::string> buttons = question.Strings("buttons");
	const bool checkBox = !question.Strings("check_boxes").empty();
	bool all = false;
	int32 answer = B_ALERT_DISMISSED;
	if (question.String("kind") == "collision" && question.Has("existing")) {
		ReplaceAlert* alert = new ReplaceAlert(BPath(question.String("item").c_str()),
		                                       BPath(question.String("existing").c_str()), checkBox,
		                                       question.String("language").c_str());
		answer = alert->Go(all);
	} else {
		BAlert* alert = new BAlert("", question.String("text").c_str(), ButtonLabel(buttons, 0),
		                           ButtonLabel(buttons, 1), ButtonLabel(buttons, 2),
		                           B_WIDTH_AS_USUAL, TypeOf(question.String("type")));
		answer = alert->Go();
	}
	const std::string line = std::to_string(answer) + (checkBox ? (all ? " 1" : " 0") : "") + "\n";
	std::lock_guard<std::mutex> hold(fInputLock);
	// Closed meanwhile: the window stopped the run.
	if (fInput >= 0 && write(fInput, line.data(), line.size()) < 0) {
		close(fInput);
		fInput = -1;
	}
}
