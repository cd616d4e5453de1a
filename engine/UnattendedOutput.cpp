// The unattended transcript: labelled, indented, flushed line by line.
#include "UnattendedOutput.h"

#include <cstring>

UnattendedOutput::UnattendedOutput(FILE* stream) : fStream(stream != nullptr ? stream : stdout) {}

void UnattendedOutput::Line(const char* label, const char* text)
{
	std::lock_guard<std::mutex> guard(fLock);
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
	fflush(fStream);
}

void UnattendedOutput::Detail(const char* label, const char* text)
{
	std::lock_guard<std::mutex> guard(fLock);
	fprintf(fStream, "  %s: %s\n", label, text != nullptr ? text : "");
	fflush(fStream);
}
