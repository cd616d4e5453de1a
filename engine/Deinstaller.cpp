// InstallConfig: placing the deinstaller that the installer carries, with the
// reduced configuration and the current language.
#include "InstallConfig.h"

#include <cerrno>

#include "Errors.h"
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
	if (!journal.WillWrite(path.String())) {
		LogFailure(path.String(), errno);
		return;
	}
	// An installation without a working deinstaller could not be removed.
	if (!resources.ExtractEntry(kDeinstallerPayload, path.String(), true)) {
		LogFailure(path.String(), std::string("the deinstaller could not be written: ") +
		                                  resources.ExtractError());
		return;
	}
	const status_t status = ConfigureDeinstaller(path.String(), language);
	if (status != B_OK)
		LogFailure(path.String(),
		           std::string("the deinstaller could not be configured: ") + status_text(status));
}
