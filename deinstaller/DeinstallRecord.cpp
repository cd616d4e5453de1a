// The product record and the script tags, read from the reduced configuration.
#include "DeinstallRecord.h"

#include "DeinstallRecords.h"

#include "ConfigRecord.h"
#include "DeinstallScripts.h"
#include "Message.h"

LibString DeinstallProductRecord(const BMessage& config)
{
	return LibString(ConfigRecord(config).ProductRecord().c_str());
}

DeinstallScriptTags DeinstallScriptTagsOf(const BMessage& config)
{
	const ConfigRecord record(config);
	auto tag = [](const ConfigRecord::ScriptSection& section) {
		return LibString(section.edit ? section.tag : "");
	};
	return {tag(record.BootScript()), tag(record.SetupEnvironment()), tag(record.Profile())};
}

std::vector<std::string> DeinstallCreatedFolders(const BMessage& config)
{
	std::vector<std::string> folders;
	const char* folder = nullptr;
	for (int32 i = 0;
	     (folder = config.FindString(DeinstallRecords::CreatedFoldersField(), i)) != nullptr; i++)
		folders.push_back(folder);
	return folders;
}
