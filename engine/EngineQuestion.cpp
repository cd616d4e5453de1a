#include "EngineQuestion.h"

#include "Alert.h"

namespace {

thread_local engine_question sAsked = QUESTION_NONE;

} // namespace

QuestionScope::QuestionScope(const engine_question& kind) : fOuter(sAsked)
{
	sAsked = kind;
}

QuestionScope::~QuestionScope()
{
	sAsked = fOuter;
}

int32 AskQuestion(const engine_question& kind, BAlert* alert)
{
	QuestionScope scope(kind);
	return alert->Go();
}

engine_question AskedQuestion()
{
	return sAsked;
}
