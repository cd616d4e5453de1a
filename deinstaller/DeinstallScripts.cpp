// Script sections removed through the installer's own script editing.
#include "DeinstallScripts.h"

#include "FindDirectory.h"
#include "ScriptEdit.h"
#include "SessionEnvironment.h"

#include <cstring>

namespace {

void RemoveSection(const directory_which& folder, const char* file, const LibString& tag,
                   const std::function<void(const char*, const char*)>& done)
{
	if (tag.Length() == 0)
		return;
	EditScriptFile(folder, file, tag.String(), nullptr);
	// Environment and profile sections may also lie in an environment.d file.
	if (strcmp(file, "UserBootscript") != 0)
		RemoveEnvironmentSection(tag.String());
	if (done)
		done(file, tag.String());
}

} // namespace

void RemoveScriptSections(const DeinstallScriptTags& tags,
                          const std::function<void(const char* file, const char* tag)>& done)
{
	RemoveSection(B_USER_BOOT_DIRECTORY, "UserBootscript", tags.boot, done);
	RemoveSection(B_USER_BOOT_DIRECTORY, "UserSetupEnvironment", tags.setupEnvironment, done);
	RemoveSection(B_USER_DIRECTORY, ".profile", tags.profile, done);
}
