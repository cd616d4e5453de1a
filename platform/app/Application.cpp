// BApplication: the main thread's looper, ReadyToRun, pulses and app_info.
#include "Application.h"

#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "Message.h"

BApplication* be_app = nullptr;

BApplication::run_loop_hook BApplication::sRunLoopHook = &BApplication::RunMessageLoop;

namespace {

const char kSignaturePrefix[] = "application/";

bool valid_signature(const char* signature)
{
	if (signature == nullptr || strlen(signature) >= B_MIME_TYPE_LENGTH)
		return false;
	size_t prefix = sizeof(kSignaturePrefix) - 1;
	return strncasecmp(signature, kSignaturePrefix, prefix) == 0 && strlen(signature) > prefix;
}

} // namespace

BApplication::BApplication(const char* signature)
    : BLooper(signature), fInitStatus(B_NO_INIT), fMainThread(-1), fPulseRate(0), fPulseThread(-1),
      fReadyToRunCalled(false)
{
	Init(signature);
}

BApplication::BApplication(const char* signature, status_t* error) : BApplication(signature)
{
	if (error != nullptr)
		*error = fInitStatus;
}

void BApplication::Init(const char* signature)
{
	fMainThread = find_thread(nullptr);
	Unlock();
	if (!valid_signature(signature)) {
		fInitStatus = B_BAD_VALUE;
		return;
	}
	fSignature = signature;
	if (be_app != nullptr) {
		fInitStatus = B_ALREADY_RUNNING;
		return;
	}
	AdoptThread(fMainThread);
	be_app = this;
	be_app_messenger = BMessenger(nullptr, this);
	fInitStatus = B_OK;
}

BApplication::~BApplication()
{
	StopPulse();
	if (be_app == this) {
		be_app = nullptr;
		be_app_messenger = BMessenger();
	}
}

thread_id BApplication::Run()
{
	if (fInitStatus != B_OK)
		return fInitStatus;
	if (WasRun())
		return B_ALREADY_RUNNING;
	fMainThread = find_thread(nullptr);
	AdoptThread(fMainThread);
	SetRun();
	Queue().AddMessage(new BMessage(B_READY_TO_RUN), Token(), true);
	(sRunLoopHook != nullptr ? sRunLoopHook : &RunMessageLoop)(this);
	StopPulse();
	return fMainThread;
}

void BApplication::RunMessageLoop(BApplication* app)
{
	while (app->DispatchNextMessage(B_INFINITE_TIMEOUT)) {
	}
}

void BApplication::Quit()
{
	if (!WasRun() || find_thread(nullptr) == Thread()) {
		SetQuitting(true);
		return;
	}
	PostQuit();
}

bool BApplication::QuitRequested()
{
	return true;
}

void BApplication::ReadyToRun() {}

void BApplication::Pulse() {}

void BApplication::ArgvReceived(int32 argc, char** argv) {}

void BApplication::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (message == nullptr || handler != this) {
		BLooper::DispatchMessage(message, handler);
		return;
	}
	switch (message->what) {
		case B_READY_TO_RUN:
			if (!fReadyToRunCalled) {
				fReadyToRunCalled = true;
				ReadyToRun();
			}
			break;
		case B_PULSE: Pulse(); break;
		case B_ARGV_RECEIVED: {
			std::vector<std::string> texts;
			const char* text = nullptr;
			for (int32 i = 0; message->FindString("argv", i, &text) == B_OK; i++)
				texts.push_back(text);
			std::vector<char*> argv;
			for (std::string& arg : texts)
				argv.push_back(arg.data());
			argv.push_back(nullptr);
			ArgvReceived(int32(texts.size()), argv.data());
			break;
		}
		default: BLooper::DispatchMessage(message, handler);
	}
}

void BApplication::SetPulseRate(bigtime_t rate)
{
	StopPulse();
	fPulseRate = rate > 0 ? rate : 0;
	if (fPulseRate == 0)
		return;
	fPulseThread = spawn_thread(PulseLoop, "pulse", B_NORMAL_PRIORITY, this);
	if (fPulseThread >= 0)
		resume_thread(fPulseThread);
}

// Posts B_PULSE at the rate, never more than one waiting at a time.
int32 BApplication::PulseLoop(void* data)
{
	auto* app = static_cast<BApplication*>(data);
	bigtime_t rate = app->fPulseRate;
	while (snooze(rate) == B_OK) {
		if (!app->Queue().HasMessage(B_PULSE))
			app->Queue().Push(new BMessage(B_PULSE), app->Token(), 0);
	}
	return B_OK;
}

void BApplication::StopPulse()
{
	if (fPulseThread < 0)
		return;
	kill_thread(fPulseThread);
	wait_for_thread(fPulseThread, nullptr);
	fPulseThread = -1;
}

void BApplication::SetMessageQueuedHook(void (*hook)(void* data), void* data)
{
	Queue().SetQueuedHook(hook, data);
}

status_t BApplication::GetAppInfo(app_info* info) const
{
	if (info == nullptr)
		return B_BAD_VALUE;
	if (fInitStatus != B_OK)
		return fInitStatus;
	std::error_code error;
	std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
	if (error)
		return status_from_errno(error.value());
	std::string folder = executable.parent_path().string();
	struct stat folderStat;
	if (stat(folder.c_str(), &folderStat) != 0)
		return status_from_errno(errno);
	info->thread = fMainThread;
	info->team = getpid();
	info->port = Port();
	// Without a flags resource the platform treats an application as multiple launch.
	info->flags = B_MULTIPLE_LAUNCH;
	info->ref = entry_ref(int32(folderStat.st_dev), int64(folderStat.st_ino),
	                      executable.filename().c_str());
	info->ref.directory_path = folder;
	strncpy(info->signature, fSignature.c_str(), B_MIME_TYPE_LENGTH - 1);
	info->signature[B_MIME_TYPE_LENGTH - 1] = '\0';
	return B_OK;
}
