// The unattended installation: the record, the choices, the run on the
// install thread with its status texts printed, stops on SIGINT and SIGTERM.
#include "UnattendedInstall.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <memory>

#include "AnswerFile.h"
#include "ConfigLoader.h"
#include "ConfigRecord.h"
#include "EarlierInstallation.h"
#include "InstallConfig.h"
#include "InstallItemRecord.h"
#include "InstallJournal.h"
#include "InstallLock.h"
#include "InstallPlan.h"
#include "InstallTexts.h"
#include "InstallerSignature.h"
#include "JsonWriter.h"
#include "LibAppResource.h"
#include "LibMessageBox.h"
#include "LibPathParts.h"
#include "LibSystem.h"
#include "Messenger.h"
#include "Path.h"
#include "PublisherCheck.h"
#include "StatusPrinter.h"
#include "StdinPresenter.h"
#include "StopSignals.h"
#include "UnattendedOutput.h"
#include "UnattendedPlan.h"
#include "UnattendedPresenter.h"
#include "oLocalize.h"

namespace {

// How long the thread-change message may take once the thread has ended.
const bigtime_t kEndMessageWait = 10000000;

// Stops the install thread on the first SIGINT or SIGTERM while it runs; the
// program's receiver of those signals (StopSignals) ends it on a second one.
class StopOnSignal {
public:
	explicit StopOnSignal(UnattendedOutput& output) : fOutput(output) {}

	~StopOnSignal() { StopSignals::Unwatch(); }

	void Watch(const thread_id& thread)
	{
		StopSignals::Watch(thread, [this](int signal) {
			fOutput.Line("stop", signal == SIGINT ? "interrupted (SIGINT): stopping at the next "
			                                        "safe point"
			                                      : "terminated (SIGTERM): stopping at the next "
			                                        "safe point");
		});
	}

	bool Stopped() const { return StopSignals::Poll(); }

private:
	UnattendedOutput& fOutput;
};

int Fail(UnattendedOutput& output, const int& code, const std::string& text)
{
	output.Line("error", text.c_str());
	return code;
}

// A licence is agreed to only by name: --yes answers questions, it does not
// sign for the user.
bool AgreeToLicence(const InstallConfig& config, const AnswerFile& answers, const bool& accept,
                    UnattendedOutput& output)
{
	if (ConfigRecord(config).Licence()[0] == '\0')
		return true;
	bool agreed = false;
	if (answers.FindLicence(agreed)) {
		output.Line("licence",
		            agreed ? "agreed (from the answers)" : "declined (from the answers)");
		return agreed;
	}
	if (accept) {
		output.Line("licence", "agreed (--accept-licence)");
		return true;
	}
	output.Line("licence", "not agreed: the product's licence must be agreed to with "
	                       "\"licence agree\" in the answers, or with --accept-licence");
	return false;
}

void PrintPlan(InstallConfig& config, UnattendedOutput& output)
{
	const ConfigRecord record(config);
	std::string product = record.AppName();
	product += std::string(" ") + record.Version();
	output.Line("product", product.c_str());
	const std::string signature = RunningSignatureSummary(record.Company());
	if (!signature.empty()) {
		const bool isSigned = RunningInstallerSignature()->GetState() == InstallerSignature::kGood;
		output.Line(isSigned ? "signature" : "note", signature.c_str());
	}
	std::string items;
	for (const BMessage& item : record.Items()) {
		const InstallItemRecord selected(item);
		if (selected.Selected())
			items += (items.empty() ? "" : ", ") + selected.Leaf();
	}
	output.Line("items", items.c_str());
	BPath destination(&config.destination);
	const std::string folder =
	        std::string(destination.Path() != nullptr ? destination.Path() : "") + "/" +
	        record.CreatedFolder();
	output.Line("installation folder", folder.c_str());
	// An earlier installation of the product is the upgrade choice's to tell.
	if (config.DoesDestinationExist() && !EarlierInstallation(folder, record.AppName()).Found())
		output.Line("note", (folder + " exists: the installation moves it to the trash").c_str());
}

const char* OutcomeText(const int& code);

// Replace, upgrade or repair the earlier installation of the product, as
// the command line says; false when a downgrade was not allowed.
bool ChooseEarlierAction(InstallConfig& config, const UnattendedOptions& options,
                         UnattendedOutput& output)
{
	const ConfigRecord record(config);
	const std::string folder = config.InstallFolderPath();
	const EarlierInstallation earlier(folder, record.AppName());
	config.SetEarlierAction(INSTALL_EARLIER_REPLACE);
	if (options.repair) {
		config.SetEarlierAction(INSTALL_EARLIER_REPAIR);
		output.Line("repair",
		            (folder + " (" + record.AppName() + " " + earlier.Version() + ")").c_str());
		return true;
	}
	if (!earlier.Found())
		return true;
	const std::string found = folder + " holds " + record.AppName() + " " + earlier.Version();
	if (!options.upgrade) {
		output.Line("note", (found + ": it is replaced (moved to the trash whole, files added "
		                             "to it included); --upgrade installs over it instead and "
		                             "keeps what was changed or added")
		                            .c_str());
		return true;
	}
	const std::string versions = std::string(earlier.Version()) + " to " + record.Version();
	if (earlier.CompareWith(record.Version()) > 0 && !options.allowDowngrade) {
		output.Line("error", (found + ", newer than this installer's " + record.Version() +
		                      ": nothing was changed (downgrade with --allow-downgrade)")
		                             .c_str());
		output.Line("result", OutcomeText(UNATTENDED_DOWNGRADE_REFUSED));
		return false;
	}
	config.SetEarlierAction(INSTALL_EARLIER_UPGRADE);
	output.Line("upgrade", (folder + ": " + versions).c_str());
	return true;
}

// What an upgrade kept or moved and what a repair put back: "kept: PATH ...".
void PrintEarlierReport(const InstallConfig& config, UnattendedOutput& output)
{
	for (const std::string& line : config.EarlierReport()) {
		const size_t colon = line.find(": ");
		if (colon != std::string::npos)
			output.Line(line.substr(0, colon).c_str(), line.substr(colon + 2).c_str());
	}
}

int ExitCodeOf(const int32& status, const std::vector<std::string>& statuses)
{
	if (status == INSTALL_RUN_NO_FOLDER)
		return UNATTENDED_FOLDER_ERROR;
	if (status == INSTALL_RUN_NO_SPACE)
		return UNATTENDED_NO_SPACE;
	if (status == INSTALL_RUN_LOCKED)
		return UNATTENDED_LOCKED;
	if (status == INSTALL_RUN_DAMAGED || status == INSTALL_RUN_NEW_PUBLISHER)
		return UNATTENDED_PAYLOAD_DAMAGED;
	if (status == INSTALL_RUN_UNDONE)
		return UNATTENDED_UNDONE;
	// A run that ended at a requirement never reached "Installation Complete".
	const LibString complete = InstallText(1037);
	const LibString withFailures = InstallText(1046);
	for (const std::string& text : statuses) {
		if (complete == text.c_str())
			return UNATTENDED_COMPLETED;
		if (withFailures == text.c_str())
			return UNATTENDED_COMPLETED_WITH_FAILURES;
	}
	return UNATTENDED_ENDED_BY_REQUIREMENT;
}

// A stop that came once the run had completed stopped nothing: the
// installation is reported as it ended. -1 when it had not completed.
int CompletionCode(StatusPrinter& printer)
{
	printer.Flush();
	const int code = ExitCodeOf(INSTALL_RUN_OVER, printer.Statuses());
	if (code == UNATTENDED_COMPLETED || code == UNATTENDED_COMPLETED_WITH_FAILURES)
		return code;
	return -1;
}

const char* OutcomeText(const int& code)
{
	switch (code) {
		case UNATTENDED_COMPLETED: return "completed (0)";
		case UNATTENDED_COMPLETED_WITH_FAILURES: return "completed with failures (10)";
		case UNATTENDED_PAYLOAD_DAMAGED:
			return "the installer is damaged; nothing was changed (11)";
		case UNATTENDED_UNDONE: return "failed; every change was undone (12)";
		case UNATTENDED_FOLDER_ERROR: return "installation folder error (1)";
		case UNATTENDED_NO_SPACE: return "not enough disk space (3)";
		case UNATTENDED_ENDED_BY_REQUIREMENT: return "ended by a requirement (4)";
		case UNATTENDED_STOPPED: return "stopped (5)";
		case UNATTENDED_LOCKED: return "the installation folder is in use by another installer (9)";
		case UNATTENDED_USAGE: return "usage error (2)";
		case UNATTENDED_LICENCE_DECLINED: return "the licence was not agreed to (7)";
		case UNATTENDED_DAMAGED: return "the installer is damaged (8)";
		case UNATTENDED_DOWNGRADE_REFUSED: return "refused: a downgrade not allowed (13)";
		default: return "stopped: a question had no answer (6)";
	}
}

// A plan's outcome: the installation's, as what it would be.
std::string PlanOutcome(const int& code)
{
	return std::string("planned; nothing was changed; the installation would end: ") +
	       OutcomeText(code);
}

// Another publisher's installation is replaced only when the command line says so.
bool AcceptPublisher(InstallConfig& config, const bool& allowed, UnattendedOutput& output)
{
	config.AcceptNewPublisher(allowed);
	const PublisherCheck check(config, config.InstallFolderPath());
	if (!check.Changed())
		return true;
	const std::string text = std::string(kNewPublisherQuestion) + ": " + check.Description();
	if (allowed) {
		output.Line("note", (text + " (--allow-new-publisher)").c_str());
		return true;
	}
	output.Line("error",
	            (text + "; nothing was changed (install it with --allow-new-publisher)").c_str());
	output.Line("result", "refused: another publisher's installer (11)");
	return false;
}

// A killed run into the same folder is undone before this one is planned;
// a plan only says so.
void UndoInterruptedRun(InstallConfig& config, UnattendedOutput& output, const bool& plan)
{
	const std::string folder = config.InstallFolderPath();
	// Without a journal there is nothing to undo, and no lock file to make.
	if (folder.empty() || !LibEntryExists(InstallJournal::PathFor(folder)))
		return;
	if (plan) {
		output.Line("note", (folder + " holds the journal of an interrupted installation: the "
		                              "installation undoes it first")
		                            .c_str());
		return;
	}
	InstallLock lock;
	pid_t holder = 0;
	// A folder another run holds is that run's to finish; the run says so.
	if (lock.Acquire(folder, holder) != B_OK)
		return;
	std::vector<std::string> problems;
	std::vector<std::string> kept;
	if (!InstallJournal::Recover(folder, problems, &lock, &kept))
		return;
	if (problems.empty() && kept.empty())
		output.Line("note", InstallFormat(1024 + B_PATH_NAME_LENGTH, 1051, folder.c_str()).c_str());
	for (const std::string& problem : problems)
		output.Line("error", problem.c_str());
	for (const std::string& entry : kept)
		output.Line("kept", entry.c_str());
}

// The questions the run will ask, found before it changes anything: without
// answers for them the run stops here, having changed nothing.
bool AnswersKnown(InstallConfig& config, UnattendedOutput& output, const bool& planOnly)
{
	const InstallPlan plan(config);
	if (plan.Questions().empty())
		return true;
	for (const InstallPlan::Question& question : plan.Questions())
		output.Line("collision", (question.path + " is in the way of the " +
		                          (question.link ? "link to " : "item ") + question.item +
		                          ", and the product asks what to do")
		                                 .c_str());
	output.Detail("answer",
	              "none given: the installation stops before changing anything (use --answers "
	              "or --yes)");
	output.Line("error", InstallText(1027).String());
	output.Line("result", planOnly ? PlanOutcome(UNATTENDED_UNANSWERED).c_str()
	                               : OutcomeText(UNATTENDED_UNANSWERED));
	return false;
}

void Restart(UnattendedOutput& output)
{
	const status_t status = LibShutdown(true);
	if (status == B_OK)
		output.Line("restart", "requested");
	else if (status == B_NOT_ALLOWED)
		output.Line("restart", "not done: restarting is allowed only for a shutdown tool inside "
		                       "VANTRY_ROOT or with VANTRY_ALLOW_SHUTDOWN=1");
	else
		output.Line("restart", "not done: the shutdown tool could not be started");
}

// Starts the run on the install thread and waits for its end.
int Install(InstallConfig& config, UnattendedPresenter& presenter, UnattendedOutput& output)
{
	StopOnSignal stopper(output);
	StatusPrinter* printer = new StatusPrinter(output);
	printer->StartProgress(config.GetSelectedSize());
	printer->Run();
	presenter.SetBeforeAlert([printer] { printer->Flush(); });

	int code = UNATTENDED_STOPPED;
	stopper.Watch(-1);
	if (config.Go("install", new BMessenger(printer), B_NORMAL_PRIORITY, false) == B_OK) {
		stopper.Watch(config.Thread());
		status_t exitValue = B_OK;
		wait_for_thread(config.Thread(), &exitValue);
		int32 status = 0;
		if (presenter.Unanswered())
			code = UNATTENDED_UNANSWERED;
		else if (!stopper.Stopped() && printer->WaitForEnd(kEndMessageWait, status))
			code = ExitCodeOf(status, printer->Statuses());
		else if (CompletionCode(*printer) >= 0)
			code = CompletionCode(*printer);
	}
	// Decided: a signal from now on ends the program with this outcome.
	StopSignals::Settle(code);
	printer->Flush();
	presenter.SetBeforeAlert(nullptr);
	if (printer->Lock())
		printer->Quit();
	if (code == UNATTENDED_STOPPED || code == UNATTENDED_UNANSWERED)
		LibError("%s", InstallText(1027).String());
	else if (code == UNATTENDED_COMPLETED && config.restart_requested)
		Restart(output);
	return code;
}

} // namespace

int RunInstallThread(InstallConfig& config, UnattendedPresenter& presenter,
                     UnattendedOutput& output)
{
	return Install(config, presenter, output);
}

const char* UnattendedOutcome(const int& code)
{
	return OutcomeText(code);
}

namespace {

// The run, or its plan, from the options to the last line of the transcript.
int RunOrPlan(const UnattendedOptions& options, UnattendedOutput& output, PlannedRun& run)
{
	std::unique_ptr<UnattendedPresenter> asker(
	        options.answersOnStdin ? new StdinPresenter(output, options.yes, stdin,
	                                                    [] { kill(getpid(), SIGTERM); })
	                               : new UnattendedPresenter(output, options.yes));
	UnattendedPresenter& presenter = *asker;
	AlertPresenterScope scope(&presenter);

	AnswerFile answers;
	if (!options.answers.empty() && answers.SetTo(options.answers.c_str()) != B_OK)
		return Fail(output, UNATTENDED_USAGE, answers.ErrorText());
	presenter.AddAnswers(answers);
	if (!options.language.empty()) {
		if (oLocalize::LanguageRow(options.language.c_str()) < 0)
			return Fail(output, UNATTENDED_USAGE,
			            "no language has the code \"" + options.language +
			                    "\": use en, fr, es, de, it, no, sv, da or nl");
		InstallSetLanguage(options.language.c_str());
	}

	std::unique_ptr<InstallConfig> config(new InstallConfig);
	{
		LibAppResource store(B_READ_ONLY);
		if (!LoadConfiguration(*config, store))
			return UNATTENDED_DAMAGED;
	}
	DescribeRun(*config, run);
	if (!AgreeToLicence(*config, answers, options.acceptLicence, output))
		return UNATTENDED_LICENCE_DECLINED;
	std::string error;
	std::string missing;
	if (!ChooseItems(*config, options, error) ||
	    !ChooseDestination(*config, options, error, &missing))
		return Fail(output, UNATTENDED_USAGE, error);
	// Now with its folder, and the installation found there.
	DescribeRun(*config, run);
	if (!missing.empty()) {
		output.Line("error", (std::string(InstallText(1040).String()) + "\n" + missing).c_str());
		output.Line("result", OutcomeText(UNATTENDED_FOLDER_ERROR));
		return UNATTENDED_FOLDER_ERROR;
	}
	// What is found in the folder is what was there before a killed run.
	UndoInterruptedRun(*config, output, options.plan);
	PrintPlan(*config, output);
	// A run with a person behind its input asks, as the window does.
	if (!options.answersOnStdin && !AcceptPublisher(*config, options.allowNewPublisher, output))
		return UNATTENDED_PAYLOAD_DAMAGED;
	if (!ChooseEarlierAction(*config, options, output))
		return UNATTENDED_DOWNGRADE_REFUSED;
	if (!presenter.CanSettle(ANSWER_COLLISION) && !AnswersKnown(*config, output, options.plan))
		return UNATTENDED_UNANSWERED;

	if (options.plan) {
		const int code = PlanInstallation(*config, presenter, output, run);
		output.Line("result", PlanOutcome(code).c_str());
		return code;
	}
	const int code = Install(*config, presenter, output);
	PrintEarlierReport(*config, output);
	for (const std::string& failure : config->Failures().Lines())
		output.Line("failed", failure.c_str());
	output.Line("result", OutcomeText(code));
	return code;
}

// The last JSON line of a run: what a fleet tool keeps of it.
std::string RunSummary(const PlannedRun& run, const int& code)
{
	JsonWriter json;
	json.BeginObject().Field("schema", kJsonSchema).Field("event", "outcome");
	json.Field("exit_code", code).Field("result", OutcomeText(code));
	json.Field("changed",
	           code == UNATTENDED_COMPLETED || code == UNATTENDED_COMPLETED_WITH_FAILURES);
	WriteRunFields(json, run);
	json.EndObject();
	return json.Text();
}

} // namespace

int RunUnattended(const UnattendedOptions& options, FILE* out)
{
	UnattendedOutput output(out);
	if (options.json)
		output.SetFormat(options.plan ? UnattendedOutput::kCollect : UnattendedOutput::kJsonLines);
	PlannedRun run;
	const int code = RunOrPlan(options, output, run);
	if (options.json && options.plan)
		output.Document(PlanDocument(run, output, code, PlanOutcome(code).c_str()));
	else if (options.json)
		output.Document(RunSummary(run, code));
	return code;
}
