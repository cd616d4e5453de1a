// DeinstallRecords: what the deinstaller finds and reads later: the tag on
// every placed entry, and the reduced configuration and language written
// into the created deinstaller.
#pragma once

#include <string>

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
	// The attribute beside the tag that names the installation.
	static const char* IdentityName();
	// The record field of the installation's identity (32 hexadecimal digits).
	static const char* IdentityField();
	// The record field listing the folders the installation made outside its
	// own folder, for the deinstaller to remove once they are empty.
	static const char* CreatedFoldersField();
	// A new identity: 128 random bits as 32 hexadecimal digits.
	static std::string NewIdentity();
	// Tags `path` and, when it is a folder, everything below it, with the
	// installation's `identity` beside each tag when it is not empty.
	static void AddTag(const char* path, const char* value, const std::string& identity);
	// The product's texts, its image and its script options.
	void BuildConfig(BMessage& config) const;
	// The deinstaller's path in the installation folder.
	void DeinstallerPath(const char* install_folder, LibString& path) const;
	// Writes the reduced configuration and the language into the deinstaller.
	status_t Configure(const char* path, const char* language) const;

private:
	static void TagNode(const char* path, const char* value, const std::string& identity,
	                    int depth);

	const BMessage& fRecord;
};
