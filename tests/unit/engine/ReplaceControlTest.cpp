// Collision rules, the flags that carry an answer to later collisions, and
// the dialog's texts and views.
#include "InstallConfig.h"

#include "AlertResponder.h"
#include "EngineTestSupport.h"
#include "Path.h"
#include "ReplaceAlert.h"
#include "ScopedEnv.h"
#include "TextView.h"

namespace {

// An installation folder with a new item, a target folder with an entry in
// its way, a "Saved Files" folder and a log.
class Collision {
public:
	Collision(const bool& saveReplaced)
	{
		install = world.Temp() + "/Hello";
		target = world.Temp() + "/apps";
		saved = install + "/Saved Files";
		std::filesystem::create_directories(saved);
		std::filesystem::create_directories(target);
		config.AddBool("opt_log", true);
		config.AddBool("opt_save_replaced", saveReplaced);
		config.OpenLog((install + "/Log").c_str());
		previous = AlertPresenter::Set(&responder);
	}
	~Collision()
	{
		AlertPresenter::Set(previous);
		config.CloseLog();
	}

	// A new item and an existing entry of the same leaf.
	BPath Item(const char* leaf)
	{
		WriteText(install + "/" + leaf, "new");
		WriteText(target + "/" + leaf, "old");
		return BPath((install + "/" + leaf).c_str());
	}

	bool Replace(const BPath& item, const char* rule, bool& ask, bool& answer)
	{
		return config.ReplaceControl(target.c_str(), item, rule, ask, answer, BPath(saved.c_str()));
	}

	std::string LogText()
	{
		fflush(config.log_file);
		return ReadText(install + "/Log");
	}

	EngineWorld world;
	InstallConfig config;
	AlertResponder responder;
	AlertPresenter* previous;
	std::string install;
	std::string target;
	std::string saved;
};

} // namespace

TEST(ReplaceControlTest, RulesWithoutAQuestion)
{
	struct Case {
		const char* rule;
		bool saveReplaced;
		const char* logLine;
		const char* oldAt; // where the old entry ends up, relative to the world
	};
	const Case cases[] = {
	        {"Replace", false, "\t\t\tExisting file removed.\n", nullptr},
	        {"prompt", false, "\t\t\tExisting file removed.\n", nullptr},
	        {"Replace", true, "\t\t\tExisting file saved.\n", "/Hello/Saved Files/tool"},
	        {"Rename", false, "\t\t\tExisting file renamed\n", "/apps/tool copy"},
	        {"Rename", true, "\t\t\tExisting file renamed\n", "/apps/tool copy"},
	};
	for (const Case& test : cases) {
		Collision collision(test.saveReplaced);
		bool ask = true;
		bool answer = true;
		EXPECT_TRUE(collision.Replace(collision.Item("tool"), test.rule, ask, answer)) << test.rule;
		EXPECT_EQ(collision.LogText(), test.logLine) << test.rule;
		EXPECT_FALSE(std::filesystem::exists(collision.target + "/tool")) << test.rule;
		if (test.oldAt != nullptr)
			EXPECT_EQ(ReadText(collision.world.Temp() + test.oldAt), "old") << test.rule;
		EXPECT_EQ(collision.responder.CountRecords(), 0);
		EXPECT_TRUE(ask);
	}
}

TEST(ReplaceControlTest, NothingInTheWayIsAlwaysPlaced)
{
	Collision collision(false);
	WriteText(collision.install + "/free", "new");
	bool ask = true;
	bool answer = false;
	EXPECT_TRUE(
	        collision.Replace(BPath((collision.install + "/free").c_str()), "Prompt", ask, answer));
	EXPECT_TRUE(ask);
	EXPECT_FALSE(answer);
	EXPECT_EQ(collision.LogText(), "");
}

TEST(ReplaceControlTest, RenameTakesTheNextFreeName)
{
	Collision collision(false);
	WriteText(collision.target + "/tool copy", "older");
	bool ask = true;
	bool answer = true;
	EXPECT_TRUE(collision.Replace(collision.Item("tool"), "Rename", ask, answer));
	EXPECT_EQ(ReadText(collision.target + "/tool copy"), "older");
	EXPECT_EQ(ReadText(collision.target + "/tool copy 1"), "old");
}

TEST(ReplaceControlTest, SavedEntriesNeverOverwriteEachOther)
{
	Collision collision(true);
	bool ask = true;
	bool answer = true;
	EXPECT_TRUE(collision.Replace(collision.Item("tool"), "Replace", ask, answer));
	std::filesystem::remove(collision.install + "/tool");
	WriteText(collision.install + "/tool", "newer");
	WriteText(collision.target + "/tool", "second old");
	EXPECT_TRUE(collision.Replace(BPath((collision.install + "/tool").c_str()), "Replace", ask,
	                              answer));
	EXPECT_EQ(ReadText(collision.saved + "/tool"), "old");
	EXPECT_EQ(ReadText(collision.saved + "/tool copy"), "second old");
}

TEST(ReplaceControlTest, FailedSaveKeepsTheExistingEntry)
{
	Collision collision(true);
	std::filesystem::remove_all(collision.saved);
	bool ask = true;
	bool answer = true;
	EXPECT_FALSE(collision.Replace(collision.Item("tool"), "Replace", ask, answer));
	EXPECT_EQ(ReadText(collision.target + "/tool"), "old");
}

TEST(ReplaceControlTest, PromptAnswersApplyToAllPerKind)
{
	struct Case {
		int32 button;
		int32 applyToAll;
		bool expected;
		bool askAfter;
	};
	const Case cases[] = {
	        {1, 1, true, false},
	        {0, 1, false, false},
	        {1, 0, true, true},
	        {0, 0, false, true},
	};
	for (const Case& test : cases) {
		Collision collision(false);
		collision.responder.AddAnswer(test.button, nullptr, {test.applyToAll});
		bool askItems = true;
		bool itemAnswer = true;
		bool askLinks = true;
		bool linkAnswer = true;
		EXPECT_EQ(collision.Replace(collision.Item("a"), "Prompt", askItems, itemAnswer),
		          test.expected);
		EXPECT_EQ(askItems, test.askAfter);
		EXPECT_EQ(itemAnswer, test.expected);
		ASSERT_EQ(collision.responder.CountRecords(), 1);
		// Declined entries stay; accepted ones are left for the placing step.
		EXPECT_EQ(ReadText(collision.target + "/a"), "old");

		if (!test.askAfter) {
			EXPECT_EQ(collision.Replace(collision.Item("b"), "Prompt", askItems, itemAnswer),
			          test.expected);
			EXPECT_EQ(collision.responder.CountRecords(), 1);
		}
		// Links keep their own pair of flags: still asked.
		collision.responder.AddAnswer(1);
		EXPECT_TRUE(collision.Replace(collision.Item("c"), "Prompt", askLinks, linkAnswer));
		EXPECT_EQ(collision.responder.CountRecords(), 2);
		EXPECT_TRUE(askLinks);
	}
}

TEST(ReplaceControlTest, PromptWithSaveReplacedMovesTheEntryAside)
{
	Collision collision(true);
	collision.responder.AddAnswer(1);
	bool ask = true;
	bool answer = true;
	EXPECT_TRUE(collision.Replace(collision.Item("tool"), "Prompt", ask, answer));
	EXPECT_EQ(ReadText(collision.saved + "/tool"), "old");
	EXPECT_EQ(collision.LogText(), "\t\t\tExisting file saved.\n");
}

TEST(ReplaceAlertTest, TextsFollowTheLanguageAndTheKindOfEntry)
{
	EngineWorld world;
	const std::string from = world.Temp() + "/new";
	WriteText(from, "n");
	const std::string file = world.Temp() + "/report.txt";
	WriteText(file, "f");
	const std::string folder = world.Temp() + "/Docs";
	std::filesystem::create_directory(folder);
	const std::string link = world.Temp() + "/Shortcut";
	std::filesystem::create_symlink(folder, link);

	struct Case {
		const char* language;
		std::string to;
		const char* question;
		const char* replace;
		const char* dontReplace;
		const char* with;
	};
	const Case cases[] = {
	        {"en", file, "The file 'report.txt' already exists. Do you wish to replace existing",
	         "Replace", "Don't Replace", "With"},
	        {"pt", folder, "The folder 'Docs' already exists. Do you wish to replace existing",
	         "Replace", "Don't Replace", "With"},
	        {"en", link,
	         "The symbolic link 'Shortcut' already exists. Do you wish to replace existing",
	         "Replace", "Don't Replace", "With"},
	        {"fr", file,
	         "Le fichier de 'report.txt' existe déjà Vous souhaitez substituer exister.",
	         "Replacer", "Font pas Replacer", "Avec"},
	        {"de", folder,
	         "Das heft 'Docs' existiert bereits  Möchten Sie das Existieren ersetzen.", "Ersetzen",
	         "Ausführen nicht Ersetzen", "Mit"},
	        {"sv", link,
	         "symbolisk länken 'Shortcut' redan existerar. Vill du önska till ombytta existerande",
	         "Ombytta", "Icke gör det Ombytta", "Med"},
	        {"nl", file,
	         "Naar de vijl 'report.txt' reeds bestaan. Verrichten u wil voor vervangen voorhanden",
	         "Vervangen", "Verrichten niet Vervangen", "Van"},
	};
	for (const Case& test : cases) {
		ReplaceAlert alert(BPath(from.c_str()), BPath(test.to.c_str()), true, test.language);
		EXPECT_STREQ(alert.Text(), test.question);
		EXPECT_STREQ(alert.Title(), "ReplaceAlert");
		ASSERT_EQ(alert.CountButtons(), 2);
		EXPECT_STREQ(alert.ButtonAt(0)->Label(), test.dontReplace);
		EXPECT_STREQ(alert.ButtonAt(1)->Label(), test.replace);
		EXPECT_EQ(alert.Shortcut(0), 'd');
		EXPECT_EQ(alert.Shortcut(1), 'r');
		EXPECT_EQ(alert.Type(), B_WARNING_ALERT);
		EXPECT_EQ(alert.ButtonWidth(), B_WIDTH_FROM_WIDEST);
		ASSERT_NE(alert.FindView("with"), nullptr);
		EXPECT_EQ(alert.FindView("with")->text, test.with);
		EXPECT_FALSE(alert.apply_to_all);
	}
}

TEST(ReplaceAlertTest, ViewsSitWhereTheDialogPutsThem)
{
	EngineWorld world;
	const std::string from = world.Temp() + "/new";
	const std::string to = world.Temp() + "/old";
	WriteText(from, std::string(2048, 'x'));
	WriteText(to, "o");
	ReplaceAlert alert(BPath(from.c_str()), BPath(to.c_str()), true, "en");
	struct Case {
		const char* name;
		BRect frame;
		const char* text;
	};
	const Case cases[] = {
	        {"to_image", BRect(0, 65, 31, 96), ""},
	        {"to_creation_label", BRect(40, 35, 105, 50), "Created :"},
	        {"to_creation", BRect(110, 35, 260, 50), nullptr},
	        {"to_path", BRect(110, 95, 330, 110), nullptr},
	        {"to_version_label", BRect(40, 110, 105, 125), "Version :"},
	        {"with", BRect(0, 125, 50, 140), "With"},
	        {"from_image", BRect(0, 170, 31, 201), ""},
	        {"from_creation_label", BRect(40, 140, 105, 155), "Created :"},
	        {"from_modified", BRect(110, 155, 330, 170), nullptr},
	        {"from_size", BRect(110, 170, 260, 185), "2.0 KB"},
	        {"from_version", BRect(110, 215, 260, 230), nullptr},
	        {"future_collisions", BRect(0, 235, 300, 250), "Apply to all future collisions"},
	};
	for (const Case& test : cases) {
		const ReplaceAlert::View* view = alert.FindView(test.name);
		ASSERT_NE(view, nullptr) << test.name;
		EXPECT_EQ(view->frame, test.frame) << test.name;
		if (test.text != nullptr)
			EXPECT_EQ(view->text, test.text) << test.name;
	}
	EXPECT_EQ(alert.FindView("to_path")->text, world.Temp());
	EXPECT_EQ(alert.FindView("to_path")->truncation, 1);
	EXPECT_EQ(alert.FindView("to_creation_label")->color.red, 255);
	EXPECT_EQ(alert.ExtraHeight(), 240);
	EXPECT_EQ(alert.CountControls(), 1);

	ReplaceAlert plain(BPath(from.c_str()), BPath(to.c_str()), false, "en");
	EXPECT_EQ(plain.FindView("future_collisions"), nullptr);
	EXPECT_EQ(plain.CountControls(), 0);
	EXPECT_EQ(plain.ExtraHeight(), 220);
}

TEST(ReplaceAlertTest, ALongQuestionStaysAboveTheRowsAndBothEntriesShowTheirPlaceAndKind)
{
	EngineWorld world;
	const std::string mime = world.Temp() + "/share/mime";
	std::filesystem::create_directories(mime + "/image");
	std::filesystem::create_directories(mime + "/application");
	WriteText(mime + "/globs2", "50:image/png:*.png\n50:application/x-troff-man:*.[1-9]\n");
	WriteText(mime + "/image/png.xml",
	          "<comment>PNG image</comment><comment xml:lang=\"de\">PNG-Bild</comment>");
	WriteText(mime + "/application/x-troff-man.xml", "<comment>Manual page</comment>");
	ScopedEnv user("XDG_DATA_HOME", world.Temp() + "/nothing");
	ScopedEnv system("XDG_DATA_DIRS", world.Temp() + "/share");
	const std::string staging = world.Temp() + "/staging";
	const std::string target = world.Temp() + "/target";
	std::filesystem::create_directories(staging);
	std::filesystem::create_directories(target);

	struct Case {
		const char* leaf;
		const char* language;
		const char* kind;
	};
	const Case cases[] = {
	        {"hello.1", "en", "Manual page"},
	        {"picture.png", "de", "PNG-Bild"},
	        {"picture.png", "pt", "PNG image"},
	        {"the quarterly report of the northern region for the whole year.1", "en",
	         "Manual page"},
	        {"no-type", "en", "text/plain"},
	};
	for (const Case& test : cases) {
		WriteText(staging + "/" + test.leaf, "new");
		WriteText(target + "/" + test.leaf, "old");
		ReplaceAlert alert(BPath((staging + "/" + test.leaf).c_str()),
		                   BPath((target + "/" + test.leaf).c_str()), true, test.language);
		EXPECT_EQ(alert.FindView("to_kind")->text, test.kind) << test.leaf;
		EXPECT_EQ(alert.FindView("from_kind")->text, test.kind) << test.leaf;
		// The new entry is shown where it goes, not where it was unpacked.
		EXPECT_EQ(alert.FindView("to_path")->text, target) << test.leaf;
		EXPECT_EQ(alert.FindView("from_path")->text, target) << test.leaf;
		// The question, wrapped as the alert's text view wraps it, ends above the rows.
		const float width = alert.Frame().Width() - BAlert::kTextLeft - BAlert::kMargin;
		BTextView measure(BRect(0, 0, width, 10), "", BRect(0, 0, width, 10), 0, 0);
		BFont font;
		alert.TextView()->GetFont(&font);
		measure.SetFont(&font);
		measure.SetText(alert.Text());
		const float question = measure.CountLines() * measure.LineHeight();
		EXPECT_GT(alert.FindView("to_creation_label")->frame.top, question) << test.leaf;
		EXPECT_GT(alert.FindView("from_version")->frame.bottom,
		          alert.FindView("to_creation_label")->frame.top + 180)
		        << test.leaf;
	}
}

TEST(ReplaceAlertTest, CheckBoxMessageSetsApplyToAll)
{
	EngineWorld world;
	const std::string path = world.Temp() + "/x";
	WriteText(path, "x");
	ReplaceAlert alert(BPath(path.c_str()), BPath(path.c_str()), true, "en");
	BMessage on(1000);
	on.AddInt32("be:value", 1);
	alert.MessageReceived(&on);
	EXPECT_TRUE(alert.apply_to_all);
	EXPECT_EQ(alert.ControlAt(alert.future_collisions_box)->value, 1);
	BMessage off(1000);
	off.AddInt32("be:value", 0);
	alert.MessageReceived(&off);
	EXPECT_FALSE(alert.apply_to_all);
}
