// Alerts answered by the person at the terminal.
#include "TerminalPresenter.h"

#include <string>

#include "Alert.h"
#include "TerminalInput.h"

TerminalPresenter::TerminalPresenter(UnattendedOutput& output, TerminalInput& input)
    : UnattendedPresenter(output, false), fInput(input)
{
}

int32 TerminalPresenter::AskPerson(const int32& kind, BAlert& alert)
{
	for (int32 i = 0; i < alert.CountButtons(); i++)
		fprintf(fInput.Out(), "  %d) %s\n", int(i + 1), alert.ButtonAt(i)->Label());
	const int choice = fInput.Choose("", int(alert.CountButtons()), int(alert.DefaultButton()));
	if (choice < 0)
		return -1;
	for (int32 i = 0; i < alert.CountControls(); i++) {
		bool on = alert.ControlAt(i)->value != 0;
		if (!fInput.Confirm(alert.ControlAt(i)->label + "?", on, on))
			return -1;
		alert.SetControlValue(i, on ? 1 : 0);
	}
	return choice;
}
