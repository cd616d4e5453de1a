// Questions passed to the program that reads the JSON lines, answers read back.
#include "StdinPresenter.h"

#include <cstdlib>
#include <sstream>

#include "Alert.h"
#include "AnswerFile.h"
#include "CollisionQuestion.h"
#include "JsonWriter.h"
#include "UnattendedOutput.h"

namespace {

const char* TypeName(const alert_type& type)
{
	switch (type) {
		case B_EMPTY_ALERT: return "empty";
		case B_IDEA_ALERT: return "idea";
		case B_WARNING_ALERT: return "warning";
		case B_STOP_ALERT: return "stop";
		default: return "info";
	}
}

const char* KindName(const int32& kind)
{
	if (kind == ALERT_MESSAGE)
		return "message";
	if (kind > ANSWER_LICENCE && kind < ANSWER_KIND_COUNT)
		return AnswerFile::KindName(answer_kind(kind));
	return "question";
}

} // namespace

StdinPresenter::StdinPresenter(UnattendedOutput& output, const bool& yes, FILE* input)
    : UnattendedPresenter(output, yes), fOut(output), fInput(input)
{
}

std::string StdinPresenter::QuestionLine(const int32& kind, const BAlert& alert)
{
	JsonWriter json;
	json.BeginObject().Field("schema", kJsonSchema).Field("event", "question");
	json.Field("kind", KindName(kind)).Field("type", TypeName(alert.Type()));
	json.Field("text", alert.Text());
	json.Key("buttons").BeginArray();
	for (int32 i = 0; i < alert.CountButtons(); i++)
		json.String(alert.ButtonAt(i)->Label());
	json.EndArray().Key("check_boxes").BeginArray();
	for (int32 i = 0; i < alert.CountControls(); i++)
		json.String(alert.ControlAt(i)->label);
	json.EndArray();
	// The collision box shows both entries: the asker knows them.
	const CollisionQuestion* collision = CollisionBeingAsked();
	if (kind == ANSWER_COLLISION && collision != nullptr) {
		json.Field("item", collision->item.Path() != nullptr ? collision->item.Path() : "");
		json.Field("existing",
		           collision->existing.Path() != nullptr ? collision->existing.Path() : "");
		json.Field("language", collision->language);
	}
	json.EndObject();
	return json.Text();
}

bool StdinPresenter::Ask(const int32& kind, BAlert& alert, std::string& answer)
{
	fOut.Document(QuestionLine(kind, alert));
	answer.clear();
	for (int c = fgetc(fInput); c != EOF && c != '\n'; c = fgetc(fInput))
		answer += char(c);
	return !answer.empty() || !feof(fInput);
}

int32 StdinPresenter::AskPerson(const int32& kind, BAlert& alert)
{
	std::string answer;
	if (!Ask(kind, alert, answer))
		return -1;
	std::istringstream words(answer);
	int button = -1;
	if (!(words >> button) || button < 0 || button >= alert.CountButtons())
		return -1;
	int value = 0;
	for (int32 i = 0; i < alert.CountControls() && words >> value; i++)
		alert.SetControlValue(i, value != 0 ? 1 : 0);
	return button;
}

void StdinPresenter::Acknowledge(BAlert& alert)
{
	std::string unused;
	Ask(ALERT_MESSAGE, alert, unused);
}
