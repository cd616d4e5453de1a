// The publisher of an earlier installation: read from the reduced
// configuration of the deinstallers in its folder.
#include "PublisherCheck.h"

#include <dirent.h>

#include <cstring>

#include "ConfigRecord.h"
#include "EarlierInstallation.h"
#include "InstallTexts.h"
#include "InstallerSignature.h"

const char* const kPublisherKeyIdField = "publisher_key_id";
const char* const kPublisherKeyField = "publisher_key";
const char* const kNewPublisherQuestion = "The new installer was made by a different publisher";

namespace {

const char kDeinstallerSuffix[] = " Deinstaller";

std::string hex(const std::string& bytes)
{
	static const char kDigits[] = "0123456789abcdef";
	std::string text;
	for (const char c : bytes) {
		text.push_back(kDigits[(uint8(c) >> 4) & 0xf]);
		text.push_back(kDigits[uint8(c) & 0xf]);
	}
	return text;
}

bool ends_with(const std::string& text, const std::string& end)
{
	return text.size() >= end.size() &&
	       text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

PublisherCheck::PublisherCheck(const BMessage& record, const std::string& installFolder)
    : fAppName(ConfigRecord(record).AppName()), fChanged(false)
{
	DIR* folder = installFolder.empty() ? nullptr : opendir(installFolder.c_str());
	if (folder == nullptr)
		return;
	while (struct dirent* entry = readdir(folder)) {
		if (entry->d_type != DT_REG && entry->d_type != DT_UNKNOWN)
			continue;
		BMessage earlier;
		if (ends_with(entry->d_name, kDeinstallerSuffix) &&
		    EarlierInstallation::ReadRecord(installFolder + "/" + entry->d_name, &earlier))
			Compare(earlier);
		if (fChanged)
			break;
	}
	closedir(folder);
}

void PublisherCheck::Compare(const BMessage& earlier)
{
	const char* name = earlier.FindString("app_name");
	const char* keyId = earlier.FindString(kPublisherKeyIdField);
	const char* key = earlier.FindString(kPublisherKeyField);
	if (name == nullptr || fAppName != name)
		return;
	const char* version = earlier.FindString("version");
	fFoundEarlier = true;
	fEarlierVersion = version != nullptr ? version : "";
	fEarlierKeyId = keyId != nullptr ? keyId : "";
	if (keyId == nullptr || key == nullptr)
		return;
	const InstallerSignature* running = RunningInstallerSignature();
	const bool isSigned = running != nullptr && running->GetState() == InstallerSignature::kGood;
	if (isSigned && hex(running->PublicKey()) == key)
		return;
	fChanged = true;
	fEarlierKeyId = keyId;
	fRunningKeyId = isSigned ? running->KeyId() : std::string();
	fDescription = std::string("the earlier installation was signed with key ") + keyId +
	               (isSigned ? "; this installer with key " + running->KeyId()
	                         : std::string("; this installer is not signed"));
}

std::string PublisherCheck::LocalDescription() const
{
	if (fRunningKeyId.empty())
		return InstallFormat(512, 1078, fEarlierKeyId.c_str());
	return InstallFormat(512, 1077, fEarlierKeyId.c_str(), fRunningKeyId.c_str());
}

std::string PublisherCheck::LocalSummary(const char* company)
{
	const InstallerSignature* running = RunningInstallerSignature();
	if (running == nullptr)
		return std::string();
	if (running->GetState() == InstallerSignature::kGood)
		return InstallFormat(512, 1074, company != nullptr ? company : "",
		                     running->KeyId().c_str());
	if (running->GetState() == InstallerSignature::kUnsigned)
		return InstallText(1075).String();
	return running->Summary(company);
}

void PublisherCheck::AddPublisher(BMessage& config)
{
	const InstallerSignature* running = RunningInstallerSignature();
	if (running == nullptr || running->GetState() != InstallerSignature::kGood)
		return;
	config.AddString(kPublisherKeyIdField, running->KeyId().c_str());
	config.AddString(kPublisherKeyField, hex(running->PublicKey()).c_str());
}
