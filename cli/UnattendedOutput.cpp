// The unattended transcript: labelled, indented, flushed line by line.
#include "UnattendedOutput.h"

#include <unistd.h>

#include <cstring>

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

void UnattendedOutput::Progress(const char* text, const bool& last)
{
	std::lock_guard<std::mutex> guard(fLock);
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
	ClearProgress();
	fprintf(fStream, "  %s: %s\n", label, text != nullptr ? text : "");
	RedrawProgress();
	fflush(fStream);
}
