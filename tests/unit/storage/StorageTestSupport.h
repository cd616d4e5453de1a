// Temporary folders, environment overrides and file helpers for the storage tests.
#pragma once

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
