// InstallConfig: placing the deinstaller that the installer carries, with the
// reduced configuration and the current language.
#include "InstallConfig.h"

#include <cerrno>

#include "Errors.h"
#include "InstallTexts.h"
#include "InstallerResourceIds.h"
#include "LibAppResource.h"

void InstallConfig::CreateDeinstaller(const char* install_folder, LibAppResource& resources,
                                      const char* language)
{
	if (install_folder == nullptr)
		return;
	UpdateStatus("%s", InstallText(1033).String());
	LibString path;
	DeinstallerPath(install_folder, path);
	if (!fJournal.WillWrite(path.String())) {
		LogFailure(path.String(), errno);
		return;
	}
	// An installation without a working deinstaller could not be removed.
	if (!resources.ExtractEntry(kDeinstallerPayloadId, path.String(), true)) {
		LogFailure(path.String(), std::string("the deinstaller could not be written: ") +
		                                  resources.ExtractError());
		return;
	}
	const status_t status = ConfigureDeinstaller(path.String(), language);
	if (status != B_OK)
		LogFailure(path.String(),
		           std::string("the deinstaller could not be configured: ") + status_text(status));
}
