// The installer's steps on a terminal.
#include "TerminalMode.h"

#include <unistd.h>

#include <climits>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ConfigLoader.h"
#include "ConfigRecord.h"
#include "FindDirectory.h"
#include "InstallConfig.h"
#include "InstallItemRecord.h"
#include "InstallTexts.h"
#include "InstallTypes.h"
#include "LibAppResource.h"
#include "LibBytes.h"
#include "LibEntry.h"
#include "LibPathParts.h"
#include "LibStdDir.h"
#include "LoginScripts.h"
#include "Path.h"
#include "PublisherCheck.h"
#include "TerminalInput.h"
#include "TerminalPresenter.h"
#include "UnattendedInstall.h"
#include "UnattendedOutput.h"
#include "oLocalize.h"

namespace {

std::vector<std::string> SplitLines(const std::string& text)
{
	std::vector<std::string> lines;
	std::istringstream stream(text);
	for (std::string line; std::getline(stream, line);)
		lines.push_back(line);
	return lines;
}

void Heading(FILE* out, const LibString& text)
{
	fprintf(out, "\n== %s ==\n", text.String());
}

// The licence a page at a time; true once it is agreed to.
bool AgreeToLicence(const InstallConfig& config, TerminalInput& input, bool& ended)
{
	const std::string licence = ConfigRecord(config).Licence();
	if (licence.empty())
		return true;
	FILE* out = input.Out();
	Heading(out, InstallText(1001));
	const std::vector<std::string> lines = SplitLines(licence);
	const size_t page = size_t(input.Rows() - 3);
	for (size_t i = 0; i < lines.size(); i++) {
		fprintf(out, "%s\n", lines[i].c_str());
		if ((i + 1) % page == 0 && i + 1 < lines.size()) {
			std::string line;
			if (!input.Ask(InstallText(1054).String(), line)) {
				ended = true;
				return false;
			}
			if (line == "s")
				break;
		}
	}
	fprintf(out, "\n%s\n  1) %s\n  2) %s\n", InstallText(1010).String(), InstallText(1008).String(),
	        InstallText(1015).String());
	const int choice = input.Choose("", 2, 1);
	ended = choice < 0;
	return choice == 0;
}

void ChooseLanguage(TerminalInput& input)
{
	const std::vector<std::string> names = SplitLines(InstallText(1000).String());
	FILE* out = input.Out();
	fputc('\n', out);
	for (size_t i = 0; i < names.size(); i++)
		fprintf(out, "  %zu) %s\n", i + 1, names[i].c_str());
	const int current = oLocalize::LanguageRow(InstallLanguage().c_str());
	const int choice = input.Choose("", int(names.size()), current < 0 ? 0 : current);
	if (choice >= 0 && choice != current)
		InstallSetLanguage(oLocalize::LanguageCode(choice));
}

// The install type and then the items, switched on and off by number.
bool ChooseItems(const InstallConfig& config, TerminalInput& input,
                 std::vector<std::string>& chosen)
{
	FILE* out = input.Out();
	const std::vector<BMessage> items = ConfigRecord(config).Items();
	std::vector<bool> on(items.size(), false);
	const std::vector<InstallType> types = InstallTypesOf(config);
	if (!types.empty()) {
		Heading(out, InstallText(1003));
		for (size_t i = 0; i < types.size(); i++)
			fprintf(out, "  %zu) %s%s%s\n", i + 1, types[i].name.c_str(),
			        types[i].description.empty() ? "" : "  ", types[i].description.c_str());
		const int type = input.Choose("", int(types.size()), 0);
		if (type < 0)
			return false;
		for (size_t i = 0; i < items.size(); i++)
			on[i] = InstallItemRecord(items[i]).InType(types[size_t(type)].name);
	}
	Heading(out, InstallText(1004));
	for (;;) {
		for (size_t i = 0; i < items.size(); i++) {
			LibString size;
			LibBytesToString(InstallItemRecord(items[i]).FileSize(), size, 1);
			fprintf(out, "  %zu) [%c] %s  %s\n", i + 1, on[i] ? 'x' : ' ',
			        InstallItemRecord(items[i]).Leaf().c_str(), size.String());
		}
		std::string line;
		if (!input.Ask(InstallText(1055).String(), line))
			return false;
		if (line.empty()) {
			chosen.clear();
			for (size_t i = 0; i < items.size(); i++) {
				if (on[i])
					chosen.push_back(InstallItemRecord(items[i]).Leaf());
			}
			if (!chosen.empty())
				return true;
			fprintf(out, "%s\n", InstallText(1056).String());
			continue;
		}
		std::istringstream numbers(line);
		for (std::string word; numbers >> word;) {
			const size_t number = size_t(atol(word.c_str()));
			if (number >= 1 && number <= items.size())
				on[number - 1] = !on[number - 1];
			else
				fprintf(out, "%s\n",
				        InstallFormat(1024, 1057, word.c_str(), int(items.size())).c_str());
		}
	}
}

// The folder the window starts with: the record's default folder, else home.
std::string InitialDestination(const InstallConfig& config)
{
	const std::string name = ConfigRecord(config).DefaultFolder();
	BPath path;
	directory_which which = B_USER_DIRECTORY;
	if (name == "Current" && LibGetWorkingDirectory(path))
		return path.Path();
	if (!name.empty() && LibGetStdDirName(name.c_str(), which) &&
	    find_directory(which, &path) == B_OK)
		return path.Path();
	return find_directory(B_USER_DIRECTORY, &path) == B_OK ? path.Path() : "/";
}

// The destination folder; an installation folder already there is replaced
// only when the person says so, as the window asks.
bool ChooseDestination(InstallConfig& config, TerminalInput& input, UnattendedOptions& choices)
{
	FILE* out = input.Out();
	const std::string offered = InitialDestination(config);
	std::string folder = offered;
	Heading(out, InstallText(1009));
	for (;;) {
		std::string line;
		if (!input.Ask(InstallText(1005).String() + std::string(" [") + folder + "]: ", line))
			return false;
		if (!line.empty())
			folder = line;
		choices.destination = folder;
		std::string error;
		std::string missing;
		if (!::ChooseDestination(config, choices, error, &missing)) {
			fprintf(out, "%s\n", error.c_str());
			continue;
		}
		// The folder offered is made by the run, as the window's is; one the
		// person typed must exist.
		config.SetMakeDestination(folder == offered);
		if (!missing.empty() && !config.MakesDestination()) {
			fprintf(out, "%s\n", missing.c_str());
			continue;
		}
		if (!config.DoesDestinationExist())
			return true;
		const char* name = ConfigRecord(config).CreatedFolder();
		fprintf(out, "%s%s%s%s\n  1) %s\n  2) %s\n", InstallText(1013).String(), name,
		        InstallText(1014).String(), InstallText(1020).String(), InstallText(1015).String(),
		        InstallText(1016).String());
		const int replace = input.Choose("", 2, 0);
		if (replace < 0)
			return false;
		if (replace == 1)
			return true;
	}
}

// A user's install lands in the home; root's lands where every user finds it.
void TellHowToInstallForAllUsers(FILE* out)
{
	if (!LinuxDesktopLayout() || geteuid() == 0)
		return;
	char self[PATH_MAX];
	const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
	if (length <= 0)
		return;
	std::string quoted = "'";
	for (const char c : std::string(self, size_t(length)))
		quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
	quoted += "'";
	fprintf(out, "%s\n", InstallFormat(1024 + quoted.size(), 1200, quoted.c_str()).c_str());
}

} // namespace

int RunTerminal(const UnattendedOptions& options, FILE* in, FILE* out)
{
	UnattendedOutput output(out);
	TerminalInput input(in, out);
	TerminalPresenter presenter(output, input);
	AlertPresenterScope scope(&presenter);

	if (!options.language.empty()) {
		if (oLocalize::LanguageRow(options.language.c_str()) < 0) {
			output.Line("error", ("no language has the code \"" + options.language +
			                      "\": use en, fr, es, de, it, no, sv, da or nl")
			                             .c_str());
			return UNATTENDED_USAGE;
		}
		InstallSetLanguage(options.language.c_str());
	}
	std::unique_ptr<InstallConfig> config(new InstallConfig);
	{
		LibAppResource store(B_READ_ONLY);
		if (!LoadConfiguration(*config, store))
			return UNATTENDED_DAMAGED;
	}
	fprintf(out, "%s %s\n", ConfigRecord(*config).AppName(), ConfigRecord(*config).Version());
	const std::string signature = PublisherCheck::LocalSummary(ConfigRecord(*config).Company());
	if (!signature.empty())
		fprintf(out, "%s\n", signature.c_str());
	TellHowToInstallForAllUsers(out);
	bool ended = false;
	if (!AgreeToLicence(*config, input, ended)) {
		output.Line("licence", ended ? "not agreed: the input ended" : "declined");
		return ended ? UNATTENDED_UNANSWERED : UNATTENDED_LICENCE_DECLINED;
	}
	ChooseLanguage(input);
	UnattendedOptions choices;
	if (!ChooseItems(*config, input, choices.items)) {
		output.Line("result", UnattendedOutcome(UNATTENDED_UNANSWERED));
		return UNATTENDED_UNANSWERED;
	}
	choices.itemsGiven = true;
	std::string error;
	if (!::ChooseItems(*config, choices, error)) {
		output.Line("error", error.c_str());
		return UNATTENDED_USAGE;
	}
	if (!ChooseDestination(*config, input, choices)) {
		output.Line("result", UnattendedOutcome(UNATTENDED_UNANSWERED));
		return UNATTENDED_UNANSWERED;
	}
	fputc('\n', out);
	const int code = RunInstallThread(*config, presenter, output);
	output.Line("result", UnattendedOutcome(code));
	return code;
}
