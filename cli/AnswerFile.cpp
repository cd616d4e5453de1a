// Reading answer files: words separated by blanks, a quoted text, comments.
#include "AnswerFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sstream>

namespace {

struct Choice {
	answer_kind kind;
	const char* word;
	int32 button;
};

const Choice kChoices[] = {
        {ANSWER_LICENCE, "agree", 1},        {ANSWER_LICENCE, "decline", 0},
        {ANSWER_COLLISION, "replace", 1},    {ANSWER_COLLISION, "keep", 0},
        {ANSWER_REQUIREMENT, "continue", 1}, {ANSWER_REQUIREMENT, "abort", 0},
        {ANSWER_LAUNCH, "run", 1},           {ANSWER_LAUNCH, "later", 0},
        {ANSWER_RESTART, "now", 1},          {ANSWER_RESTART, "later", 0},
};

const char* const kKindNames[] = {"licence", "collision", "requirement", "launch", "restart"};

bool IsBlank(const char& c)
{
	return c == ' ' || c == '\t' || c == '\r';
}

// Splits a line into words and at most one quoted text; false with `reason`
// for an unterminated quote.
bool SplitLine(const std::string& line, std::vector<std::string>& words, std::string& quoted,
               bool& hasQuote, std::string& reason)
{
	size_t i = 0;
	while (i < line.size()) {
		if (IsBlank(line[i])) {
			i++;
			continue;
		}
		if (line[i] == '#')
			return true;
		if (line[i] == '"') {
			const size_t end = line.find('"', i + 1);
			if (end == std::string::npos) {
				reason = "a quoted text is not closed";
				return false;
			}
			if (hasQuote) {
				reason = "only one quoted text is allowed";
				return false;
			}
			quoted = line.substr(i + 1, end - i - 1);
			hasQuote = true;
			i = end + 1;
			continue;
		}
		size_t end = i;
		while (end < line.size() && !IsBlank(line[end]) && line[end] != '"' && line[end] != '#')
			end++;
		words.push_back(line.substr(i, end - i));
		i = end;
	}
	return true;
}

bool FindKind(const std::string& word, answer_kind& kind)
{
	if (word == "license") {
		kind = ANSWER_LICENCE;
		return true;
	}
	for (int32 k = 0; k < ANSWER_KIND_COUNT; k++) {
		if (word == kKindNames[k]) {
			kind = answer_kind(k);
			return true;
		}
	}
	return false;
}

std::string ChoicesOf(const answer_kind& kind)
{
	std::string list;
	for (const Choice& choice : kChoices) {
		if (choice.kind != kind)
			continue;
		list += list.empty() ? "" : " or ";
		list += choice.word;
	}
	return list;
}

// What an entry that is no regular file is, for the refusal.
const char* KindOf(const mode_t& mode)
{
	if (S_ISDIR(mode))
		return "a folder";
	if (S_ISFIFO(mode))
		return "a pipe";
	if (S_ISSOCK(mode))
		return "a socket";
	return S_ISCHR(mode) || S_ISBLK(mode) ? "a device" : "a special file";
}

// Reads a regular file of at most kLargestFile bytes, to its end: what the
// size said when it was opened does not count, what is read does.
status_t ReadSmallFile(const char* path, std::string& text, std::string& reason)
{
	// Without O_NONBLOCK the open of a pipe waits for a writer that may never come.
	const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
	if (fd < 0) {
		reason = std::string("cannot be read: ") + strerror(errno);
		return B_ENTRY_NOT_FOUND;
	}
	struct stat info;
	status_t status = B_OK;
	if (fstat(fd, &info) != 0) {
		reason = std::string("cannot be read: ") + strerror(errno);
		status = B_IO_ERROR;
	} else if (!S_ISREG(info.st_mode)) {
		reason = std::string("is not a regular file but ") + KindOf(info.st_mode) +
		         ": an answer file is a text file";
		status = B_BAD_VALUE;
	}
	char buffer[16384];
	while (status == B_OK) {
		const ssize_t done = read(fd, buffer, sizeof(buffer));
		if (done < 0 && errno == EINTR)
			continue;
		if (done < 0) {
			reason = std::string("cannot be read: ") + strerror(errno);
			status = B_IO_ERROR;
		} else if (done == 0)
			break;
		else if (text.size() + size_t(done) > AnswerFile::kLargestFile) {
			reason = "is larger than 1 MB, more than any answer file needs";
			status = B_BAD_VALUE;
		} else
			text.append(buffer, size_t(done));
	}
	close(fd);
	return status;
}

} // namespace

AnswerFile::AnswerFile() : fStatus(B_NO_INIT) {}

const char* AnswerFile::KindName(const answer_kind& kind)
{
	return kind < ANSWER_KIND_COUNT ? kKindNames[kind] : "";
}

status_t AnswerFile::SetTo(const char* path)
{
	if (path == nullptr)
		return fStatus = B_BAD_VALUE;
	fAnswers.clear();
	std::string text;
	std::string reason;
	const status_t status = ReadSmallFile(path, text, reason);
	if (status != B_OK) {
		fError = std::string(path) + ": " + reason;
		return fStatus = status;
	}
	return SetTo(text, path);
}

status_t AnswerFile::SetTo(const std::string& text, const char* source_name)
{
	fAnswers.clear();
	fError.clear();
	fSource = source_name != nullptr ? source_name : "answers";
	std::istringstream lines(text);
	int32 number = 0;
	for (std::string line; std::getline(lines, line);) {
		number++;
		if (ParseLine(line, number) != B_OK)
			return fStatus;
	}
	return fStatus = B_OK;
}

status_t AnswerFile::ParseLine(const std::string& line, const int32& number)
{
	std::vector<std::string> words;
	std::string quoted;
	bool hasQuote = false;
	std::string reason;
	if (!SplitLine(line, words, quoted, hasQuote, reason))
		return Fail(number, reason);
	if (words.empty() && !hasQuote)
		return B_OK;
	Answer answer{ANSWER_LICENCE, 0, false, quoted, number};
	if (words.empty() || !FindKind(words[0], answer.kind))
		return Fail(number,
		            "a line starts with licence, collision, requirement, launch or restart");
	if (words.size() < 2)
		return Fail(number,
		            std::string(kKindNames[answer.kind]) + " needs " + ChoicesOf(answer.kind));
	bool known = false;
	for (const Choice& choice : kChoices) {
		if (choice.kind == answer.kind && words[1] == choice.word) {
			answer.button = choice.button;
			known = true;
		}
	}
	if (!known)
		return Fail(number, "'" + words[1] + "' is no answer to " + kKindNames[answer.kind] +
		                            ": use " + ChoicesOf(answer.kind));
	if (words.size() > 2 && words[2] == "all" && answer.kind == ANSWER_COLLISION)
		answer.all = true;
	else if (words.size() > 2)
		return Fail(number, "'" + words[2] + "' is not understood here");
	if (words.size() > 3)
		return Fail(number, "'" + words[3] + "' is not understood here");
	fAnswers.push_back(answer);
	return B_OK;
}

status_t AnswerFile::Fail(const int32& number, const std::string& reason)
{
	fAnswers.clear();
	fError = fSource + ":" + std::to_string(number) + ": " + reason;
	return fStatus = B_BAD_DATA;
}

bool AnswerFile::FindLicence(bool& agreed) const
{
	for (const Answer& answer : fAnswers) {
		if (answer.kind == ANSWER_LICENCE) {
			agreed = answer.button == 1;
			return true;
		}
	}
	return false;
}
