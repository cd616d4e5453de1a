// Processes, the private X server, event lines and screenshots for the
// end-to-end tests.
#include "E2ESupport.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace e2e {

namespace {

std::vector<char*> c_strings(const std::vector<std::string>& strings)
{
	std::vector<char*> result;
	for (const std::string& s : strings)
		result.push_back(const_cast<char*>(s.c_str()));
	result.push_back(nullptr);
	return result;
}

// The current environment with `overrides` ("NAME=value") replacing names.
std::vector<std::string> environment_with(const std::vector<std::string>& overrides)
{
	std::vector<std::string> result;
	for (char** entry = environ; *entry != nullptr; entry++) {
		std::string text = *entry;
		std::string name = text.substr(0, text.find('='));
		bool replaced = false;
		for (const std::string& o : overrides)
			replaced = replaced || o.substr(0, o.find('=')) == name;
		if (!replaced)
			result.push_back(text);
	}
	result.insert(result.end(), overrides.begin(), overrides.end());
	return result;
}

// Waits for a child until the deadline; kills it when it is late.
int wait_child(pid_t pid, Clock::time_point deadline)
{
	int status = 0;
	while (Clock::now() < deadline) {
		pid_t done = waitpid(pid, &status, WNOHANG);
		if (done == pid)
			return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
		std::this_thread::sleep_for(std::chrono::milliseconds(5));
	}
	kill(pid, SIGKILL);
	waitpid(pid, &status, 0);
	return -1;
}

bool spawn_with_pipe(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                     pid_t* pid, int* readEnd, int childFd)
{
	int fds[2];
	if (pipe2(fds, O_CLOEXEC) != 0)
		return false;
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_adddup2(&actions, fds[1], childFd);
	std::vector<std::string> environment = environment_with(env);
	std::vector<char*> args = c_strings(argv);
	std::vector<char*> envp = c_strings(environment);
	int error = posix_spawnp(pid, args[0], &actions, nullptr, args.data(), envp.data());
	posix_spawn_file_actions_destroy(&actions);
	close(fds[1]);
	if (error != 0) {
		close(fds[0]);
		return false;
	}
	*readEnd = fds[0];
	return true;
}

std::vector<std::string> split(const std::string& line)
{
	std::vector<std::string> words;
	std::istringstream stream(line);
	std::string word;
	while (stream >> word)
		words.push_back(word);
	return words;
}

} // namespace

int run(const std::vector<std::string>& argv, std::chrono::milliseconds timeout,
        std::string* output, const std::vector<std::string>& env)
{
	pid_t pid;
	int readEnd;
	if (!spawn_with_pipe(argv, env, &pid, &readEnd, STDOUT_FILENO))
		return -1;
	Clock::time_point deadline = Clock::now() + timeout;
	std::string text;
	char buffer[4096];
	for (;;) {
		int left =
		        int(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now())
		                    .count());
		if (left <= 0)
			break;
		pollfd p = {readEnd, POLLIN, 0};
		if (poll(&p, 1, left) <= 0)
			break;
		ssize_t n = read(readEnd, buffer, sizeof(buffer));
		if (n <= 0)
			break;
		text.append(buffer, size_t(n));
	}
	close(readEnd);
	if (output != nullptr)
		*output = text;
	return wait_child(pid, deadline);
}

XServer::XServer() {}

XServer::~XServer()
{
	if (fPid <= 0)
		return;
	kill(fPid, SIGTERM);
	if (wait_child(fPid, Clock::now() + std::chrono::seconds(3)) == -1)
		kill(fPid, SIGKILL);
}

bool XServer::Start(std::chrono::milliseconds timeout, const std::string& screen)
{
	int readEnd;
	// The display number arrives on descriptor 3 once the server accepts clients.
	std::vector<std::string> argv = {"Xvfb", "-displayfd", "3",   "-screen", "0",
	                                 screen, "-nolisten",  "tcp", "-noreset"};
	// A server left behind by a killed test keeps its display's socket, and a
	// later server given the same number would send its clients there: the
	// server ends with the test (setpriv keeps the process, so fPid is Xvfb).
	if (run({"sh", "-c", "command -v setpriv >/dev/null"}, std::chrono::seconds(5)) == 0)
		argv.insert(argv.begin(), {"setpriv", "--pdeathsig", "KILL"});
	if (!spawn_with_pipe(argv, {}, &fPid, &readEnd, 3))
		return false;
	Clock::time_point deadline = Clock::now() + timeout;
	std::string text;
	while (text.find('\n') == std::string::npos && Clock::now() < deadline) {
		pollfd p = {readEnd, POLLIN, 0};
		if (poll(&p, 1, 50) <= 0)
			continue;
		char buffer[32];
		ssize_t n = read(readEnd, buffer, sizeof(buffer));
		if (n <= 0)
			break;
		text.append(buffer, size_t(n));
	}
	close(readEnd);
	if (text.find('\n') == std::string::npos)
		return false;
	fDisplay = std::stoi(text);
	return true;
}

Program::~Program()
{
	Stop();
}

void Program::Stop()
{
	if (fOutput >= 0)
		close(fOutput);
	if (fPid > 0 && !fEnded) {
		kill(fPid, SIGKILL);
		waitpid(fPid, nullptr, 0);
	}
	fPid = -1;
	fOutput = -1;
	fPending.clear();
	fLines.clear();
	fEnded = false;
	fStatus = -1;
}

bool Program::Start(const std::string& path, const std::vector<std::string>& env,
                    const std::vector<std::string>& args)
{
	std::vector<std::string> argv = {path};
	argv.insert(argv.end(), args.begin(), args.end());
	return spawn_with_pipe(argv, env, &fPid, &fOutput, STDOUT_FILENO);
}

bool Program::ReadSome(Clock::time_point deadline)
{
	int left = int(
	        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
	if (left <= 0 || fOutput < 0)
		return false;
	pollfd p = {fOutput, POLLIN, 0};
	if (poll(&p, 1, left) <= 0)
		return false;
	char buffer[4096];
	ssize_t n = read(fOutput, buffer, sizeof(buffer));
	if (n <= 0) {
		close(fOutput);
		fOutput = -1;
		return false;
	}
	fPending.append(buffer, size_t(n));
	size_t end;
	while ((end = fPending.find('\n')) != std::string::npos) {
		fLines.push_back(fPending.substr(0, end));
		fPending.erase(0, end + 1);
	}
	return true;
}

size_t Program::Mark()
{
	while (ReadSome(Clock::now() + std::chrono::milliseconds(1))) {
	}
	return fLines.size();
}

bool Program::WaitFor(const std::vector<std::string>& prefix, std::chrono::milliseconds timeout,
                      Event* found, size_t since)
{
	auto matches = [&](const std::vector<std::string>& words) {
		return words.size() >= prefix.size() &&
		       std::equal(prefix.begin(), prefix.end(), words.begin());
	};
	return WaitUntil(matches, timeout, found, since);
}

bool Program::WaitUntil(const std::function<bool(const std::vector<std::string>&)>& matches,
                        std::chrono::milliseconds timeout, Event* found, size_t since)
{
	Clock::time_point deadline = Clock::now() + timeout;
	size_t next = since;
	for (;;) {
		for (; next < fLines.size(); next++) {
			std::vector<std::string> words = split(fLines[next]);
			if (words.empty() || words[0] != "vantry-event")
				continue;
			words.erase(words.begin());
			if (!matches(words))
				continue;
			if (found != nullptr)
				*found = Event{fLines[next], words};
			return true;
		}
		if (!ReadSome(deadline) && (fOutput < 0 || Clock::now() >= deadline))
			return false;
	}
}

bool Program::Exited(std::chrono::milliseconds timeout, int* status)
{
	int result = wait_child(fPid, Clock::now() + timeout);
	fEnded = true;
	if (status != nullptr)
		*status = result;
	return result != -1;
}

bool Image::Load(const std::string& path)
{
	std::ifstream file(path, std::ios::binary);
	std::string magic;
	int maxValue = 0;
	file >> magic >> width >> height >> maxValue;
	file.get();
	if (!file || magic != "P6" || maxValue != 255 || width <= 0 || height <= 0)
		return false;
	pixels.resize(size_t(width) * height * 3);
	file.read(reinterpret_cast<char*>(pixels.data()), std::streamsize(pixels.size()));
	return bool(file);
}

void Image::Pixel(int x, int y, int* r, int* g, int* b) const
{
	*r = *g = *b = -1;
	if (x < 0 || y < 0 || x >= width || y >= height)
		return;
	const uint8_t* p = pixels.data() + (size_t(y) * width + x) * 3;
	*r = p[0];
	*g = p[1];
	*b = p[2];
}

bool Image::Is(int x, int y, int r, int g, int b) const
{
	int pr, pg, pb;
	Pixel(x, y, &pr, &pg, &pb);
	return pr == r && pg == g && pb == b;
}

bool Image::BoundsOf(int r, int g, int b, int* left, int* top, int* right, int* bottom) const
{
	*left = width;
	*top = height;
	*right = -1;
	*bottom = -1;
	for (int y = 0; y < height; y++) {
		for (int x = 0; x < width; x++) {
			if (!Is(x, y, r, g, b))
				continue;
			*left = std::min(*left, x);
			*top = std::min(*top, y);
			*right = std::max(*right, x);
			*bottom = std::max(*bottom, y);
		}
	}
	return *right >= 0;
}

bool Image::BoundsOfDark(int level, int* left, int* top, int* right, int* bottom) const
{
	int fromX = std::max(0, *left);
	int fromY = std::max(0, *top);
	int toX = std::min(width - 1, *right);
	int toY = std::min(height - 1, *bottom);
	*left = width;
	*top = height;
	*right = -1;
	*bottom = -1;
	for (int y = fromY; y <= toY; y++) {
		for (int x = fromX; x <= toX; x++) {
			int r, g, b;
			Pixel(x, y, &r, &g, &b);
			if (r >= level || g >= level || b >= level)
				continue;
			*left = std::min(*left, x);
			*top = std::min(*top, y);
			*right = std::max(*right, x);
			*bottom = std::max(*bottom, y);
		}
	}
	return *right >= 0;
}

} // namespace e2e
