// The installer program: the window; without one (--unattended) the same run
// driven by options and an answer file; on a terminal without a display its
// questions asked there; and reports on it with --list, --extract and --verify.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "Alert.h"
#include "Application.h"
#include "CollisionQuestion.h"
#include "InstallApp.h"
#include "InstallerFileCheck.h"
#include "InstallerReport.h"
#include "InstallerSignature.h"
#include "InterfaceHost.h"
#include "Invoker.h"
#include "LoginScripts.h"
#include "RecordReadAhead.h"
#include "ReplaceAlert.h"
#include "StopSignals.h"
#include "TerminalMode.h"
#include "UnattendedInstall.h"
#include "UnattendedOptions.h"

namespace {

// Started from a file manager there is no terminal to read a refusal on, so
// it is shown in a box too: in English, since nothing of a changed file, its
// string tables included, is trusted.
class RefusalApp : public BApplication {
public:
	explicit RefusalApp(const std::string& problem)
	    : BApplication("application/x-vnd.Quorvex.Vanex"), fProblem(problem)
	{
	}

	void ReadyToRun() override
	{
		const std::string text =
		        "This installer cannot be used: " + fProblem + ".\n\nNothing was changed.";
		BAlert* alert = new BAlert("", text.c_str(), "Quit", nullptr, nullptr, B_WIDTH_AS_USUAL,
		                           B_STOP_ALERT);
		alert->Go(new BInvoker(new BMessage(B_QUIT_REQUESTED), this));
	}

private:
	std::string fProblem;
};

void ShowRefusal(const UnattendedOptions& options, const std::string& problem)
{
	if (options.unattended || options.text || WantsReport(options) ||
	    !InterfaceHost::DisplayAvailable())
		return;
	RefusalApp application(problem);
	application.Run();
}

int RunWindow()
{
	InstallApp* application = new InstallApp();
	application->Run();
	delete application;
	return 0;
}

// Every mode asks about an entry in the way with the collision box; the
// window shows it, the terminal and the answer file answer it.
int32 AskWithReplaceAlert(const CollisionQuestion& question, bool& applyToAll)
{
	ReplaceAlert* alert =
	        new ReplaceAlert(question.item, question.existing, true, question.language.c_str());
	return alert->Go(applyToAll);
}

} // namespace

int main(int argc, char** argv)
{
	// Before any thread exists: a stop signal reaches only the thread that
	// turns it into a stop request, and one that comes before the run (an
	// answer file that blocks) or after it ends the program at once.
	StopSignals::Start(UNATTENDED_STOPPED, "Installer: stopped by SIGINT or SIGTERM");
	SetCollisionAsker(AskWithReplaceAlert);

	UnattendedOptions options;
	std::string error;
	if (!ParseUnattendedOptions(argc, argv, options, error)) {
		fprintf(stderr, "Installer: %s\n\n%s", error.c_str(), UnattendedUsage());
		return UNATTENDED_USAGE;
	}
	if (options.version)
		return RunInstallerReport(options, stdout, stderr);
	// Run as root, the installer installs for every user.
	ChooseSystemLayout();
	// A cut-off download is told apart before anything, even the version
	// resource, is written.
	const std::string damage = InstallerFileDamage("/proc/self/exe");
	if (!damage.empty()) {
		fprintf(stderr, "Installer: %s\n", damage.c_str());
		ShowRefusal(options, damage);
		return UNATTENDED_DAMAGED;
	}
	// Nothing, not even the window, comes from a file changed since it was signed.
	static const InstallerSignature signature("/proc/self/exe");
	if (signature.GetState() == InstallerSignature::kBad) {
		fprintf(stderr, "Installer: %s\n", signature.Summary(nullptr).c_str());
		ShowRefusal(options, signature.Summary(nullptr));
		return UNATTENDED_PAYLOAD_DAMAGED;
	}
	SetRunningInstallerSignature(&signature);
	const bool asks = !options.unattended && !WantsReport(options);
	// The window is the likely end: its record is read while the display
	// is looked for. Reading has no effect a terminal run would notice.
	if (asks && !options.text)
		RecordReadAhead::Start();
	// Without a display (or with --text) a terminal asks what the window asks.
	const bool terminal = asks && (options.text || !InterfaceHost::DisplayAvailable()) &&
	                      isatty(STDIN_FILENO) == 1;
	if (asks && !terminal && (options.text || !InterfaceHost::DisplayAvailable())) {
		const std::string noWindow = "no display to show the installer window on (" +
		                             InterfaceHost::NoDisplayReason() +
		                             ") and no terminal to ask on";
		fprintf(stderr, "Installer: %s; install with --unattended (see --help)\n",
		        options.text ? "--text needs a terminal on standard input" : noWindow.c_str());
		return UNATTENDED_USAGE;
	}
	if (asks && !terminal)
		return RunWindow();
	// The application object tells the string tables where the program lies.
	BApplication application("application/x-vnd.Quorvex.Vanex");
	if (WantsReport(options))
		return RunInstallerReport(options, stdout, stderr);
	if (terminal)
		return RunTerminal(options, stdin, stdout);
	return RunUnattended(options, stdout);
}
