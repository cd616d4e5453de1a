// AlertResponder: answers alerts from a script, for tests and unattended
// runs, and remembers every alert it was shown.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "AlertPresenter.h"

class AlertResponder : public AlertPresenter {
public:
	// What one alert looked like and how it was answered.
	struct Record {
		std::string title;
		std::string text;
		int32 type = 0;
		std::vector<std::string> buttons;
		std::vector<char> shortcuts; // one per button, 0 for none
		std::vector<std::string> controls;
		std::vector<int32> controlValues; // as answered
		int32 answer = 0;
		bool defaulted = false; // no scripted answer matched
		bool dismissed = false; // a stop request ended it
	};

	AlertResponder();
	~AlertResponder() override;

	// Queues an answer: the button to press and the values to give the
	// alert's extra controls, in order. With `match`, the answer is kept for
	// the first alert whose text contains it; answers are used once, in order.
	void AddAnswer(int32 button, const char* match = nullptr,
	               const std::vector<int32>& controlValues = {});

	int32 Present(BAlert& alert) override;

	std::vector<Record> Records() const;
	int32 CountRecords() const;
	int32 CountPendingAnswers() const;
	// Waits until at least `count` alerts were seen; false on timeout (microseconds).
	bool WaitForRecords(int32 count, bigtime_t timeout) const;
	void Reset();

private:
	struct Answer {
		int32 button;
		std::string match;
		std::vector<int32> controlValues;
	};

	bool TakeAnswer(const std::string& text, Answer& answer);

	mutable std::mutex fLock;
	mutable std::condition_variable fSeen;
	std::deque<Answer> fAnswers;
	std::vector<Record> fRecords;
};
