// Reading an item's menu table and checking its categories against the
// freedesktop registry.
#include "MenuDescription.h"

#include <algorithm>
#include <set>

namespace {

const std::initializer_list<const char*> kMenuFields = {
        "name",       "generic_name", "comment",  "categories",  "keywords",
        "mime_types", "icon",         "terminal", "translations"};

const std::initializer_list<const char*> kTranslationFields = {"name", "comment"};

// Main, additional and reserved categories of the registry.
const std::set<std::string> kRegisteredCategories = {"AudioVideo",
                                                     "Audio",
                                                     "Video",
                                                     "Development",
                                                     "Education",
                                                     "Game",
                                                     "Graphics",
                                                     "Network",
                                                     "Office",
                                                     "Science",
                                                     "Settings",
                                                     "System",
                                                     "Utility",
                                                     "Building",
                                                     "Debugger",
                                                     "IDE",
                                                     "GUIDesigner",
                                                     "Profiling",
                                                     "RevisionControl",
                                                     "Translation",
                                                     "Calendar",
                                                     "ContactManagement",
                                                     "Database",
                                                     "Dictionary",
                                                     "Chart",
                                                     "Email",
                                                     "Finance",
                                                     "FlowChart",
                                                     "PDA",
                                                     "ProjectManagement",
                                                     "Presentation",
                                                     "Spreadsheet",
                                                     "WordProcessor",
                                                     "2DGraphics",
                                                     "VectorGraphics",
                                                     "RasterGraphics",
                                                     "3DGraphics",
                                                     "Scanning",
                                                     "OCR",
                                                     "Photography",
                                                     "Publishing",
                                                     "Viewer",
                                                     "TextTools",
                                                     "DesktopSettings",
                                                     "HardwareSettings",
                                                     "Printing",
                                                     "PackageManager",
                                                     "Dialup",
                                                     "InstantMessaging",
                                                     "Chat",
                                                     "IRCClient",
                                                     "Feed",
                                                     "FileTransfer",
                                                     "HamRadio",
                                                     "News",
                                                     "P2P",
                                                     "RemoteAccess",
                                                     "Telephony",
                                                     "TelephonyTools",
                                                     "VideoConference",
                                                     "WebBrowser",
                                                     "WebDevelopment",
                                                     "Midi",
                                                     "Mixer",
                                                     "Sequencer",
                                                     "Tuner",
                                                     "TV",
                                                     "AudioVideoEditing",
                                                     "Player",
                                                     "Recorder",
                                                     "DiscBurning",
                                                     "ActionGame",
                                                     "AdventureGame",
                                                     "ArcadeGame",
                                                     "BoardGame",
                                                     "BlocksGame",
                                                     "CardGame",
                                                     "KidsGame",
                                                     "LogicGame",
                                                     "RolePlaying",
                                                     "Shooter",
                                                     "Simulation",
                                                     "SportsGame",
                                                     "StrategyGame",
                                                     "Art",
                                                     "Construction",
                                                     "Music",
                                                     "Languages",
                                                     "ArtificialIntelligence",
                                                     "Astronomy",
                                                     "Biology",
                                                     "Chemistry",
                                                     "ComputerScience",
                                                     "DataVisualization",
                                                     "Economy",
                                                     "Electricity",
                                                     "Geography",
                                                     "Geology",
                                                     "Geoscience",
                                                     "History",
                                                     "Humanities",
                                                     "ImageProcessing",
                                                     "Literature",
                                                     "Maps",
                                                     "Math",
                                                     "NumericalAnalysis",
                                                     "MedicalSoftware",
                                                     "Physics",
                                                     "Robotics",
                                                     "Spirituality",
                                                     "Sports",
                                                     "ParallelComputing",
                                                     "Amusement",
                                                     "Archiving",
                                                     "Compression",
                                                     "Electronics",
                                                     "Emulator",
                                                     "Engineering",
                                                     "FileTools",
                                                     "FileManager",
                                                     "TerminalEmulator",
                                                     "Filesystem",
                                                     "Monitor",
                                                     "Security",
                                                     "Accessibility",
                                                     "Calculator",
                                                     "Clock",
                                                     "TextEditor",
                                                     "Documentation",
                                                     "Adult",
                                                     "Core",
                                                     "KDE",
                                                     "GNOME",
                                                     "XFCE",
                                                     "DDE",
                                                     "GTK",
                                                     "Qt",
                                                     "Motif",
                                                     "Java",
                                                     "ConsoleOnly",
                                                     "Screensaver",
                                                     "TrayIcon",
                                                     "Applet",
                                                     "Shell"};

bool HasLineBreak(const std::string& text)
{
	return text.find_first_of("\r\n") != std::string::npos;
}

// A one-line text; a line break would end the entry's key early.
void ReadLine(DescriptionReader& reader, const toml::table& table, const std::string& prefix,
              const char* key, std::string& out)
{
	if (!reader.ReadString(table, prefix, key, out) || !HasLineBreak(out))
		return;
	reader.Error(reader.Origin(*table.get(key), DescriptionReader::Join(prefix, key)),
	             "a menu text is one line; it holds a line break");
	out.clear();
}

void ReadList(DescriptionReader& reader, const toml::table& table, const std::string& prefix,
              const char* key, std::vector<std::string>& out, FieldOrigin& origin)
{
	if (!reader.ReadNames(table, prefix, key, out, origin, ';'))
		return;
	for (const std::string& name : out) {
		if (HasLineBreak(name) || name.find_first_of("[]=") != std::string::npos) {
			reader.Error(origin, "\"" + name + "\" holds a line break, \"[\", \"]\" or \"=\"");
			out.clear();
			return;
		}
	}
}

void ReadIcon(DescriptionReader& reader, const toml::table& table, const std::string& prefix,
              ProductMenu& menu)
{
	if (!reader.ReadPath(table, prefix, "icon", menu.icon, menu.icon_origin))
		return;
	std::string extension = menu.icon.substr(std::min(menu.icon.size(), menu.icon.rfind('.')));
	std::transform(extension.begin(), extension.end(), extension.begin(),
	               [](unsigned char c) { return char(tolower(c)); });
	if (extension == ".svg" || extension == ".png")
		return;
	reader.Error(menu.icon_origin,
	             "a menu icon is an SVG (.svg) or a PNG (.png) of at least 48 x 48: " + menu.icon);
	menu.icon.clear();
}

void ReadTranslations(DescriptionReader& reader, const toml::table& table,
                      const std::string& prefix, ProductMenu& menu)
{
	const toml::table* translations = reader.ReadTable(table, prefix, "translations");
	if (translations == nullptr)
		return;
	for (const auto& [key, node] : *translations) {
		const std::string language(key.str());
		const std::string field = prefix + ".translations." + language;
		const std::vector<std::string>& known = menu_languages();
		if (std::find(known.begin(), known.end(), language) == known.end()) {
			std::string list;
			for (const std::string& code : known)
				list += (list.empty() ? "" : ", ") + code;
			reader.Error(reader.KeyOrigin(key, field),
			             "\"" + language + "\" is not one of the languages " + list);
			continue;
		}
		const toml::table* texts =
		        reader.ReadTable(*translations, prefix + ".translations", language.c_str());
		if (texts == nullptr)
			continue;
		reader.CheckKnown(*texts, field, kTranslationFields);
		MenuTranslation translation;
		ReadLine(reader, *texts, field, "name", translation.name);
		ReadLine(reader, *texts, field, "comment", translation.comment);
		menu.translations[language] = translation;
	}
}

} // namespace

const std::vector<std::string>& menu_languages()
{
	static const std::vector<std::string> languages = {"en", "fr", "es", "de", "it",
	                                                   "no", "sv", "da", "nl"};
	return languages;
}

bool is_registered_category(const std::string& category)
{
	return kRegisteredCategories.count(category) != 0;
}

void read_menu(DescriptionReader& reader, const toml::table& table, const std::string& prefix,
               ProductMenu& menu)
{
	reader.CheckKnown(table, prefix, kMenuFields);
	menu.present = true;
	ReadLine(reader, table, prefix, "name", menu.name);
	ReadLine(reader, table, prefix, "generic_name", menu.generic_name);
	ReadLine(reader, table, prefix, "comment", menu.comment);
	ReadList(reader, table, prefix, "categories", menu.categories, menu.categories_origin);
	FieldOrigin origin;
	ReadList(reader, table, prefix, "keywords", menu.keywords, origin);
	ReadList(reader, table, prefix, "mime_types", menu.mime_types, origin);
	for (const std::string& type : menu.mime_types) {
		if (type.find('/') == std::string::npos || type.find(' ') != std::string::npos)
			reader.Error(origin, "\"" + type + "\" is no MIME type such as \"text/x-bc\"");
	}
	ReadIcon(reader, table, prefix, menu);
	bool terminal = false;
	if (reader.ReadBool(table, prefix, "terminal", terminal))
		menu.terminal = terminal ? 1 : 0;
	ReadTranslations(reader, table, prefix, menu);
}

std::vector<std::string> menu_category_warnings(const Product& product)
{
	std::vector<std::string> warnings;
	for (const ProductItem& item : product.install_file) {
		for (const std::string& category : item.menu.categories) {
			if (is_registered_category(category) || category.rfind("X-", 0) == 0)
				continue;
			warnings.push_back(format_field_error(
			        product.description_path, item.menu.categories_origin,
			        "warning: \"" + category +
			                "\" is no registered menu category (such as \"Utility\" or "
			                "\"Office\"); menus may file the entry under \"Other\". Write "
			                "\"X-" +
			                category + "\" for a category of your own"));
		}
	}
	return warnings;
}
