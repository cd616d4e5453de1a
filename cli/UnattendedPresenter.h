// UnattendedPresenter: how an unattended installation answers the questions
// of the run: from the answer file (one scripted responder per kind of
// question), else with the question's default under --yes; a question left
// without an answer stops the run. Every question and answer is printed.
#pragma once

#include <functional>
#include <string>

#include "AlertPresenter.h"
#include "AlertResponder.h"
#include "AnswerFile.h"

class UnattendedOutput;

// The kinds of alert the run shows besides the answerable questions.
enum { ALERT_MESSAGE = ANSWER_KIND_COUNT, ALERT_OTHER };

class UnattendedPresenter : public AlertPresenter {
public:
	UnattendedPresenter(UnattendedOutput& output, const bool& yes);

	// Feeds the scripted responders; the licence is not asked by an alert.
	void AddAnswers(const AnswerFile& answers);
	// What the transcript calls the run that stops ("installation", "removal").
	void SetRunName(const char* name) { fRunName = name != nullptr ? name : "installation"; }
	// The answer --yes gives to `kind` instead of DefaultAnswer's.
	void SetDefaultAnswer(const int32& kind, const int32& button);
	// Called before an alert is printed, so earlier status lines come first.
	void SetBeforeAlert(std::function<void()> hook) { fBeforeAlert = std::move(hook); }

	int32 Present(BAlert& alert) override;

	// Whether a question of `kind` can be answered: --yes, or answers of
	// that kind in the answer file.
	bool CanSettle(const int32& kind) const;
	// A question found no answer and the run was asked to stop.
	bool Unanswered() const { return fUnanswered; }
	// Which question an alert asks, from its title and button labels.
	static int32 Classify(const BAlert& alert);
	// The answer under --yes: replace, continue when offered, run, restart later.
	static int32 DefaultAnswer(const int32& kind, const BAlert& alert);

protected:
	// Whether AskPerson can answer: the run then goes on without answers.
	virtual bool CanAskPerson() const { return false; }
	// A person's answer to a question the answers left open: the button, or
	// -1 when nobody is there to answer.
	virtual int32 AskPerson(const int32& kind, BAlert& alert) { return -1; }
	// Called once a message was printed, for a person to read it.
	virtual void Acknowledge(BAlert& alert) {}

private:
	int32 PrintMessage(BAlert& alert);
	void PrintQuestion(const int32& kind, BAlert& alert);
	void PrintAnswer(BAlert& alert, const int32& button, const char* how);

	UnattendedOutput& fOutput;
	bool fYes;
	bool fUnanswered;
	AlertResponder fResponders[ANSWER_KIND_COUNT];
	int32 fDefaults[ANSWER_KIND_COUNT];
	std::string fRunName = "installation";
	std::function<void()> fBeforeAlert;
};
