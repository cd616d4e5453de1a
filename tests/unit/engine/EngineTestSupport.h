// A hermetic world for the engine tests: a boot volume root, a home folder and
// a looper that keeps the messages the engine sends.
#pragma once

#include <gtest/gtest.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "Looper.h"
#include "Message.h"
#include "ScopedEnv.h"
#include "TempFolder.h"
#include "TestFiles.h"

// A temporary folder holding "boot" (VANTRY_ROOT, with the home folder inside)
// and room for other simulated volumes.
class EngineWorld {
public:
	EngineWorld()
	{
		std::filesystem::create_directories(Boot() + "/home/config/boot");
		fRoot.emplace("VANTRY_ROOT", Boot());
		fHome.emplace("HOME", Boot() + "/home");
		fVolumes.emplace("VANTRY_VOLUMES", std::nullopt);
		fVolumesFile.emplace("VANTRY_VOLUMES_FILE", std::nullopt);
	}

	std::string Temp() const { return fFolder.Path(); }
	std::string Boot() const { return fFolder / "boot"; }
	std::string UserBoot() const { return Boot() + "/home/config/boot"; }

	// Offers `folder` (made if needed) as a second volume.
	void AddVolume(const std::string& folder)
	{
		std::filesystem::create_directories(folder);
		fVolumes.reset();
		fVolumes.emplace("VANTRY_VOLUMES", folder);
	}

private:
	// Removed last, once the variables pointing into it are restored.
	TempFolder fFolder;
	std::optional<ScopedEnv> fRoot;
	std::optional<ScopedEnv> fHome;
	std::optional<ScopedEnv> fVolumes;
	std::optional<ScopedEnv> fVolumesFile;
};

inline std::vector<std::string> ReadLines(const std::string& path)
{
	std::vector<std::string> lines;
	std::istringstream text(ReadText(path));
	for (std::string line; std::getline(text, line);)
		lines.push_back(line);
	return lines;
}

// The bytes of a user attribute (links not followed), or nullopt.
inline std::optional<std::string> UserAttr(const std::string& path, const std::string& name)
{
	char buffer[4096];
	const ssize_t size = lgetxattr(path.c_str(), ("user." + name).c_str(), buffer, sizeof(buffer));
	if (size < 0)
		return std::nullopt;
	return std::string(buffer, size_t(size));
}

// Whether the test folder's file system keeps user attributes.
inline bool UserAttrsWork(const std::string& folder)
{
	const std::string probe = folder + "/attr-probe";
	WriteText(probe, "x");
	const bool works = setxattr(probe.c_str(), "user.probe", "1", 1, 0) == 0;
	std::filesystem::remove(probe);
	return works;
}

// A looper that keeps a copy of every message it receives.
class CaptureLooper : public BLooper {
public:
	CaptureLooper() : BLooper("capture") {}

	void MessageReceived(BMessage* message) override
	{
		std::lock_guard<std::mutex> lock(fLock);
		fMessages.push_back(*message);
		fArrived.notify_all();
	}

	// Waits for `count` messages; false after two seconds.
	bool WaitFor(size_t count)
	{
		std::unique_lock<std::mutex> lock(fLock);
		return fArrived.wait_for(lock, std::chrono::seconds(2),
		                         [&] { return fMessages.size() >= count; });
	}

	std::vector<BMessage> Messages()
	{
		std::lock_guard<std::mutex> lock(fLock);
		return fMessages;
	}

private:
	std::mutex fLock;
	std::condition_variable fArrived;
	std::vector<BMessage> fMessages;
};

// Runs a CaptureLooper for the length of a test.
class RunningCapture {
public:
	RunningCapture() : fLooper(new CaptureLooper) { fLooper->Run(); }
	~RunningCapture()
	{
		if (fLooper->Lock())
			fLooper->Quit();
	}
	CaptureLooper* operator->() { return fLooper; }
	CaptureLooper* Get() { return fLooper; }

private:
	CaptureLooper* fLooper;
};
