// LibFolderChooser: GTK's chooser through the window system, or zenity and
// kdialog as programs whose answer is the folder they print.
#include "LibFolderChooser.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "InterfaceHost.h"
#include "LibFile.h"
#include "LibProcess.h"
#include "Path.h"

namespace {

// The chooser programs, with the arguments that ask for a folder.
std::vector<std::string> ChooserArguments(const std::string& tool, const char* title,
                                          const std::string& start)
{
	if (tool == "zenity")
		return {"zenity", "--file-selection", "--directory", std::string("--title=") + title,
		        "--filename=" + start + "/"};
	return {"kdialog", "--getexistingdirectory", start, "--title", title};
}

// Runs a chooser program: its exit code 0 with the folder it printed, 1 when
// cancelled; B_NOT_SUPPORTED when it is not along PATH or failed to start.
status_t RunChooser(const std::string& tool, const char* title, const std::string& start,
                    std::string& chosen)
{
	BPath found;
	if (!LibFindEnvFile("PATH", tool.c_str(), found))
		return B_NOT_SUPPORTED;
	const char* folder = getenv("TMPDIR");
	std::string output = std::string(folder != nullptr && folder[0] == '/' ? folder : "/tmp") +
	                     "/vantry-chooser-XXXXXX";
	const int fd = mkstemp(output.data());
	if (fd < 0)
		return B_NOT_SUPPORTED;
	close(fd);
	LibProcess program(ChooserArguments(tool, title, start));
	program.SetQuietInput(true);
	program.SetOutputFile(output);
	InterfaceHost::Event("chooser-shown %s", tool.c_str());
	int exitCode = -1;
	const status_t started = program.Run(&exitCode);
	std::ifstream printed(output);
	std::string line;
	std::getline(printed, line);
	unlink(output.c_str());
	if (started != B_OK)
		return B_NOT_SUPPORTED;
	if (exitCode != 0 || line.empty() || line[0] != '/')
		return exitCode == 1 ? B_CANCELED : B_NOT_SUPPORTED;
	chosen = line;
	return B_OK;
}

} // namespace

status_t LibChooseFolder(const char* title, const char* start, std::string& chosen)
{
	const char* named = getenv("VANTRY_CHOOSER");
	const std::string only = named != nullptr ? named : "";
	const std::string from = start != nullptr ? start : "/";
	const char* shown = title != nullptr ? title : "";
	if (only == "panel")
		return B_NOT_SUPPORTED;
	if (only.empty() || only == "gtk") {
		const status_t status = InterfaceHost::ChooseFolderWithGtk(shown, from.c_str(), &chosen);
		if (status != B_NOT_SUPPORTED || only == "gtk")
			return status;
	}
	for (const char* tool : {"zenity", "kdialog"}) {
		if (!only.empty() && only != tool)
			continue;
		const status_t status = RunChooser(tool, shown, from, chosen);
		if (status != B_NOT_SUPPORTED)
			return status;
	}
	return B_NOT_SUPPORTED;
}
