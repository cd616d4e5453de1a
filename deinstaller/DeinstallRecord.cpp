// The product record and the script tags, read from the reduced configuration.
#include "DeinstallRecord.h"

#include <string>

#include "Message.h"

namespace {

const char* const kProductFields[] = {"app_name", "version", "release_date", "company",
                                      "support_email"};

} // namespace

LibString DeinstallProductRecord(const BMessage& config)
{
	LibString record;
	for (const char* field : kProductFields) {
		const char* value = config.FindString(field);
		record += value != nullptr ? value : "";
		record += ";";
	}
	return record;
}

LibString DeinstallScriptTag(const BMessage& config, const char* option)
{
	if (option == nullptr || !config.FindBool(option))
		return LibString();
	const char* tag = config.FindString((std::string(option) + "_tag").c_str());
	return LibString(tag != nullptr ? tag : "");
}
