// The questions the engine asks in boxes of its own, named: a front end that
// answers them without a person (an answer file, the program behind a root
// run) knows which it got from the engine, not from the boxes' labels.
#pragma once

#include "SupportDefs.h"

class BAlert;

enum engine_question {
	QUESTION_NONE = 0,
	// A requirement not met: Abort, or Abort and Continue.
	QUESTION_REQUIREMENT,
	// Run the product now: Later or Run.
	QUESTION_LAUNCH,
	// Restart the machine: Restart Later or Restart Now.
	QUESTION_RESTART,
	// Install over another publisher's installation: Cancel or Install.
	QUESTION_PUBLISHER,
};

// While it lives, AskedQuestion() on this thread answers `kind`.
class QuestionScope {
public:
	explicit QuestionScope(const engine_question& kind);
	~QuestionScope();
	QuestionScope(const QuestionScope&) = delete;
	QuestionScope& operator=(const QuestionScope&) = delete;

private:
	engine_question fOuter;
};

// Shows `alert` (which it takes) and answers its button, the kind known to
// AskedQuestion() on this thread meanwhile.
int32 AskQuestion(const engine_question& kind, BAlert* alert);
// The kind of the question this thread is asking; QUESTION_NONE for a box
// that is no question of the engine's.
engine_question AskedQuestion();
