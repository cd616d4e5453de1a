// UnattendedOutput: the transcript of an unattended installation, one
// labelled line per event ("status: Installing 1 of 2 (hello)"), written from
// several threads without mixing their lines.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>

class UnattendedOutput {
public:
	explicit UnattendedOutput(FILE* stream);

	// "label: text"; the text's further lines follow indented by two spaces.
	void Line(const char* label, const char* text);
	// An indented line that belongs to the event before it.
	void Detail(const char* label, const char* text);
	// On a terminal, one line rewritten in place below the transcript, kept
	// as a "progress:" line when it is the `last`; elsewhere a "progress:" line.
	void Progress(const char* text, const bool& last);
	bool OnTerminal() const { return fTerminal; }

private:
	void ClearProgress();
	void RedrawProgress();

	FILE* fStream;
	std::mutex fLock;
	bool fTerminal;
	std::string fProgress;
};
