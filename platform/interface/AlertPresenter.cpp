// The process-wide alert presenter registry.
#include "AlertPresenter.h"

#include <atomic>

#include "OS.h"

namespace {

std::atomic<AlertPresenter*> sPresenter{nullptr};

} // namespace

AlertPresenter::~AlertPresenter() {}

AlertPresenter* AlertPresenter::Get()
{
	return sPresenter.load();
}

AlertPresenter* AlertPresenter::Set(AlertPresenter* presenter)
{
	return sPresenter.exchange(presenter);
}

bool AlertPresenter::StopRequested()
{
	return thread_should_stop();
}
