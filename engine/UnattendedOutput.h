// UnattendedOutput: the transcript of an unattended installation, one
// labelled line per event ("status: Installing 1 of 2 (hello)"), written from
// several threads without mixing their lines.
#pragma once

#include <cstdio>
#include <mutex>

class UnattendedOutput {
public:
	explicit UnattendedOutput(FILE* stream);

	// "label: text"; the text's further lines follow indented by two spaces.
	void Line(const char* label, const char* text);
	// An indented line that belongs to the event before it.
	void Detail(const char* label, const char* text);

private:
	FILE* fStream;
	std::mutex fLock;
};
