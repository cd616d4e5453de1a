// Reading the install types of a record.
#include "InstallTypes.h"

std::vector<InstallType> InstallTypesOf(const BMessage& config)
{
	std::vector<InstallType> types;
	BMessage groups;
	config.FindMessage("groups", &groups);
	const char* name = nullptr;
	for (int32 i = 0; groups.FindString("group_name", i, &name) == B_OK; i++) {
		const char* description = nullptr;
		groups.FindString("group_description", i, &description);
		types.push_back({name, description != nullptr ? description : ""});
	}
	return types;
}
