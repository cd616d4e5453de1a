// Menu entries for the items a product links into the applications folder.
#include "DesktopEntry.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "ConfigRecord.h"
#include "FindDirectory.h"
#include "IconExport.h"
#include "InstallConfig.h"
#include "LibFile.h"
#include "LibPathParts.h"
#include "LibProcess.h"
#include "LoginScripts.h"
#include "MenuRecord.h"
#include "Path.h"
#include "ScriptEdit.h"

namespace {

// Characters that make an Exec argument need quotes.
const char kReserved[] = " \t\n\"'\\><~|&;$*?#()`";

bool IsScript(const std::string& path)
{
	std::ifstream in(path, std::ios::binary);
	char start[2] = {0, 0};
	in.read(start, 2);
	return in.gcount() == 2 && start[0] == '#' && start[1] == '!';
}

bool IsProgram(const std::string& path)
{
	struct stat info;
	return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & 0111) != 0;
}

// A value of the "string" type: backslashes and line breaks escaped.
std::string EscapeValue(const std::string& text)
{
	std::string value;
	for (const char c : text) {
		if (c == '\\')
			value += "\\\\";
		else if (c == '\t')
			value += "\\t";
		else if (c == '\n')
			value += "\\n";
		else if (c == '\r')
			value += "\\r";
		else
			value += c;
	}
	return value;
}

// "KEY=a;b;\n", or nothing for an empty list.
std::string ListKey(const char* key, const std::vector<std::string>& names)
{
	if (names.empty())
		return std::string();
	std::string line = std::string(key) + "=";
	for (const std::string& name : names)
		line += EscapeValue(name) + ";";
	return line + "\n";
}

// The locale an entry's key is written for: Norwegian texts are Bokmål,
// which is what "nb" locales look up.
std::string EntryLocale(const std::string& language)
{
	return language == "no" ? "nb" : language;
}

// GenericName, Comment and the translated names and comments of a menu.
std::string MenuTexts(const MenuRecord& menu)
{
	std::string text;
	if (!menu.genericName.empty())
		text += "GenericName=" + EscapeValue(menu.genericName) + "\n";
	if (!menu.comment.empty())
		text += "Comment=" + EscapeValue(menu.comment) + "\n";
	for (const auto& [language, texts] : menu.translations) {
		const std::string locale = EntryLocale(language);
		if (!texts.first.empty())
			text += "Name[" + locale + "]=" + EscapeValue(texts.first) + "\n";
		if (!texts.second.empty())
			text += "Comment[" + locale + "]=" + EscapeValue(texts.second) + "\n";
	}
	return text;
}

} // namespace

std::string NameSlug(const std::string& text)
{
	std::string slug;
	for (const unsigned char c : text) {
		if (std::isalnum(c))
			slug += char(std::tolower(c));
		else if (!slug.empty() && slug.back() != '-')
			slug += '-';
	}
	while (!slug.empty() && slug.back() == '-')
		slug.pop_back();
	return slug.empty() ? "item" : slug;
}

std::string DesktopExecArgument(const std::string& argument)
{
	std::string quoted;
	const bool quote = argument.empty() || argument.find_first_of(kReserved) != std::string::npos;
	if (quote)
		quoted += '"';
	for (const char c : argument) {
		if (quote && (c == '"' || c == '`' || c == '$' || c == '\\'))
			quoted += '\\';
		// A percent sign would be read as a field code.
		if (c == '%')
			quoted += '%';
		quoted += c;
	}
	if (quote)
		quoted += '"';
	return EscapeValue(quoted);
}

std::string DesktopFileName(const std::string& product, const std::string& item)
{
	return "vantry-" + NameSlug(product) + "-" + NameSlug(item) + ".desktop";
}

std::string DesktopEntryText(const std::string& name, const std::string& path,
                             const std::string& icon, const MenuRecord* menu)
{
	if (path.find_first_of("\n\r") != std::string::npos ||
	    name.find_first_of("\n\r") != std::string::npos)
		return std::string();
	const bool program = IsProgram(path);
	const bool folder = LibIsFolderEntry(path);
	std::string exec =
	        program ? DesktopExecArgument(path) : "xdg-open " + DesktopExecArgument(path);
	// A handler of file types is given the files it is opened with.
	if (program && menu != nullptr && !menu->mimeTypes.empty())
		exec += " %F";
	const char* stock = folder ? "folder" : program ? "application-x-executable" : "text-x-generic";
	std::string text = "[Desktop Entry]\nType=Application\n";
	text += "Name=" + EscapeValue(name) + "\n";
	if (menu != nullptr)
		text += MenuTexts(*menu);
	text += "Exec=" + exec + "\n";
	text += "Icon=" + (icon.empty() ? std::string(stock) : EscapeValue(icon)) + "\n";
	// A script is a command-line program: it needs a terminal to be seen.
	bool terminal = program && IsScript(path);
	if (menu != nullptr && menu->terminal >= 0)
		terminal = menu->terminal == 1;
	text += std::string("Terminal=") + (terminal ? "true" : "false") + "\n";
	if (menu != nullptr) {
		text += ListKey("Categories", menu->categories);
		text += ListKey("Keywords", menu->keywords);
		text += ListKey("MimeType", menu->mimeTypes);
	}
	return text;
}

std::string ApplicationsFolder()
{
	BPath applications;
	if (!LinuxDesktopLayout() ||
	    find_directory(B_USER_DESKBAR_DIRECTORY, &applications, false) != B_OK)
		return std::string();
	return applications.Path();
}

bool IsApplicationsFolder(const std::string& folder)
{
	const std::string applications = ApplicationsFolder();
	return !applications.empty() && (folder == applications || LibSameFolder(folder, applications));
}

void RunCacheTool(const char* tool, const std::vector<std::string>& arguments)
{
	std::vector<std::string> command = {tool};
	command.insert(command.end(), arguments.begin(), arguments.end());
	LibProcess process(command);
	process.SetQuietInput(true);
	// A missing tool leaves the cache to be rebuilt at the next login.
	process.Run();
}

namespace {

// The icon the entry names: the menu's own, else the item's small icon;
// every file written is tagged with the entry. Empty for none.
std::string PlaceEntryIcon(InstallConfig& config, const std::string& leaf,
                           const std::string& iconName, const char* product_record,
                           const bool& deinstallable, const MenuRecord* menu)
{
	std::vector<std::string> written;
	const bool own = menu != nullptr && (!menu->svg.empty() || !menu->pngs.empty());
	if (own) {
		written = InstallMenuIcons(*menu, iconName, config.Journal());
		if (written.empty())
			config.Log("\t\t\tUnable to place the menu icon in %s\n", HicolorFolder().c_str());
	} else {
		const std::string icon = ExportItemIcon(config, leaf, iconName, config.Journal());
		if (!icon.empty())
			written.push_back(icon);
	}
	for (const std::string& path : written) {
		if (deinstallable)
			config.AddDeinstallTag(path.c_str(), product_record);
	}
	// The cache of a theme, which only a theme with an index keeps, would
	// hide the new icon.
	if (own && !written.empty() && LibExists((HicolorFolder() + "/index.theme").c_str()))
		RunCacheTool("gtk-update-icon-cache", {"--quiet", HicolorFolder()});
	return written.empty() ? std::string() : iconName;
}

} // namespace

bool PlaceDesktopEntry(InstallConfig& config, const std::string& path, const std::string& folder,
                       const char* product_record, const bool& deinstallable,
                       const MenuRecord* menu)
{
	const std::string leaf = LibLastComponent(path);
	const std::string product = ConfigRecord(config).AppName();
	const std::string fileName = DesktopFileName(product, leaf);
	const std::string entry = folder + "/" + fileName;
	const std::string iconName = fileName.substr(0, fileName.size() - strlen(".desktop"));
	const std::string icon =
	        PlaceEntryIcon(config, leaf, iconName, product_record, deinstallable, menu);
	std::string name = leaf;
	if (menu != nullptr)
		name = menu->name.empty() ? product : menu->name;
	const std::string text = DesktopEntryText(name, path, icon, menu);
	if (text.empty()) {
		config.Log("\t\t\tNo menu entry: the path %s holds a line break\n", path.c_str());
		return false;
	}
	// The applications folder is made only when an entry goes into it.
	const bool journaled = config.Journal().WillMakeFolders(folder) &&
	                       config.Journal().WillWrite(entry) &&
	                       config.Journal().WillWrite(entry + ".tmp") &&
	                       config.Journal().WillWrite(folder + "/mimeinfo.cache");
	Libmkdir(folder.c_str());
	if (!journaled || ReplaceWholeFile(entry, text, 0644) != B_OK) {
		config.Log("\t\t\tUnable to place a menu entry in %s\n", folder.c_str());
		return false;
	}
	config.Log("\t\t\tPlaced a menu entry %s\n", entry.c_str());
	if (deinstallable)
		config.AddDeinstallTag(entry.c_str(), product_record);
	else
		config.Log("\t\t\tThis menu entry will not be removed by the de-installer\n");
	RunCacheTool("update-desktop-database", {"--quiet", folder});
	return true;
}
