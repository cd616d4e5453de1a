// The deinstaller's texts, read from its string table once per process.
#include "DeinstallTexts.h"

#include <map>
#include <mutex>

#include "oLocalize.h"

namespace {

const std::map<int32, const char*> kEnglish = {
        {1000, "Disk"},
        {1001, "Search"},
        {1002, "Results"},
        {1003, "Stop"},
        {1004, "found"},
        {1005, "No files or folders were found to deinstall on this volume."},
        {1006, "Deinstall Items"},
        {1007, "Change destination folder"},
        {1008, "All"},
        {1009, "None"},
        {1010, "Deinstall"},
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
