// LibRefFilter: MIME type and file filtering.
#include "LibRefFilter.h"

#include "Entry.h"

LibRefFilter::LibRefFilter() : fAllowAll(false) {}

LibRefFilter::~LibRefFilter() {}

void LibRefFilter::AddType(const char* mimeType)
{
	if (mimeType != nullptr && mimeType[0] != '\0' && !fTypes.InList(mimeType))
		fTypes.Add(mimeType);
}

bool LibRefFilter::IsFile(const entry_ref* ref, const struct stat* stat)
{
	if (stat != nullptr && S_ISREG(stat->st_mode))
		return true;
	if (stat != nullptr && !S_ISLNK(stat->st_mode))
		return false;
	// A link counts as what it points to.
	if (ref == nullptr)
		return false;
	BEntry entry(ref, true);
	return entry.IsFile();
}

bool LibRefFilter::Filter(const entry_ref* ref, BNode* node, struct stat* stat,
                          const char* mimeType)
{
	if (fAllowAll && IsFile(ref, stat))
		return true;
	return mimeType != nullptr && fTypes.InList(mimeType);
}
