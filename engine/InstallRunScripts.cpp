// The install run's edits of the login scripts: the sections of the
// description, the StartUp folder's section, each journalled before it is made.
#include "InstallRun.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ConfigRecord.h"
#include "Errors.h"
#include "FindDirectory.h"
#include "LoginScripts.h"
#include "ScriptEdit.h"
#include "SessionEnvironment.h"

namespace {

// The custom folder whose programs start at login, and its section's tag.
const char* const kStartupFolderName = "StartUp";
const char* const kStartupTag = "StartUpFolder";

} // namespace

void InstallRun::MakeStartupSection()
{
	if (!ConfigRecord(fConfig).CreateStartup())
		return;
	LibString folder;
	fConfig.GetNewPath(kStartupFolderName, fCustomFolders, fVolume, fSavedFiles.c_str(), folder);
	// Without a "StartUp" custom folder there is nothing for the section to run.
	if (folder.Length() == 0)
		return;
	fConfig.Log("\tCreating StartUp folder in %s.\n", folder.String());
	std::vector<char> text(InstallConfig::StartupStringSize(folder.String()));
	fConfig.BuildStartupString(folder.String(), text.data());
	JournalScriptEdit(B_USER_BOOT_DIRECTORY, "UserBootscript");
	const status_t status =
	        EditScriptFile(B_USER_BOOT_DIRECTORY, "UserBootscript", kStartupTag, text.data());
	if (status != B_OK)
		fConfig.LogFailure(ScriptFilePath(B_USER_BOOT_DIRECTORY, "UserBootscript"),
		                   status_text(status));
}

void InstallRun::EditBootScripts()
{
	struct ScriptEdit {
		ConfigRecord::ScriptSection (ConfigRecord::*section)() const;
		directory_which folder;
		const char* file;
	};
	static const ScriptEdit kEdits[] = {
	        {&ConfigRecord::BootScript, B_USER_BOOT_DIRECTORY, "UserBootscript"},
	        {&ConfigRecord::SetupEnvironment, B_USER_BOOT_DIRECTORY, "UserSetupEnvironment"},
	        {&ConfigRecord::Profile, B_USER_DIRECTORY, ".profile"},
	};
	const ConfigRecord config(fConfig);
	SetScriptProduct(config.AppName());
	for (const ScriptEdit& edit : kEdits) {
		if (Stopped())
			return;
		const ConfigRecord::ScriptSection section = (config.*edit.section)();
		if (!section.edit)
			continue;
		const char* tag = section.tag;
		// A section may name the folder the user chose.
		const std::string text = SubstituteInstallDir(section.contents, fInstallFolder);
		JournalScriptEdit(edit.folder, edit.file);
		const status_t status = EditScriptFile(edit.folder, edit.file, tag, text.c_str());
		if (status != B_OK) {
			fConfig.LogFailure(ScriptFilePath(edit.folder, edit.file), status_text(status));
			continue;
		}
		fConfig.Log("\tAdded script tab %s to %s\n", tag,
		            ScriptFilePath(edit.folder, edit.file).c_str());
		// A login file reaches terminals; graphical programs read environment.d.
		if (edit.section != &ConfigRecord::BootScript)
			PlaceEnvironmentSection(fConfig, config.AppName(), tag, text);
	}
}

void InstallRun::JournalScriptEdit(const directory_which& folder, const char* file)
{
	// A script that is a link is edited where it lies.
	std::string script = ScriptFilePath(folder, file);
	char resolved[PATH_MAX];
	if (realpath(script.c_str(), resolved) != nullptr)
		script = resolved;
	std::vector<std::string> paths = {script, script + ".orig", script + ".tmp",
	                                  script + ".orig.tmp"};
	// The boot script is run at login by an autostart entry beside it.
	if (folder == B_USER_BOOT_DIRECTORY && strcmp(file, "UserBootscript") == 0) {
		paths.push_back(BootScriptEntryPath(script));
		paths.push_back(BootScriptEntryPath(script) + ".tmp");
	}
	for (const std::string& path : paths) {
		if (!fConfig.Journal().WillWrite(path))
			fConfig.LogFailure(path, std::string("could not be copied before the edit"));
	}
}
