// StdinPresenter: an unattended run whose questions the answers leave open
// are put to the program that started it: each as a JSON "question" line on
// the output, answered by one line on standard input (the button's index,
// then the check boxes' values). The window's install for all users runs so.
// The input is read as it comes: a line "stop" calls `on_stop`, since the
// program that started the run may not be allowed to signal it; after it, or
// after the input's end, a question goes unanswered and stops the run.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>

#include "UnattendedPresenter.h"

class StdinPresenter : public UnattendedPresenter {
public:
	StdinPresenter(UnattendedOutput& output, const bool& yes, FILE* input,
	               std::function<void()> on_stop = nullptr);

	// The JSON line that asks `alert`; `kind` as UnattendedPresenter::Classify.
	static std::string QuestionLine(const int32& kind, const BAlert& alert);

protected:
	bool CanAskPerson() const override { return true; }
	int32 AskPerson(const int32& kind, BAlert& alert) override;
	// A message waits for its box to be closed, as in the window.
	void Acknowledge(BAlert& alert) override;

private:
	// Prints the question and reads its answer line; false at the input's end.
	bool Ask(const int32& kind, BAlert& alert, std::string& answer);

	struct Input;

	UnattendedOutput& fOut;
	// Shared with the thread that reads it, which may outlive the presenter.
	std::shared_ptr<Input> fInput;
};
