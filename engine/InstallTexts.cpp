// Localized engine texts: the installer's string resources, falling back on
// the English table compiled in from en.txt.
#include "InstallTexts.h"

#include <cstdarg>
#include <map>
#include <memory>
#include <mutex>

#include "StringTable.h"
#include "TextCut.h"
#include "oLocalize.h"

namespace {

const std::map<int32, const char*>& EnglishTexts()
{
	// The English table, made from data/strings/installer/en.txt.
	static const std::map<int32, const char*> texts = {
#include "InstallerEnglish.inc"
	};
	return texts;
}

// A translation may serve as a format only with the English conversions.
bool SameConversions(const char* translated, const char* english)
{
	return StringTable::FormatConversions(translated) == StringTable::FormatConversions(english);
}

} // namespace

const char* InstallEnglishText(const int32& id)
{
	const auto found = EnglishTexts().find(id);
	return found != EnglishTexts().end() ? found->second : "";
}

namespace {

// The running installer's strings, read once per process and per language.
class TextCache {
public:
	LibString Text(const int32& id)
	{
		std::lock_guard<std::mutex> hold(fLock);
		const auto found = fTexts.find(id);
		if (found != fTexts.end())
			return found->second;
		LibString text = Localizer().GetString(id);
		if (text.Length() == 0 || !SameConversions(text.String(), InstallEnglishText(id)))
			text = InstallEnglishText(id);
		fTexts[id] = text;
		return text;
	}

	std::string Language()
	{
		std::lock_guard<std::mutex> hold(fLock);
		return Localizer().Language();
	}

	void SetLanguage(const char* code)
	{
		std::lock_guard<std::mutex> hold(fLock);
		Localizer().SetLanguage(code);
		fTexts.clear();
	}

private:
	oLocalize& Localizer()
	{
		if (!fLocalizer)
			fLocalizer = std::make_unique<oLocalize>();
		return *fLocalizer;
	}

	std::mutex fLock;
	std::unique_ptr<oLocalize> fLocalizer;
	std::map<int32, LibString> fTexts;
};

TextCache& Texts()
{
	static TextCache texts;
	return texts;
}

} // namespace

LibString InstallText(const int32& id)
{
	return Texts().Text(id);
}

std::string InstallLanguage()
{
	return Texts().Language();
}

void InstallSetLanguage(const char* code)
{
	if (code != nullptr)
		Texts().SetLanguage(code);
}

std::string InstallFormat(const size_t& size, int32 id, ...)
{
	const LibString format = InstallText(id);
	va_list args;
	va_start(args, id);
	std::string text = FormatCut(size, format.String(), args);
	va_end(args);
	return text;
}
