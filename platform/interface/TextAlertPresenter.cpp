// TextAlertPresenter: alerts as text lines for runs without a display.
#include "TextAlertPresenter.h"

#include "Alert.h"

TextAlertPresenter::TextAlertPresenter(FILE* stream) : fStream(stream != nullptr ? stream : stderr)
{
}

int32 TextAlertPresenter::Present(BAlert& alert)
{
	fprintf(fStream, "Alert%s%s: %s\n", alert.Title()[0] != '\0' ? " " : "", alert.Title(),
	        alert.Text());
	for (int32 i = 0; i < alert.CountControls(); i++) {
		const BAlert::Control* control = alert.ControlAt(i);
		fprintf(fStream, "  [%c] %s\n", control->value != 0 ? 'x' : ' ', control->label.c_str());
	}
	fprintf(fStream, "  Buttons:");
	for (int32 i = 0; i < alert.CountButtons(); i++)
		fprintf(fStream, " [%s]", alert.ButtonAt(i)->Label());
	if (StopRequested()) {
		fprintf(fStream, "\n  Dismissed: the thread was asked to stop\n");
		return B_ALERT_DISMISSED;
	}
	int32 answer = alert.DefaultButton();
	if (answer >= 0)
		fprintf(fStream, "\n  Answered: %s\n", alert.ButtonAt(answer)->Label());
	else
		fprintf(fStream, "\n");
	fflush(fStream);
	return answer;
}
