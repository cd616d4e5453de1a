// The Linux layout's script sections and menu entries: which login file a
// shell reads, the Exec quoting of entries, the folder filled into sections,
// and sections added and removed again through the script editor.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "DesktopEntry.h"
#include "LoginScripts.h"
#include "ScopedEnv.h"
#include "ScriptEdit.h"
#include "SessionEnvironment.h"
#include "TempFolder.h"
#include "TestFiles.h"

namespace {

TEST(LinuxDesktopTest, LoginFileIsTheOneTheShellReads)
{
	struct Case {
		const char* shell;
		std::vector<const char*> present;
		const char* expected;
	};
	const Case cases[] = {
	        {"/bin/bash", {}, ".profile"},
	        {"/bin/bash", {".bash_login"}, ".bash_login"},
	        {"/usr/bin/bash", {".bash_login", ".bash_profile"}, ".bash_profile"},
	        {"/bin/zsh", {".bash_profile"}, ".zprofile"},
	        {"/bin/dash", {".bash_profile"}, ".profile"},
	        {"bash", {".bash_profile"}, ".bash_profile"},
	};
	for (const Case& c : cases) {
		TempFolder home;
		for (const char* leaf : c.present)
			home.Write(leaf, "# mine\n");
		EXPECT_EQ(LoginShellFile(home.Path(), c.shell), home / c.expected) << c.shell;
	}
}

TEST(LinuxDesktopTest, ExecArgumentsAreQuotedAndEscaped)
{
	struct Case {
		const char* argument;
		const char* exec; // as written in the entry file
	};
	const Case cases[] = {
	        {"/opt/tally/tally", "/opt/tally/tally"},
	        {"/home/me/My Apps/tally", "\"/home/me/My Apps/tally\""},
	        {"/a/$HOME", "\"/a/\\\\$HOME\""},
	        {"/a/\"q\"", "\"/a/\\\\\"q\\\\\"\""},
	        {"/a/back\\slash", "\"/a/back\\\\\\\\slash\""},
	        {"/a/100%", "/a/100%%"},
	        {"/a/it's", "\"/a/it's\""},
	        {"", "\"\""},
	};
	for (const Case& c : cases)
		EXPECT_EQ(DesktopExecArgument(c.argument), c.exec) << c.argument;
}

TEST(LinuxDesktopTest, OnlySectionsOfPlainAssignmentsReachSessions)
{
	struct Case {
		const char* section;
		const char* assignments; // nullptr: not for environment.d
	};
	const Case cases[] = {
	        {"export PATH=\"$PATH:/opt/Tally\"", "PATH=\"$PATH:/opt/Tally\"\n"},
	        {"# Tally\n\nTALLY=1\n  export  B=\"two words\"", "TALLY=1\nB=\"two words\"\n"},
	        {"export PATH=$(tally --path)", nullptr},
	        {"PATH=`tally`", nullptr},
	        {"A=1; rm -f x", nullptr},
	        {"A=1 && b", nullptr},
	        {"export A", nullptr},
	        {"export=1\n\texport\tB_2=x", "export=1\nB_2=x\n"},
	        {"2A=1", nullptr},
	        {"tally --boot", nullptr},
	        {"alias t=tally", nullptr},
	        {"# only a comment", nullptr},
	};
	for (const Case& c : cases) {
		std::string lines = "unchanged";
		EXPECT_EQ(EnvironmentAssignments(c.section, lines), c.assignments != nullptr) << c.section;
		if (c.assignments != nullptr)
			EXPECT_EQ(lines, c.assignments) << c.section;
	}
}

TEST(LinuxDesktopTest, InstallDirIsFilledInAndNothingElse)
{
	struct Case {
		const char* text;
		const char* folder;
		const char* expected;
	};
	const Case cases[] = {
	        {"export PATH=\"${VANTRY_INSTALL_DIR}:$PATH\"", "/opt/Tally",
	         "export PATH=\"/opt/Tally:$PATH\""},
	        {"${VANTRY_INSTALL_DIR}/a ${VANTRY_INSTALL_DIR}/b", "/x", "/x/a /x/b"},
	        {"$VANTRY_INSTALL_DIR ${HOME} ${VANTRY_INSTALL}", "/x",
	         "$VANTRY_INSTALL_DIR ${HOME} ${VANTRY_INSTALL}"},
	        {"cd \"${VANTRY_INSTALL_DIR}\"", "/a \"b\" $c `d` \\e",
	         "cd \"/a \\\"b\\\" \\$c \\`d\\` \\\\e\""},
	};
	for (const Case& c : cases)
		EXPECT_EQ(SubstituteInstallDir(c.text, c.folder), c.expected) << c.text;
}

TEST(LinuxDesktopTest, EntriesStartProgramsAndOpenEverythingElse)
{
	TempFolder folder;
	const std::string script = folder.Write("run me", "#!/bin/sh\necho hi\n");
	chmod(script.c_str(), 0755);
	const std::string document = folder.Write("notes.txt", "notes\n");
	std::filesystem::create_directories(folder / "docs");
	struct Case {
		std::string path;
		std::string exec;
		const char* terminal;
	};
	const Case cases[] = {
	        {script, "Exec=\"" + script + "\"\n", "Terminal=true\n"},
	        {document, "Exec=xdg-open " + document + "\n", "Terminal=false\n"},
	        {folder / "docs", "Exec=xdg-open " + (folder / "docs") + "\n", "Terminal=false\n"},
	};
	for (const Case& c : cases) {
		const std::string text = DesktopEntryText("Name", c.path);
		EXPECT_NE(text.find(c.exec), std::string::npos) << text;
		EXPECT_NE(text.find(c.terminal), std::string::npos) << text;
		EXPECT_EQ(text.rfind("[Desktop Entry]\nType=Application\nName=Name\n", 0), 0u) << text;
	}
	EXPECT_EQ(DesktopEntryText("Name", folder / "line\nbreak"), "");
	EXPECT_EQ(DesktopFileName("Hello World!", "Tally Notes.txt"),
	          "vantry-hello-world-tally-notes-txt.desktop");
}

class LinuxScriptsTest : public testing::Test {
protected:
	TempFolder home;
	ScopedEnv root{"VANTRY_ROOT", nullptr};
	ScopedEnv homeVariable{"HOME", home.Path()};
	ScopedEnv config{"XDG_CONFIG_HOME", home / ".config"};
	ScopedEnv data{"XDG_DATA_HOME", home / ".local/share"};
	ScopedEnv shell{"SHELL", "/bin/bash"};
};

TEST_F(LinuxScriptsTest, BootSectionsRunThroughAutostartUntilTheLastIsRemoved)
{
	const std::string script = home / ".config/autostart/UserBootscript";
	const std::string entry = script + ".desktop";
	EditScriptFile(B_USER_BOOT_DIRECTORY, "UserBootscript", "One", "echo one");
	EditScriptFile(B_USER_BOOT_DIRECTORY, "UserBootscript", "Two", "echo two");
	EXPECT_EQ(ReadText(script), "#!/bin/sh\n#BEGIN_One\necho one\n#END_One\n#BEGIN_Two\necho "
	                            "two\n#END_Two\n");
	struct stat info;
	ASSERT_EQ(stat(script.c_str(), &info), 0);
	EXPECT_NE(info.st_mode & 0100, 0u);
	EXPECT_NE(ReadText(entry).find("Exec=/bin/sh " + script + "\n"), std::string::npos);

	EditScriptFile(B_USER_BOOT_DIRECTORY, "UserBootscript", "One", nullptr);
	EXPECT_TRUE(std::filesystem::exists(entry)) << "another product's section is left";
	EditScriptFile(B_USER_BOOT_DIRECTORY, "UserBootscript", "Two", nullptr);
	EXPECT_FALSE(std::filesystem::exists(entry));
	EXPECT_EQ(ReadText(script), "#!/bin/sh\n");
}

TEST_F(LinuxScriptsTest, LoginSectionsAreRemovedWhereverTheyLie)
{
	home.Write(".bash_profile", "# mine\n");
	EditScriptFile(B_USER_DIRECTORY, ".profile", "Path", "export A=1");
	EditScriptFile(B_USER_BOOT_DIRECTORY, "UserSetupEnvironment", "Env", "export B=2");
	EXPECT_EQ(ReadText(home / ".bash_profile"),
	          "# mine\n#BEGIN_Path\nexport A=1\n#END_Path\n#BEGIN_Env\nexport B=2\n#END_Env\n");
	EXPECT_FALSE(std::filesystem::exists(home / ".profile"));
	EXPECT_EQ(ScriptFilePath(B_USER_DIRECTORY, ".profile"), home / ".bash_profile");

	// The user's shell changed since: removal still finds the sections.
	ScopedEnv zsh("SHELL", "/bin/zsh");
	EditScriptFile(B_USER_DIRECTORY, ".profile", "Path", nullptr);
	EditScriptFile(B_USER_BOOT_DIRECTORY, "UserSetupEnvironment", "Env", nullptr);
	EXPECT_EQ(ReadText(home / ".bash_profile"), "# mine\n");
	EXPECT_FALSE(std::filesystem::exists(home / ".zprofile"));
	EXPECT_FALSE(std::filesystem::exists(home / ".config")) << "removal makes no folders";
}

} // namespace
