// The unattended transcript: labelled, indented, flushed line by line.
#include "UnattendedOutput.h"

#include <unistd.h>

#include <cstring>

#include "JsonWriter.h"

UnattendedOutput::UnattendedOutput(FILE* stream)
    : fStream(stream != nullptr ? stream : stdout), fTerminal(isatty(fileno(fStream)) == 1)
{
}

void UnattendedOutput::ClearProgress()
{
	if (fTerminal && !fProgress.empty())
		fputs("\r\033[K", fStream);
}

void UnattendedOutput::RedrawProgress()
{
	if (fTerminal && !fProgress.empty())
		fprintf(fStream, "\r%s\033[K", fProgress.c_str());
}

bool UnattendedOutput::JsonEvent(const char* label, const char* text, const bool& detail,
                                 const int64& placed, const int64& total)
{
	if (fFormat == kText)
		return false;
	if (fFormat == kCollect) {
		fCollected.push_back(Event{label, text != nullptr ? text : "", detail});
		return true;
	}
	JsonWriter json;
	json.BeginObject().Field("schema", kJsonSchema).Field("event", label);
	json.Field("text", text != nullptr ? text : "");
	if (detail)
		json.Field("detail", true);
	if (placed >= 0)
		json.Field("placed", placed).Field("total", total);
	json.EndObject();
	fprintf(fStream, "%s\n", json.Text().c_str());
	fflush(fStream);
	return true;
}

void UnattendedOutput::WriteCollected(JsonWriter& json) const
{
	json.BeginArray();
	for (const Event& event : fCollected) {
		json.BeginObject().Field("event", event.label).Field("text", event.text);
		if (event.detail)
			json.Field("detail", true);
		json.EndObject();
	}
	json.EndArray();
}

void UnattendedOutput::Document(const std::string& text)
{
	std::lock_guard<std::mutex> guard(fLock);
	fprintf(fStream, "%s\n", text.c_str());
	fflush(fStream);
}

void UnattendedOutput::Progress(const char* text, const bool& last, const int64& placed,
                                const int64& total)
{
	std::lock_guard<std::mutex> guard(fLock);
	if (JsonEvent("progress", text, false, placed, total))
		return;
	if (!fTerminal || last) {
		ClearProgress();
		fProgress.clear();
		fprintf(fStream, "progress: %s\n", text);
	} else {
		fProgress = text;
		RedrawProgress();
	}
	fflush(fStream);
}

void UnattendedOutput::Line(const char* label, const char* text)
{
	std::lock_guard<std::mutex> guard(fLock);
	if (JsonEvent(label, text, false))
		return;
	ClearProgress();
	fprintf(fStream, "%s:", label);
	const char* line = text != nullptr ? text : "";
	// Every line of a text keeps the event's indentation.
	for (bool first = true;; first = false) {
		const char* end = strchr(line, '\n');
		const int length = end != nullptr ? int(end - line) : int(strlen(line));
		if (first)
			fprintf(fStream, " %.*s\n", length, line);
		else
			fprintf(fStream, "  %.*s\n", length, line);
		if (end == nullptr)
			break;
		line = end + 1;
	}
	RedrawProgress();
	fflush(fStream);
}

void UnattendedOutput::Detail(const char* label, const char* text)
{
	std::lock_guard<std::mutex> guard(fLock);
	if (JsonEvent(label, text, true))
		return;
	ClearProgress();
	fprintf(fStream, "  %s: %s\n", label, text != nullptr ? text : "");
	RedrawProgress();
	fflush(fStream);
}
