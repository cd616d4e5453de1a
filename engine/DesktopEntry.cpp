// Menu entries for the items a product links into the applications folder.
#include "DesktopEntry.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "FindDirectory.h"
#include "IconExport.h"
#include "InstallConfig.h"
#include "LibFile.h"
#include "LoginScripts.h"
#include "Path.h"
#include "SafePlace.h"
#include "ScriptEdit.h"

extern char** environ;

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

std::string ToolPath(const char* tool)
{
	const char* path = getenv("PATH");
	std::string folders = path != nullptr ? path : "/usr/bin:/bin";
	size_t start = 0;
	while (start <= folders.size()) {
		size_t end = folders.find(':', start);
		if (end == std::string::npos)
			end = folders.size();
		const std::string candidate = folders.substr(start, end - start) + "/" + tool;
		if (end > start && access(candidate.c_str(), X_OK) == 0)
			return candidate;
		start = end + 1;
	}
	return std::string();
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
	const bool folder = SafeIsFolder(path);
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
	return folder == applications.Path() || SafeSameFolder(folder, applications.Path());
}

void RunCacheTool(const char* tool, const std::string& argument)
{
	const std::string program = ToolPath(tool);
	if (program.empty())
		return;
	std::vector<char*> argv = {const_cast<char*>(program.c_str()),
	                           const_cast<char*>(argument.c_str()), nullptr};
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
	posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
	posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
	pid_t child = -1;
	if (posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
		int status = 0;
		waitpid(child, &status, 0);
	}
	posix_spawn_file_actions_destroy(&actions);
}

bool PlaceDesktopEntry(InstallConfig& config, const std::string& path, const std::string& folder,
                       const char* product_record, const bool& deinstallable)
{
	const std::string leaf = SafeLeaf(path);
	const char* product = config.FindString("app_name");
	const std::string fileName = DesktopFileName(product != nullptr ? product : "", leaf);
	const std::string entry = folder + "/" + fileName;
	const std::string iconName = fileName.substr(0, fileName.size() - strlen(".desktop"));
	const std::string icon = ExportItemIcon(config, leaf, iconName);
	if (!icon.empty() && deinstallable)
		config.AddDeinstallTag(icon.c_str(), product_record);
	const std::string text = DesktopEntryText(leaf, path, icon.empty() ? "" : iconName);
	if (text.empty()) {
		config.Log("\t\t\tNo menu entry: the path %s holds a line break\n", path.c_str());
		return false;
	}
	// The applications folder is made only when an entry goes into it.
	Libmkdir(folder.c_str());
	if (ReplaceWholeFile(entry, text, 0644) != B_OK) {
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
