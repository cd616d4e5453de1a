// Tagged sections in shell scripts: adding, replacing, removing, backups and
// the whole-file rewrite.
#include "ScriptEdit.h"

#include <sys/stat.h>

#include "EngineTestSupport.h"

TEST(ScriptEditTest, SectionsAreAddedReplacedAndRemoved)
{
	EngineWorld world;
	const std::string script = world.UserBoot() + "/UserBootscript";
	WriteText(script, "#!/bin/sh\nstart_server\n");

	EditScriptFile(B_USER_BOOT_DIRECTORY, "UserBootscript", "Hello", "hello --boot");
	EXPECT_EQ(ReadText(script),
	          "#!/bin/sh\nstart_server\n#BEGIN_Hello\nhello --boot\n#END_Hello\n");

	WriteText(script, ReadText(script) + "after\n");
	EditScriptFile(B_USER_BOOT_DIRECTORY, "UserBootscript", "Hello", "hello --boot\nsecond");
	EXPECT_EQ(ReadText(script),
	          "#!/bin/sh\nstart_server\nafter\n#BEGIN_Hello\nhello --boot\nsecond\n#END_Hello\n");

	EditScriptFile(B_USER_BOOT_DIRECTORY, "UserBootscript", "Hello", nullptr);
	EXPECT_EQ(ReadText(script), "#!/bin/sh\nstart_server\nafter\n");
	EXPECT_FALSE(std::filesystem::exists(script + ".tmp"));
}

TEST(ScriptEditTest, RemovingATagNeverTouchesATagItBegins)
{
	const std::string content =
	        "a\n#BEGIN_Foo\nfoo\n#END_Foo\n#BEGIN_FooBar\nfoobar\n#END_FooBar\nz\n";
	EXPECT_EQ(ScriptWithoutSection(content, "Foo"), "a\n#BEGIN_FooBar\nfoobar\n#END_FooBar\nz\n");
	EXPECT_EQ(ScriptWithoutSection(content, "FooBar"), "a\n#BEGIN_Foo\nfoo\n#END_Foo\nz\n");
	EXPECT_EQ(ScriptWithoutSection(content, "Fo"), content);
	// A marker inside a longer line is not a marker.
	const std::string quoted = "echo '#BEGIN_Foo'\necho '#END_Foo'\n";
	EXPECT_EQ(ScriptWithoutSection(quoted, "Foo"), quoted);
}

TEST(ScriptEditTest, SectionsWithoutTheirEndAreLeftInPlace)
{
	struct Case {
		const char* content;
		const char* expected;
	};
	const Case cases[] = {
	        {"#BEGIN_T\nkept\n", "#BEGIN_T\nkept\n"},
	        {"#END_T\n#BEGIN_T\nkept\n", "#END_T\n#BEGIN_T\nkept\n"},
	        {"x\n#BEGIN_T\n1\n#END_T\n#BEGIN_T\n2\n#END_T\ny", "x\ny"},
	        {"#BEGIN_T\r\nwin\r\n#END_T\r\nrest\n", "rest\n"},
	};
	for (const Case& test : cases)
		EXPECT_EQ(ScriptWithoutSection(test.content, "T"), test.expected) << test.content;
}

TEST(ScriptEditTest, BackupHoldsTheFileAsItStoodBeforeEachEdit)
{
	EngineWorld world;
	const std::string profile = world.Boot() + "/home/.profile";
	WriteText(profile, "export A=1\n");
	EditScriptFile(B_USER_DIRECTORY, ".profile", "P", "export B=2");
	EXPECT_EQ(ReadText(profile + ".orig"), "export A=1\n");
	const std::string afterFirst = ReadText(profile);
	EditScriptFile(B_USER_DIRECTORY, ".profile", "P", "export B=3");
	EXPECT_EQ(ReadText(profile + ".orig"), afterFirst);
	EXPECT_EQ(ReadText(profile), "export A=1\n#BEGIN_P\nexport B=3\n#END_P\n");
}

TEST(ScriptEditTest, MissingLineFeedAndMissingFile)
{
	EngineWorld world;
	const std::string script = world.UserBoot() + "/UserSetupEnvironment";
	EditScriptFile(B_USER_BOOT_DIRECTORY, "UserSetupEnvironment", "E", "X=1");
	EXPECT_EQ(ReadText(script), "\n#BEGIN_E\nX=1\n#END_E\n");
	EXPECT_FALSE(std::filesystem::exists(script + ".orig"));

	WriteText(script, "no line feed");
	EditScriptFile(B_USER_BOOT_DIRECTORY, "UserSetupEnvironment", "E", "X=2");
	EXPECT_EQ(ReadText(script), "no line feed\n#BEGIN_E\nX=2\n#END_E\n");
}

TEST(ScriptEditTest, SampleSeedsAMissingScriptAndAMissingFolderIsMade)
{
	EngineWorld world;
	const std::string script = world.UserBoot() + "/UserBootscript";
	WriteText(script + ".sample", "#!/bin/sh\n");
	EditScriptFile(B_USER_BOOT_DIRECTORY, "UserBootscript", "S", "s");
	EXPECT_EQ(ReadText(script), "#!/bin/sh\n#BEGIN_S\ns\n#END_S\n");

	// Removing a section never makes the folder it would be in.
	std::filesystem::remove_all(world.UserBoot());
	EXPECT_EQ(EditScriptFile(B_USER_BOOT_DIRECTORY, "UserBootscript", "S", nullptr), B_OK);
	EXPECT_FALSE(std::filesystem::exists(world.UserBoot()));
	// Adding one makes it, as a missing script is made.
	EXPECT_EQ(EditScriptFile(B_USER_BOOT_DIRECTORY, "UserBootscript", "S", "s"), B_OK);
	EXPECT_EQ(ReadText(script), "\n#BEGIN_S\ns\n#END_S\n");
}

// A section is never written holding its own marker, and one written so by
// an earlier version is removed whole: no line of it is left to run.
TEST(ScriptEditTest, PlantedMarkersNeverLeaveALiveLine)
{
	EngineWorld world;
	const std::string profile = world.Boot() + "/home/.profile";
	const char* const refused[] = {
	        "export P=\"/a\n#END_T\ntouch /tmp/planted\n#\"",
	        "x\n#END_T\r\ny",
	        "#BEGIN_T\nx",
	};
	for (const char* text : refused) {
		SCOPED_TRACE(text);
		WriteText(profile, "mine\n");
		EXPECT_EQ(EditScriptFile(B_USER_DIRECTORY, ".profile", "T", text), B_BAD_VALUE);
		EXPECT_EQ(ReadText(profile), "mine\n");
	}
	struct Case {
		const char* content;
		const char* expected;
	};
	const Case written[] = {
	        {"a\n#BEGIN_T\nexport P=\"/a\n#END_T\ntouch /tmp/planted\n#\"\n#END_T\nz\n", "a\nz\n"},
	        {"#BEGIN_T\n1\n#END_T\nrun\n#END_T\n#BEGIN_T\n2\n#END_T\nz\n", "z\n"},
	        {"#BEGIN_T\n1\n#END_T\nmine\n#BEGIN_U\nu\n#END_U\n", "mine\n#BEGIN_U\nu\n#END_U\n"},
	};
	for (const Case& test : written)
		EXPECT_EQ(ScriptWithoutSection(test.content, "T"), test.expected) << test.content;
}

TEST(ScriptEditTest, RewriteReplacesTheFileWholeAndKeepsModeAndLinks)
{
	EngineWorld world;
	const std::string real = world.Temp() + "/dotfiles-profile";
	WriteText(real, "#!/bin/sh\n");
	chmod(real.c_str(), 0750);
	const std::string profile = world.Boot() + "/home/.profile";
	std::filesystem::create_symlink(real, profile);
	struct stat before;
	stat(real.c_str(), &before);

	ASSERT_EQ(EditScriptPath(profile.c_str(), "L", "echo hi"), B_OK);
	EXPECT_TRUE(std::filesystem::is_symlink(profile));
	EXPECT_EQ(ReadText(real), "#!/bin/sh\n#BEGIN_L\necho hi\n#END_L\n");
	struct stat after;
	stat(real.c_str(), &after);
	EXPECT_EQ(after.st_mode & 07777, 0750u);
	// A new inode: the old file was never written in place.
	EXPECT_NE(after.st_ino, before.st_ino);
	EXPECT_FALSE(std::filesystem::exists(real + ".tmp"));
	EXPECT_EQ(EditScriptPath(nullptr, "L", "x"), B_BAD_VALUE);
}

TEST(ScriptEditTest, RemovingAnAbsentSectionCreatesNoFile)
{
	EngineWorld world;
	const std::string script = world.UserBoot() + "/UserBootscript";
	EditScriptFile(B_USER_BOOT_DIRECTORY, "UserBootscript", "Gone", nullptr);
	EXPECT_FALSE(std::filesystem::exists(script));
}
