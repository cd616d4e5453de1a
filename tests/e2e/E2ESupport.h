// Running the end-to-end tests: a private Xvfb, the program under test with
// its event lines, xdotool and screenshots, every wait with a deadline.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

using Clock = std::chrono::steady_clock;

// Runs a program to completion (killed after `timeout`); answers its exit
// status, or -1 when it could not run or timed out. Output goes to `output`.
int run(const std::vector<std::string>& argv, std::chrono::milliseconds timeout,
        std::string* output = nullptr, const std::vector<std::string>& env = {});

// An Xvfb of its own on a free display (-displayfd).
class XServer {
public:
	XServer();
	~XServer();
	// `screen` is Xvfb's WIDTHxHEIGHTxDEPTH.
	bool Start(std::chrono::milliseconds timeout, const std::string& screen = "1024x768x24");
	std::string Display() const { return ":" + std::to_string(fDisplay); }

private:
	pid_t fPid = -1;
	int fDisplay = -1;
};

// One event line: "vantry-event <words...>".
struct Event {
	std::string line;
	std::vector<std::string> words;
};

// The program under test, its standard output read as event lines.
class Program {
public:
	~Program();
	bool Start(const std::string& path, const std::vector<std::string>& env,
	           const std::vector<std::string>& args = {});
	// Waits for an event line at or after line `since` whose words start with
	// `prefix`; false at the deadline or when the program ended.
	bool WaitFor(const std::vector<std::string>& prefix, std::chrono::milliseconds timeout,
	             Event* found = nullptr, size_t since = 0);
	// The same with any test of the words (after "vantry-event").
	bool WaitUntil(const std::function<bool(const std::vector<std::string>&)>& matches,
	               std::chrono::milliseconds timeout, Event* found = nullptr, size_t since = 0);
	// The number of lines read so far: a mark to wait for events after.
	size_t Mark();
	bool Exited(std::chrono::milliseconds timeout, int* status = nullptr);
	// Kills the program and forgets its lines, so the object can start another.
	void Stop();
	const std::vector<std::string>& Lines() const { return fLines; }

private:
	bool ReadSome(Clock::time_point deadline);

	pid_t fPid = -1;
	int fOutput = -1;
	std::string fPending;
	std::vector<std::string> fLines;
	bool fEnded = false;
	int fStatus = -1;
};

// A screenshot of the whole screen as RGB pixels.
struct Image {
	int width = 0;
	int height = 0;
	std::vector<uint8_t> pixels;

	bool Load(const std::string& ppmPath);
	void Pixel(int x, int y, int* r, int* g, int* b) const;
	bool Is(int x, int y, int r, int g, int b) const;
	// The smallest rectangle holding every pixel of the colour (left, top,
	// right, bottom, inclusive); false when there is none.
	bool BoundsOf(int r, int g, int b, int* left, int* top, int* right, int* bottom) const;
	// The same for the pixels darker than `level` in every channel, inside
	// the rectangle (left, top, right, bottom) given in and out.
	bool BoundsOfDark(int level, int* left, int* top, int* right, int* bottom) const;
};

} // namespace e2e
