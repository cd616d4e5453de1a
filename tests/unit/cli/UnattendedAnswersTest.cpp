// The unattended mode's command line, answer files, and how its presenter
// answers each kind of question from them, by default, or not at all.
#include "AnswerFile.h"
#include "EngineQuestion.h"
#include "MemoryStream.h"
#include "UnattendedOptions.h"
#include "UnattendedOutput.h"
#include "UnattendedPresenter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "Alert.h"
#include "LibThread.h"
#include "OS.h"
#include "TempFolder.h"

namespace {

struct OptionCase {
	std::vector<const char*> arguments;
	bool valid;
	const char* error; // a part of the error text
};

TEST(UnattendedOptionsTest, ReadsTheCommandLine)
{
	const OptionCase cases[] = {
	        {{"--unattended", "--dest", "/apps"}, true, ""},
	        {{"--unattended", "--dest=/apps", "--items=a,b"}, true, ""},
	        {{"--unattended", "--volume", "Stick", "--type", "Full", "--yes"}, true, ""},
	        {{}, true, ""},
	        {{"--help"}, true, ""},
	        {{"--unattended"}, false, "needs --dest FOLDER or --volume NAME"},
	        {{"--unattended", "--dest"}, false, "--dest needs a value"},
	        {{"--unattended", "--dest", "/a", "--type", "T", "--items", "x"},
	         false,
	         "cannot be used together"},
	        {{"--unattended", "--dest", "/a", "--quick"}, false, "unknown argument '--quick'"},
	        {{"--unattended=1", "--dest", "/a"}, false, "takes no value"},
	        {{"--unattended", "--dest", "/a", "stray"}, false, "unknown argument 'stray'"},
	        {{"--list"}, true, ""},
	        {{"--verify"}, true, ""},
	        {{"--extract", "out"}, true, ""},
	        {{"--extract"}, false, "--extract needs a value"},
	        {{"--version", "--list"}, true, ""},
	        {{"--text", "--lang", "fr"}, true, ""},
	        {{"--unattended", "--dest", "/a", "--accept-licence", "--yes"}, true, ""},
	        {{"--list", "--verify"},
	         false,
	         "--list, --verify, --installed and --extract each stand alone"},
	        {{"--installed"}, true, ""},
	        {{"--installed", "--list"}, false, "each stand alone"},
	        {{"--unattended", "--dest", "/a", "--upgrade", "--allow-downgrade"}, true, ""},
	        {{"--unattended", "--dest", "/a", "--repair"}, true, ""},
	        {{"--unattended", "--dest", "/a", "--upgrade", "--repair"},
	         false,
	         "--upgrade and --repair cannot be used together"},
	        {{"--upgrade"}, false, "go with --unattended"},
	        {{"--unattended", "--dest", "/a", "--list"}, false, "each stand alone"},
	        {{"--text", "--extract", "x"}, false, "each stand alone"},
	        {{"--text", "--unattended", "--dest", "/a"}, false, "cannot be used together"},
	        {{"--accept-licence=yes"}, false, "takes no value"},
	        {{"--plan", "--dest", "/a", "--yes"}, true, ""},
	        {{"--plan", "--unattended", "--volume", "Stick", "--json"}, true, ""},
	        {{"--plan"}, false, "--plan needs --dest FOLDER or --volume NAME"},
	        {{"--plan", "--dest", "/a", "--list"}, false, "each stand alone"},
	        {{"--plan", "--text", "--dest", "/a"},
	         false,
	         "--text and --plan cannot be used together"},
	        {{"--list", "--json"}, true, ""},
	        {{"--verify", "--json"}, true, ""},
	        {{"--unattended", "--dest", "/a", "--json"}, true, ""},
	        {{"--unattended", "--dest", "/a", "--json", "--answers-on-stdin"}, true, ""},
	        {{"--unattended", "--dest", "/a", "--answers-on-stdin"},
	         false,
	         "--answers-on-stdin goes with --unattended --json"},
	        {{"--plan", "--dest", "/a", "--json", "--answers-on-stdin"},
	         false,
	         "--answers-on-stdin goes with"},
	        {{"--json"},
	         false,
	         "--json goes with --list, --verify, --plan, --installed or --unattended"},
	        {{"--extract", "x", "--json"}, false, "--json goes with"},
	        {{"--json=1", "--list"}, false, "takes no value"},
	};
	for (const OptionCase& test : cases) {
		std::vector<const char*> argv = {"Installer"};
		argv.insert(argv.end(), test.arguments.begin(), test.arguments.end());
		UnattendedOptions options;
		std::string error;
		const bool valid = ParseUnattendedOptions(int(argv.size()), argv.data(), options, error);
		EXPECT_EQ(valid, test.valid) << (test.arguments.empty() ? "" : test.arguments.back());
		EXPECT_NE(error.find(test.error), std::string::npos) << error;
	}
}

TEST(UnattendedOptionsTest, KeepsEveryValue)
{
	const char* argv[] = {"Installer", "--unattended", "--dest", "/apps",
	                      "--items",   "a,,b c",       "--lang", "fr",
	                      "--answers", "/tmp/answers", "--yes"};
	UnattendedOptions options;
	std::string error;
	ASSERT_TRUE(ParseUnattendedOptions(11, argv, options, error)) << error;
	EXPECT_TRUE(options.unattended);
	EXPECT_TRUE(options.yes);
	EXPECT_EQ(options.destination, "/apps");
	EXPECT_TRUE(options.itemsGiven);
	EXPECT_EQ(options.items, (std::vector<std::string>{"a", "", "b c"}));
	EXPECT_EQ(options.language, "fr");
	EXPECT_EQ(options.answers, "/tmp/answers");

	// --item takes a name as it stands, comma and all, and adds it.
	const char* single[] = {"Installer", "--unattended", "--dest", "/apps",
	                        "--item",    "a,b",          "--item", "c"};
	UnattendedOptions one;
	ASSERT_TRUE(ParseUnattendedOptions(8, single, one, error)) << error;
	EXPECT_EQ(one.items, (std::vector<std::string>{"a,b", "c"}));
}

TEST(AnswerFileTest, ReadsAnswersInOrder)
{
	AnswerFile answers;
	ASSERT_EQ(answers.SetTo("# answers\n"
	                        "licence agree\n"
	                        "\n"
	                        "collision replace all   # items\n"
	                        "collision keep\n"
	                        "requirement continue \"libGL.so\"  # that library only\n"
	                        "requirement abort\n"
	                        "launch later\n"
	                        "restart now\n",
	                        "answers"),
	          B_OK)
	        << answers.ErrorText();
	const std::vector<Answer>& list = answers.Answers();
	ASSERT_EQ(list.size(), 7u);
	struct Expected {
		answer_kind kind;
		int32 button;
		bool all;
		const char* match;
		int32 line;
	};
	const Expected expected[] = {
	        {ANSWER_LICENCE, 1, false, "", 2},     {ANSWER_COLLISION, 1, true, "", 4},
	        {ANSWER_COLLISION, 0, false, "", 5},   {ANSWER_REQUIREMENT, 1, false, "libGL.so", 6},
	        {ANSWER_REQUIREMENT, 0, false, "", 7}, {ANSWER_LAUNCH, 0, false, "", 8},
	        {ANSWER_RESTART, 1, false, "", 9},
	};
	for (size_t i = 0; i < list.size(); i++) {
		EXPECT_EQ(list[i].kind, expected[i].kind) << i;
		EXPECT_EQ(list[i].button, expected[i].button) << i;
		EXPECT_EQ(list[i].all, expected[i].all) << i;
		EXPECT_EQ(list[i].match, expected[i].match) << i;
		EXPECT_EQ(list[i].line, expected[i].line) << i;
	}
	bool agreed = false;
	EXPECT_TRUE(answers.FindLicence(agreed));
	EXPECT_TRUE(agreed);
}

TEST(AnswerFileTest, NamesTheLineOfEveryMistake)
{
	struct Case {
		const char* text;
		const char* error;
	};
	const Case cases[] = {
	        {"collision\n", "answers:1: collision needs replace or keep"},
	        {"\nrestart soon\n", "answers:2: 'soon' is no answer to restart: use now or later"},
	        {"launch run all\n", "answers:1: 'all' is not understood here"},
	        {"collision keep all extra\n", "answers:1: 'extra' is not understood here"},
	        {"requirement abort \"open\n", "answers:1: a quoted text is not closed"},
	        {"requirement abort \"a\" \"b\"\n", "answers:1: only one quoted text is allowed"},
	        {"\"only text\"\n", "answers:1: a line starts with licence"},
	        {"yes\n", "answers:1: a line starts with licence"},
	};
	for (const Case& test : cases) {
		AnswerFile answers;
		EXPECT_EQ(answers.SetTo(test.text, "answers"), B_BAD_DATA) << test.text;
		EXPECT_EQ(std::string(answers.ErrorText()).rfind(test.error, 0), 0u) << answers.ErrorText();
		EXPECT_TRUE(answers.Answers().empty());
	}
	AnswerFile missing;
	EXPECT_EQ(missing.SetTo("/nonexistent/answers.txt"), B_ENTRY_NOT_FOUND);
	bool agreed = true;
	EXPECT_FALSE(missing.FindLicence(agreed));
}

TEST(AnswerFileTest, RefusesWhatIsNoRegularFileWithoutWaitingForIt)
{
	TempFolder folder;
	const std::string fifo = folder / "answers-pipe";
	ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
	const std::string sub = folder / "answers-folder";
	ASSERT_EQ(mkdir(sub.c_str(), 0755), 0);
	// A reading that waits for a writer of the pipe gets one after a while
	// and is counted, so that the fault fails the test instead of hanging it.
	std::atomic<bool> done(false);
	std::atomic<int> released(0);
	std::thread writer([&] {
		const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
		while (!done && std::chrono::steady_clock::now() < end)
			std::this_thread::sleep_for(std::chrono::milliseconds(10));
		while (!done) {
			const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
			if (fd >= 0) {
				released++;
				close(fd);
			}
			std::this_thread::sleep_for(std::chrono::milliseconds(10));
		}
	});
	struct Case {
		std::string path;
		const char* kind;
	};
	const Case cases[] = {
	        {fifo, "a pipe"},
	        {sub, "a folder"},
	        {"/dev/null", "a device"},
	};
	for (const Case& test : cases) {
		AnswerFile answers;
		EXPECT_EQ(answers.SetTo(test.path.c_str()), B_BAD_VALUE) << test.path;
		EXPECT_EQ(std::string(answers.ErrorText()), test.path + ": is not a regular file but " +
		                                                    test.kind +
		                                                    ": an answer file is a text file");
		EXPECT_TRUE(answers.Answers().empty());
	}
	done = true;
	writer.join();
	EXPECT_EQ(released, 0) << "the pipe was read only once a writer came";
}

// A presenter writing its transcript into memory.
class PresenterWorld {
public:
	explicit PresenterWorld(const bool& yes, const char* answers = "")
	    : fOutput(fStream.File()), fPresenter(fOutput, yes)
	{
		AnswerFile file;
		EXPECT_EQ(file.SetTo(answers, "answers"), B_OK);
		fPresenter.AddAnswers(file);
	}
	// `kind` names the question as the engine does.
	int32 Ask(BAlert& alert, const engine_question& kind = QUESTION_NONE)
	{
		QuestionScope scope(kind);
		return fPresenter.Present(alert);
	}
	UnattendedPresenter& Presenter() { return fPresenter; }
	std::string Transcript() { return fStream.Text(); }

private:
	MemoryStream fStream;
	UnattendedOutput fOutput;
	UnattendedPresenter fPresenter;
};

// The questions of the run, built as the engine builds them.
struct Question {
	std::unique_ptr<BAlert> alert;
	bool checkBox = false;
};

Question Collision()
{
	Question question;
	question.alert.reset(new BAlert("ReplaceAlert", "The file 'a' already exists.", "Don't Replace",
	                                "Replace", nullptr, B_WIDTH_FROM_WIDEST, B_WARNING_ALERT));
	question.alert->AddCheckBox("Apply to all future collisions", &question.checkBox);
	return question;
}

std::unique_ptr<BAlert> Requirement(const char* text, const bool& required)
{
	return std::unique_ptr<BAlert>(new BAlert("", text, "Abort", required ? nullptr : "Continue",
	                                          nullptr, B_WIDTH_AS_USUAL, B_INFO_ALERT));
}

std::unique_ptr<BAlert> Launch()
{
	return std::unique_ptr<BAlert>(new BAlert("", "Do you wish to run 'x' now?", "Later", "Run",
	                                          nullptr, B_WIDTH_AS_USUAL, B_INFO_ALERT));
}

std::unique_ptr<BAlert> Restart()
{
	return std::unique_ptr<BAlert>(new BAlert("", "Installation successfully completed.",
	                                          "Restart Later", "Restart Now", nullptr,
	                                          B_WIDTH_FROM_WIDEST, B_INFO_ALERT));
}

TEST(UnattendedPresenterTest, ClassifiesEveryQuestionOfTheRun)
{
	EXPECT_EQ(UnattendedPresenter::Classify(*Collision().alert), ANSWER_COLLISION);
	// The engine names each question; the labels alone name none.
	const struct {
		std::unique_ptr<BAlert> alert;
		engine_question kind;
		int32 classified;
	} cases[] = {
	        {Requirement("lib", true), QUESTION_REQUIREMENT, ANSWER_REQUIREMENT},
	        {Requirement("lib", false), QUESTION_REQUIREMENT, ANSWER_REQUIREMENT},
	        {Launch(), QUESTION_LAUNCH, ANSWER_LAUNCH},
	        {Restart(), QUESTION_RESTART, ANSWER_RESTART},
	        {Launch(), QUESTION_NONE, ALERT_OTHER},
	};
	for (const auto& c : cases) {
		QuestionScope scope(c.kind);
		EXPECT_EQ(UnattendedPresenter::Classify(*c.alert), c.classified) << c.alert->Text();
	}
	BAlert box("", "Installation successfully completed.", "OK");
	EXPECT_EQ(UnattendedPresenter::Classify(box), ALERT_MESSAGE);
	BAlert other("", "Pick one", "A", "B", "C");
	EXPECT_EQ(UnattendedPresenter::Classify(other), ALERT_OTHER);
}

TEST(UnattendedPresenterTest, AnswersEachKindInFileOrder)
{
	PresenterWorld world(false,
	                     "collision keep\ncollision replace all\nrequirement abort \"second\"\n"
	                     "requirement continue\nlaunch run\nrestart later\n");
	Question first = Collision();
	EXPECT_EQ(world.Ask(*first.alert), 0);
	EXPECT_EQ(first.alert->ControlAt(0)->value, 0);
	Question second = Collision();
	EXPECT_EQ(world.Ask(*second.alert), 1);
	EXPECT_EQ(second.alert->ControlAt(0)->value, 1) << "\"all\" ticks the check box";
	// The matched answer waits for its question; the other takes the first.
	EXPECT_EQ(world.Ask(*Requirement("the first library", false), QUESTION_REQUIREMENT), 1);
	EXPECT_EQ(world.Ask(*Requirement("the second library", false), QUESTION_REQUIREMENT), 0);
	EXPECT_EQ(world.Ask(*Launch(), QUESTION_LAUNCH), 1);
	EXPECT_EQ(world.Ask(*Restart(), QUESTION_RESTART), 0);
	EXPECT_FALSE(world.Presenter().Unanswered());
	const std::string transcript = world.Transcript();
	EXPECT_NE(transcript.find("collision: The file 'a' already exists.\n"
	                          "  buttons: Don't Replace | Replace\n"
	                          "  check box: Apply to all future collisions\n"
	                          "  answer: Don't Replace (from the answers)\n"),
	          std::string::npos)
	        << transcript;
	EXPECT_NE(transcript.find("  answer: Replace, Apply to all future collisions (from the "
	                          "answers)\n"),
	          std::string::npos)
	        << transcript;
}

TEST(UnattendedPresenterTest, DefaultsUnderYesNeverRestart)
{
	PresenterWorld world(true);
	Question collision = Collision();
	EXPECT_EQ(world.Ask(*collision.alert), 1);
	EXPECT_EQ(collision.alert->ControlAt(0)->value, 0) << "a default applies to one question";
	EXPECT_EQ(world.Ask(*Requirement("suggested", false), QUESTION_REQUIREMENT), 1);
	EXPECT_EQ(world.Ask(*Requirement("required", true), QUESTION_REQUIREMENT), 0);
	EXPECT_EQ(world.Ask(*Launch(), QUESTION_LAUNCH), 1);
	EXPECT_EQ(world.Ask(*Restart(), QUESTION_RESTART), 0);
	BAlert other("", "Pick one", "A", "B", "C");
	EXPECT_EQ(world.Ask(other), 2);
	EXPECT_FALSE(world.Presenter().Unanswered());
}

TEST(UnattendedPresenterTest, RequiredQuestionOffersOnlyAbort)
{
	PresenterWorld world(false, "requirement continue\n");
	EXPECT_EQ(world.Ask(*Requirement("required", true), QUESTION_REQUIREMENT), 0);
	EXPECT_NE(world.Transcript().find("  answer: Abort (the only one offered)"), std::string::npos);
}

TEST(UnattendedPresenterTest, MessagesAreAcknowledgedAndPrinted)
{
	PresenterWorld world(false);
	BAlert error("", "Failure to find selected installation folder.", "OK", nullptr, nullptr,
	             B_WIDTH_AS_USUAL, B_STOP_ALERT);
	EXPECT_EQ(world.Ask(error), 0);
	BAlert info("", "Installation successfully completed.\n\nEnjoy.", "OK");
	EXPECT_EQ(world.Ask(info), 0);
	EXPECT_EQ(world.Transcript(), "error: Failure to find selected installation folder.\n"
	                              "message: Installation successfully completed.\n  \n  Enjoy.\n");
	EXPECT_FALSE(world.Presenter().Unanswered());
}

// The run's thread: it asks one question and reports whether it must stop.
class AskingThread : public LibThread {
public:
	AskingThread(PresenterWorld& world) : fWorld(world) {}
	~AskingThread() override { StopThread(); }

	int32 Action() override
	{
		answer = fWorld.Ask(*Launch(), QUESTION_LAUNCH);
		stopAsked = thread_should_stop();
		return 0;
	}

	int32 answer = 0;
	bool stopAsked = false;

private:
	PresenterWorld& fWorld;
};

TEST(UnattendedPresenterTest, UnansweredQuestionStopsTheAskingThread)
{
	PresenterWorld world(false, "collision replace\n");
	AskingThread thread(world);
	ASSERT_EQ(thread.Go("install", nullptr, B_NORMAL_PRIORITY, true), B_OK);
	EXPECT_EQ(thread.answer, B_ALERT_DISMISSED);
	EXPECT_TRUE(thread.stopAsked);
	EXPECT_TRUE(world.Presenter().Unanswered());
	EXPECT_NE(world.Transcript().find("  answer: none given: the installation stops"),
	          std::string::npos);
}

} // namespace
