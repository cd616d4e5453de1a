// The collision dialog asked through the alert presenter: a window, or the
// answers of an unattended removal.
#include "CheckAndPrompt.h"

#include <sys/stat.h>

#include <string>

#include "LibPathParts.h"
#include "Path.h"
#include "ReplaceAlert.h"
#include "oLocalize.h"

void CheckAndPrompt(const BPath& item, const char* folder, bool& ask, bool& replace)
{
	if (item.Path() == nullptr || folder == nullptr)
		return;
	const std::string target = std::string(folder) + "/" + LibLeafOf(item.Path());
	struct stat st;
	if (lstat(target.c_str(), &st) != 0 || !ask)
		return;
	BPath existing(target.c_str());
	// In the language the installation was made in, remembered on the file.
	const oLocalize localizer;
	const std::string language = localizer.Language();
	ReplaceAlert* alert = new ReplaceAlert(item, existing, true, language.c_str());
	bool applyToAll = false;
	const int32 answer = alert->Go(applyToAll);
	replace = answer == 1;
	if (applyToAll)
		ask = false;
}
