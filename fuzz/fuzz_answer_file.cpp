// links: vantry_cli
// Reads arbitrary bytes as an answer file: never crashes, and a file that is
// read gives answers of known kinds, each from a line that exists.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "AnswerFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	AnswerFile answers;
	const std::string text(reinterpret_cast<const char*>(data), size);
	if (answers.SetTo(text, "fuzz") != B_OK)
		return 0;
	int32 lines = 1;
	for (const char c : text)
		lines += c == '\n';
	for (const Answer& answer : answers.Answers()) {
		if (answer.kind >= ANSWER_KIND_COUNT || answer.line < 1 || answer.line > lines ||
		    (answer.button != 0 && answer.button != 1))
			std::abort();
	}
	return 0;
}
