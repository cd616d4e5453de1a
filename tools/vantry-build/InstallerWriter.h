// InstallerWriter: assembles an installer: a copy of the Installer program
// with the product appended as resources: the configuration record, the
// string tables, one payload archive per item and the zipped deinstaller.
#pragma once

#include <string>
#include <vector>

#include "BuildTime.h"
#include "PayloadWriter.h"
#include "Product.h"

class BMessage;

// The programs and data an installer is made from.
struct InstallerParts {
	std::string installer;   // the Installer program
	std::string deinstaller; // the Deinstaller program
	std::string strings;     // the folder holding installer/ and deinstaller/ string tables
	int32 threads = 0;       // compressing threads, 0 for one per core
	int64 buildTime = kFixedBuildTime;     // for the times the inputs do not give
	const class SigningKey* key = nullptr; // signs the installer when set
};

// One packed item as the build summary reports it.
struct PackedItem {
	std::string name;
	int64 bytes = 0;  // the item's files
	int64 packed = 0; // its payload archive
};

class InstallerWriter {
public:
	InstallerWriter(const Product& product, const InstallerParts& parts);

	// Writes the installer to `output`, replacing it only once complete;
	// signed, with `output`.minisig beside it, when the parts hold a key.
	status_t Write(const std::string& output);
	// Every mistake met, one a line.
	const std::vector<std::string>& Errors() const { return fErrors; }
	// What the last Write found but built anyway, one a line.
	const std::vector<std::string>& Warnings() const { return fWarnings; }
	// The items packed by the last Write, in order.
	const std::vector<PackedItem>& Packed() const { return fPacked; }

	// The language codes in the order of the language menu.
	static const std::vector<std::string>& Languages();

private:
	status_t PrepareDeinstaller(const std::string& work, std::string* archive, int32* size);
	uint64 DeinstallerReference() const;
	status_t CheckDeinstallerReference(const std::string& installer);
	status_t AddStrings(class BResources& resources, const std::string& program,
	                    const int32& lastId);
	status_t AddConfiguration(BResources& resources, const int32& deinstallerSize);
	status_t AddPayload(BResources& resources, const std::string& archive, const int32& id,
	                    const std::string& name);
	// Packs every item's archive into the work folder and takes its digest.
	status_t PackItems(const std::string& work);
	// Reads the item's archive back as the installer will, and warns about
	// names that only some file systems tell apart.
	status_t CheckPayload(const ProductItem& item, const std::string& archive);
	// The writer of every payload, the deinstaller's too, as the product asks.
	PayloadWriter PayloadPacker() const;
	// Writes each item's digest into its install_file message.
	void AddDigests(BMessage& record) const;
	status_t AddItems(BResources& resources);
	// Signs the written installer `installer`; the minisign signature goes to `minisig`.
	status_t Sign(const std::string& installer, const std::string& minisig,
	              const std::string& output);
	status_t Fail(const std::string& message, status_t status = B_ERROR);

	const Product& fProduct;
	InstallerParts fParts;
	std::vector<std::string> fErrors;
	std::vector<std::string> fWarnings;
	std::vector<std::string> fArchives;
	std::vector<uint32> fDigests;
	uint32 fDeinstallerDigest = 0;
	PayloadReference fDeinstallerReference; // size 0 when packed without one
	std::vector<PackedItem> fPacked;
	std::vector<int64> fListedSizes; // of the packed items, for the record
};
