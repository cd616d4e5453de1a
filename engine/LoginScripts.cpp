// Script sections placed where a Linux session runs or reads them.
#include "LoginScripts.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "DesktopEntry.h"
#include "LibFile.h"
#include "LibPathParts.h"
#include "Path.h"
#include "ScriptEdit.h"
#include "SessionEnvironment.h"

namespace {

const char* const kBootScript = "UserBootscript";
const char* const kSetupEnvironment = "UserSetupEnvironment";
const char* const kProfile = ".profile";
const char* const kInstallDirVariable = "${VANTRY_INSTALL_DIR}";
const char* const kProfileFolder = "/etc/profile.d";
const char* const kProfilePrefix = "vantry-";
const char* const kProfileSuffix = ".sh";
const char* const kProfileHeader =
        "# Sections of the products Vantry installed for every user, read by login shells.\n";

std::string sScriptProduct;

// The product's file of the system's profile folder.
std::string SystemProfilePath()
{
	return std::string(kProfileFolder) + "/" + kProfilePrefix + NameSlug(sScriptProduct) +
	       kProfileSuffix;
}

std::string FolderPath(const directory_which& folder)
{
	BPath path;
	if (find_directory(folder, &path, false) != B_OK)
		return std::string();
	return path.Path();
}

std::string UserShell()
{
	const char* shell = getenv("SHELL");
	if (shell != nullptr && shell[0] != '\0')
		return shell;
	struct passwd* entry = getpwuid(getuid());
	return entry != nullptr && entry->pw_shell != nullptr ? entry->pw_shell : "/bin/sh";
}

bool IsLoginSection(const directory_which& folder, const char* file_name)
{
	return (folder == B_USER_BOOT_DIRECTORY && strcmp(file_name, kSetupEnvironment) == 0) ||
	       (folder == B_USER_DIRECTORY && strcmp(file_name, kProfile) == 0);
}

bool HoldsSection(const std::string& path, const char* tag)
{
	std::string content;
	return LibReadText(path, content) && ScriptWithoutSection(content, tag) != content;
}

bool HoldsAnySection(const std::string& path)
{
	std::string content;
	if (!LibReadText(path, content))
		return false;
	return content.find("#BEGIN_") != std::string::npos;
}

// The autostart entry exists exactly while the boot script holds a section:
// the last product's removal takes it away.
void SyncBootScriptEntry(const std::string& script)
{
	const std::string entry = BootScriptEntryPath(script);
	if (!HoldsAnySection(script)) {
		unlink(entry.c_str());
		return;
	}
	const std::string text = "[Desktop Entry]\nType=Application\nName=" + std::string(kBootScript) +
	                         "\nComment=Runs the boot script sections of installed products\n"
	                         "Exec=/bin/sh " +
	                         DesktopExecArgument(script) + "\nNoDisplay=true\n";
	std::string current;
	if (!LibReadText(entry, current) || current != text)
		ReplaceWholeFile(entry, text, 0644);
}

status_t EditBootScript(const char* tag, const char* text)
{
	const std::string folder = FolderPath(B_USER_BOOT_DIRECTORY);
	if (folder.empty())
		return B_OK;
	const std::string script = folder + "/" + kBootScript;
	if (text == nullptr) {
		const status_t status =
		        HoldsSection(script, tag) ? EditScriptPath(script.c_str(), tag, nullptr) : B_OK;
		SyncBootScriptEntry(script);
		return status;
	}
	// The autostart folder is made only when a section needs it.
	Libmkdir(folder.c_str());
	const bool fresh = !LibExists(script.c_str());
	if (fresh)
		ReplaceWholeFile(script, "#!/bin/sh\n", 0755);
	const status_t status = EditScriptPath(script.c_str(), tag, text);
	// The backup of a script we just began holds nothing of the user's.
	if (fresh)
		unlink((script + ".orig").c_str());
	struct stat info;
	if (stat(script.c_str(), &info) == 0)
		chmod(script.c_str(), (info.st_mode & 07777) | 0700);
	SyncBootScriptEntry(script);
	return status;
}

// Login shells of every user read the files of /etc/profile.d.
status_t EditSystemProfile(const char* tag, const char* text)
{
	if (text == nullptr)
		return RemoveFromOwnFiles(kProfileFolder, kProfilePrefix, kProfileSuffix, tag);
	Libmkdir(kProfileFolder);
	return EditOwnFile(SystemProfilePath(), tag, text, kProfileHeader);
}

status_t EditLoginFile(const char* tag, const char* text)
{
	if (SystemLayout())
		return EditSystemProfile(tag, text);
	const std::string home = FolderPath(B_USER_DIRECTORY);
	if (home.empty())
		return B_OK;
	if (text != nullptr)
		return EditScriptPath(LoginShellFile(home, UserShell()).c_str(), tag, text);
	// The shell may have changed since: the section goes wherever it lies.
	status_t status = B_OK;
	for (const char* leaf : {".bash_profile", ".bash_login", ".profile", ".zprofile"}) {
		const std::string path = home + "/" + leaf;
		const status_t edited =
		        HoldsSection(path, tag) ? EditScriptPath(path.c_str(), tag, nullptr) : B_OK;
		if (edited != B_OK)
			status = edited;
	}
	return status;
}

} // namespace

bool LinuxDesktopLayout()
{
	const char* root = getenv("VANTRY_ROOT");
	return root == nullptr || root[0] == '\0';
}

void SetScriptProduct(const std::string& product)
{
	sScriptProduct = product;
}

bool SystemLayout()
{
	return LinuxDesktopLayout() && linux_system_layout();
}

void ChooseSystemLayout()
{
	const char* layout = getenv("VANTRY_LAYOUT");
	const bool user = layout != nullptr && strcmp(layout, "user") == 0;
	set_linux_system_layout(geteuid() == 0 && !user);
}

std::string LoginShellFile(const std::string& home, const std::string& shell)
{
	const std::string name = LibLastComponent(shell);
	if (name == "zsh")
		return home + "/.zprofile";
	if (name == "bash") {
		for (const char* leaf : {".bash_profile", ".bash_login"}) {
			if (LibExists((home + "/" + leaf).c_str()))
				return home + "/" + leaf;
		}
	}
	return home + "/.profile";
}

std::string ScriptFilePath(const directory_which& folder, const char* file_name)
{
	if (SystemLayout() && IsLoginSection(folder, file_name))
		return SystemProfilePath();
	if (LinuxDesktopLayout() && IsLoginSection(folder, file_name))
		return LoginShellFile(FolderPath(B_USER_DIRECTORY), UserShell());
	const std::string path = FolderPath(folder);
	return path.empty() ? std::string(file_name) : path + "/" + file_name;
}

bool EditLinuxScript(const directory_which& folder, const char* file_name, const char* tag,
                     const char* text, status_t& status)
{
	if (!LinuxDesktopLayout())
		return false;
	if (folder == B_USER_BOOT_DIRECTORY && strcmp(file_name, kBootScript) == 0) {
		status = EditBootScript(tag, text);
		return true;
	}
	if (IsLoginSection(folder, file_name)) {
		status = EditLoginFile(tag, text);
		return true;
	}
	return false;
}

std::string BootScriptEntryPath(const std::string& script)
{
	return script + ".desktop";
}

std::string SubstituteInstallDir(const std::string& text, const std::string& folder)
{
	std::string escaped;
	for (const char c : folder) {
		if (c == '"' || c == '$' || c == '`' || c == '\\')
			escaped += '\\';
		escaped += c;
	}
	std::string result;
	const size_t length = strlen(kInstallDirVariable);
	size_t start = 0;
	for (size_t at = text.find(kInstallDirVariable); at != std::string::npos;
	     at = text.find(kInstallDirVariable, start)) {
		result.append(text, start, at - start);
		result += escaped;
		start = at + length;
	}
	result.append(text, start, std::string::npos);
	return result;
}
