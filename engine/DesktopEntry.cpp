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
		else
			value += c;
	}
	return value;
}

std::string Slug(const std::string& text)
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

} // namespace

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
	return "vantry-" + Slug(product) + "-" + Slug(item) + ".desktop";
}

std::string DesktopEntryText(const std::string& name, const std::string& path,
                             const std::string& icon)
{
	if (path.find_first_of("\n\r") != std::string::npos ||
	    name.find_first_of("\n\r") != std::string::npos)
		return std::string();
	const bool program = IsProgram(path);
	const bool folder = LibIsFolderEntry(path);
	std::string exec =
	        program ? DesktopExecArgument(path) : "xdg-open " + DesktopExecArgument(path);
	const char* stock = folder ? "folder" : program ? "application-x-executable" : "text-x-generic";
	std::string text = "[Desktop Entry]\nType=Application\n";
	text += "Name=" + EscapeValue(name) + "\n";
	text += "Exec=" + exec + "\n";
	text += "Icon=" + (icon.empty() ? std::string(stock) : EscapeValue(icon)) + "\n";
	// A script is a command-line program: it needs a terminal to be seen.
	text += std::string("Terminal=") + (program && IsScript(path) ? "true" : "false") + "\n";
	return text;
}

bool IsApplicationsFolder(const std::string& folder)
{
	if (!LinuxDesktopLayout())
		return false;
	BPath applications;
	if (find_directory(B_USER_DESKBAR_DIRECTORY, &applications, false) != B_OK)
		return false;
	return folder == applications.Path() || LibSameFolder(folder, applications.Path());
}

void RunCacheTool(const char* tool, const std::string& argument)
{
	LibProcess process({tool, argument});
	process.SetQuietInput(true);
	// A missing tool leaves the cache to be rebuilt at the next login.
	process.Run();
}

bool PlaceDesktopEntry(InstallConfig& config, const std::string& path, const std::string& folder,
                       const char* product_record, const bool& deinstallable)
{
	const std::string leaf = LibLastComponent(path);
	const std::string fileName = DesktopFileName(ConfigRecord(config).AppName(), leaf);
	const std::string entry = folder + "/" + fileName;
	const std::string iconName = fileName.substr(0, fileName.size() - strlen(".desktop"));
	const std::string icon = ExportItemIcon(config, leaf, iconName, config.journal);
	if (!icon.empty() && deinstallable)
		config.AddDeinstallTag(icon.c_str(), product_record);
	const std::string text = DesktopEntryText(leaf, path, icon.empty() ? "" : iconName);
	if (text.empty()) {
		config.Log("\t\t\tNo menu entry: the path %s holds a line break\n", path.c_str());
		return false;
	}
	// The applications folder is made only when an entry goes into it.
	const bool journaled = config.journal.WillWrite(entry) &&
	                       config.journal.WillWrite(entry + ".tmp") &&
	                       config.journal.WillWrite(folder + "/mimeinfo.cache");
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
	RunCacheTool("update-desktop-database", folder);
	return true;
}
