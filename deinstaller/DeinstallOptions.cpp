// Reading the deinstaller's command line.
#include "DeinstallOptions.h"

#include "UnattendedOptions.h"

namespace {

const char kUsage[] =
        "usage: Deinstaller --unattended [--volume NAME] [--to FOLDER] [--list] [options]\n"
        "\n"
        "Finds every file and folder this product's installation placed on a volume\n"
        "and moves them to the trash, without a window.\n"
        "  --volume NAME     the volume to search (default: the boot volume)\n"
        "  --to FOLDER       move the entries into FOLDER instead of the trash\n"
        "  --list            print what would be removed and change nothing\n"
        "  --json            JSON instead of text: one document with --list, else one\n"
        "                    object a line\n"
        "  --answers FILE    answers to the collision questions (\"collision replace\",\n"
        "                    \"collision keep all\"; the installer's answer file format)\n"
        "  --yes             answer the questions left unanswered with \"Don't Replace\":\n"
        "                    the moved entry takes the next free name\n"
        "  --all-owners      move the entries of other users too (by default an entry\n"
        "                    that another user owns is left in place and listed)\n"
        "  --all-installations  take the entries of every installation of the product\n"
        "                    (by default those of another installation are listed and left)\n"
        "\n"
        "Exit codes: 0 completed, 1 not configured, 2 usage, 3 no such volume or it\n"
        "cannot be searched, 4 nothing found, 5 stopped, 6 a question had no answer,\n"
        "7 some entries could not be moved (each is printed with its reason),\n"
        "8 entries were left in place: another user's, or in a folder the search\n"
        "could not read (each is printed).\n";

} // namespace

const char* DeinstallUsage()
{
	return kUsage;
}

bool ParseDeinstallOptions(int argc, const char* const* argv, DeinstallOptions& options,
                           std::string& error)
{
	for (int i = 1; i < argc; i++) {
		std::string argument = argv[i];
		std::string value;
		const bool hasInline = SplitInlineValue(argument, value);
		bool* flag = argument == "--unattended"                 ? &options.unattended
		             : argument == "--yes"                      ? &options.yes
		             : argument == "--list"                     ? &options.list
		             : argument == "--json"                     ? &options.json
		             : argument == "--all-owners"               ? &options.allOwners
		             : argument == "--all-installations"        ? &options.allInstallations
		             : argument == "--help" || argument == "-h" ? &options.help
		                                                        : nullptr;
		if (flag != nullptr) {
			if (hasInline) {
				error = argument + " takes no value";
				return false;
			}
			*flag = true;
			continue;
		}
		std::string* target = argument == "--volume"    ? &options.volume
		                      : argument == "--to"      ? &options.destination
		                      : argument == "--answers" ? &options.answers
		                                                : nullptr;
		if (target == nullptr) {
			error = "unknown argument '" + std::string(argv[i]) + "'";
			return false;
		}
		if (!hasInline && i + 1 < argc)
			value = argv[++i];
		if (value.empty()) {
			error = argument + " needs a value";
			return false;
		}
		*target = value;
	}
	if (!options.unattended && !options.help &&
	    (options.list || options.json || options.yes || options.allOwners ||
	     options.allInstallations || !options.volume.empty() || !options.destination.empty() ||
	     !options.answers.empty())) {
		error = "these options need --unattended";
		return false;
	}
	return true;
}
