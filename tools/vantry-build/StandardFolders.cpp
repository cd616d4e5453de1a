// The 51 standard folder names, searched from the top.
#include "StandardFolders.h"

namespace {

struct StandardFolder {
	const char* name;
	int32 code;
};

const StandardFolder kStandardFolders[] = {
        {"Desktop", 0},
        {"Trash", 1},
        {"BeOS", 1000},
        {"BeOS System", 1001},
        {"BeOS Add-Ons", 1002},
        {"BeOS Boot", 1003},
        {"BeOS Fonts", 1004},
        {"BeOS Libraries", 1005},
        {"BeOS Servers", 1006},
        {"BeOS Applications", 1007},
        {"BeOS Bin", 1008},
        {"BeOS Etc", 1009},
        {"BeOS Documentation", 1010},
        {"BeOS Preferences", 1011},
        {"BeOS Translators", 1012},
        {"BeOS Media Nodes", 1013},
        {"BeOS Sounds", 1014},
        {"Common", 2000},
        {"Common System", 2001},
        {"Common Add-Ons", 2002},
        {"Common Boot", 2003},
        {"Common Fonts", 2004},
        {"Common Libraries", 2005},
        {"Common Servers", 2006},
        {"Common Bin", 2007},
        {"Common Etc", 2008},
        {"Common Documentation", 2009},
        {"Common Settings", 2010},
        {"Common Develop", 2011},
        {"Common Log", 2012},
        {"Common Spool", 2013},
        {"Common Temporary", 2014},
        {"Common Var", 2015},
        {"Common Translators", 2016},
        {"Common Media Nodes", 2017},
        {"Common Sounds", 2018},
        {"User", 3000},
        {"User Configuration", 3001},
        {"User Add-Ons", 3002},
        {"User Boot", 3003},
        {"User Fonts", 3004},
        {"User Libraries", 3005},
        {"User Settings", 3006},
        {"User Deskbar", 3007},
        {"User Printers", 3008},
        {"User Translators", 3009},
        {"User Media Nodes", 3010},
        {"User Sounds", 3011},
        {"Applications", 4000},
        {"Preferences", 4001},
        {"Utilities", 4002},
};

} // namespace

bool standard_folder_code(const std::string& name, int32* code)
{
	for (const StandardFolder& folder : kStandardFolders) {
		if (name == folder.name) {
			*code = folder.code;
			return true;
		}
	}
	return false;
}

const char* standard_folder_name(int32 code)
{
	for (const StandardFolder& folder : kStandardFolders) {
		if (folder.code == code)
			return folder.name;
	}
	return nullptr;
}
