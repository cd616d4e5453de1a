// DeinstallRecords: what the deinstaller finds and reads later: the tag on
// every placed entry, and the reduced configuration and language written
// into the created deinstaller.
#pragma once

#include "LibString.h"
#include "Message.h"
#include "SupportDefs.h"

class DeinstallRecords {
public:
	explicit DeinstallRecords(const BMessage& record);

	// "app_name;version;release_date;company;support_email;".
	void ProductRecord(LibString& record) const;
	// The attribute the tag is.
	static const char* TagName();
	// Tags `path` and, when it is a folder, everything below it.
	static void AddTag(const char* path, const char* value);
	// The product's texts, its image and its script options.
	void BuildConfig(BMessage& config) const;
	// The deinstaller's path in the installation folder.
	void DeinstallerPath(const char* install_folder, LibString& path) const;
	// Writes the reduced configuration and the language into the deinstaller.
	status_t Configure(const char* path, const char* language) const;

private:
	static void TagNode(const char* path, const char* value, int depth);

	const BMessage& fRecord;
};
