// BApplication: the program's looper, whose loop runs on the main thread.
#pragma once

#include <string>

#include "AppInfo.h"
#include "Looper.h"
#include "Messenger.h"

class BApplication : public BLooper {
public:
	explicit BApplication(const char* signature);
	BApplication(const char* signature, status_t* error);
	~BApplication() override;

	status_t InitCheck() const { return fInitStatus; }
	const char* Signature() const { return fSignature.c_str(); }

	// Runs the event loop on the calling thread until Quit; answers that thread.
	thread_id Run() override;
	// On the application's thread the loop ends after the current message; from
	// another thread the quit is queued and Quit returns at once. The object
	// is not deleted: Run returns and main deletes it.
	void Quit() override;
	bool QuitRequested() override;

	// Called once, when Run starts, before any other message.
	virtual void ReadyToRun();
	// Called at the pulse rate while the loop runs.
	virtual void Pulse();
	virtual void ArgvReceived(int32 argc, char** argv);
	void SetPulseRate(bigtime_t rate);
	bigtime_t PulseRate() const { return fPulseRate; }

	void DispatchMessage(BMessage* message, BHandler* handler) override;
	status_t GetAppInfo(app_info* info) const;

	// The seam for another event loop (FLTK): Run calls sRunLoopHook, which
	// must return once the application quits. The default,
	// RunMessageLoop, dispatches messages on the calling thread.
	typedef void (*run_loop_hook)(BApplication* app);
	static run_loop_hook sRunLoopHook;
	static void RunMessageLoop(BApplication* app);
	// For a foreign loop: dispatches at most one message, waiting at most
	// `timeout`; false once the application is quitting.
	bool DispatchNextMessage(bigtime_t timeout) { return BLooper::DispatchNextMessage(timeout); }
	// Called from the sending thread each time a message is queued for the
	// application, so a foreign loop can wake up.
	void SetMessageQueuedHook(void (*hook)(void* data), void* data);

private:
	void Init(const char* signature);
	void StopPulse();
	static int32 PulseLoop(void* data);

	std::string fSignature;
	status_t fInitStatus;
	thread_id fMainThread;
	bigtime_t fPulseRate;
	thread_id fPulseThread;
	bool fReadyToRunCalled;
};

extern BApplication* be_app;
