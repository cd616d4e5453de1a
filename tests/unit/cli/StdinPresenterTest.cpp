// Questions passed to the program that started the run as JSON lines, and
// their answers read back from its input: the window's install for all users.
#include "StdinPresenter.h"
#include "MemoryStream.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

#include "Alert.h"
#include "AnswerFile.h"
#include "EngineQuestion.h"
#include "JsonLine.h"
#include "LibThread.h"
#include "OS.h"
#include "UnattendedOutput.h"

namespace {

FILE* InputHolding(const std::string& text)
{
	FILE* file = tmpfile();
	fputs(text.c_str(), file);
	rewind(file);
	return file;
}

// A presenter whose input holds `input` and whose JSON lines are kept.
class StdinWorld {
public:
	explicit StdinWorld(const std::string& input, const char* answers = "")
	    : fIn(InputHolding(input)), fOutput(fOut.File()), fPresenter(fOutput, false, fIn)
	{
		fOutput.SetFormat(UnattendedOutput::kJsonLines);
		AnswerFile file;
		EXPECT_EQ(file.SetTo(answers, "answers"), B_OK);
		fPresenter.AddAnswers(file);
	}
	~StdinWorld() { fclose(fIn); }

	int32 Ask(BAlert& alert, const engine_question& kind = QUESTION_NONE)
	{
		QuestionScope scope(kind);
		return fPresenter.Present(alert);
	}
	UnattendedPresenter& Presenter() { return fPresenter; }
	// The "question" lines printed, read back.
	std::vector<JsonLine> Questions()
	{
		std::vector<JsonLine> questions;
		const std::string text = fOut.Text();
		size_t end = 0;
		for (size_t start = 0; (end = text.find('\n', start)) != std::string::npos;
		     start = end + 1) {
			JsonLine line;
			EXPECT_TRUE(line.SetTo(text.substr(start, end - start))) << text;
			if (line.String("event") == "question")
				questions.push_back(line);
		}
		return questions;
	}

private:
	FILE* fIn;
	MemoryStream fOut;
	UnattendedOutput fOutput;
	StdinPresenter fPresenter;
};

BAlert* NewCollision(bool* all)
{
	BAlert* alert = new BAlert("ReplaceAlert", "The file 'a' already exists.", "Don't Replace",
	                           "Replace", nullptr, B_WIDTH_FROM_WIDEST, B_WARNING_ALERT);
	alert->AddCheckBox("Apply to all future collisions", all);
	return alert;
}

TEST(StdinPresenterTest, AsksWhatTheAnswersLeaveOpenAndReadsTheButtonAndCheckBox)
{
	struct Case {
		const char* input;
		const char* answers;
		int32 button;
		int32 checkBox;
		size_t asked;
	};
	const Case cases[] = {
	        {"1 1\n", "", 1, 1, 1},
	        {"0\n", "", 0, 0, 1},
	        {"1 0\n", "", 1, 0, 1},
	        // The answer file settles it: nothing is asked or read.
	        {"", "collision replace\n", 1, 0, 0},
	};
	for (const Case& test : cases) {
		StdinWorld world(test.input, test.answers);
		bool all = false;
		std::unique_ptr<BAlert> alert(NewCollision(&all));
		EXPECT_EQ(world.Ask(*alert), test.button) << test.input;
		EXPECT_EQ(alert->ControlAt(0)->value, test.checkBox) << test.input;
		const std::vector<JsonLine> questions = world.Questions();
		ASSERT_EQ(questions.size(), test.asked) << test.input;
		EXPECT_FALSE(world.Presenter().Unanswered());
		if (test.asked == 0)
			continue;
		EXPECT_EQ(questions[0].String("kind"), "collision");
		EXPECT_EQ(questions[0].String("type"), "warning");
		EXPECT_EQ(questions[0].String("text"), "The file 'a' already exists.");
		EXPECT_EQ(questions[0].Strings("buttons"),
		          (std::vector<std::string>{"Don't Replace", "Replace"}));
		EXPECT_EQ(questions[0].Strings("check_boxes"),
		          (std::vector<std::string>{"Apply to all future collisions"}));
	}
}

TEST(StdinPresenterTest, AMessageWaitsForItsBoxToBeClosed)
{
	StdinWorld world("0\n");
	BAlert done("", "Installation successfully completed.", "OK", nullptr, nullptr,
	            B_WIDTH_AS_USUAL, B_STOP_ALERT);
	EXPECT_EQ(world.Ask(done), 0);
	const std::vector<JsonLine> questions = world.Questions();
	ASSERT_EQ(questions.size(), 1u);
	EXPECT_EQ(questions[0].String("kind"), "message");
	EXPECT_EQ(questions[0].String("type"), "stop");
	EXPECT_EQ(questions[0].Strings("buttons"), std::vector<std::string>{"OK"});
}

// A root run starts nothing: the program starts as the user who chose it.
TEST(StdinPresenterTest, TheLaunchQuestionIsAnsweredLaterWithoutAsking)
{
	StdinWorld world("1\n");
	BAlert launch("", "Do you wish to run 'x' now?", "Later", "Run");
	EXPECT_EQ(world.Ask(launch, QUESTION_LAUNCH), 0);
	EXPECT_TRUE(world.Questions().empty());
}

// A box of no known kind (another publisher's installation) is asked once:
// the transcript's line of the same event carries no buttons.
TEST(StdinPresenterTest, AnUnknownBoxIsAskedByTheOneLineWithButtons)
{
	StdinWorld world("1\n");
	BAlert publisher("", "The new installer was made by a different publisher", "Cancel",
	                 "Install");
	EXPECT_EQ(world.Ask(publisher, QUESTION_PUBLISHER), 1);
	int asking = 0;
	for (const JsonLine& line : world.Questions())
		asking += line.Has("buttons") ? 1 : 0;
	EXPECT_EQ(asking, 1);
}

// The run's thread asking one question.
class AskingThread : public LibThread {
public:
	explicit AskingThread(StdinWorld& world) : fWorld(world) {}
	~AskingThread() override { StopThread(); }

	int32 Action() override
	{
		BAlert question("", "Restart to finish 'x'?", "Restart Later", "Restart Now");
		answer = fWorld.Ask(question, QUESTION_RESTART);
		return 0;
	}

	int32 answer = 0;

private:
	StdinWorld& fWorld;
};

TEST(StdinPresenterTest, NoAnswerOrABadOneStopsTheRunAsAnUnansweredQuestion)
{
	for (const char* input : {"", "7\n", "run\n"}) {
		StdinWorld world(input);
		AskingThread thread(world);
		ASSERT_EQ(thread.Go("install", nullptr, B_NORMAL_PRIORITY, true), B_OK);
		EXPECT_EQ(thread.answer, B_ALERT_DISMISSED) << input;
		EXPECT_TRUE(world.Presenter().Unanswered()) << input;
		EXPECT_EQ(world.Questions().size(), 1u) << input;
	}
}

} // namespace

namespace {

// The run's starter may not signal a root run: a "stop" line asks the run to
// stop; an answer line or the input's end does not.
TEST(StdinPresenterTest, StopOrTheInputsEndBetweenQuestionsStopsTheRun)
{
	const struct {
		const char* input;
		bool stops;
	} cases[] = {
	        {"stop\n0\n", true}, {"0\nstop\n", true}, {"", false}, {"0\n", false}, {"stop", false}};
	for (const auto& c : cases) {
		int fds[2];
		ASSERT_EQ(pipe(fds), 0);
		FILE* input = fdopen(fds[0], "r");
		FILE* output = tmpfile();
		UnattendedOutput lines(output);
		std::atomic<bool> stopped{false};
		{
			StdinPresenter presenter(lines, false, input, [&stopped] { stopped = true; });
			ASSERT_EQ(write(fds[1], c.input, strlen(c.input)), ssize_t(strlen(c.input)));
			// "stop" without its line end is no line.
			close(fds[1]);
			for (int i = 0; i < 200 && !stopped; i++)
				snooze(c.stops ? 10000 : 1000);
			EXPECT_EQ(stopped.load(), c.stops) << c.input;
		}
		fclose(input);
		fclose(output);
	}
}

} // namespace
