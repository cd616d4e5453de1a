// AnswerFile: the answers an unattended installation gives to its questions,
// read from a small text file (the format is in the README: one answer a
// line, "KIND CHOICE [all] ["TEXT"]", "#" starts a comment).
#pragma once

#include <string>
#include <vector>

#include "SupportDefs.h"

enum answer_kind {
	ANSWER_LICENCE = 0,
	ANSWER_COLLISION,
	ANSWER_REQUIREMENT,
	ANSWER_LAUNCH,
	ANSWER_RESTART,
	ANSWER_KIND_COUNT,
};

struct Answer {
	answer_kind kind;
	// The button: 1 for agree, replace, continue, run and now; 0 otherwise.
	int32 button;
	// "all": tick "Apply to all future collisions".
	bool all;
	// Only for a question whose text contains this; empty for any.
	std::string match;
	int32 line;
};

class AnswerFile {
public:
	AnswerFile();

	// Reads the file at `path`: a regular file of at most kLargestFile bytes.
	status_t SetTo(const char* path);
	status_t SetTo(const std::string& text, const char* source_name);
	status_t InitCheck() const { return fStatus; }
	// "<file>:<line>: <reason>" after a failed SetTo.
	const char* ErrorText() const { return fError.c_str(); }

	const std::vector<Answer>& Answers() const { return fAnswers; }
	// The licence answer when the file has one.
	bool FindLicence(bool& agreed) const;

	// The name a kind has in the file ("collision").
	static const char* KindName(const answer_kind& kind);

	static const size_t kLargestFile = 1024 * 1024;

private:
	status_t ParseLine(const std::string& line, const int32& number);
	status_t Fail(const int32& number, const std::string& reason);

	std::vector<Answer> fAnswers;
	std::string fSource;
	std::string fError;
	status_t fStatus;
};
