// AlertResponder: scripted answers matched by text, with a record of each alert.
#include "AlertResponder.h"

#include <chrono>

#include "Alert.h"

AlertResponder::AlertResponder() {}

AlertResponder::~AlertResponder() {}

void AlertResponder::AddAnswer(int32 button, const char* match,
                               const std::vector<int32>& controlValues)
{
	std::lock_guard<std::mutex> guard(fLock);
	fAnswers.push_back(Answer{button, match != nullptr ? match : "", controlValues});
}

int32 AlertResponder::Present(BAlert& alert)
{
	Record record;
	record.title = alert.Title();
	record.text = alert.Text();
	record.type = alert.Type();
	for (int32 i = 0; i < alert.CountButtons(); i++) {
		record.buttons.push_back(alert.ButtonAt(i)->Label());
		record.shortcuts.push_back(alert.Shortcut(i));
	}
	for (int32 i = 0; i < alert.CountControls(); i++)
		record.controls.push_back(alert.ControlAt(i)->label);

	Answer answer{alert.DefaultButton(), "", {}};
	if (StopRequested()) {
		record.dismissed = true;
		answer.button = B_ALERT_DISMISSED;
	} else if (!TakeAnswer(record.text, answer)) {
		record.defaulted = true;
	}
	for (size_t i = 0; i < answer.controlValues.size(); i++)
		alert.SetControlValue(int32(i), answer.controlValues[i]);
	for (int32 i = 0; i < alert.CountControls(); i++)
		record.controlValues.push_back(alert.ControlAt(i)->value);
	record.answer = answer.button;

	std::lock_guard<std::mutex> guard(fLock);
	fRecords.push_back(record);
	fSeen.notify_all();
	return answer.button;
}

std::vector<AlertResponder::Record> AlertResponder::Records() const
{
	std::lock_guard<std::mutex> guard(fLock);
	return fRecords;
}

int32 AlertResponder::CountRecords() const
{
	std::lock_guard<std::mutex> guard(fLock);
	return int32(fRecords.size());
}

int32 AlertResponder::CountPendingAnswers() const
{
	std::lock_guard<std::mutex> guard(fLock);
	return int32(fAnswers.size());
}

bool AlertResponder::WaitForRecords(int32 count, bigtime_t timeout) const
{
	std::unique_lock<std::mutex> guard(fLock);
	return fSeen.wait_for(guard, std::chrono::microseconds(timeout),
	                      [&] { return int32(fRecords.size()) >= count; });
}

void AlertResponder::Reset()
{
	std::lock_guard<std::mutex> guard(fLock);
	fAnswers.clear();
	fRecords.clear();
}

bool AlertResponder::TakeAnswer(const std::string& text, Answer& answer)
{
	std::lock_guard<std::mutex> guard(fLock);
	for (auto it = fAnswers.begin(); it != fAnswers.end(); ++it) {
		if (!it->match.empty() && text.find(it->match) == std::string::npos)
			continue;
		answer = *it;
		fAnswers.erase(it);
		return true;
	}
	return false;
}
