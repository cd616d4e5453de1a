// InstallConfig: placing the deinstaller that the installer carries, with the
// reduced configuration and the current language.
#include "InstallConfig.h"

#include "LibAppResource.h"
#include "oLocalize.h"

namespace {

// The payload that holds the deinstaller program.
const long kDeinstallerPayload = 2001;

} // namespace

void InstallConfig::CreateDeinstaller(const char* install_folder, LibAppResource& resources,
                                      const char* language)
{
	if (install_folder == nullptr)
		return;
	oLocalize localizer;
	LibString status = localizer.GetString(1033);
	UpdateStatus("%s", status.Length() > 0 ? status.String() : "Creating deinstaller...");
	LibString path;
	DeinstallerPath(install_folder, path);
	resources.ExtractEntry(kDeinstallerPayload, path.String(), true);
	// A missing payload or unwritable file is not reported: the run goes on.
	ConfigureDeinstaller(path.String(), language);
}
