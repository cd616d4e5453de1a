// InstallConfig: placing the deinstaller that the installer carries, with the
// reduced configuration and the current language.
#include "InstallConfig.h"

#include "InstallTexts.h"
#include "LibAppResource.h"

namespace {

// The payload that holds the deinstaller program.
const long kDeinstallerPayload = 2001;

} // namespace

void InstallConfig::CreateDeinstaller(const char* install_folder, LibAppResource& resources,
                                      const char* language)
{
	if (install_folder == nullptr)
		return;
	UpdateStatus("%s", InstallText(1033).String());
	LibString path;
	DeinstallerPath(install_folder, path);
	resources.ExtractEntry(kDeinstallerPayload, path.String(), true);
	// A missing payload or unwritable file is not reported: the run goes on.
	ConfigureDeinstaller(path.String(), language);
}
