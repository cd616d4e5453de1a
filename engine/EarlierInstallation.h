// EarlierInstallation: the installation of a product already in an
// installation folder, found by the deinstall record of its deinstaller.
#pragma once

#include <string>

#include "Message.h"

class EarlierInstallation {
public:
	// Looks in `installFolder` for a deinstaller of the product `appName`.
	EarlierInstallation(const std::string& installFolder, const std::string& appName);

	bool Found() const { return !fDeinstaller.empty(); }
	const BMessage& Record() const { return fRecord; }
	const std::string& DeinstallerPath() const { return fDeinstaller; }
	const char* Version() const;
	const char* Identity() const;
	// Below zero when the earlier installation's version is older than
	// `version`, zero when the same, above zero when newer.
	int CompareWith(const char* version) const;

	// The reduced configuration written into the deinstaller at `path`.
	static bool ReadRecord(const std::string& path, BMessage* record);
	// Compares two versions part by part, numbers as numbers ("1.10" > "1.9").
	static int CompareVersions(const char* a, const char* b);

private:
	BMessage fRecord;
	std::string fDeinstaller;
};
