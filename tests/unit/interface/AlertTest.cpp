// Alerts through the presenter seam: scripted answers, the text fallback,
// extra controls and dismissal by a stop request.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "Alert.h"
#include "AlertResponder.h"
#include "OS.h"
#include "TextAlertPresenter.h"

namespace {

int32 AskThreeWay(const char* text)
{
	return (new BAlert("Question", text, "Cancel", "Skip", "Replace"))->Go();
}

} // namespace

TEST(AlertTest, Responder_AnswersInOrderAndByMatchingText)
{
	struct Step {
		const char* text;
		int32 expected;
		bool defaulted;
	};
	AlertResponder responder;
	AlertPresenterScope scope(&responder);
	// The "disk" answer waits for its text even though it was queued first.
	responder.AddAnswer(1, "disk");
	responder.AddAnswer(0);
	responder.AddAnswer(7); // no such button: the default is pressed
	const std::vector<Step> steps = {
	        {"Replace the file?", 0, false},
	        {"Not enough disk space.", 1, false},
	        {"Replace another?", 2, false},
	        {"Nothing queued any more", 2, true},
	};
	for (const Step& step : steps)
		EXPECT_EQ(AskThreeWay(step.text), step.expected) << step.text;

	std::vector<AlertResponder::Record> records = responder.Records();
	ASSERT_EQ(records.size(), steps.size());
	for (size_t i = 0; i < steps.size(); i++) {
		EXPECT_EQ(records[i].text, steps[i].text);
		EXPECT_EQ(records[i].defaulted, steps[i].defaulted) << steps[i].text;
	}
	EXPECT_EQ(records[0].title, "Question");
	EXPECT_EQ(records[0].buttons, (std::vector<std::string>{"Cancel", "Skip", "Replace"}));
	EXPECT_EQ(responder.CountPendingAnswers(), 0);
}

TEST(AlertTest, Buttons_MissingLabelsLeaveNoGapAndDefaultIsLast)
{
	struct Case {
		const char* b0;
		const char* b1;
		const char* b2;
		std::vector<std::string> labels;
	};
	const std::vector<Case> cases = {
	        {"OK", nullptr, nullptr, {"OK"}},
	        {"No", "Yes", nullptr, {"No", "Yes"}},
	        {"A", nullptr, "C", {"A", "C"}},
	        {"A", "B", "C", {"A", "B", "C"}},
	};
	for (const Case& c : cases) {
		BAlert alert("", "text", c.b0, c.b1, c.b2);
		ASSERT_EQ(alert.CountButtons(), int32(c.labels.size()));
		for (size_t i = 0; i < c.labels.size(); i++)
			EXPECT_EQ(c.labels[i], alert.ButtonAt(int32(i))->Label());
		EXPECT_EQ(alert.DefaultButton(), int32(c.labels.size()) - 1);
		EXPECT_EQ(alert.ButtonAt(int32(c.labels.size())), nullptr);
		EXPECT_EQ(alert.ButtonAt(-1), nullptr);
	}
}

TEST(AlertTest, Properties_ShortcutTypeSpacingAndTextAreKept)
{
	BAlert alert("T", "first", "OK", nullptr, nullptr, B_WIDTH_FROM_WIDEST, B_OFFSET_SPACING,
	             B_STOP_ALERT);
	alert.SetShortcut(0, 'O');
	alert.SetShortcut(3, 'X'); // no such button: ignored
	alert.TextView()->SetText("second");
	alert.ButtonAt(0)->SetLabel("Fine");
	EXPECT_EQ(alert.Shortcut(0), 'O');
	EXPECT_EQ(alert.Shortcut(3), 0);
	EXPECT_EQ(alert.Type(), B_STOP_ALERT);
	EXPECT_EQ(alert.Spacing(), B_OFFSET_SPACING);
	EXPECT_EQ(alert.ButtonWidth(), B_WIDTH_FROM_WIDEST);
	EXPECT_STREQ(alert.Text(), "second");
	EXPECT_STREQ(alert.ButtonAt(0)->Label(), "Fine");

	BAlert sevenArguments("", "x", "OK", nullptr, nullptr, B_WIDTH_AS_USUAL, B_WARNING_ALERT);
	EXPECT_EQ(sevenArguments.Type(), B_WARNING_ALERT);
	EXPECT_EQ(sevenArguments.Spacing(), B_EVEN_SPACING);
}

TEST(AlertTest, CheckBoxes_AnsweredValuesReachTheCaller)
{
	AlertResponder responder;
	AlertPresenterScope scope(&responder);
	responder.AddAnswer(1, nullptr, {1, 0});
	bool applyToAll = false;
	bool keepBoth = true;
	BAlert* alert = new BAlert("", "Replace?", "Skip", "Replace");
	EXPECT_EQ(alert->AddCheckBox("Apply to all", &applyToAll), 0);
	EXPECT_EQ(alert->AddCheckBox("Keep both", &keepBoth), 1);
	EXPECT_EQ(alert->Go(), 1);
	EXPECT_TRUE(applyToAll);
	EXPECT_FALSE(keepBoth);
	std::vector<AlertResponder::Record> records = responder.Records();
	ASSERT_EQ(records.size(), 1u);
	EXPECT_EQ(records[0].controls, (std::vector<std::string>{"Apply to all", "Keep both"}));
	EXPECT_EQ(records[0].controlValues, (std::vector<int32>{1, 0}));
}

TEST(AlertTest, CheckBoxes_UnansweredKeepTheirFirstValue)
{
	AlertResponder responder;
	AlertPresenterScope scope(&responder);
	bool value = true;
	BAlert* alert = new BAlert("", "Question", "OK");
	alert->AddCheckBox("Remember", &value);
	EXPECT_EQ(alert->Go(), 0);
	EXPECT_TRUE(value);
}

TEST(AlertTest, Fallback_WritesTextAndButtonsAndAnswersDefault)
{
	AlertPresenterScope scope(nullptr);
	std::string longText(5000, 'x');
	longText += "END";
	testing::internal::CaptureStderr();
	int32 answer = (new BAlert("Title", longText.c_str(), "Stop", "Go on"))->Go();
	std::string output = testing::internal::GetCapturedStderr();
	EXPECT_EQ(answer, 1);
	EXPECT_NE(output.find("Title"), std::string::npos);
	EXPECT_NE(output.find(longText), std::string::npos) << "text must be shown whole";
	EXPECT_NE(output.find("[Stop] [Go on]"), std::string::npos);
	EXPECT_NE(output.find("Answered: Go on"), std::string::npos);
}

namespace {

struct StopCase {
	AlertPresenter* presenter;
	int32 answer = 0;
	std::atomic<bool> started{false};
	std::atomic<bool> stopRequested{false};
};

int32 AskAfterStop(void* data)
{
	StopCase* c = static_cast<StopCase*>(data);
	c->started = true;
	while (!c->stopRequested)
		std::this_thread::sleep_for(std::chrono::milliseconds(1));
	AlertPresenterScope scope(c->presenter);
	c->answer = (new BAlert("", "Waiting", "No", "Yes"))->Go();
	return 0;
}

} // namespace

TEST(AlertTest, StopRequest_DismissesTheAlert)
{
	AlertResponder responder;
	responder.AddAnswer(1);
	TextAlertPresenter text(tmpfile());
	for (AlertPresenter* presenter : std::vector<AlertPresenter*>{&responder, &text}) {
		StopCase c;
		c.presenter = presenter;
		thread_id thread = spawn_thread(AskAfterStop, "asker", B_NORMAL_PRIORITY, &c);
		ASSERT_GT(thread, 0);
		resume_thread(thread);
		while (!c.started)
			std::this_thread::sleep_for(std::chrono::milliseconds(1));
		kill_thread(thread);
		c.stopRequested = true;
		status_t exitValue = 0;
		wait_for_thread(thread, &exitValue);
		EXPECT_EQ(c.answer, B_ALERT_DISMISSED);
	}
	std::vector<AlertResponder::Record> records = responder.Records();
	ASSERT_EQ(records.size(), 1u);
	EXPECT_TRUE(records[0].dismissed);
	EXPECT_EQ(responder.CountPendingAnswers(), 1) << "a dismissed alert uses no answer";
}

TEST(AlertTest, AsyncGo_ReturnsAtOnceAndIsAnsweredLater)
{
	AlertResponder responder;
	AlertPresenterScope scope(&responder);
	BAlert* alert = new BAlert("", "Done.", "Open", "OK");
	responder.AddAnswer(0, "Done");
	EXPECT_EQ(alert->Go(nullptr), B_OK);
	ASSERT_TRUE(responder.WaitForRecords(1, 5000000));
	EXPECT_EQ(responder.Records()[0].answer, 0);
}
