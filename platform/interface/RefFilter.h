// BRefFilter: decides which entries a file panel lists.
#pragma once

#include <sys/stat.h>

#include "EntryRef.h"

class BNode;

class BRefFilter {
public:
	virtual ~BRefFilter();
	// `mimeType` is the entry's type ("application/x-vnd.Be-directory" for a
	// folder, "application/x-vnd.Be-volume" for a mount point). On this host
	// `node` is always null: the type, the reference and `stat` describe it.
	virtual bool Filter(const entry_ref* ref, BNode* node, struct stat* stat,
	                    const char* mimeType) = 0;
};
