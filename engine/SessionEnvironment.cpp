// Assignments of script sections written for systemd's environment.d.
#include "SessionEnvironment.h"

#include <dirent.h>
#include <unistd.h>

#include <cstring>
#include <sstream>

#include "DesktopEntry.h"
#include "FindDirectory.h"
#include "InstallConfig.h"
#include "LibFile.h"
#include "LoginScripts.h"
#include "Path.h"
#include "ScriptEdit.h"

namespace {

const char* const kFilePrefix = "60-vantry-";
const char* const kFileSuffix = ".conf";
const char* const kHeader = "# Variables of the products Vantry installed, for every session.\n";

bool IsOwnFile(const std::string& leaf, const char* prefix, const char* suffix)
{
	const size_t start = strlen(prefix);
	const size_t end = strlen(suffix);
	return leaf.size() > start + end && leaf.compare(0, start, prefix) == 0 &&
	       leaf.compare(leaf.size() - end, end, suffix) == 0;
}

bool IsNameStart(char c)
{
	return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsNamePart(char c)
{
	return IsNameStart(c) || (c >= '0' && c <= '9');
}

// `[export ]NAME=VALUE` from `start`, the first character that is not a
// blank: sets `assignment` to NAME=VALUE. A value with a command, a second
// command or a redirection is shell code, and no assignment. (No regular
// expression: std::regex costs every installer 85 KB.)
bool PlainAssignment(const std::string& line, size_t start, std::string* assignment)
{
	size_t at = start;
	if (line.compare(at, 6, "export") == 0 && at + 6 < line.size() &&
	    (line[at + 6] == ' ' || line[at + 6] == '\t'))
		at = line.find_first_not_of(" \t", at + 6);
	if (at == std::string::npos || !IsNameStart(line[at]))
		return false;
	const size_t name = at;
	while (at < line.size() && IsNamePart(line[at]))
		at++;
	if (at == line.size() || line[at] != '=' ||
	    line.find_first_of("`;&|<>()", at) != std::string::npos ||
	    line.find("$(") != std::string::npos)
		return false;
	*assignment = line.substr(name);
	return true;
}

} // namespace

std::string EnvironmentFolder()
{
	if (SystemLayout())
		return "/etc/environment.d";
	BPath settings;
	if (find_directory(B_USER_SETTINGS_DIRECTORY, &settings, false) != B_OK)
		return std::string();
	return std::string(settings.Path()) + "/environment.d";
}

std::string EnvironmentFilePath(const std::string& product)
{
	const std::string folder = EnvironmentFolder();
	if (folder.empty())
		return std::string();
	return folder + "/" + kFilePrefix + NameSlug(product) + kFileSuffix;
}

bool EnvironmentAssignments(const std::string& text, std::string& lines)
{
	std::istringstream in(text);
	std::string result;
	bool any = false;
	for (std::string line; std::getline(in, line);) {
		const size_t start = line.find_first_not_of(" \t");
		if (start == std::string::npos || line[start] == '#')
			continue;
		std::string assignment;
		if (!PlainAssignment(line, start, &assignment))
			return false;
		result += assignment + "\n";
		any = true;
	}
	lines = result;
	return any;
}

void PlaceEnvironmentSection(InstallConfig& config, const std::string& product, const char* tag,
                             const std::string& text)
{
	std::string lines;
	if (!LinuxDesktopLayout() || !EnvironmentAssignments(text, lines))
		return;
	const std::string path = EnvironmentFilePath(product);
	if (path.empty())
		return;
	const std::string folder = EnvironmentFolder();
	bool journaled = config.Journal().WillMakeFolders(folder);
	for (const char* end : {"", ".orig", ".tmp", ".orig.tmp"})
		journaled = journaled && config.Journal().WillWrite(path + end);
	if (!journaled) {
		config.LogFailure(path, std::string("could not be copied before the edit"));
		return;
	}
	Libmkdir(folder.c_str());
	if (lines.back() == '\n')
		lines.pop_back();
	const status_t status = EditOwnFile(path, tag, lines, kHeader);
	if (status != B_OK) {
		config.LogFailure(path, status_text(status));
		return;
	}
	config.Log("\tAdded script tab %s to %s\n", tag, path.c_str());
}

status_t EditOwnFile(const std::string& path, const char* tag, const std::string& text,
                     const char* header)
{
	if (!LibExists(path.c_str()))
		ReplaceWholeFile(path, header, 0644);
	const status_t status = EditScriptPath(path.c_str(), tag, text.c_str());
	// The file holds only what installers put there: a backup keeps nothing.
	unlink((path + ".orig").c_str());
	return status;
}

status_t RemoveFromOwnFiles(const std::string& folder, const char* prefix, const char* suffix,
                            const char* tag, std::string* edited)
{
	DIR* directory = folder.empty() ? nullptr : opendir(folder.c_str());
	if (directory == nullptr)
		return B_OK;
	status_t result = B_OK;
	while (const dirent* entry = readdir(directory)) {
		const std::string path = folder + "/" + entry->d_name;
		std::string content;
		if (!IsOwnFile(entry->d_name, prefix, suffix) || !LibReadText(path, content) ||
		    ScriptWithoutSection(content, tag) == content)
			continue;
		const status_t status = EditScriptPath(path.c_str(), tag, nullptr);
		if (status != B_OK) {
			result = status;
			continue;
		}
		if (edited != nullptr)
			*edited += path + "\n";
		// A file of ours with no section left sets nothing.
		if (LibReadText(path, content) && content.find("#BEGIN_") == std::string::npos) {
			unlink(path.c_str());
			unlink((path + ".orig").c_str());
		}
	}
	closedir(directory);
	return result;
}

status_t RemoveEnvironmentSection(const char* tag, std::string* edited)
{
	return RemoveFromOwnFiles(EnvironmentFolder(), kFilePrefix, kFileSuffix, tag, edited);
}
