// Reading the installer's command line.
#include "UnattendedOptions.h"

#include "LibPathParts.h"

#include <cstring>

namespace {

const char kUsage[] =
        "usage: Installer [--text] [--lang CODE]\n"
        "       Installer --unattended (--dest FOLDER | --volume NAME) [options]\n"
        "       Installer --plan (--dest FOLDER | --volume NAME) [options]\n"
        "       Installer --list | --verify | --extract FOLDER | --installed | --version | --help\n"
        "\n"
        "Without options the installer asks its questions in a window, or on the\n"
        "terminal when there is no display or --text is given.\n"
        "  --list            the items with their sizes, install types, destinations and links\n"
        "  --verify          say who signed the installer and check every payload; exit 0,\n"
        "                    11 when it was changed after it was signed, or 8 naming the\n"
        "                    damaged item\n"
        "  --extract FOLDER  unpack the items into FOLDER without installing them\n"
        "  --installed       the installations of this product: version, folder, date,\n"
        "                    publisher key; \"stale\" when the folder no longer holds it\n"
        "  --version         the installer's version\n"
        "  --json            with --list, --verify, --plan or --unattended: JSON instead\n"
        "                    of text (one document; one object a line for a run)\n"
        "\n"
        "--unattended installs the product this installer carries without questions.\n"
        "  --dest FOLDER     the folder in which the installation folder is made\n"
        "  --volume NAME     the volume to install on (its \"home\" folder without --dest)\n"
        "  --type NAME       install the items of this install type (default: the first)\n"
        "  --items A,B       install exactly the items with these names\n"
        "  --item NAME       install this item too, its name as it stands (a name may\n"
        "                    hold a comma); may be given more than once\n"
        "  --lang CODE       speak en, fr, es, de, it, no, sv, da or nl\n"
        "  --answers FILE    answers to the questions the installation asks\n"
        "  --yes             answer every question left unanswered with its default\n"
        "  --accept-licence  agree to the product's licence (--yes does not)\n"
        "  --answers-on-stdin  with --json: print a question the answers leave open as\n"
        "                    a \"question\" line and read its answer from standard input\n"
        "  --allow-new-publisher  install over an installation another key signed\n"
        "  --plan            print what the installation would do, change nothing, and\n"
        "                    exit with the code the installation would end with\n"
        "  --upgrade         install over an earlier installation of the product, keeping\n"
        "                    what was changed or added in it (default: replace it)\n"
        "  --allow-downgrade let --upgrade install an older version over a newer one\n"
        "  --repair          put back what is missing or changed of the installation of\n"
        "                    this same version; nothing else changes\n"
        "\n"
        "Exit codes: 0 completed, 1 installation folder error, 2 usage, 3 not enough\n"
        "disk space, 4 ended by a requirement, 5 stopped, 6 a question had no answer,\n"
        "7 licence not agreed, 8 installer damaged, 11 payload damaged or the installer\n"
        "changed after it was signed, 12 failed and undone, 13 a downgrade not allowed.\n";

// The option's value: the next argument, or what follows "=".
bool TakeValue(int argc, const char* const* argv, int& i, const std::string& inline_value,
               const bool& has_inline, std::string& value)
{
	if (has_inline) {
		value = inline_value;
		return true;
	}
	if (i + 1 >= argc)
		return false;
	value = argv[++i];
	return true;
}

} // namespace

const char* UnattendedUsage()
{
	return kUsage;
}

bool WantsReport(const UnattendedOptions& options)
{
	return options.help || options.version || options.list || options.verify || options.installed ||
	       !options.extract.empty();
}

bool SplitInlineValue(std::string& argument, std::string& value)
{
	const size_t equals = argument.find('=');
	if (argument.rfind("--", 0) != 0 || equals == std::string::npos)
		return false;
	value = argument.substr(equals + 1);
	argument.resize(equals);
	return true;
}

namespace {

// A flag and the option it sets.
struct Flag {
	const char* name;
	bool UnattendedOptions::*field;
};

const Flag kFlags[] = {
        {"--unattended", &UnattendedOptions::unattended},
        {"--yes", &UnattendedOptions::yes},
        {"--help", &UnattendedOptions::help},
        {"-h", &UnattendedOptions::help},
        {"--version", &UnattendedOptions::version},
        {"--list", &UnattendedOptions::list},
        {"--verify", &UnattendedOptions::verify},
        {"--accept-licence", &UnattendedOptions::acceptLicence},
        {"--accept-license", &UnattendedOptions::acceptLicence},
        {"--text", &UnattendedOptions::text},
        {"--allow-new-publisher", &UnattendedOptions::allowNewPublisher},
        {"--plan", &UnattendedOptions::plan},
        {"--json", &UnattendedOptions::json},
        {"--upgrade", &UnattendedOptions::upgrade},
        {"--allow-downgrade", &UnattendedOptions::allowDowngrade},
        {"--repair", &UnattendedOptions::repair},
        {"--installed", &UnattendedOptions::installed},
        {"--answers-on-stdin", &UnattendedOptions::answersOnStdin},
};

// The option of argument `i` (and its value, which may be the next
// argument); false with `error` set for one that is not known or not whole.
bool ReadArgument(int argc, const char* const* argv, int& i, UnattendedOptions& options,
                  std::string& error)
{
	std::string argument = argv[i];
	std::string inlineValue;
	const bool hasInline = SplitInlineValue(argument, inlineValue);
	for (const Flag& flag : kFlags) {
		if (argument != flag.name)
			continue;
		if (hasInline) {
			error = argument + " takes no value";
			return false;
		}
		options.*(flag.field) = true;
		return true;
	}
	const std::pair<const char*, std::string UnattendedOptions::*> kValues[] = {
	        {"--dest", &UnattendedOptions::destination}, {"--volume", &UnattendedOptions::volume},
	        {"--type", &UnattendedOptions::type},        {"--lang", &UnattendedOptions::language},
	        {"--answers", &UnattendedOptions::answers},  {"--extract", &UnattendedOptions::extract},
	};
	std::string* target = nullptr;
	for (const auto& [name, field] : kValues) {
		if (argument == name)
			target = &(options.*field);
	}
	const bool oneItem = argument == "--item";
	if (target == nullptr && argument != "--items" && !oneItem) {
		error = "unknown argument '" + std::string(argv[i]) + "'";
		return false;
	}
	std::string value;
	if (!TakeValue(argc, argv, i, inlineValue, hasInline, value) || value.empty()) {
		error = argument + " needs a value";
		return false;
	}
	if (target != nullptr) {
		*target = value;
		return true;
	}
	if (oneItem)
		options.items.push_back(value);
	else
		options.items = LibSplitAt(value, ',');
	options.itemsGiven = true;
	return true;
}

// The options that cannot go together, or need another; false with `error`.
bool CheckCombination(UnattendedOptions& options, std::string& error)
{
	const int reports = int(options.list) + int(options.verify) + int(options.installed) +
	                    int(!options.extract.empty());
	if (reports > 1 || (reports == 1 && (options.unattended || options.text || options.plan))) {
		error = "--list, --verify, --installed and --extract each stand alone";
		return false;
	}
	if (options.upgrade && options.repair) {
		error = "--upgrade and --repair cannot be used together";
		return false;
	}
	if ((options.upgrade || options.repair || options.allowDowngrade) && !options.unattended &&
	    !options.plan) {
		error = "--upgrade, --allow-downgrade and --repair go with --unattended";
		return false;
	}
	if (options.json && !options.list && !options.verify && !options.plan && !options.installed &&
	    !options.unattended) {
		error = "--json goes with --list, --verify, --plan, --installed or --unattended";
		return false;
	}
	if (options.answersOnStdin && (!options.json || !options.unattended || options.plan)) {
		error = "--answers-on-stdin goes with --unattended --json";
		return false;
	}
	if (options.plan && options.text) {
		error = "--text and --plan cannot be used together";
		return false;
	}
	// A plan reads the options of the run it plans.
	if (options.plan)
		options.unattended = true;
	if (options.unattended && options.text) {
		error = "--text and --unattended cannot be used together";
		return false;
	}
	if (!options.unattended)
		return true;
	if (!options.type.empty() && options.itemsGiven) {
		error = "--type and --items cannot be used together";
		return false;
	}
	if (options.destination.empty() && options.volume.empty()) {
		error = std::string(options.plan ? "--plan" : "--unattended") +
		        " needs --dest FOLDER or --volume NAME";
		return false;
	}
	return true;
}

} // namespace

bool ParseUnattendedOptions(int argc, const char* const* argv, UnattendedOptions& options,
                            std::string& error)
{
	for (int i = 1; i < argc; i++) {
		if (!ReadArgument(argc, argv, i, options, error))
			return false;
	}
	if (options.help || options.version)
		return true;
	return CheckCombination(options, error);
}
