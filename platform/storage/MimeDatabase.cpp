// Type descriptions and types by file name, from the platform's type
// database and the desktop's shared MIME database.
#include "MimeDatabase.h"

#include <fnmatch.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "FindDirectory.h"
#include "Node.h"
#include "Path.h"
#include "TypeConstants.h"

namespace {

std::string Lower(std::string text)
{
	std::transform(text.begin(), text.end(), text.begin(),
	               [](unsigned char c) { return char(std::tolower(c)); });
	return text;
}

// The "mime" folders of the XDG data folders, the user's first.
std::vector<std::string> SharedDatabaseFolders()
{
	std::vector<std::string> folders;
	const char* home = getenv("XDG_DATA_HOME");
	const char* user = getenv("HOME");
	if (home != nullptr && home[0] == '/')
		folders.push_back(std::string(home) + "/mime");
	else if (user != nullptr && user[0] == '/')
		folders.push_back(std::string(user) + "/.local/share/mime");
	const char* dirs = getenv("XDG_DATA_DIRS");
	std::istringstream list(dirs != nullptr && dirs[0] != '\0' ? dirs
	                                                           : "/usr/local/share:/usr/share");
	for (std::string dir; std::getline(list, dir, ':');) {
		if (!dir.empty() && dir[0] == '/')
			folders.push_back(dir + "/mime");
	}
	return folders;
}

std::string ReadWhole(const std::string& path)
{
	std::ifstream file(path, std::ios::binary);
	std::ostringstream text;
	text << file.rdbuf();
	return text.str();
}

std::string XmlText(const std::string& text)
{
	std::string plain;
	const std::pair<const char*, char> entities[] = {
	        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
	for (size_t i = 0; i < text.size(); i++) {
		bool replaced = false;
		for (const auto& [entity, character] : entities) {
			const size_t length = strlen(entity);
			if (text.compare(i, length, entity) == 0) {
				plain += character;
				i += length - 1;
				replaced = true;
				break;
			}
		}
		if (!replaced)
			plain += text[i];
	}
	return plain;
}

// Whether a comment's xml:lang serves `language`; Norwegian is written "nb".
bool LanguageServes(const std::string& lang, const std::string& language)
{
	const std::string wanted = language == "no" ? "nb" : language;
	for (const std::string& code : {wanted, language}) {
		if (lang == code || lang.rfind(code + "_", 0) == 0)
			return true;
	}
	return false;
}

// The <comment> of a type's file in `language`, else the one without a language.
std::string CommentOf(const std::string& xml, const std::string& language)
{
	std::string plain;
	for (size_t at = xml.find("<comment"); at != std::string::npos;
	     at = xml.find("<comment", at + 1)) {
		const size_t open = xml.find('>', at);
		const size_t close = xml.find("</comment>", open);
		if (open == std::string::npos || close == std::string::npos)
			break;
		const std::string tag = xml.substr(at, open - at);
		const std::string text = XmlText(xml.substr(open + 1, close - open - 1));
		const size_t lang = tag.find("xml:lang=\"");
		if (lang == std::string::npos) {
			if (plain.empty())
				plain = text;
			continue;
		}
		const size_t start = lang + 10;
		const std::string code = tag.substr(start, tag.find('"', start) - start);
		if (!language.empty() && LanguageServes(code, language))
			return text;
	}
	return plain;
}

// The type an alias stands for in one database folder, or `type` itself.
std::string Canonical(const std::string& folder, const std::string& type)
{
	std::ifstream aliases(folder + "/aliases");
	for (std::string alias, canonical; aliases >> alias >> canonical;) {
		if (alias == type)
			return canonical;
	}
	return type;
}

std::string TypeDatabaseDescription(const std::string& type)
{
	BPath path;
	if (find_directory(B_USER_SETTINGS_DIRECTORY, &path) != B_OK)
		return std::string();
	path.Append("beos_mime");
	path.Append(Lower(type).c_str());
	BNode node(path.Path());
	char text[256] = "";
	const ssize_t read = node.InitCheck() == B_OK ? node.ReadAttr("META:S:DESC", B_STRING_TYPE, 0,
	                                                              text, sizeof(text) - 1)
	                                              : -1;
	return read > 0 ? std::string(text, strnlen(text, size_t(read))) : std::string();
}

} // namespace

std::string mime_type_description(const std::string& type, const std::string& language)
{
	if (type.empty() || type.find('/') == std::string::npos || type.find("..") != std::string::npos)
		return std::string();
	const std::string own = TypeDatabaseDescription(type);
	if (!own.empty())
		return own;
	for (const std::string& folder : SharedDatabaseFolders()) {
		const std::string xml = ReadWhole(folder + "/" + Canonical(folder, Lower(type)) + ".xml");
		const std::string comment = CommentOf(xml, language);
		if (!comment.empty())
			return comment;
	}
	return std::string();
}

std::string mime_type_for_name(const std::string& leaf)
{
	std::string best;
	int bestWeight = -1;
	size_t bestLength = 0;
	for (const std::string& folder : SharedDatabaseFolders()) {
		std::ifstream globs(folder + "/globs2");
		for (std::string line; std::getline(globs, line);) {
			if (line.empty() || line[0] == '#')
				continue;
			std::istringstream fields(line);
			std::string weight, type, pattern, flags;
			if (!std::getline(fields, weight, ':') || !std::getline(fields, type, ':') ||
			    !std::getline(fields, pattern, ':'))
				continue;
			std::getline(fields, flags);
			const bool exact = flags.find("cs") != std::string::npos;
			const std::string name = exact ? leaf : Lower(leaf);
			if (fnmatch((exact ? pattern : Lower(pattern)).c_str(), name.c_str(), 0) != 0)
				continue;
			const int value = atoi(weight.c_str());
			if (value > bestWeight || (value == bestWeight && pattern.size() > bestLength)) {
				best = type;
				bestWeight = value;
				bestLength = pattern.size();
			}
		}
		// The user's database comes first; a system one is read only without a match.
		if (!best.empty())
			break;
	}
	return best;
}
