// fontconfig's set-up beside the start-up.
#include "FontSetup.h"

#include <fontconfig/fontconfig.h>

#include <mutex>
#include <thread>

namespace {

struct Setup {
	std::mutex lock;
	std::thread thread;
	bool ready = false;

	~Setup()
	{
		if (thread.joinable())
			thread.join();
	}
};

Setup& setup()
{
	static Setup state;
	return state;
}

} // namespace

void start_font_setup()
{
	Setup& state = setup();
	std::lock_guard<std::mutex> guard(state.lock);
	if (state.thread.joinable() || state.ready)
		return;
	state.thread = std::thread([&state] { state.ready = FcInit() == FcTrue; });
}

bool wait_font_setup()
{
	Setup& state = setup();
	std::lock_guard<std::mutex> guard(state.lock);
	if (state.thread.joinable())
		state.thread.join();
	// Never started, or it failed: a second try costs only this caller.
	if (!state.ready)
		state.ready = FcInit() == FcTrue;
	return state.ready;
}
