// Questions of an unattended run answered from the answer file or by default.
#include "UnattendedPresenter.h"

#include <cstring>
#include <string>

#include "Alert.h"
#include "CollisionQuestion.h"
#include "EngineQuestion.h"
#include "InstallTexts.h"
#include "OS.h"
#include "UnattendedOutput.h"

namespace {

const char* KindLabel(const int32& kind)
{
	if (kind < ANSWER_KIND_COUNT)
		return AnswerFile::KindName(answer_kind(kind));
	return "question";
}

} // namespace

UnattendedPresenter::UnattendedPresenter(UnattendedOutput& output, const bool& yes)
    : fOutput(output), fYes(yes), fUnanswered(false)
{
	for (int32& button : fDefaults)
		button = -1;
}

void UnattendedPresenter::SetDefaultAnswer(const int32& kind, const int32& button)
{
	if (kind >= 0 && kind < ANSWER_KIND_COUNT)
		fDefaults[kind] = button;
}

void UnattendedPresenter::AddAnswers(const AnswerFile& answers)
{
	for (const Answer& answer : answers.Answers()) {
		if (answer.kind == ANSWER_LICENCE)
			continue;
		std::vector<int32> controls;
		if (answer.kind == ANSWER_COLLISION)
			controls.push_back(answer.all ? 1 : 0);
		fResponders[answer.kind].AddAnswer(
		        answer.button, answer.match.empty() ? nullptr : answer.match.c_str(), controls);
	}
}

bool UnattendedPresenter::CanSettle(const int32& kind) const
{
	return fYes || CanAskPerson() ||
	       (kind >= 0 && kind < ANSWER_KIND_COUNT && fResponders[kind].CountPendingAnswers() > 0);
}

int32 UnattendedPresenter::Classify(const BAlert& alert)
{
	// The engine names its questions; the collision box is asked through
	// its own asker (the deinstaller shows the same box).
	if (CollisionBeingAsked() != nullptr || strcmp(alert.Title(), "ReplaceAlert") == 0)
		return ANSWER_COLLISION;
	switch (AskedQuestion()) {
		case QUESTION_REQUIREMENT: return ANSWER_REQUIREMENT;
		case QUESTION_LAUNCH: return ANSWER_LAUNCH;
		case QUESTION_RESTART: return ANSWER_RESTART;
		case QUESTION_PUBLISHER: return ALERT_OTHER;
		case QUESTION_NONE: break;
	}
	return alert.CountButtons() == 1 ? ALERT_MESSAGE : ALERT_OTHER;
}

int32 UnattendedPresenter::DefaultAnswer(const int32& kind, const BAlert& alert)
{
	switch (kind) {
		case ANSWER_COLLISION:
		case ANSWER_LAUNCH: return 1;
		// A machine installed without a person at it is never restarted unasked.
		case ANSWER_RESTART: return 0;
		default: return alert.DefaultButton();
	}
}

int32 UnattendedPresenter::Present(BAlert& alert)
{
	if (fBeforeAlert)
		fBeforeAlert();
	const int32 kind = Classify(alert);
	if (kind == ALERT_MESSAGE)
		return PrintMessage(alert);
	PrintQuestion(kind, alert);
	if (StopRequested()) {
		fOutput.Detail("answer", ("none: the " + fRunName + " is stopping").c_str());
		return B_ALERT_DISMISSED;
	}
	if (kind < ANSWER_KIND_COUNT) {
		AlertResponder& responder = fResponders[kind];
		const int32 button = responder.Present(alert);
		const AlertResponder::Record record = responder.Records().back();
		if (!record.defaulted && !record.dismissed && button >= 0 &&
		    button < alert.CountButtons()) {
			PrintAnswer(alert, button, "from the answers");
			return button;
		}
		if (!record.defaulted && button >= alert.CountButtons()) {
			// "continue" for a required library: Abort is the only answer.
			PrintAnswer(alert, alert.DefaultButton(), "the only one offered");
			return alert.DefaultButton();
		}
	}
	const int32 typed = AskPerson(kind, alert);
	if (typed >= 0 && typed < alert.CountButtons()) {
		PrintAnswer(alert, typed, "typed");
		return typed;
	}
	if (StopRequested())
		return B_ALERT_DISMISSED;
	if (fYes) {
		const bool own = kind < ANSWER_KIND_COUNT && fDefaults[kind] >= 0;
		const int32 button = own ? fDefaults[kind] : DefaultAnswer(kind, alert);
		PrintAnswer(alert, button, "by default (--yes)");
		return button;
	}
	fOutput.Detail("answer",
	               ("none given: the " + fRunName + " stops (use --answers or --yes)").c_str());
	fUnanswered = true;
	kill_thread(find_thread(nullptr));
	return B_ALERT_DISMISSED;
}

int32 UnattendedPresenter::PrintMessage(BAlert& alert)
{
	const char* label = alert.Type() == B_STOP_ALERT      ? "error"
	                    : alert.Type() == B_WARNING_ALERT ? "warning"
	                                                      : "message";
	fOutput.Line(label, alert.Text());
	Acknowledge(alert);
	return StopRequested() ? B_ALERT_DISMISSED : 0;
}

void UnattendedPresenter::PrintQuestion(const int32& kind, BAlert& alert)
{
	fOutput.Line(KindLabel(kind), alert.Text());
	std::string buttons;
	for (int32 i = 0; i < alert.CountButtons(); i++) {
		buttons += i > 0 ? " | " : "";
		buttons += alert.ButtonAt(i)->Label();
	}
	fOutput.Detail("buttons", buttons.c_str());
	for (int32 i = 0; i < alert.CountControls(); i++)
		fOutput.Detail("check box", alert.ControlAt(i)->label.c_str());
}

void UnattendedPresenter::PrintAnswer(BAlert& alert, const int32& button, const char* how)
{
	std::string text = alert.ButtonAt(button) != nullptr ? alert.ButtonAt(button)->Label() : "";
	for (int32 i = 0; i < alert.CountControls(); i++) {
		if (alert.ControlAt(i)->value != 0)
			text += ", " + alert.ControlAt(i)->label;
	}
	text += std::string(" (") + how + ")";
	fOutput.Detail("answer", text.c_str());
}
