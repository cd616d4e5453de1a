// Questions passed to the program that reads the JSON lines, answers read back.
#include "StdinPresenter.h"

#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <sstream>
#include <thread>

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

// The launch question's button that starts nothing.
const int32 kLater = 0;

} // namespace

struct StdinPresenter::Input {
	std::mutex lock;
	std::condition_variable changed;
	std::deque<std::string> lines;
	bool ended = false;
	bool asking = false;
};

StdinPresenter::StdinPresenter(UnattendedOutput& output, const bool& yes, FILE* input,
                               std::function<void()> on_stop)
    : UnattendedPresenter(output, yes), fOut(output), fInput(std::make_shared<Input>())
{
	// Detached, on a descriptor of its own: a read still waiting when the
	// presenter or the program ends holds nothing that goes away.
	const int descriptor = dup(fileno(input));
	std::thread([shared = fInput, descriptor, on_stop] {
		std::string line;
		for (;;) {
			char c = 0;
			const ssize_t got = descriptor >= 0 ? read(descriptor, &c, 1) : 0;
			if (got < 0 && errno == EINTR)
				continue;
			if (got == 1 && c != '\n') {
				line += c;
				continue;
			}
			const bool stop = got == 1 && line == "stop";
			const bool end = got != 1 || stop;
			std::unique_lock<std::mutex> hold(shared->lock);
			if (end)
				shared->ended = true;
			else
				shared->lines.push_back(line);
			const bool asking = shared->asking;
			hold.unlock();
			shared->changed.notify_all();
			if (end) {
				if (descriptor >= 0)
					close(descriptor);
				// At a question, the question goes unanswered and stops the run;
				// the input's end only means no more answers.
				if (stop && !asking && on_stop)
					on_stop();
				return;
			}
			line.clear();
		}
	}).detach();
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
	std::unique_lock<std::mutex> hold(fInput->lock);
	fInput->asking = true;
	fInput->changed.wait(hold, [this] { return !fInput->lines.empty() || fInput->ended; });
	fInput->asking = false;
	if (fInput->lines.empty())
		return false;
	answer = fInput->lines.front();
	fInput->lines.pop_front();
	return true;
}

int32 StdinPresenter::AskPerson(const int32& kind, BAlert& alert)
{
	// The program starts as the user who chose it, never as root.
	if (kind == ANSWER_LAUNCH)
		return kLater;
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
