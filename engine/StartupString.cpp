// InstallConfig: the boot-script section that runs the items of the startup
// folder at boot, those with a run_priority attribute first.
#include "InstallConfig.h"

#include <cstring>
#include <string>

namespace {

// The section's lines; the two null ones are filled in.
const char* const kStartupLines[] = {
        "#",
        "# This section was placed by Vantry.",
        "# If you are having trouble with these commands,",
        nullptr, // the maker's support address
        "#",
        "# These commands gathers items in the start-up file at boot time",
        "# Applications that have an attribute of 'run_priority' get placed",
        "# in the first file, and all others are placed in the second file.",
        "# Those with a run_priority are sorted so those with the lowest priority",
        "# are run first.",
        "#",
        "# Special thanks to Orlovane ( Be ) for taking the simple",
        "# idea of the start-up folder to the next step.",
        "#",
        "# Any alterations done in this section may be lost",
        "# during the next installation of this product.",
        "#",
        nullptr, // the startup folder
        "if [ -d $startup_folder ]",
        "then",
        "\t#",
        "\t# Add items with attributes to file",
        "\t#",
        "\techo \"#!/bin/sh\" > /tmp/startup_pri_$$",
        "\t/bin/catattr run_priority \"$startup_folder\"/* 2>| /tmp/errs_$$ |",
        "\t/bin/awk -F: '{printf(\"%s~\\\"%s\\\"\\n\",$NF,substr($1,0,length($1)-1));}' |",
        "\tsort -n |",
        "\t/bin/awk -F '~' '{printf(\"%s &\\n\",$2)}' >> /tmp/startup_pri_$$",
        "\t#",
        "\t# get items that dont have the proper attributes",
        "\t#",
        "\techo \"#!/bin/sh\" > /tmp/startup_no_pri_$$",
        "\tsed -e 's/ file /~/' -e 's/ attribute /~/' /tmp/errs_$$ |",
        "\t/bin/awk -F '~' '{printf(\"\\\"\"$2\"\\\" &\\n\")}' >> /tmp/startup_no_pri_$$",
        "\t#",
        "\t# Change permission",
        "\t#",
        "\t/bin/chmod a+x /tmp/startup_pri_$$",
        "\t/bin/chmod a+x /tmp/startup_no_pri_$$",
        "\t#",
        "\t# Execute files in background",
        "\t#",
        "\t/tmp/startup_pri_$$",
        "\t/bin/sleep 1",
        "\t/tmp/startup_no_pri_$$",
        "\t#",
        "\t# Clean up files",
        "\t#",
        "\t/bin/rm -f /tmp/startup_pri_$$",
        "\t/bin/rm -f /tmp/startup_no_pri_$$",
        "\t/bin/rm -f /tmp/errs_$$",
        "fi",
        "#",
};

const size_t kStartupLineCount = sizeof(kStartupLines) / sizeof(kStartupLines[0]);
const size_t kContactLine = 3;
const size_t kFolderLine = 17;

// Characters a shell takes as they stand in an assignment.
bool IsShellSafe(const std::string& text)
{
	static const char* const kSafe = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
	                                 "0123456789/._-+,:@%";
	return text.find_first_not_of(kSafe) == std::string::npos;
}

// The path as it stands, or single-quoted when a shell would split it or
// act on one of its characters (a volume or folder name is not ours to trust).
std::string ShellWord(const std::string& path)
{
	if (IsShellSafe(path))
		return path;
	std::string quoted = "'";
	for (const char c : path) {
		if (c == '\'')
			quoted += "'\\''";
		else
			quoted += c;
	}
	return quoted + "'";
}

std::string StartupText(const char* folder_path)
{
	const std::string folder = folder_path != nullptr ? folder_path : "";
	std::string text;
	for (size_t i = 0; i < kStartupLineCount; i++) {
		if (i > 0)
			text += '\n';
		if (i == kContactLine)
			text += std::string("# please contact ") + InstallConfig::kMakerSupportEmail + ".";
		else if (i == kFolderLine)
			text += "startup_folder=" + ShellWord(folder);
		else
			text += kStartupLines[i];
	}
	return text;
}

} // namespace

size_t InstallConfig::StartupStringSize(const char* folder_path)
{
	return StartupText(folder_path).size() + 1;
}

void InstallConfig::BuildStartupString(const char* folder_path, char* text)
{
	if (text == nullptr)
		return;
	const std::string startup = StartupText(folder_path);
	memcpy(text, startup.c_str(), startup.size() + 1);
}
