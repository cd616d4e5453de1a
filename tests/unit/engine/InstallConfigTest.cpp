// The engine's thread, its status messages and the install log's format.
#include "InstallConfig.h"

#include <atomic>

#include "EngineTestSupport.h"
#include "Messenger.h"
#include "TextCut.h"

namespace {

// A thread whose action waits at safe points until it is told to finish.
class WaitingThread : public LibThread {
public:
	int32 Action() override
	{
		started = true;
		while (!finish) {
			if (thread_safe_point() != B_OK)
				return 42;
			snooze(1000);
		}
		return 7;
	}
	~WaitingThread() override { StopThread(); }

	std::atomic<bool> started{false};
	std::atomic<bool> finish{false};
};

// An engine whose thread does nothing: Go() then only sets the status target.
class IdleConfig : public InstallConfig {
public:
	int32 Action() override { return INSTALL_RUN_OVER; }
};

InstallConfig* NewLoggingConfig()
{
	InstallConfig* config = new InstallConfig;
	config->AddBool("opt_log", true);
	config->AddString("app_name", "Hello");
	config->AddString("version", "2.1");
	config->AddString("release_date", "2024-05-01");
	config->AddString("company", "Acme");
	config->AddString("support_email", "help@acme.test");
	return config;
}

bool IsValidUtf8(const std::string& text)
{
	for (size_t i = 0; i < text.size();) {
		const unsigned char lead = static_cast<unsigned char>(text[i]);
		const size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : 4;
		if (i + length > text.size())
			return false;
		for (size_t k = 1; k < length; k++) {
			if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
				return false;
		}
		i += length;
	}
	return true;
}

} // namespace

TEST(LibThreadTest, GoSendsThreadChangeWithNameAndResult)
{
	RunningCapture window;
	WaitingThread thread;
	thread.finish = true;
	ASSERT_EQ(thread.Go("install", new BMessenger(window.Get()), 10, true), B_OK);
	ASSERT_TRUE(window->WaitFor(1));
	const BMessage message = window->Messages()[0];
	EXPECT_EQ(message.what, uint32('LThC'));
	EXPECT_STREQ(message.FindString("name"), "install");
	EXPECT_EQ(message.FindInt32("status"), 7);
}

TEST(LibThreadTest, KilledRunEndsAtSafePointWithoutThreadChange)
{
	RunningCapture window;
	WaitingThread thread;
	ASSERT_EQ(thread.Go("install", new BMessenger(window.Get()), 10, false), B_OK);
	while (!thread.started)
		snooze(1000);
	EXPECT_NE(thread.Status(), 0);
	ASSERT_EQ(thread.Kill(), B_OK);
	status_t exitValue = 0;
	ASSERT_EQ(wait_for_thread(thread.Thread(), &exitValue), B_OK);
	EXPECT_EQ(exitValue, 42);
	EXPECT_FALSE(window->WaitFor(1));
}

TEST(LibThreadTest, DestructorStopsARunningThread)
{
	std::atomic<bool>* finished = nullptr;
	{
		WaitingThread thread;
		ASSERT_EQ(thread.Go("install", nullptr, 10, false), B_OK);
		while (!thread.started)
			snooze(1000);
		finished = &thread.finish;
	}
	// Reaching here means the destructor's stop request ended the loop.
	EXPECT_NE(finished, nullptr);
}

TEST(InstallConfigTest, UpdateStatusSendsIsudAndCutsAtCharacterBoundary)
{
	RunningCapture window;
	IdleConfig config;
	config.UpdateStatus("Installing %d of %d (%s)", 1, 2, "Hello"); // no target yet
	config.Go("noop", new BMessenger(window.Get()), 10, true);
	ASSERT_TRUE(window->WaitFor(1));
	// Only the thread's end reached the window: nothing was sent without a target.
	ASSERT_EQ(window->Messages().size(), 1u);
	EXPECT_EQ(window->Messages()[0].what, uint32(LIB_THREAD_CHANGE));

	std::string longName;
	for (int i = 0; i < 80; i++)
		longName += "é";
	config.UpdateStatus("Installing %d of %d (%s)", 1, 2, "Hello");
	config.UpdateStatus("Installing %d of %d (%s)", 2, 2, longName.c_str());
	ASSERT_TRUE(window->WaitFor(3));
	const std::vector<BMessage> messages = window->Messages();
	EXPECT_EQ(messages[1].what, uint32('isud'));
	EXPECT_STREQ(messages[1].FindString("message"), "Installing 1 of 2 (Hello)");
	const std::string cut = messages[2].FindString("message");
	EXPECT_LE(cut.size(), 99u);
	EXPECT_GE(cut.size(), 98u);
	EXPECT_TRUE(IsValidUtf8(cut)) << cut;
	EXPECT_EQ(cut.rfind("Installing 2 of 2 (é", 0), 0u);
}

TEST(TextCutTest, CutsNeverSplitACharacter)
{
	struct Case {
		std::string text;
		size_t max;
		std::string expected;
	};
	const Case cases[] = {
	        {"abcdef", 4, "abcd"},         {"abc", 10, "abc"},
	        {"a\xC3\xA9", 2, "a"}, // é would be split
	        {"a\xC3\xA9", 3, "a\xC3\xA9"}, {"\xE2\x82\xAC\xE2\x82\xAC", 5, "\xE2\x82\xAC"}, // €€
	        {"\xF0\x9F\x98\x80x", 3, ""}, // a four-byte emoji
	};
	for (const Case& test : cases) {
		std::string text = test.text;
		CutAtCharacter(text, test.max);
		EXPECT_EQ(text, test.expected) << test.text << " at " << test.max;
	}
	EXPECT_EQ(FormatCut(5, "%s-%d", "ab", 1234), "ab-1");
}

TEST(InstallConfigTest, LogIsWrittenLineByLineInItsFormat)
{
	EngineWorld world;
	std::unique_ptr<InstallConfig> config(NewLoggingConfig());
	config->AddBool("req_disk_space_needed", true);
	config->AddBool("req_disk_space_required", true);
	BMessage amount;
	amount.AddDouble("value", 1536.7);
	config->AddMessage("req_disk_space_amount", &amount);
	config->AddBool("req_ram_needed", true);
	config->AddInt32("req_ram_amount", 64);
	config->AddBool("req_removable_vol_ok", true);
	config->AddBool("opt_save_replaced", true);

	const std::string log = world.Temp() + "/Log";
	config->OpenLog(log.c_str());
	ASSERT_NE(config->log_file, nullptr);
	config->LogHeader("1.0.0", "Boot", 2048, "/boot/apps/Hello", "/boot/apps/Hello/Saved Files");
	config->Log("\t\tInstalling : %s\n", "hello");
	config->LogInstallationComplete();
	config->CloseLog();
	EXPECT_EQ(config->log_file, nullptr);

	const std::vector<std::string> lines = ReadLines(log);
	const std::vector<std::string> expected = {
	        "VANTRY",
	        "\tVersion 1.0.0",
	        std::string("\t") + InstallConfig::kMakerWebAddress,
	        std::string("\t") + InstallConfig::kMakerSupportEmail,
	        "",
	        "APPLICATION",
	        "\tApplication : Hello",
	        "\tVersion : 2.1",
	        "\tRelease Date : 2024-05-01",
	        "\tCompany : Acme",
	        "\tSupport Email : help@acme.test",
	        "",
	        "ABOUT THIS SYSTEM",
	        "*system*",
	        "\tFree Disk Space : 2.0 KB",
	        "",
	        "INSTALLER REQUIREMENTS",
	        "\tDisk Space Needed: Yes",
	        "\t\tDisk spaced required: 1.5 KB",
	        "\tPhysical RAM Needed: Yes",
	        "\t\tRAM suggested: 64 MB",
	        "\tBoot Volume Only: No",
	        "\tRemovable Volume Allowed: Yes",
	        "\tShared Volume Allowed: No",
	        "\tShared Libraries:",
	        "\tDependent Applications:",
	        "",
	        "INSTALLATION",
	        "\tOn volume Boot.",
	        "\tIn folder /boot/apps/Hello.",
	        "\tReplaced files moved to /boot/apps/Hello/Saved Files",
	        "",
	        "*started*",
	        "\t\tInstalling : hello",
	        "*complete*",
	};
	ASSERT_EQ(lines.size(), expected.size());
	for (size_t i = 0; i < expected.size(); i++) {
		if (expected[i] == "*system*")
			EXPECT_TRUE(lines[i].size() > 1 && lines[i][0] == '\t') << lines[i];
		else if (expected[i] == "*started*")
			EXPECT_EQ(lines[i].rfind("\tInstallation Started: ", 0), 0u) << lines[i];
		else if (expected[i] == "*complete*")
			EXPECT_EQ(lines[i].rfind("\tInstallation Complete: ", 0), 0u) << lines[i];
		else
			EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
	}
	// Date, one space, time with seconds: two colons in the time.
	const std::string started = lines[32].substr(strlen("\tInstallation Started: "));
	EXPECT_EQ(std::count(started.begin(), started.end(), ':'), 2) << started;
}

TEST(InstallConfigTest, LogLeavesOutWhatIsNotNeededOrAsked)
{
	EngineWorld world;
	std::unique_ptr<InstallConfig> config(NewLoggingConfig());
	const std::string log = world.Temp() + "/Log";
	config->OpenLog(log.c_str());
	config->LogHeader("1.0.0", "Boot", 0, "/f", "");
	config->CloseLog();
	const std::string text = ReadText(log);
	EXPECT_NE(text.find("\tDisk Space Needed: No\n\tPhysical RAM Needed: No\n\tBoot Volume"),
	          std::string::npos);
	EXPECT_EQ(text.find("Disk spaced"), std::string::npos);
	EXPECT_EQ(text.find("RAM required"), std::string::npos);
	EXPECT_EQ(text.find("Replaced files moved"), std::string::npos);
}

TEST(InstallConfigTest, NoLogFileWithoutOptLog)
{
	EngineWorld world;
	InstallConfig config;
	const std::string log = world.Temp() + "/Log";
	config.OpenLog(log.c_str());
	config.Log("\t\tInstalling : %s\n", "x");
	config.CloseLog();
	EXPECT_EQ(config.log_file, nullptr);
	EXPECT_FALSE(std::filesystem::exists(log));
}
