// PublisherCheck: whether the earlier installation of the same product in
// the installation folder was signed by a key this installer does not carry,
// as its deinstall record remembers it.
#pragma once

#include <string>

#include "Message.h"

// The deinstall record's fields of the publisher: the key ID as minisign
// prints it, and the public key in hexadecimal; absent when unsigned.
extern const char* const kPublisherKeyIdField;
extern const char* const kPublisherKeyField;
// The question asked before installing over another publisher's installation.
extern const char* const kNewPublisherQuestion;

class PublisherCheck {
public:
	// Looks for deinstallers of the product of `record` in `installFolder`.
	PublisherCheck(const BMessage& record, const std::string& installFolder);

	// A signed earlier installation, and this installer signed by another key or not at all.
	bool Changed() const { return fChanged; }
	// "the earlier installation was signed with key A; this installer with key B"
	// (or "is not signed").
	const std::string& Description() const { return fDescription; }
	// The same in the current language.
	std::string LocalDescription() const;
	// The running installer's signature in the current language: "Signed by
	// <company> (key <ID>)" or "This installer is not signed"; for a changed
	// installer, which never gets this far, the English problem.
	static std::string LocalSummary(const char* company);

	// An earlier installation of the product was found in the folder, with
	// this version and key ID (empty when it was not signed).
	bool FoundEarlier() const { return fFoundEarlier; }
	const std::string& EarlierVersion() const { return fEarlierVersion; }
	const std::string& EarlierKeyId() const { return fEarlierKeyId; }

	// Writes this installer's publisher, when it is signed, into `config`.
	static void AddPublisher(BMessage& config);

private:
	void Compare(const BMessage& earlier);

	std::string fAppName;
	bool fChanged;
	std::string fDescription;
	std::string fEarlierKeyId;
	bool fFoundEarlier = false;
	std::string fEarlierVersion;
	// Empty when this installer is not signed.
	std::string fRunningKeyId;
};
