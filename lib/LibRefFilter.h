// LibRefFilter: a file panel filter that lists the entries of chosen MIME
// types, and optionally every file.
#pragma once

#include "LibStringList.h"
#include "RefFilter.h"

class LibRefFilter : public BRefFilter {
public:
	LibRefFilter();
	~LibRefFilter() override;

	void AddType(const char* mimeType);
	// Folders are listed only when the folder type was added.
	void AllowAllFiles(const bool& allow) { fAllowAll = allow; }
	bool AllowsAllFiles() const { return fAllowAll; }

	bool Filter(const entry_ref* ref, BNode* node, struct stat* stat,
	            const char* mimeType) override;

private:
	static bool IsFile(const entry_ref* ref, const struct stat* stat);

	LibStringList fTypes;
	bool fAllowAll;
};
