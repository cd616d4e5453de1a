// TerminalPresenter: the questions of the run put to the person at the
// terminal: the alert's text, its buttons numbered, its check boxes asked.
#pragma once

#include "UnattendedPresenter.h"

class TerminalInput;

class TerminalPresenter : public UnattendedPresenter {
public:
	TerminalPresenter(UnattendedOutput& output, TerminalInput& input);

protected:
	int32 AskPerson(const int32& kind, BAlert& alert) override;

private:
	TerminalInput& fInput;
};
