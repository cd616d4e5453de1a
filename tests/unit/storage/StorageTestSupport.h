// Temporary folders, environment overrides and file helpers for the storage tests.
#pragma once

#include <sys/stat.h>

#include <set>
#include <string>

#include "Node.h"

#include "ScopedEnv.h"
#include "TempFolder.h"
#include "TestFiles.h"

// The names of every attribute of `node`.
inline std::set<std::string> AttrNames(BNode& node)
{
	std::set<std::string> names;
	char name[B_ATTR_NAME_LENGTH];
	node.RewindAttrs();
	while (node.GetNextAttrName(name) == B_OK)
		names.insert(name);
	return names;
}

// A boot volume at root/ and, at fat/, a volume that keeps no attributes.
struct NonNativeVolumes {
	TempFolder temp;
	ScopedEnv root{"VANTRY_ROOT", temp / "root"};
	ScopedEnv volumes{"VANTRY_VOLUMES", temp / "fat" + ":nonnative"};
	ScopedEnv file{"VANTRY_VOLUMES_FILE", std::nullopt};

	NonNativeVolumes()
	{
		mkdir((temp / "root").c_str(), 0755);
		mkdir((temp / "fat").c_str(), 0755);
	}
};
