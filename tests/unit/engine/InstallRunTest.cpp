// The install run on its thread, from an installer file built in the test:
// which payloads it takes, the messages it sends, where it ends early, what
// it starts, and what a stop request leaves behind.
#include "InstallRun.h"

#include <sys/stat.h>

#include <atomic>
#include <climits>

#include "Alert.h"
#include "AlertResponder.h"
#include "EngineTestSupport.h"
#include "InstallConfig.h"
#include "LibAppResource.h"
#include "LibEntry.h"
#include "Messenger.h"
#include "Volume.h"

namespace {

namespace fs = std::filesystem;

// An item of the record: its leaf, whether it is selected, its placement.
struct ItemSpec {
	std::string leaf;
	bool selected;
	std::string destination = "User Selected";
	std::string link = "None";
	std::string autoLaunch = "";
	std::string rule = "Replace";
};

class RunWorld {
public:
	RunWorld()
	{
		installer = world.Temp() + "/installer";
		fs::copy_file("/bin/true", installer);
		fs::create_directories(world.Temp() + "/sources");
		apps = world.Boot() + "/apps";
		fs::create_directories(apps);
		previous = AlertPresenter::Set(&responder);
		config.SetPayloadSource(installer.c_str());
		config.AddString("app_name", "Run");
		config.AddString("version", "2.0");
		config.AddString("opt_created_folder", "Run");
		config.AddBool("opt_log", true);
		config.AddBool("opt_include_deinstall", false);
		LibGetEntryRef(apps.c_str(), config.destination);
	}
	~RunWorld() { AlertPresenter::Set(previous); }

	// Packs a payload for each item and writes the record's item list.
	void AddItems(const std::vector<ItemSpec>& items,
	              const std::map<std::string, std::string>& contents = {})
	{
		BMessage instructions;
		LibAppResource store(installer.c_str(), B_READ_WRITE);
		for (size_t i = 0; i < items.size(); i++) {
			const ItemSpec& wanted = items[i];
			const std::string source = world.Temp() + "/sources/" + wanted.leaf;
			const auto content = contents.find(wanted.leaf);
			WriteText(source, content != contents.end() ? content->second : "item " + wanted.leaf);
			ASSERT_TRUE(store.AddEntry(source.c_str(), 2100 + long(i), wanted.leaf.c_str(), 1));
			BMessage item;
			item.AddString("file_name", ("sources/" + wanted.leaf).c_str());
			item.AddInt32("file_size", 10);
			item.AddInt64("file_modified", 1000000000 + int64(i));
			item.AddBool("install_to_system", wanted.selected);
			BMessage meta;
			meta.AddString("destination", wanted.destination.c_str());
			meta.AddString("destination_exists", wanted.rule.c_str());
			meta.AddString("link", wanted.link.c_str());
			meta.AddString("deinstallable", "True");
			if (!wanted.autoLaunch.empty())
				meta.AddString("auto_launch", wanted.autoLaunch.c_str());
			item.AddMessage("install_meta", &meta);
			instructions.AddMessage("install_file", &item);
		}
		config.AddMessage("install_instructions", &instructions);
	}

	// Runs the install thread to its end; answers the messages it sent.
	std::vector<BMessage> Run()
	{
		RunningCapture capture;
		EXPECT_EQ(config.Go("install", new BMessenger(capture.Get()), B_NORMAL_PRIORITY, true),
		          B_OK);
		// Every message is queued before the thread ends; the last is the end.
		const bigtime_t end = system_time() + 2000000;
		while (system_time() < end &&
		       (capture->Messages().empty() ||
		        capture->Messages().back().what != uint32(LIB_THREAD_CHANGE)))
			snooze(2000);
		return capture->Messages();
	}

	static std::vector<std::string> Statuses(const std::vector<BMessage>& messages)
	{
		std::vector<std::string> texts;
		for (const BMessage& message : messages) {
			if (message.what == INSTALL_STATUS_UPDATE)
				texts.push_back(message.FindString("message"));
		}
		return texts;
	}

	static int32 EndStatus(const std::vector<BMessage>& messages)
	{
		EXPECT_FALSE(messages.empty());
		if (messages.empty())
			return -1;
		EXPECT_EQ(messages.back().what, uint32(LIB_THREAD_CHANGE)) << "the last message";
		EXPECT_STREQ(messages.back().FindString("name"), "install");
		return messages.back().FindInt32("status");
	}

	std::vector<std::string> AlertTexts()
	{
		std::vector<std::string> texts;
		for (const AlertResponder::Record& record : responder.Records())
			texts.push_back(record.text);
		return texts;
	}

	EngineWorld world;
	AlertResponder responder;
	AlertPresenter* previous;
	InstallConfig config;
	std::string installer;
	std::string apps;
};

TEST(InstallRunTest, UnselectedItemsKeepTheirPayloadAndPosition)
{
	RunWorld run;
	run.AddItems({{"a", false}, {"b", true}, {"c", true}});
	const std::vector<BMessage> messages = run.Run();
	EXPECT_EQ(RunWorld::EndStatus(messages), INSTALL_RUN_OVER);
	EXPECT_EQ(RunWorld::Statuses(messages),
	          (std::vector<std::string>{"Checking System Resources...", "Installing 1 of 2 (b)",
	                                    "Installing 2 of 2 (c)", "Installation Complete"}));
	const std::string folder = run.apps + "/Run";
	EXPECT_FALSE(fs::exists(folder + "/a"));
	EXPECT_EQ(ReadText(folder + "/b"), "item b") << "payload 2101 is item 1";
	EXPECT_EQ(ReadText(folder + "/c"), "item c") << "payload 2102 is item 2";
	struct stat info;
	ASSERT_EQ(stat((folder + "/c").c_str(), &info), 0);
	EXPECT_EQ(info.st_mtime, 1000000002) << "the item's recorded date is set";

	BMessage instructions;
	ASSERT_EQ(run.config.FindMessage("install_instructions", &instructions), B_OK);
	BMessage item;
	ASSERT_EQ(instructions.FindMessage("install_file", 0, &item), B_OK);
	EXPECT_STREQ(item.FindString("file_name"), "sources/a") << "an unselected item stays";
	ASSERT_EQ(instructions.FindMessage("install_file", 2, &item), B_OK);
	EXPECT_EQ(std::string(item.FindString("file_name")), folder + "/c");
	EXPECT_EQ(run.AlertTexts(), (std::vector<std::string>{"Installation successfully completed."}));
}

TEST(InstallRunTest, EndsEarlyWithTheResultTheWindowActsOn)
{
	struct Case {
		const char* name;
		std::function<void(RunWorld&)> prepare;
		int32 result;
		std::string alert;
	};
	const Case cases[] = {
	        {"folder name leaving the destination",
	         [](RunWorld& run) { run.config.ReplaceString("opt_created_folder", "../Run"); },
	         INSTALL_RUN_NO_FOLDER,
	         "Unable to create installation folder '../Run'. Unable to install files."},
	        {"destination missing",
	         [](RunWorld& run) {
		         ASSERT_TRUE(
		                 LibGetEntryRef((run.apps + "/missing").c_str(), run.config.destination));
	         },
	         INSTALL_RUN_NO_FOLDER,
	         "Failure to find selected installation folder. Unable to install files."},
	        {"selection beyond the free space",
	         [](RunWorld& run) {
		         BMessage instructions;
		         run.config.FindMessage("install_instructions", &instructions);
		         BMessage item;
		         instructions.FindMessage("install_file", 0, &item);
		         // Each item counts as the first of its leaf: the leaves differ.
		         item.ReplaceInt32("file_size", INT32_MAX);
		         for (int32 i = 0; i < 1500; i++) {
			         item.ReplaceString("file_name", ("huge" + std::to_string(i)).c_str());
			         instructions.AddMessage("install_file", &item);
		         }
		         run.config.ReplaceMessage("install_instructions", &instructions);
	         },
	         INSTALL_RUN_NO_SPACE, "Installation requires "},
	        {"required memory missing",
	         [](RunWorld& run) {
		         run.config.AddBool("req_ram_needed", true);
		         run.config.AddBool("req_ram_required", true);
		         run.config.AddInt32("req_ram_amount", INT32_MAX);
	         },
	         INSTALL_RUN_OVER, "Installation requires 2147483647 MB of physical RAM"},
	};
	for (const Case& test : cases) {
		RunWorld run;
		// 1500 items of 2 GiB exceed the free space of any disk a test runs on.
		if (BVolume(run.config.destination.device).FreeBytes() > (int64(1500) << 31))
			GTEST_SKIP() << "the disk has more than 3 TB free";
		run.AddItems({{"a", true}});
		test.prepare(run);
		const std::vector<BMessage> messages = run.Run();
		EXPECT_EQ(RunWorld::EndStatus(messages), test.result) << test.name;
		EXPECT_EQ(RunWorld::Statuses(messages),
		          (std::vector<std::string>{"Checking System Resources..."}))
		        << test.name;
		const std::vector<std::string> alerts = run.AlertTexts();
		ASSERT_EQ(alerts.size(), 1u) << test.name;
		EXPECT_EQ(alerts[0].rfind(test.alert, 0), 0u) << alerts[0];
		EXPECT_FALSE(fs::exists(run.apps + "/Run")) << test.name;
		EXPECT_FALSE(fs::exists(run.world.Boot() + "/Run")) << test.name;
	}
}

TEST(InstallRunTest, StartsOnlyItemsMarkedExactlyTrue)
{
	RunWorld run;
	const std::string script = "echo ran >> ran.txt\n";
	run.AddItems({{"exact.sh", true, "User Selected", "None", "True"},
	              {"lower.sh", true, "User Selected", "None", "true"},
	              {"unselected.sh", false, "User Selected", "None", "True"}},
	             {{"exact.sh", script}, {"lower.sh", script}, {"unselected.sh", script}});
	run.Run();
	EXPECT_EQ(ReadText(run.apps + "/Run/ran.txt"), "ran\n")
	        << "one script ran, in its own folder, and the run waited for it";
}

TEST(InstallRunTest, ItemAndLinkInOneFolderMakeNoLink)
{
	RunWorld run;
	run.AddItems({{"tool", true, "User Selected", "User Selected"}});
	run.Run();
	const std::string folder = run.apps + "/Run";
	EXPECT_EQ(ReadText(folder + "/tool"), "item tool") << "the link never takes the item's place";
	const std::string log = ReadText(folder + "/Log");
	EXPECT_NE(log.find("\t\tInstalling : tool\n\t\t\tNo link: the item itself lies in " + folder +
	                   "\n"),
	          std::string::npos)
	        << log;
}

TEST(InstallRunTest, MissingStandardFoldersAreMadeForItemsAndLinks)
{
	RunWorld run;
	run.AddItems({{"font", true, "User Fonts", "User Translators"}});
	run.Run();
	const std::string fonts = run.world.Boot() + "/home/config/fonts";
	const std::string links = run.world.Boot() + "/home/config/add-ons/Translators";
	EXPECT_EQ(ReadText(fonts + "/font"), "item font");
	EXPECT_EQ(fs::read_symlink(links + "/font"), fonts + "/font");
	const std::string log = ReadText(run.apps + "/Run/Log");
	EXPECT_NE(log.find("\t\t\tPlaced in " + fonts + "\n\t\t\tPlaced a link in " + links + "\n"),
	          std::string::npos)
	        << log;
}

TEST(InstallRunTest, AnOfferedDestinationIsMadeWhenMissingAndGoesWithAnUndoneRunThatCountsDown)
{
	struct Case {
		const char* name;
		// A file where the item's folder should be: the run fails and is undone.
		bool blocked;
		int32 result;
	};
	const Case cases[] = {
	        {"completed run", false, INSTALL_RUN_OVER},
	        {"undone run", true, INSTALL_RUN_UNDONE},
	};
	for (const Case& test : cases) {
		RunWorld run;
		run.AddItems({{"font", true, "User Fonts"}});
		const std::string fonts = run.world.Boot() + "/home/config/fonts";
		if (test.blocked)
			WriteText(fonts, "a file in the way");
		const std::string offered = run.apps + "/Offered";
		ASSERT_TRUE(LibGetEntryRef(offered.c_str(), run.config.destination));
		run.config.SetMakeDestination(true);
		const std::vector<BMessage> messages = run.Run();
		EXPECT_EQ(RunWorld::EndStatus(messages), test.result) << test.name;
		EXPECT_EQ(fs::exists(offered + "/Run/Log"), !test.blocked) << test.name;
		EXPECT_EQ(fs::exists(offered), !test.blocked) << test.name;
		// The undo tells what is left to take back, down to nothing.
		std::vector<float> left;
		for (const BMessage& message : messages) {
			if (message.what == INSTALL_UNDO_PROGRESS)
				left.push_back(message.FindFloat("left"));
		}
		EXPECT_EQ(left.empty(), !test.blocked) << test.name;
		EXPECT_TRUE(std::is_sorted(left.rbegin(), left.rend())) << test.name;
		if (!left.empty())
			EXPECT_EQ(left.back(), 0) << test.name;
	}
}

// Holds every question open until the asking thread is asked to stop.
class HoldingPresenter : public AlertPresenter {
public:
	int32 Present(BAlert& alert) override
	{
		asked = true;
		while (!StopRequested())
			snooze(1000);
		return B_ALERT_DISMISSED;
	}
	std::atomic<bool> asked{false};
};

TEST(InstallRunTest, StopDuringAQuestionLeavesTheEntryAndSendsNoEnd)
{
	RunWorld run;
	HoldingPresenter holding;
	AlertPresenter::Set(&holding);
	const std::string target = run.world.Boot() + "/home/config/settings";
	fs::create_directories(target);
	WriteText(target + "/prefs", "mine");
	run.AddItems({{"prefs", true, "User Settings", "None", "", "Prompt"}, {"later", true}});
	RunningCapture capture;
	ASSERT_EQ(run.config.Go("install", new BMessenger(capture.Get()), B_NORMAL_PRIORITY, false),
	          B_OK);
	const bigtime_t end = system_time() + 5000000;
	while (!holding.asked && system_time() < end)
		snooze(1000);
	ASSERT_TRUE(holding.asked);
	run.config.Kill();
	status_t exitValue = B_OK;
	wait_for_thread(run.config.Thread(), &exitValue);
	capture->WaitFor(2);
	snooze(100000);

	const std::vector<BMessage> messages = capture->Messages();
	for (const BMessage& message : messages)
		EXPECT_NE(message.what, uint32(LIB_THREAD_CHANGE)) << "a stopped run ends quietly";
	EXPECT_EQ(RunWorld::Statuses(messages).back(), "Installation Undone");
	EXPECT_EQ(ReadText(target + "/prefs"), "mine");
	EXPECT_FALSE(fs::exists(run.apps + "/Run")) << "the stopped run was undone";
}

} // namespace
