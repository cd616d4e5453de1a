// ConfigWriter: the configuration record of a product, the message the
// installer loads from its resource 'CSTR' 2002, built field by field in the
// order the installer's authoring side writes them.
#pragma once

#include <string>
#include <vector>

#include "BuildTime.h"
#include "Product.h"

class BMessage;

class ConfigWriter {
public:
	explicit ConfigWriter(const Product& product);

	// Builds the record; `deinstallerSize` is the unpacked deinstaller's size
	// in bytes. Mistakes in the files the description names are added to
	// `errors` in the description's error form.
	status_t Build(const int32& deinstallerSize, BMessage* record,
	               std::vector<std::string>* errors);

	// What a build checks without packing: the pictures, icons and sound
	// read, and the record built and checked as the installer checks it.
	status_t Check(std::vector<std::string>* errors);
	// The installer's check of `record`, its faults located in the description.
	static status_t CheckRecord(const Product& product, const BMessage& record,
	                            std::vector<std::string>* errors);

	// The sizes of the items, in order, as their packing counted them;
	// without them each item is walked for its size.
	void SetItemSizes(const std::vector<int64>& sizes) { fItemSizes = sizes; }
	// The access and birth time of every item: the sources' own vary
	// between copies of the same files.
	void SetBuildTime(const int64& when) { fBuildTime = when; }

	// One `install_file` item: the item's own fields and its `install_meta`;
	// `knownSize` is its size when known, else -1.
	static status_t BuildItem(const ProductItem& item, BMessage* message, std::string* error,
	                          int64 knownSize = -1, int64 buildTime = kFixedBuildTime);

private:
	void AddProductTexts(BMessage& record);
	void AddPicture(BMessage& record);
	void AddSound(BMessage& record);
	void AddGroups(BMessage& record);
	void AddItems(BMessage& record);
	void AddCustomFolders(BMessage& record);
	void AddOptions(BMessage& record);
	void AddRequirements(BMessage& record);
	void AddScripts(BMessage& record);
	void AddCompletion(BMessage& record);
	void Fail(const FieldOrigin& origin, const std::string& message);

	const Product& fProduct;
	std::vector<std::string>* fErrors;
	std::vector<int64> fItemSizes;
	int64 fBuildTime = kFixedBuildTime;
};
