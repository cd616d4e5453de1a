// Localized engine texts: the installer's string resources, falling back on
// the English table compiled in.
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
	static const std::map<int32, const char*> texts = {
	        {1011, "Abort"},
	        {1017, "OK"},
	        {1018, "Later"},
	        {1019, "Run"},
	        {1021, "Installation can not continue."},
	        {1022, "You may run the application at your own risk."},
	        {1023, "requires"},
	        {1024, "suggests"},
	        {1025, "required"},
	        {1026, "suggested"},
	        {1027, "Installation was stopped before it could complete."},
	        {1028, "Continue"},
	        {1029, "Restart Later"},
	        {1030, "Restart Now"},
	        {1031, "The application '%s' could not be found. The installation %s that this "
	               "application be present for the installed software to work properly."},
	        {1032, "Checking System Resources..."},
	        {1033, "Creating deinstaller..."},
	        {1034, "Do you wish to run '"},
	        {1035, "' now?"},
	        {1036, "Installing %d of %d (%s)"},
	        {1037, "Installation Complete"},
	        {1038, "Installation successfully completed."},
	        {1039, "'%s' was unable to be run at this time."},
	        {1040, "Failure to find selected installation folder. Unable to install files."},
	        {1041, "Unable to create installation folder '%s'. Unable to install files."},
	        {1042, "\n\nThe system needs to be restarted for the installation to take effect."},
	        {1043, "The shared library '%s' could not be found. The installation %s that this "
	               "library be present for the installed software to work properly."},
	        {1044, "Installation %s %d MB of physical RAM, and only %d MB is available. %s"},
	        {1045, "Installation %s %s of disk space, and the destination volume '%s' only has "
	               "%s free."},
	        {1046, "Installation Completed With Failures"},
	        {1047, "Installation completed, but %d of its steps failed. The log '%s' names each "
	               "one with its reason."},
	        {1048, "The installer is damaged: %s. Nothing was changed."},
	        {1049, "Installation Undone"},
	        {1050, "The installation could not be completed, so every change it made was undone. "
	               "What failed:\n%s"},
	        {1051, "An interrupted installation into '%s' was found and undone first: the "
	               "machine is as it was before it started."},
	        {1052, "Some changes could not be undone:\n%s"},
	        {1053, "\n\nA copy of its log is at '%s'."},
	        // The terminal mode's own hints.
	        {1054, "-- Enter: more, s: skip to the end --"},
	        {1055, "Numbers switch items on or off; Enter goes on: "},
	        {1056, "No item is selected."},
	        {1057, "'%s' is not one of 1 to %d."},
	        {1058, "Please answer y or n."},
	        {1059, "The installation was undone, but these entries were not made by it and were "
	               "kept where they are:\n%s"},
	        // The window's own texts.
	        {1070, "Quit"},
	        {1071, "Click selects one; Ctrl-/Shift-click adds more"},
	        {1072, "Stopping: undoing the installation..."},
	        {1073, "New Folder"},
	        // Who signed the installer.
	        {1074, "Signed by %s (key %s)"},
	        {1075, "This installer is not signed"},
	        {1076, "The new installer was made by a different publisher"},
	        {1077, "the earlier installation was signed with key %s; this installer with key %s"},
	        {1078, "the earlier installation was signed with key %s; this installer is not signed"},
	        // The question about an earlier installation of the same product.
	        {1100, "Upgrade"},
	        {1101, "Repair"},
	        {1102, "It holds %s %s. Upgrade installs version %s over it and keeps what you "
	               "changed or added in it; Replace moves it to the trash, your files in it "
	               "included."},
	        {1103, "It holds %s %s, newer than this installer's version %s. Upgrade installs the "
	               "older version over it and keeps what you changed or added in it; Replace "
	               "moves it to the trash, your files in it included."},
	        {1104, "It holds %s %s, this same version. Repair puts back what is missing or "
	               "changed of it; Replace moves it to the trash, your files in it included, and "
	               "installs it anew."},
	        // Installing for every user.
	        {1200, "To install for all users, run the installer as root: sudo %s"},
	        {1201, "Install for all users"},
	        {1202, "Installing for all users was cancelled or not allowed: nothing was installed."},
	        {1203, "The installation for all users did not complete: %s"},
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
