// TerminalInput: the lines a person types, read so that a stop request of the
// reading thread is noticed while it waits.
#pragma once

#include <cstdio>
#include <string>

class TerminalInput {
public:
	TerminalInput(FILE* in, FILE* out);

	// Shows `prompt` and reads one line without its line feed; false at the
	// end of the input or on a stop request.
	bool Ask(const std::string& prompt, std::string& line);
	// A choice among `count` numbered options (1 to count); Enter takes
	// `preset` (0-based). -1 at the end of the input.
	int Choose(const std::string& prompt, const int& count, const int& preset);
	// Yes or no, Enter takes `preset`.
	bool Confirm(const std::string& prompt, const bool& preset, bool& answer);
	// The height of the terminal in lines (24 when it cannot be told).
	int Rows() const;

	FILE* Out() const { return fOut; }

private:
	bool ReadLine(std::string& line);

	FILE* fIn;
	FILE* fOut;
	std::string fPending;
};
