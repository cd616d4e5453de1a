// The register of installations: small text files, one line a field.
#include "InstallRegister.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>

#include "DeinstallRecords.h"
#include "EarlierInstallation.h"
#include "FindDirectory.h"
#include "InstallJournal.h"
#include "LibFile.h"
#include "LibPathParts.h"
#include "Path.h"
#include "PublisherCheck.h"

namespace {

const char kSuffix[] = ".installation";

std::string AbsoluteEnv(const char* name)
{
	const char* value = getenv(name);
	return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

// Values are one line each: a line break in one would start another field.
std::string OneLine(const char* text)
{
	std::string line = text != nullptr ? text : "";
	std::replace(line.begin(), line.end(), '\n', ' ');
	return line;
}

std::string Today()
{
	const time_t now = time(nullptr);
	struct tm local;
	char text[32] = "";
	if (localtime_r(&now, &local) != nullptr)
		strftime(text, sizeof(text), "%Y-%m-%d %H:%M", &local);
	return text;
}

bool ReadEntry(const std::string& path, InstallRegister::Installation& installation)
{
	std::ifstream in(path);
	if (!in)
		return false;
	installation.file = path;
	for (std::string line; std::getline(in, line);) {
		const size_t equals = line.find('=');
		if (equals == std::string::npos)
			continue;
		const std::string key = line.substr(0, equals);
		const std::string value = line.substr(equals + 1);
		if (key == "app_name")
			installation.appName = value;
		else if (key == "version")
			installation.version = value;
		else if (key == "product")
			installation.product = value;
		else if (key == "folder")
			installation.folder = value;
		else if (key == "date")
			installation.date = value;
		else if (key == "publisher_key_id")
			installation.publisherKeyId = value;
		else if (key == "install_id")
			installation.identity = value;
	}
	return !installation.identity.empty();
}

// The folder still holds the deinstall record of that very installation.
bool IsCurrent(const InstallRegister::Installation& installation)
{
	const EarlierInstallation found(installation.folder, installation.appName);
	return found.Found() && installation.identity == found.Identity();
}

} // namespace

std::string InstallRegister::Folder()
{
	if (geteuid() == 0) {
		BPath var;
		if (find_directory(B_COMMON_VAR_DIRECTORY, &var, false) == B_OK)
			return std::string(var.Path()) + "/lib/vantry/installations";
		return "/var/lib/vantry/installations";
	}
	std::string data = AbsoluteEnv("XDG_DATA_HOME");
	if (data.empty())
		data = AbsoluteEnv("HOME") + "/.local/share";
	return data + "/vantry/installations";
}

std::string InstallRegister::PathFor(const std::string& identity)
{
	return Folder() + "/" + identity + kSuffix;
}

bool InstallRegister::Add(const BMessage& record, const std::string& folder,
                          InstallJournal& journal)
{
	const char* identity = record.FindString(DeinstallRecords::IdentityField());
	if (identity == nullptr || identity[0] == '\0')
		return false;
	LibString product;
	DeinstallRecords(record).ProductRecord(product);
	std::ostringstream text;
	text << "app_name=" << OneLine(record.FindString("app_name")) << "\n"
	     << "version=" << OneLine(record.FindString("version")) << "\n"
	     << "product=" << OneLine(product.String()) << "\n"
	     << "folder=" << OneLine(folder.c_str()) << "\n"
	     << "date=" << Today() << "\n"
	     << "publisher_key_id=" << OneLine(record.FindString(kPublisherKeyIdField)) << "\n"
	     << "install_id=" << identity << "\n";
	const std::string path = PathFor(identity);
	if (!journal.WillMakeFolders(Folder()) || !journal.WillWrite(path))
		return false;
	if (!LibIsFolder(Folder()) && !Libmkdir(Folder().c_str()))
		return false;
	std::ofstream out(path, std::ios::trunc);
	out << text.str();
	out.close();
	return bool(out);
}

bool InstallRegister::Remove(const std::string& identity, InstallJournal& journal)
{
	const std::string path = PathFor(identity);
	if (identity.empty() || !LibEntryExists(path))
		return true;
	return journal.WillWrite(path) && unlink(path.c_str()) == 0;
}

bool InstallRegister::Forget(const std::string& identity)
{
	if (identity.empty())
		return true;
	return unlink(PathFor(identity).c_str()) == 0 || errno == ENOENT;
}

std::vector<InstallRegister::Installation> InstallRegister::List(const std::string& appName)
{
	std::vector<Installation> found;
	DIR* folder = opendir(Folder().c_str());
	if (folder == nullptr)
		return found;
	while (struct dirent* entry = readdir(folder)) {
		const std::string name = entry->d_name;
		if (name.size() <= strlen(kSuffix) ||
		    name.compare(name.size() - strlen(kSuffix), strlen(kSuffix), kSuffix) != 0)
			continue;
		Installation installation;
		if (!ReadEntry(Folder() + "/" + name, installation) || installation.appName != appName)
			continue;
		installation.stale = !IsCurrent(installation);
		found.push_back(installation);
	}
	closedir(folder);
	std::sort(found.begin(), found.end(), [](const Installation& a, const Installation& b) {
		return a.date != b.date ? a.date < b.date : a.folder < b.folder;
	});
	return found;
}
