// Reading answers from the terminal.
#include "TerminalInput.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>

#include "AlertPresenter.h"
#include "InstallTexts.h"

TerminalInput::TerminalInput(FILE* in, FILE* out) : fIn(in), fOut(out) {}

bool TerminalInput::ReadLine(std::string& line)
{
	const int fd = fileno(fIn);
	for (;;) {
		const size_t end = fPending.find('\n');
		if (end != std::string::npos) {
			line = fPending.substr(0, end);
			if (!line.empty() && line.back() == '\r')
				line.pop_back();
			fPending.erase(0, end + 1);
			return true;
		}
		if (AlertPresenter::StopRequested())
			return false;
		pollfd wait = {fd, POLLIN, 0};
		// Short waits: a stop request must not wait for the next key.
		const int ready = poll(&wait, 1, 100);
		if (ready <= 0)
			continue;
		char buffer[256];
		const ssize_t size = read(fd, buffer, sizeof(buffer));
		if (size <= 0) {
			if (fPending.empty())
				return false;
			line = fPending;
			fPending.clear();
			return true;
		}
		fPending.append(buffer, size_t(size));
	}
}

bool TerminalInput::Ask(const std::string& prompt, std::string& line)
{
	fputs(prompt.c_str(), fOut);
	fflush(fOut);
	return ReadLine(line);
}

int TerminalInput::Choose(const std::string& prompt, const int& count, const int& preset)
{
	for (;;) {
		std::string line;
		const std::string hint =
		        " [1-" + std::to_string(count) + ", Enter: " + std::to_string(preset + 1) + "] ";
		if (!Ask(prompt + hint, line))
			return -1;
		if (line.empty())
			return preset;
		char* end = nullptr;
		const long number = strtol(line.c_str(), &end, 10);
		if (end != nullptr && *end == '\0' && number >= 1 && number <= count)
			return int(number - 1);
		fprintf(fOut, "%s\n", InstallFormat(1024, 1057, line.c_str(), count).c_str());
	}
}

bool TerminalInput::Confirm(const std::string& prompt, const bool& preset, bool& answer)
{
	for (;;) {
		std::string line;
		if (!Ask(prompt + (preset ? " [Y/n] " : " [y/N] "), line))
			return false;
		if (line.empty()) {
			answer = preset;
			return true;
		}
		if (line == "y" || line == "Y" || line == "yes") {
			answer = true;
			return true;
		}
		if (line == "n" || line == "N" || line == "no") {
			answer = false;
			return true;
		}
		fprintf(fOut, "%s\n", InstallText(1058).String());
	}
}

int TerminalInput::Rows() const
{
	winsize size;
	if (ioctl(fileno(fOut), TIOCGWINSZ, &size) == 0 && size.ws_row > 4)
		return size.ws_row;
	return 24;
}
