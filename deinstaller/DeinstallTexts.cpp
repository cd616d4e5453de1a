// The deinstaller's texts, read from its string table once per process.
#include "DeinstallTexts.h"

#include <map>
#include <mutex>

#include "oLocalize.h"

namespace {

// Made from data/strings/deinstaller/en.txt.
const std::map<int32, const char*> kEnglish = {
#include "DeinstallerEnglish.inc"
};

std::map<int32, LibString> LoadTexts()
{
	std::map<int32, LibString> texts;
	oLocalize localizer;
	for (const auto& [id, english] : kEnglish) {
		LibString text = localizer.GetString(id);
		texts[id] = text.Length() > 0 ? text : LibString(english);
	}
	return texts;
}

} // namespace

LibString DeinstallText(const int32& id)
{
	static std::once_flag loaded;
	static std::map<int32, LibString> texts;
	std::call_once(loaded, [] { texts = LoadTexts(); });
	auto found = texts.find(id);
	return found != texts.end() ? found->second : LibString();
}
