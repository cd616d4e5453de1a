// UnattendedOutput: the transcript of an unattended installation, one
// labelled line per event ("status: Installing 1 of 2 (hello)"), written from
// several threads without mixing their lines.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "SupportDefs.h"

class JsonWriter;

// The version of every JSON document and line the programs print; it grows
// when a field changes meaning or goes away, not when one is added.
const int kJsonSchema = 1;

class UnattendedOutput {
public:
	enum Format {
		// "label: text" lines for people.
		kText,
		// One JSON object a line: {"schema":1,"event":"label","text":"..."}.
		kJsonLines,
		// Nothing printed: the events are kept for one document at the end.
		kCollect,
	};
	struct Event {
		std::string label;
		std::string text;
		bool detail;
	};

	explicit UnattendedOutput(FILE* stream);

	void SetFormat(const Format& format) { fFormat = format; }
	Format GetFormat() const { return fFormat; }
	bool Json() const { return fFormat != kText; }
	// The events kept under kCollect, in order.
	const std::vector<Event>& Collected() const { return fCollected; }
	// Writes the kept events as the array value of `json`'s next member.
	void WriteCollected(JsonWriter& json) const;
	// Prints a whole JSON text as one line.
	void Document(const std::string& text);

	// "label: text"; the text's further lines follow indented by two spaces.
	void Line(const char* label, const char* text);
	// An indented line that belongs to the event before it.
	void Detail(const char* label, const char* text);
	// On a terminal, one line rewritten in place below the transcript, kept
	// as a "progress:" line when it is the `last`; elsewhere a "progress:" line.
	// A JSON line also gives the bytes `placed` of the `total`.
	void Progress(const char* text, const bool& last, const int64& placed, const int64& total);
	bool OnTerminal() const { return fTerminal && fFormat == kText; }

private:
	void ClearProgress();
	void RedrawProgress();
	// Handles an event in a JSON format; false under kText.
	bool JsonEvent(const char* label, const char* text, const bool& detail,
	               const int64& placed = -1, const int64& total = -1);

	FILE* fStream;
	std::mutex fLock;
	bool fTerminal;
	std::string fProgress;
	Format fFormat = kText;
	std::vector<Event> fCollected;
};
