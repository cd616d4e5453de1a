// Loopers, handlers, messengers and the application object.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "Application.h"
#include "Looper.h"
#include "Message.h"
#include "Messenger.h"

namespace {

const bigtime_t kDeadline = 5000000;

// Waits for `condition` at most five seconds; a hang fails instead of blocking.
template <class Condition> bool eventually(Condition condition)
{
	bigtime_t deadline = system_time() + kDeadline;
	while (!condition()) {
		if (system_time() > deadline)
			return false;
		snooze(1000);
	}
	return true;
}

// A latch the looper thread can be held at.
struct Gate {
	std::mutex lock;
	std::condition_variable opened;
	bool open = true;
	std::atomic<bool> waiting{false};

	void Pass()
	{
		std::unique_lock<std::mutex> guard(lock);
		waiting = !open;
		opened.wait_for(guard, std::chrono::seconds(10), [&] { return open; });
		waiting = false;
	}
	void Set(bool isOpen)
	{
		std::lock_guard<std::mutex> guard(lock);
		open = isOpen;
		opened.notify_all();
	}
};

// Records what it receives, by which handler, and can be held at a gate.
class RecordingLooper : public BLooper {
public:
	RecordingLooper(const char* name, int32 capacity, std::atomic<bool>* deleted = nullptr)
	    : BLooper(name, B_NORMAL_PRIORITY, capacity), fDeleted(deleted)
	{
	}
	~RecordingLooper() override
	{
		if (fDeleted)
			*fDeleted = true;
	}

	void MessageReceived(BMessage* message) override
	{
		gate.Pass();
		if (message->what == 'rply') {
			BMessage reply('answ');
			reply.AddInt32("twice", message->FindInt32("value") * 2);
			message->SendReply(&reply);
		}
		Record(message->what);
	}
	bool QuitRequested() override { return allowQuit; }

	void Record(uint32 what)
	{
		std::lock_guard<std::mutex> guard(lock);
		received.push_back(what);
	}
	std::vector<uint32> Received()
	{
		std::lock_guard<std::mutex> guard(lock);
		return received;
	}

	Gate gate;
	std::atomic<bool> allowQuit{true};

private:
	std::mutex lock;
	std::vector<uint32> received;
	std::atomic<bool>* fDeleted;
};

class NamedHandler : public BHandler {
public:
	NamedHandler(const char* name, RecordingLooper* log) : BHandler(name), fLog(log) {}
	void MessageReceived(BMessage* message) override
	{
		fLog->Record(message->what + uint32(Name()[0]));
	}

private:
	RecordingLooper* fLog;
};

// Starts a looper and stops it at the end of the scope.
struct RunningLooper {
	explicit RunningLooper(int32 capacity = B_LOOPER_PORT_DEFAULT_CAPACITY)
	    : looper(new RecordingLooper("test looper", capacity, &deleted))
	{
		thread = looper->Run();
	}
	~RunningLooper()
	{
		if (deleted)
			return;
		looper->gate.Set(true);
		if (looper->Lock())
			looper->Quit();
	}
	std::atomic<bool> deleted{false};
	RecordingLooper* looper;
	thread_id thread;
};

struct SendJob {
	BMessenger target;
	bigtime_t timeout;
	std::atomic<status_t> result{1};
};

int32 send_job(void* data)
{
	auto* job = static_cast<SendJob*>(data);
	BMessage message('late');
	job->result = job->target.SendMessage(&message, (BHandler*)nullptr, job->timeout);
	return 0;
}

} // namespace

TEST(LooperTest, DispatchesInPostingOrder)
{
	RunningLooper run;
	EXPECT_GT(run.thread, 0);
	EXPECT_EQ(run.looper->Thread(), run.thread);
	EXPECT_EQ(BLooper::LooperForThread(run.thread), run.looper);
	std::vector<uint32> sent;
	for (uint32 i = 0; i < 50; i++) {
		sent.push_back('m000' + i);
		ASSERT_EQ(run.looper->PostMessage(sent.back()), B_OK);
	}
	ASSERT_TRUE(eventually([&] { return run.looper->Received().size() == sent.size(); }));
	EXPECT_EQ(run.looper->Received(), sent);
}

TEST(LooperTest, HandlersReceiveTheirOwnMessages)
{
	RunningLooper run;
	RecordingLooper* looper = run.looper;
	NamedHandler a("a", looper), b("b", looper);
	ASSERT_TRUE(looper->Lock());
	looper->AddHandler(&a);
	looper->AddHandler(&b);
	EXPECT_EQ(looper->CountHandlers(), 3);
	EXPECT_EQ(looper->HandlerAt(0), looper);
	EXPECT_EQ(looper->IndexOf(&b), 2);
	EXPECT_EQ(a.Looper(), looper);
	EXPECT_EQ(a.NextHandler(), looper);
	looper->SetPreferredHandler(&b);
	looper->Unlock();

	ASSERT_EQ(looper->PostMessage('x', &a), B_OK);
	ASSERT_EQ(BMessenger(&b).SendMessage('y'), B_OK);
	ASSERT_EQ(BMessenger(nullptr, looper).SendMessage('z'), B_OK);
	ASSERT_EQ(looper->PostMessage('w'), B_OK);
	ASSERT_TRUE(eventually([&] { return looper->Received().size() == 4; }));
	std::vector<uint32> expected = {'x' + 'a', 'y' + 'b', 'z' + 'b', 'w'};
	EXPECT_EQ(looper->Received(), expected);

	BHandler stranger("stranger");
	EXPECT_EQ(looper->PostMessage('s', &stranger), B_MISMATCHED_VALUES);
	status_t result = B_OK;
	BMessenger(&stranger, nullptr, &result);
	EXPECT_EQ(result, B_MISMATCHED_VALUES);

	ASSERT_TRUE(looper->Lock());
	EXPECT_TRUE(looper->RemoveHandler(&a));
	EXPECT_FALSE(looper->RemoveHandler(&a));
	EXPECT_EQ(looper->PreferredHandler(), &b);
	looper->Unlock();
	EXPECT_EQ(a.Looper(), nullptr);
	EXPECT_FALSE(BMessenger(&a).IsValid());
}

TEST(LooperTest, LockIsExclusiveAndRecursive)
{
	RunningLooper run;
	RecordingLooper* looper = run.looper;
	int counter = 0;
	std::atomic<bool> overlap{false};
	std::vector<std::thread> workers;
	for (int t = 0; t < 4; t++) {
		workers.emplace_back([&] {
			for (int i = 0; i < 500; i++) {
				ASSERT_TRUE(looper->Lock());
				ASSERT_TRUE(looper->Lock());
				if (looper->CountLocks() != 2 || looper->LockingThread() != find_thread(nullptr))
					overlap = true;
				counter++;
				looper->Unlock();
				looper->Unlock();
			}
		});
	}
	for (auto& worker : workers)
		worker.join();
	EXPECT_EQ(counter, 2000);
	EXPECT_FALSE(overlap);

	ASSERT_TRUE(looper->Lock());
	std::atomic<status_t> other{B_OK};
	std::thread([&] { other = looper->LockWithTimeout(10000); }).join();
	EXPECT_EQ(other.load(), B_TIMED_OUT);
	EXPECT_TRUE(BMessenger(looper).LockTarget());
	looper->Unlock();
	looper->Unlock();
	EXPECT_FALSE(looper->IsLocked());
}

TEST(LooperTest, SendBlocksOnAFullQueueUntilItDrains)
{
	RunningLooper run(2);
	RecordingLooper* looper = run.looper;
	EXPECT_EQ(looper->PortCapacity(), 2);
	looper->gate.Set(false);
	BMessenger messenger(looper);
	ASSERT_EQ(messenger.SendMessage('m001'), B_OK);
	ASSERT_TRUE(eventually([&] { return looper->gate.waiting.load(); }));
	ASSERT_EQ(messenger.SendMessage('m002'), B_OK);
	ASSERT_EQ(messenger.SendMessage('m003'), B_OK);

	BMessage extra('m004');
	EXPECT_EQ(messenger.SendMessage(&extra, (BHandler*)nullptr, 0), B_WOULD_BLOCK);
	EXPECT_EQ(looper->PostMessage('m004'), B_WOULD_BLOCK);
	bigtime_t start = system_time();
	EXPECT_EQ(messenger.SendMessage(&extra, (BHandler*)nullptr, 20000), B_TIMED_OUT);
	EXPECT_GE(system_time() - start, 20000);

	SendJob job;
	job.target = messenger;
	job.timeout = B_INFINITE_TIMEOUT;
	thread_id sender = spawn_thread(send_job, "sender", B_NORMAL_PRIORITY, &job);
	ASSERT_EQ(resume_thread(sender), B_OK);
	thread_info info;
	ASSERT_TRUE(eventually([&] {
		return get_thread_info(sender, &info) == B_OK && info.state == B_THREAD_WAITING;
	}));
	EXPECT_EQ(job.result.load(), 1);

	looper->gate.Set(true);
	ASSERT_EQ(wait_for_thread(sender, nullptr), B_OK);
	EXPECT_EQ(job.result.load(), B_OK);
	ASSERT_TRUE(eventually([&] { return looper->Received().size() == 4; }));
	std::vector<uint32> expected = {'m001', 'm002', 'm003', 'late'};
	EXPECT_EQ(looper->Received(), expected);
}

TEST(LooperTest, KillEndsABlockedSend)
{
	RunningLooper run(1);
	RecordingLooper* looper = run.looper;
	looper->gate.Set(false);
	BMessenger messenger(looper);
	ASSERT_EQ(messenger.SendMessage('m001'), B_OK);
	ASSERT_TRUE(eventually([&] { return looper->gate.waiting.load(); }));
	ASSERT_EQ(messenger.SendMessage('m002'), B_OK);

	SendJob job;
	job.target = messenger;
	job.timeout = B_INFINITE_TIMEOUT;
	thread_id sender = spawn_thread(send_job, "install", B_NORMAL_PRIORITY, &job);
	ASSERT_EQ(resume_thread(sender), B_OK);
	thread_info info;
	ASSERT_TRUE(eventually([&] {
		return get_thread_info(sender, &info) == B_OK && info.state == B_THREAD_WAITING;
	}));
	ASSERT_EQ(kill_thread(sender), B_OK);
	ASSERT_EQ(wait_for_thread(sender, nullptr), B_OK);
	EXPECT_EQ(job.result.load(), B_INTERRUPTED);
}

TEST(LooperTest, SynchronousReplies)
{
	RunningLooper run;
	BMessenger messenger(run.looper);

	BMessage question('rply');
	question.AddInt32("value", 21);
	BMessage reply;
	ASSERT_EQ(messenger.SendMessage(&question, &reply), B_OK);
	EXPECT_EQ(reply.what, uint32('answ'));
	EXPECT_EQ(reply.FindInt32("twice"), 42);

	BMessage unanswered('none');
	ASSERT_EQ(messenger.SendMessage(&unanswered, &reply), B_OK);
	EXPECT_EQ(reply.what, uint32(B_NO_REPLY));

	run.looper->gate.Set(false);
	EXPECT_EQ(messenger.SendMessage(&question, &reply, B_INFINITE_TIMEOUT, 20000), B_TIMED_OUT);
	run.looper->gate.Set(true);
}

TEST(LooperTest, QuitFromAnotherThreadDeletesTheLooper)
{
	std::atomic<bool> deleted{false};
	auto* looper = new RecordingLooper("quitter", 10, &deleted);
	thread_id thread = looper->Run();
	BMessenger messenger(looper);
	ASSERT_TRUE(messenger.IsValid());
	ASSERT_TRUE(looper->Lock());
	looper->Quit();
	EXPECT_TRUE(deleted);
	EXPECT_FALSE(messenger.IsValid());
	EXPECT_EQ(messenger.SendMessage('gone'), B_BAD_PORT_ID);
	EXPECT_FALSE(messenger.LockTarget());
	EXPECT_EQ(BLooper::LooperForThread(thread), nullptr);
	thread_info info;
	EXPECT_TRUE(eventually([&] { return get_thread_info(thread, &info) == B_BAD_THREAD_ID; }));
}

TEST(LooperTest, QuitRequestedDecides)
{
	RunningLooper run;
	run.looper->allowQuit = false;
	BMessenger messenger(run.looper);
	ASSERT_EQ(messenger.SendMessage(B_QUIT_REQUESTED), B_OK);
	ASSERT_EQ(messenger.SendMessage('next'), B_OK);
	ASSERT_TRUE(eventually([&] { return run.looper->Received().size() == 1; }));
	EXPECT_FALSE(run.deleted);

	run.looper->allowQuit = true;
	ASSERT_EQ(messenger.SendMessage(B_QUIT_REQUESTED), B_OK);
	ASSERT_TRUE(eventually([&] { return run.deleted.load(); }));
	EXPECT_FALSE(messenger.IsValid());
}

TEST(LooperTest, KillingTheLooperThreadEndsIt)
{
	RunningLooper run;
	ASSERT_EQ(run.looper->PostMessage('strt'), B_OK);
	ASSERT_TRUE(eventually([&] { return run.looper->Received().size() == 1; }));
	ASSERT_EQ(kill_thread(run.thread), B_OK);
	ASSERT_EQ(wait_for_thread(run.thread, nullptr), B_OK);
	EXPECT_TRUE(run.deleted);
}

namespace {

class TestApp : public BApplication {
public:
	TestApp() : BApplication("application/x-vnd.Vantry-LooperTest") {}

	void ReadyToRun() override
	{
		readyCalls++;
		readyBeforeMessages = messages.empty();
	}
	void Pulse() override
	{
		if (++pulses == 3)
			Quit();
	}
	void MessageReceived(BMessage* message) override
	{
		messages.push_back(message->what);
		if (message->what == 'rply') {
			BMessage reply('answ');
			message->SendReply(&reply);
		}
	}

	int readyCalls = 0;
	bool readyBeforeMessages = false;
	std::atomic<int> pulses{0};
	std::vector<uint32> messages;
};

int sHookCalls = 0;

void polling_loop(BApplication* app)
{
	sHookCalls++;
	while (app->DispatchNextMessage(1000)) {
	}
}

} // namespace

TEST(ApplicationTest, RunsOnTheCallingThreadUntilQuitFromAnother)
{
	TestApp app;
	ASSERT_EQ(app.InitCheck(), B_OK);
	EXPECT_EQ(be_app, &app);
	EXPECT_TRUE(be_app_messenger.IsValid());
	status_t result = B_ERROR;
	BMessenger bySignature("application/x-vnd.vantry-loopertest", -1, &result);
	EXPECT_EQ(result, B_OK);
	EXPECT_EQ(bySignature, be_app_messenger);
	BMessenger("application/x-vnd.Other", -1, &result);
	EXPECT_EQ(result, B_BAD_VALUE);

	ASSERT_EQ(app.PostMessage('pre1'), B_OK);
	std::atomic<status_t> replyStatus{B_ERROR};
	std::atomic<uint32> replyWhat{0};
	std::thread other([&] {
		BMessage reply;
		replyStatus = be_app_messenger.SendMessage('rply', &reply);
		replyWhat = reply.what;
		be_app_messenger.SendMessage('msg2');
		be_app->Quit();
	});
	thread_id ran = app.Run();
	other.join();

	EXPECT_EQ(ran, find_thread(nullptr));
	EXPECT_EQ(app.readyCalls, 1);
	EXPECT_TRUE(app.readyBeforeMessages);
	std::vector<uint32> expected = {'pre1', 'rply', 'msg2'};
	EXPECT_EQ(app.messages, expected);
	EXPECT_EQ(replyStatus.load(), B_OK);
	EXPECT_EQ(replyWhat.load(), uint32('answ'));
	EXPECT_EQ(BLooper::LooperForThread(find_thread(nullptr)), &app);
	BMessage reply;
	EXPECT_EQ(be_app_messenger.SendMessage('self', &reply), B_MESSAGE_TO_SELF);
}

TEST(ApplicationTest, PulsesAtTheRate)
{
	TestApp app;
	app.SetPulseRate(2000);
	EXPECT_EQ(app.PulseRate(), 2000);
	app.Run();
	EXPECT_EQ(app.pulses.load(), 3);
	EXPECT_EQ(app.readyCalls, 1);
}

TEST(ApplicationTest, RunLoopHookReplacesTheLoop)
{
	BApplication::run_loop_hook saved = BApplication::sRunLoopHook;
	BApplication::sRunLoopHook = polling_loop;
	sHookCalls = 0;
	{
		TestApp app;
		ASSERT_EQ(app.PostMessage(B_QUIT_REQUESTED), B_OK);
		app.Run();
		EXPECT_EQ(app.readyCalls, 1);
	}
	BApplication::sRunLoopHook = saved;
	EXPECT_EQ(sHookCalls, 1);
	EXPECT_EQ(be_app, nullptr);
	EXPECT_FALSE(be_app_messenger.IsValid());
}

TEST(ApplicationTest, AppInfoNamesTheRunningExecutable)
{
	TestApp app;
	app_info info;
	ASSERT_EQ(app.GetAppInfo(&info), B_OK);
	std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
	EXPECT_STREQ(info.ref.name, self.filename().c_str());
	EXPECT_EQ(info.ref.directory_path, self.parent_path().string());
	struct stat folder;
	ASSERT_EQ(stat(self.parent_path().c_str(), &folder), 0);
	EXPECT_EQ(info.ref.directory, int64(folder.st_ino));
	EXPECT_EQ(info.ref.device, int32(folder.st_dev));
	EXPECT_STREQ(info.signature, "application/x-vnd.Vantry-LooperTest");
	EXPECT_EQ(info.team, getpid());
	EXPECT_EQ(info.thread, find_thread(nullptr));
	EXPECT_EQ(info.port, app.Port());
	EXPECT_EQ(app.GetAppInfo(nullptr), B_BAD_VALUE);
}

TEST(ApplicationTest, SignaturesAreChecked)
{
	struct Case {
		const char* signature;
		status_t status;
	};
	const Case cases[] = {
	        {"application/x-vnd.Good", B_OK}, {"Application/x-vnd.Case", B_OK},
	        {"text/plain", B_BAD_VALUE},      {"application/", B_BAD_VALUE},
	        {nullptr, B_BAD_VALUE},
	};
	for (const Case& c : cases) {
		status_t status = B_ERROR;
		BApplication app(c.signature, &status);
		EXPECT_EQ(status, c.status) << (c.signature ? c.signature : "(null)");
		EXPECT_EQ(be_app == &app, c.status == B_OK);
	}
	BApplication first("application/x-vnd.First");
	status_t status = B_OK;
	BApplication second("application/x-vnd.Second", &status);
	EXPECT_EQ(status, B_ALREADY_RUNNING);
	EXPECT_EQ(be_app, &first);
}
