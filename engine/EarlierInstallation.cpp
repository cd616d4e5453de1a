// Finding the earlier installation of a product in its installation folder.
#include "EarlierInstallation.h"

#include <dirent.h>

#include <cctype>
#include <cstring>

#include "ConfigLoader.h"
#include "DeinstallRecords.h"
#include "Resources.h"
#include "TypeConstants.h"

namespace {

const char kDeinstallerSuffix[] = " Deinstaller";

bool EndsWith(const std::string& text, const std::string& end)
{
	return text.size() >= end.size() &&
	       text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The next part of a version from `at`: a run of digits or of other characters.
std::string NextPart(const char*& at)
{
	while (*at == '.' || *at == '-' || *at == '_' || *at == ' ')
		at++;
	const char* start = at;
	const bool digits = isdigit((unsigned char)*at);
	while (*at != '\0' && *at != '.' && *at != '-' && *at != '_' && *at != ' ' &&
	       bool(isdigit((unsigned char)*at)) == digits)
		at++;
	return std::string(start, at);
}

int ComparePart(const std::string& a, const std::string& b)
{
	const bool numbers = !a.empty() && !b.empty() && isdigit((unsigned char)a[0]) &&
	                     isdigit((unsigned char)b[0]);
	if (!numbers)
		return a.compare(b) < 0 ? -1 : a.compare(b) > 0 ? 1 : 0;
	const std::string x = a.substr(std::min(a.find_first_not_of('0'), a.size()));
	const std::string y = b.substr(std::min(b.find_first_not_of('0'), b.size()));
	if (x.size() != y.size())
		return x.size() < y.size() ? -1 : 1;
	return x.compare(y) < 0 ? -1 : x.compare(y) > 0 ? 1 : 0;
}

} // namespace

EarlierInstallation::EarlierInstallation(const std::string& installFolder,
                                         const std::string& appName)
{
	DIR* folder = installFolder.empty() ? nullptr : opendir(installFolder.c_str());
	if (folder == nullptr)
		return;
	while (struct dirent* entry = readdir(folder)) {
		if ((entry->d_type != DT_REG && entry->d_type != DT_UNKNOWN) ||
		    !EndsWith(entry->d_name, kDeinstallerSuffix))
			continue;
		const std::string path = installFolder + "/" + entry->d_name;
		BMessage record;
		const char* name = nullptr;
		if (!ReadRecord(path, &record) || (name = record.FindString("app_name")) == nullptr ||
		    appName != name)
			continue;
		fRecord = record;
		fDeinstaller = path;
		break;
	}
	closedir(folder);
}

const char* EarlierInstallation::Version() const
{
	const char* version = fRecord.FindString("version");
	return version != nullptr ? version : "";
}

const char* EarlierInstallation::Identity() const
{
	const char* identity = fRecord.FindString(DeinstallRecords::IdentityField());
	return identity != nullptr ? identity : "";
}

int EarlierInstallation::CompareWith(const char* version) const
{
	return CompareVersions(Version(), version != nullptr ? version : "");
}

bool EarlierInstallation::ReadRecord(const std::string& path, BMessage* record)
{
	BResources resources(path.c_str(), false);
	size_t size = 0;
	const void* data = resources.LoadResource(B_STRING_TYPE, kConfigurationResourceId, &size);
	return data != nullptr && record->Unflatten((const char*)data, ssize_t(size)) == B_OK;
}

int EarlierInstallation::CompareVersions(const char* a, const char* b)
{
	while (*a != '\0' || *b != '\0') {
		const int order = ComparePart(NextPart(a), NextPart(b));
		if (order != 0)
			return order;
	}
	return 0;
}
