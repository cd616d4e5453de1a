// Joining hand-wrapped lines back into paragraphs.
#include "LibParagraphs.h"

#include <cctype>
#include <sstream>
#include <vector>

namespace {

bool IsBlank(const std::string& line)
{
	return line.find_first_not_of(" \t") == std::string::npos;
}

bool IsIndented(const std::string& line)
{
	return !line.empty() && (line[0] == ' ' || line[0] == '\t');
}

// "- ", "* ", "+ ", "• ", or up to three digits or one letter followed by
// "." or ")" and a space.
bool IsListItem(const std::string& line)
{
	for (const char* bullet : {"- ", "* ", "+ ", "\xe2\x80\xa2 "}) {
		if (line.rfind(bullet, 0) == 0)
			return true;
	}
	size_t marker = 0;
	while (marker < line.size() && marker < 3 && isdigit((unsigned char)line[marker]))
		marker++;
	if (marker == 0 && !line.empty() && isalpha((unsigned char)line[0]))
		marker = 1;
	return marker > 0 && marker + 1 < line.size() && (line[marker] == '.' || line[marker] == ')') &&
	       line[marker + 1] == ' ';
}

// Whether the break between `line` and `next` is kept.
bool KeepsBreak(const std::string& line, const std::string& next)
{
	return IsBlank(line) || IsBlank(next) || IsIndented(line) || IsIndented(next) ||
	       IsListItem(next);
}

} // namespace

std::string LibJoinParagraphs(const std::string& text)
{
	std::vector<std::string> lines;
	std::istringstream stream(text);
	for (std::string line; std::getline(stream, line);) {
		if (!line.empty() && line.back() == '\r')
			line.pop_back();
		lines.push_back(line);
	}
	std::string joined;
	for (size_t i = 0; i < lines.size(); i++) {
		if (i == 0) {
			joined = lines[0];
			continue;
		}
		if (KeepsBreak(lines[i - 1], lines[i])) {
			joined += "\n" + lines[i];
			continue;
		}
		while (!joined.empty() && (joined.back() == ' ' || joined.back() == '\t'))
			joined.pop_back();
		joined += " " + lines[i];
	}
	if (!text.empty() && text.back() == '\n')
		joined += "\n";
	return joined;
}
